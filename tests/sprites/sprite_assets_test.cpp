// Every sprite definition file the game reads loads cleanly and has the frames the game shows.
#include "sprite_fixture.h"

#include <sys/stat.h>

namespace {

struct GameSprite {
    const char *file;
    int minFrames; // the highest frame number the game asks for, plus one
};

const GameSprite GameSprites[] = {
    { "gfx\\kx_turretx.txt", 32 }, { "gfx\\kx_turrety.txt", 32 }, { "gfx\\laser_xb.txt", 12 },
    { "gfx\\laser_yb.txt", 12 },   { "gfx\\ammonite.txt", 46 },   { "gfx\\scorpion.txt", 40 },
    { "gfx\\spectre.txt", 34 },    { "gfx\\mechwasp.txt", 28 },   { "gfx\\ufo.txt", 23 },
    { "gfx\\trilobite.txt", 34 },  { "gfx\\scarab.txt", 40 },     { "gfx\\skull.txt", 34 },
    { "gfx\\mechspider.txt", 40 }, { "gfx\\rocket.txt", 34 },     { "gfx\\explosion1.txt", 16 },
    { "gfx\\explosion2.txt", 16 }, { "gfx\\explosion3.txt", 16 }, { "gfx\\electro_exp.txt", 12 },
};

class SpriteAssetsTest : public SpriteDisplayTest {
protected:
    std::string saved;
    void SetUp() override
    {
        struct stat st;
        if (stat(KORDAX_RUN_DIR "/gfx/kx_turretx.txt", &st) != 0)
            GTEST_SKIP() << "the generated sprite files are not in " KORDAX_RUN_DIR "/gfx yet";
        char *cwd = getcwd(nullptr, 0);
        saved = cwd ? cwd : ".";
        free(cwd);
        ASSERT_EQ(chdir(KORDAX_RUN_DIR), 0);
        SpriteDisplayTest::SetUp();
    }
    void TearDown() override
    {
        if (saved.empty())
            return;
        SpriteDisplayTest::TearDown();
        ASSERT_EQ(chdir(saved.c_str()), 0);
    }
};

TEST_F(SpriteAssetsTest, EveryGameSpriteLoadsWithoutError)
{
    bool anyMaskFile = false;
    for (const GameSprite &g : GameSprites) {
        DDSPRITE_FrameDataType *d = DDSPRITE_ReadFrameData(g.file);
        ASSERT_NE(d, nullptr) << g.file << "\n" << log.Text();
        records.push_back(d);
        EXPECT_GE(d->NFrames, g.minFrames) << g.file;
        anyMaskFile = anyMaskFile || d->SpriteHitMask;
        TSpriteDef *def = Def(d);
        EXPECT_TRUE(def->Created()) << g.file << "\n" << log.Text();
    }
    EXPECT_TRUE(anyMaskFile) << "no sprite uses a 1-bit hit mask file";
    EXPECT_TRUE(log.Empty()) << log.Text();
}

} // namespace
