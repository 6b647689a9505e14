// The generated sprites and fonts: frame counts, image and mask formats, shapes that fit their use.
#include "asset_files.h"
#include "kx_enemies.h"

#include <gtest/gtest.h>

namespace {

// Definition files by their index in the game's definition table (17 and 18 have none).
const char *const DefFiles[20] = {
    "gfx\\kx_turretx.txt", "gfx\\kx_turrety.txt", "gfx\\laser_xb.txt",   "gfx\\laser_yb.txt",
    "gfx\\ammonite.txt",   "gfx\\scorpion.txt",   "gfx\\spectre.txt",    "gfx\\mechwasp.txt",
    "gfx\\ufo.txt",        "gfx\\trilobite.txt",  "gfx\\scarab.txt",     "gfx\\skull.txt",
    "gfx\\mechspider.txt", "gfx\\rocket.txt",     "gfx\\explosion1.txt", "gfx\\explosion2.txt",
    "gfx\\explosion3.txt", nullptr,               nullptr,               "gfx\\electro_exp.txt",
};

const uint32_t Magenta = 0xFF00FF;

class AssetSprites : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (KxReadFile(AssetPath("gfx\\kx_turretx.txt")).empty())
            GTEST_SKIP() << "no generated sprites in " KORDAX_RUN_DIR;
    }
};

int HighestFrame(const KX_EnemyAnimType &a)
{
    int hi = 0;
    for (int i = 0; i < a.Count; i++)
        hi = std::max({hi, a.CrossFrames[i], a.LowFrames[i], a.HighFrames[i]});
    for (int p = 0; p < KX_TURN_PHASES; p++)
        hi = std::max(hi, a.TurnFrames[p]);
    return hi;
}

TEST_F(AssetSprites, EveryDefinitionIsCompleteAndItsFramesLieInItsImage)
{
    for (const char *file : DefFiles) {
        if (!file)
            continue;
        AssetSpriteDef d = AssetReadSpriteDef(AssetPath(file));
        ASSERT_TRUE(d.ok) << file << " does not end with [SPRITE_END]";
        EXPECT_EQ(d.frameBlocks, d.frames) << file;
        ASSERT_EQ(int(d.rects.size()), d.frames) << file;
        EXPECT_EQ(d.handle, "CENTRE") << file;
        AssetBmp img = AssetReadBmp(AssetPath(d.image));
        ASSERT_TRUE(img.ok) << d.image;
        EXPECT_EQ(img.bpp, 24) << d.image;
        for (const AssetSpriteDef::Rect &r : d.rects) {
            EXPECT_TRUE(r.l >= 0 && r.t >= 0 && r.r <= img.width && r.b <= img.height && r.l < r.r && r.t < r.b)
                << file << " (" << r.l << ", " << r.t << ") - (" << r.r << ", " << r.b << ")";
        }
        if (!d.mask.empty()) {
            AssetBmp mask = AssetReadBmp(AssetPath(d.mask));
            ASSERT_TRUE(mask.ok) << d.mask;
            EXPECT_EQ(mask.bpp, 1) << d.mask;
            EXPECT_EQ(mask.width, img.width) << d.mask;
            EXPECT_EQ(mask.height, img.height) << d.mask;
        }
    }
}

TEST_F(AssetSprites, FrameCountsMatchWhatTheGameShows)
{
    EXPECT_EQ(AssetReadSpriteDef(AssetPath(DefFiles[0])).frames, 32);
    EXPECT_EQ(AssetReadSpriteDef(AssetPath(DefFiles[1])).frames, 32);
    EXPECT_GE(AssetReadSpriteDef(AssetPath(DefFiles[2])).frames, 12);
    EXPECT_GE(AssetReadSpriteDef(AssetPath(DefFiles[3])).frames, 12);
    for (int i = 14; i <= 16; i++)
        EXPECT_EQ(AssetReadSpriteDef(AssetPath(DefFiles[i])).frames, 16) << DefFiles[i];
    EXPECT_EQ(AssetReadSpriteDef(AssetPath(DefFiles[19])).frames, 12);
    // Each enemy has exactly the frames its animation record reaches.
    for (int r = 0; r < KX_NUM_ENEMY_ANIMS; r++) {
        const char *file = DefFiles[EnemyAnimDefIndex[r]];
        EXPECT_EQ(AssetReadSpriteDef(AssetPath(file)).frames, HighestFrame(EnemyAnimData[r]) + 1) << file;
    }
}

