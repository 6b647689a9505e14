// The one-time actor set-up: list order and identities, a missing file, short definitions, the
// level loader's enemy settings, and the game's own generated definitions.
#include "actors_fixture.h"

#include <unistd.h>

class Setup : public ActorTest {};

TEST_F(Setup, CreatesFortySevenSpritesInListOrderUnderTheirIds)
{
    ASSERT_TRUE(initialised) << log.Text();
    EXPECT_TRUE(log.Empty()) << log.Text();
    int id = 0;
    for (TSprite *s = SpriteHead; s; s = s->GetNext()) {
        ++id;
        EXPECT_EQ(s->GetId(), id);
        EXPECT_EQ(KXSprites[id], s);
        EXPECT_FALSE(s->GetActive());
    }
    EXPECT_EQ(id, 47);
    EXPECT_EQ(KXSprites[KX_SPRITE_SHOT_Y2], KXSprites_Shot_Y[1]);
    EXPECT_EQ(KXSprites[KX_SPRITE_ENEMY_Y1], KXSprites_Enemy_Y[0]);
    EXPECT_EQ(KXSprites_Enemy_X[5]->GetDefinition(), KXSprites_Def[4]);
    EXPECT_EQ(KXSprites_Enemy_Y[5]->GetDefinition(), KXSprites_Def[9]);
    EXPECT_EQ(KXSprites_Explosion[3]->GetDefinition(), KXSprites_Def[14]);
    EXPECT_EQ(KXSprites_ElextroExp->GetDefinition(), KXSprites_Def[19]);
    EXPECT_EQ(KXSprites_Def[17], nullptr);
    EXPECT_EQ(KXSprites_Shot_Y[0]->Light, 2);
}

TEST_F(Setup, LoadingALevelSetsEveryEnemy)
{
    ASSERT_TRUE(initialised);
    GameLevel = 2;
    KX_LoadLevelData();
    for (int i = 0; i < KX_NUM_ENEMIES; i++) {
        EXPECT_EQ(KXSprites_Enemy_X[i]->GetDefinition(), KXSprites_Def[5]);
        EXPECT_EQ(KXSprites_Enemy_X[i]->AnimData, &EnemyAnimData[3]);
        EXPECT_EQ(KXSprites_Enemy_X[i]->Speed, 160);
        EXPECT_EQ(KXSprites_Enemy_Y[i]->GetDefinition(), KXSprites_Def[10]);
        EXPECT_EQ(KXSprites_Enemy_Y[i]->AnimData, &EnemyAnimData[2]);
    }
    EXPECT_FALSE(log.Contains("Null Enemy"));
    KX_SPRITES_CleanUp();
    KX_LoadLevelData();
    EXPECT_TRUE(log.Has("Null EnemyX sprite"));
    EXPECT_TRUE(log.Has("Null EnemyY Sprite"));
}

class MissingFile : public ActorTest {
    void WriteSprites() override
    {
        WriteAllTestSprites();
        unlink("gfx/scarab.txt");
    }
};

TEST_F(MissingFile, StopsSetUpNamingTheFile)
{
    EXPECT_FALSE(initialised);
    EXPECT_TRUE(log.Contains("ErrorLog: Error: Failed to read sprite definition file:\nErrorLog: gfx\\scarab.txt\n"))
        << log.Text();
    EXPECT_NE(KXSprites_Def[9], nullptr) << "what was read before stays for the clean-up";
    EXPECT_EQ(SpriteHead, nullptr);
}

class ShortDefinitions : public ActorTest {
    void WriteSprites() override
    {
        WriteAllTestSprites();
        WriteTestSprite("kx_turretx", 20);
    }
};

static DWORD BackPixel(int x, int y)
{
    DWORD v = 0;
    if (unsigned char *p = DDLockBackSurface())
        memcpy(&v, p + (size_t)y * g_BackLpitch + 4 * (size_t)x, 4);
    DDUnlockBackSurface();
    return v & 0xFFFFFF;
}

TEST_F(ShortDefinitions, AreReportedAndTheirMissingFramesDrawAndHitNothing)
{
    ASSERT_TRUE(initialised);
    EXPECT_EQ(log.Text(), "ErrorLog: Warning: Sprite definition gfx\\kx_turretx.txt has 20 frames, 32 needed\n");
    TLaserXSprite *laser = KXSprites_LaserX;
    laser->SetActive(true);
    laser->SetPosition(200, 432);
    KXSprites_Enemy_Y[0]->Spawn();
    KXSprites_Enemy_Y[0]->SetPosition(205, 430);
    laser->SetFrame(10);
    EXPECT_EQ(laser->Collision(), KX_SPRITE_ENEMY_Y1);
    DDFillRect(g_pDDSBack, 0, 0, 0, 640, 480);
    laser->Draw(g_pDDSBack);
    EXPECT_NE(BackPixel(200, 432), 0u);

    laser->TurnPos = 3; // frames 24 and up lie beyond the definition
    laser->Move(1);
    EXPECT_EQ(laser->Collision(), 0);
    DDFillRect(g_pDDSBack, 0, 0, 0, 640, 480);
    laser->Draw(g_pDDSBack);
    EXPECT_EQ(BackPixel(200, 432), 0u);
}

// The game's own definitions, once the build has generated them.
TEST(GameSprites, AllLoadWithoutAComplaint)
{
    std::string run = KORDAX_RUN_DIR;
    if (access((run + "/gfx/kx_turretx.txt").c_str(), R_OK) != 0)
        GTEST_SKIP() << "no generated artwork in " << run;
    char *old = getcwd(nullptr, 0);
    ASSERT_EQ(chdir(run.c_str()), 0);
    LogCapture log;
    ASSERT_TRUE(DDInit((HWND)1));
    ASSERT_TRUE(DDCreateSurfaces(640, 480, 16));
    bool ok = KX_SPRITES_Initialise();
    KX_SPRITES_CleanUp();
    DDClose();
    EXPECT_EQ(chdir(old), 0);
    free(old);
    EXPECT_TRUE(ok);
    EXPECT_TRUE(log.Empty()) << log.Text();
}