// Collisions with turrets and enemies are pixel-exact through a 1-bit mask: every frame has a
// solid body, and nothing is solid that is not drawn.
TEST_F(AssetSprites, HitMasksCoverOnlyDrawnPixelsAndNoFrameIsHollow)
{
    for (int i = 0; i <= 13; i++) {
        if (i == 2 || i == 3)
            continue;
        AssetSpriteDef d = AssetReadSpriteDef(AssetPath(DefFiles[i]));
        EXPECT_EQ(d.hitType, "PIXEL") << DefFiles[i];
        ASSERT_FALSE(d.mask.empty()) << DefFiles[i];
        AssetBmp img = AssetReadBmp(AssetPath(d.image)), mask = AssetReadBmp(AssetPath(d.mask));
        ASSERT_TRUE(img.ok && mask.ok) << DefFiles[i];
        for (size_t f = 0; f < d.rects.size(); f++) {
            const AssetSpriteDef::Rect &r = d.rects[f];
            int solid = 0, ghost = 0;
            for (int y = r.t; y < r.b; y++)
                for (int x = r.l; x < r.r; x++) {
                    bool set = mask.indices[size_t(y) * mask.width + x] != 0;
                    solid += set;
                    ghost += set && img.At(x, y) == Magenta;
                }
            EXPECT_GT(solid, 40) << DefFiles[i] << " frame " << f;
            EXPECT_EQ(ghost, 0) << DefFiles[i] << " frame " << f;
        }
    }
}

// The drawn extent of a frame, as a width and height.
void Extent(const AssetBmp &img, const AssetSpriteDef::Rect &r, int &w, int &h)
{
    int x0 = 1 << 20, y0 = 1 << 20, x1 = -1, y1 = -1;
    for (int y = r.t; y < r.b; y++)
        for (int x = r.l; x < r.r; x++)
            if (img.At(x, y) != Magenta) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
    w = x1 - x0 + 1;
    h = y1 - y0 + 1;
}

// Frame 5 flies straight (up for the X laser, left for the Y laser), frame 11 diagonally.
TEST_F(AssetSprites, ShotFramesPointTheWayTheShotsFly)
{
    for (int i = 2; i <= 3; i++) {
        AssetSpriteDef d = AssetReadSpriteDef(AssetPath(DefFiles[i]));
        AssetBmp img = AssetReadBmp(AssetPath(d.image));
        ASSERT_TRUE(img.ok && d.rects.size() >= 12) << DefFiles[i];
        int w, h;
        Extent(img, d.rects[5], w, h);
        if (i == 2)
            EXPECT_GT(h, 2 * w) << "straight X shot";
        else
            EXPECT_GT(w, 2 * h) << "straight Y shot";
        Extent(img, d.rects[11], w, h);
        EXPECT_LE(std::abs(w - h), 3) << DefFiles[i] << " diagonal shot";
        EXPECT_GT(w, 8) << DefFiles[i] << " diagonal shot";
    }
}

struct FontFile {
    bool fixed = false, layout = false;
    int first = 0, last = -1, cellW = 0, cellH = 0, cols = 0;
    std::vector<AssetSpriteDef::Rect> rects;
};

FontFile ReadFont(const std::string &path)
{
    FontFile f;
    std::string t = KxReadFile(path);
    std::vector<std::string> lines;
    size_t p = 0;
    while (p < t.size()) {
        size_t e = t.find('\n', p);
        lines.push_back(t.substr(p, e - p));
        p = e == std::string::npos ? t.size() : e + 1;
    }
    for (size_t i = 0; i < lines.size(); i++) {
        const std::string &l = lines[i];
        std::string v = i + 1 < lines.size() ? lines[i + 1] : "";
        if (l == "[FIXED]")
            f.fixed = std::atoi(v.c_str()) == 1;
        else if (l == "[FIRST_CHAR]")
            f.first = std::atoi(v.c_str());
        else if (l == "[LAST_CHAR]")
            f.last = std::atoi(v.c_str());
        else if (l == "[SIZE]")
            std::sscanf(v.c_str(), "(%d, %d)", &f.cellW, &f.cellH);
        else if (l == "[MATRIX]")
            std::sscanf(v.c_str(), "(%d,", &f.cols);
        else if (l == "[ROWS]" || l == "[COLUMNS]")
            f.layout = true;
        else if (l == "[CHAR_RECTS]")
            for (int c = f.first; c <= f.last && i + 1 + size_t(c - f.first) < lines.size(); c++) {
                AssetSpriteDef::Rect r{};
                std::sscanf(lines[i + 1 + size_t(c - f.first)].c_str(), "(%d, %d) - (%d, %d)", &r.l, &r.t, &r.r, &r.b);
                f.rects.push_back(r);
            }
    }
    return f;
}

TEST_F(AssetSprites, FontsCoverPrintableAsciiAndFitTheirPlaces)
{
    FontFile f1 = ReadFont(AssetPath("gfx\\kx_font1.txt")), f2 = ReadFont(AssetPath("gfx\\kx_font2.txt"));
    AssetBmp b1 = AssetReadBmp(AssetPath("gfx\\kx_font1.bmp")), b2 = AssetReadBmp(AssetPath("gfx\\kx_font2.bmp"));
    ASSERT_TRUE(b1.ok && b2.ok);
    for (const FontFile *f : { &f1, &f2 }) {
        ASSERT_FALSE(f->fixed);
        ASSERT_EQ(int(f->rects.size()), f->last - f->first + 1);
        ASSERT_TRUE(f->first <= 32 && f->last >= 126);
        const AssetBmp &b = f == &f1 ? b1 : b2;
        for (const AssetSpriteDef::Rect &r : f->rects)
            EXPECT_TRUE(r.l >= 0 && r.t >= 0 && r.r <= b.width && r.b <= b.height && r.r > r.l);
    }
    auto width = [](const FontFile &f, const std::string &s) {
        int w = 0;
        for (unsigned char c : s)
            if (c >= f.first && c <= f.last)
                w += f.rects[size_t(c - f.first)].r - f.rects[size_t(c - f.first)].l;
        return w;
    };
    // "%6d" scores right-align only if the space and every digit share one width.
    int digit = width(f1, "0");
    for (char c : std::string(" 123456789"))
        EXPECT_EQ(width(f1, std::string(1, c)), digit) << "font 1 character " << c;
    // Six digits from x = 518 stay in the score windows (screen x 512 to 590, 20 pixels high
    // from the text's top); three initials from x = 590 stay in the high-score window (to 627).
    EXPECT_LE(518 + 6 * digit, 590);
    EXPECT_GE(518 + 6 * digit, 580) << "scores sit to one side of their window";
    for (char c = 'A'; c <= 'Z'; c++)
        EXPECT_LE(590 + width(f1, std::string(3, c)), 627) << c;
    EXPECT_LE(f1.rects[0].b - f1.rects[0].t, 21);
    // The game-over lines, centred in the 440-pixel playfield, fit inside it.
    EXPECT_LE(width(f2, "High score Player 2"), 440);
    EXPECT_LE(60 + width(f2, "10. 999999 : WWW"), 440);
}

} // namespace

namespace {

// Turning an enemy only rotates it: every frame's solid body is about the size of the first.
TEST_F(AssetSprites, EnemyFramesKeepTheirSizeAsTheyTurn)
{
    for (int i = 4; i <= 13; i++) {
        AssetSpriteDef d = AssetReadSpriteDef(AssetPath(DefFiles[i]));
        AssetBmp mask = AssetReadBmp(AssetPath(d.mask));
        ASSERT_TRUE(mask.ok) << DefFiles[i];
        std::vector<int> area;
        for (const AssetSpriteDef::Rect &r : d.rects) {
            int n = 0;
            for (int y = r.t; y < r.b; y++)
                for (int x = r.l; x < r.r; x++)
                    n += mask.indices[size_t(y) * mask.width + x];
            area.push_back(n);
        }
        for (size_t f = 1; f < area.size(); f++) {
            EXPECT_GT(area[f] * 10, area[0] * 6) << DefFiles[i] << " frame " << f;
            EXPECT_LT(area[f] * 10, area[0] * 15) << DefFiles[i] << " frame " << f;
        }
    }
}

// The straight X turret's barrel points up, the diagonal one up and to the right; the Y turret
// is the same turned onto its runway (left, then left and down).
TEST_F(AssetSprites, TurretBarrelsPointTheWayTheyFire)
{
    for (int i = 0; i <= 1; i++) {
        AssetSpriteDef d = AssetReadSpriteDef(AssetPath(DefFiles[i]));
        AssetBmp img = AssetReadBmp(AssetPath(d.image));
        ASSERT_TRUE(img.ok && d.rects.size() == 32);
        // Where the drawing reaches furthest toward the firing side, relative to the frame centre.
        auto reach = [&](int f, int &along, int &across) {
            const AssetSpriteDef::Rect &r = d.rects[size_t(f)];
            int cx = (r.l + r.r) / 2, cy = (r.t + r.b) / 2;
            along = 0;
            across = 0;
            for (int y = r.t; y < r.b; y++)
                for (int x = r.l; x < r.r; x++) {
                    if (img.At(x, y) == Magenta)
                        continue;
                    int a = i == 0 ? cy - y : cx - x; // toward the firing side: up, or left
                    if (a > along) {
                        along = a;
                        across = i == 0 ? x - cx : y - cy;
                    }
                }
        };
        int along0, across0, along3, across3;
        reach(0, along0, across0);
        reach(24, along3, across3);
        EXPECT_GT(along0, 12) << DefFiles[i];
        EXPECT_LE(std::abs(across0), 3) << DefFiles[i] << " straight barrel";
        EXPECT_GT(across3, 6) << DefFiles[i] << " diagonal barrel";
    }
}

} // namespace

namespace {

// At 16 bits a colour close to magenta would be keyed out and leave a hole in the sprite.
TEST_F(AssetSprites, NoSpritePixelCollapsesIntoTheKeyAt16Bits)
{
    for (const char *file : DefFiles) {
        if (!file)
            continue;
        AssetSpriteDef d = AssetReadSpriteDef(AssetPath(file));
        AssetBmp img = AssetReadBmp(AssetPath(d.image));
        ASSERT_TRUE(img.ok) << file;
        int bad = 0;
        for (uint32_t c : img.pixels)
            bad += c != Magenta && AssetSame565(c, Magenta);
        EXPECT_EQ(bad, 0) << d.image;
    }
}

} // namespace
