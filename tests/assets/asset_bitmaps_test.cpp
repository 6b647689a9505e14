// The generated screen bitmaps: every file present, sized and laid out as the game cuts them.
#include "asset_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

const uint32_t Black = 0x000000, Magenta = 0xFF00FF, NoKey = 0xFFFFFFFF;

struct Picture {
    const char *file;
    uint32_t key;
    int width, height; // exact size, or 0 where only limits apply
};

// Every picture the game loads by name, with the colour key it is drawn with.
const Picture Pictures[] = {
    {"gfx\\kx_font1.bmp", Black, 0, 0},       {"gfx\\kx_font2.bmp", Black, 0, 0},
    {"gfx\\kx_panel_game.bmp", NoKey, 160, 480}, {"gfx\\kx_panel_score.bmp", NoKey, 160, 480},
    {"gfx\\runway_x.bmp", Magenta, 0, 0},     {"gfx\\runway_y.bmp", Magenta, 0, 0},
    {"gfx\\runway_c.bmp", Magenta, 0, 0},     {"gfx\\runway_t.bmp", Magenta, 0, 0},
    {"gfx\\portal_left.bmp", Black, 80, 57},  {"gfx\\portal_right.bmp", Black, 80, 57},
    {"gfx\\portal_top.bmp", Black, 57, 80},   {"gfx\\portal_bottom.bmp", Black, 57, 80},
    {"gfx\\kx_level.bmp", Black, 0, 0},       {"gfx\\kx_phase.bmp", Black, 0, 0},
    {"gfx\\kx_lvlnum.bmp", Black, 360, 35},   {"gfx\\kx_loading.bmp", Black, 0, 0},
    {"gfx\\kx_player1.bmp", Black, 0, 0},     {"gfx\\kx_player2.bmp", Black, 0, 0},
    {"gfx\\kx_ready.bmp", Black, 177, 136},   {"gfx\\kx_paused.bmp", Black, 0, 0},
    {"gfx\\kx_complete.bmp", Black, 0, 0},    {"gfx\\kx_gameover.bmp", Black, 0, 0},
    {"gfx\\kx_life.bmp", Magenta, 0, 0},      {"gfx\\kx_electro.bmp", Magenta, 0, 0},
    {"gfx\\threshold_bar.bmp", Black, 130, 18}, {"gfx\\start.bmp", Black, 399, 82},
    {"gfx\\gamemode.bmp", Black, 399, 246},   {"gfx\\p1_input.bmp", Black, 399, 164},
    {"gfx\\p2_input.bmp", Black, 399, 164},   {"gfx\\music_vol.bmp", Black, 399, 82},
    {"gfx\\sound_vol.bmp", Black, 399, 82},   {"gfx\\credits.bmp", Black, 399, 82},
    {"gfx\\exit.bmp", Black, 399, 82},        {"gfx\\instr1.bmp", Black, 288, 140},
    {"gfx\\instr2.bmp", Black, 256, 20},      {"gfx\\opt_numbers.bmp", Black, 173, 54},
    {"gfx\\kx_credits.bmp", Black, 0, 0},     {"gfx\\allkeys.bmp", Black, 320, 320},
    {"gfx\\kx_p_inp.bmp", Black, 299, 84},    {"gfx\\kx_input.bmp", Black, 320, 208},
    {"gfx\\qmark.bmp", Black, 180, 80},       {"gfx\\splash640x480.bmp", NoKey, 640, 480},
};

AssetBmp Load(const char *file)
{
    AssetBmp b = AssetReadBmp(AssetPath(file));
    EXPECT_TRUE(b.ok) << file << " is missing or not a plain BMP";
    return b;
}

// Pixels of a rectangle that are not the key.
int Ink(const AssetBmp &b, int x0, int y0, int w, int h, uint32_t key)
{
    int n = 0;
    for (int y = y0; y < y0 + h && y < b.height; y++)
        for (int x = x0; x < x0 + w && x < b.width; x++)
            n += b.At(x, y) != key;
    return n;
}

class AssetBitmaps : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (KxReadFile(AssetPath("gfx\\kx_font1.bmp")).empty())
            GTEST_SKIP() << "no generated artwork in " KORDAX_RUN_DIR;
    }
};

TEST_F(AssetBitmaps, EveryPictureIsA24BitBmpOfItsSize)
{
    for (const Picture &p : Pictures) {
        AssetBmp b = Load(p.file);
        if (!b.ok)
            continue;
        EXPECT_EQ(b.bpp, 24) << p.file;
        if (p.width) {
            EXPECT_EQ(b.width, p.width) << p.file;
            EXPECT_EQ(b.height, p.height) << p.file;
        }
    }
}

// A pixel that a 16-bit display would turn into the key would vanish from the picture.
TEST_F(AssetBitmaps, NoDrawnPixelCollapsesIntoTheKeyAt16Bits)
{
    for (const Picture &p : Pictures) {
        if (p.key == NoKey)
            continue;
        AssetBmp b = Load(p.file);
        int bad = 0;
        for (uint32_t c : b.pixels)
            bad += c != p.key && AssetSame565(c, p.key);
        EXPECT_EQ(bad, 0) << p.file;
    }
}

TEST_F(AssetBitmaps, PiecesFitWhereTheyAreDrawn)
{
    struct Limit {
        const char *file;
        int x, y, maxRight, maxBottom; // drawn at (x, y); must end by maxRight, maxBottom
    } limits[] = {
        {"gfx\\runway_x.bmp", 0, 440, 640, 480},    {"gfx\\runway_y.bmp", 440, 0, 480, 480},
        {"gfx\\runway_c.bmp", 395, 395, 480, 480},  {"gfx\\kx_player1.bmp", 80, 50, 440, 120},
        {"gfx\\kx_player2.bmp", 80, 50, 440, 120},  {"gfx\\kx_level.bmp", 100, 120, 300, 180},
        {"gfx\\kx_phase.bmp", 100, 180, 300, 240},  {"gfx\\kx_complete.bmp", 80, 280, 440, 440},
        {"gfx\\kx_gameover.bmp", 60, 140, 440, 200}, {"gfx\\kx_credits.bmp", 0, 0, 440, 440},
        {"gfx\\kx_life.bmp", 500, 180, 520, 200},   {"gfx\\kx_electro.bmp", 500, 360, 520, 380},
    };
    for (const Limit &l : limits) {
        AssetBmp b = Load(l.file);
        EXPECT_LE(l.x + b.width, l.maxRight) << l.file;
        EXPECT_LE(l.y + b.height, l.maxBottom) << l.file;
    }
}

TEST_F(AssetBitmaps, MenuItemVariantsSitOnTheirRowsWithClearGaps)
{
    struct Item {
        const char *file;
        int variants;
    } items[] = {{"gfx\\start.bmp", 2},     {"gfx\\gamemode.bmp", 6},  {"gfx\\p1_input.bmp", 4},
                 {"gfx\\p2_input.bmp", 4},  {"gfx\\sound_vol.bmp", 2}, {"gfx\\music_vol.bmp", 2},
                 {"gfx\\credits.bmp", 2},   {"gfx\\exit.bmp", 2}};
    for (const Item &it : items) {
        AssetBmp b = Load(it.file);
        for (int v = 0; v < it.variants; v++) {
            EXPECT_EQ(Ink(b, 0, 41 * v, 399, 1, Black), 0) << it.file << " gap above variant " << v;
            EXPECT_GT(Ink(b, 0, 41 * v + 1, 399, 40, Black), 200) << it.file << " variant " << v;
        }
    }
    // A volume item leaves room for the percentage drawn over it from x = 200.
    for (const char *f : {"gfx\\sound_vol.bmp", "gfx\\music_vol.bmp"}) {
        AssetBmp b = Load(f);
        EXPECT_EQ(Ink(b, 200, 42, 199, 40, Black), 0) << f;
    }
}

TEST_F(AssetBitmaps, EveryCellOfTheStripsHasAPicture)
{
    AssetBmp keys = Load("gfx\\allkeys.bmp");
    for (int c = 0; c < 256; c++)
        EXPECT_GT(Ink(keys, 20 * (c % 16), 20 * (c / 16), 20, 20, Black), 100) << "key cap " << c;
    AssetBmp q = Load("gfx\\qmark.bmp");
    for (int f = 0; f < 36; f++)
        EXPECT_GT(Ink(q, 20 * (f % 9), 20 * (f / 9), 20, 20, Black), 10) << "question mark frame " << f;
    AssetBmp num = Load("gfx\\opt_numbers.bmp");
    for (int row = 0; row < 2; row++) {
        for (int d = 0; d < 10; d++)
            EXPECT_GT(Ink(num, 15 * d, 27 * row, 15, 27, Black), 20) << "digit " << d << " row " << row;
        EXPECT_GT(Ink(num, 150, 27 * row, 23, 27, Black), 20) << "percent, row " << row;
    }
    AssetBmp stage = Load("gfx\\kx_lvlnum.bmp");
    for (int n = 0; n < 10; n++)
        EXPECT_GT(Ink(stage, 36 * n, 0, 36, 35, Black), 40) << "stage number " << n;
    for (const char *f : {"gfx\\portal_left.bmp", "gfx\\portal_right.bmp"}) {
        AssetBmp p = Load(f);
        for (int k = 0; k < 8; k++)
            EXPECT_GT(Ink(p, 10 * k, 0, 10, 57, Black), 50) << f << " frame " << k;
    }
    for (const char *f : {"gfx\\portal_top.bmp", "gfx\\portal_bottom.bmp"}) {
        AssetBmp p = Load(f);
        for (int k = 0; k < 8; k++)
            EXPECT_GT(Ink(p, 0, 10 * k, 57, 10, Black), 50) << f << " frame " << k;
    }
    AssetBmp labels = Load("gfx\\kx_input.bmp");
    for (int i = 0; i < 8; i++)
        for (int col = 0; col < 2; col++)
            EXPECT_GT(Ink(labels, 160 * col, 26 * i, 160, 26, Black), 80) << "action " << i << " column " << col;
    AssetBmp titles = Load("gfx\\kx_p_inp.bmp");
    for (int p = 0; p < 2; p++)
        EXPECT_GT(Ink(titles, 0, 42 * p, 299, 42, Black), 300) << "input title " << p;
    AssetBmp instr = Load("gfx\\instr1.bmp");
    for (int l = 0; l < 7; l++)
        EXPECT_GT(Ink(instr, 0, 20 * l, 288, 20, Black), 100) << "instruction line " << l;
}

// The ready banner's trail runs from a dim picture to the full one.
TEST_F(AssetBitmaps, ReadyBannerPicturesBrightenInOrder)
{
    AssetBmp b = Load("gfx\\kx_ready.bmp");
    double last = -1;
    for (int p = 0; p < 4; p++) {
        double sum = 0;
        int n = 0;
        for (int y = 34 * p; y < 34 * p + 34; y++)
            for (int x = 0; x < 177; x++) {
                uint32_t c = b.At(x, y);
                if (c == Black)
                    continue;
                sum += ((c >> 16) & 255) + ((c >> 8) & 255) + (c & 255);
                n++;
            }
        ASSERT_GT(n, 100) << "picture " << p;
        EXPECT_GT(sum / n, last) << "picture " << p;
        last = sum / n;
    }
}

TEST_F(AssetBitmaps, ColourAndHeightMapsArePaired8BitImagesCoveringThePlayfield)
{
    const char *bases[] = {"kx_title", "kx_level1", "kx_level2", "kx_level3", "kx_level4", "kx_level5"};
    for (const char *base : bases) {
        std::string c = std::string("gfx\\") + base + "_c.bmp", h = std::string("gfx\\") + base + "_h.bmp";
        AssetBmp cm = Load(c.c_str()), hm = Load(h.c_str());
        ASSERT_TRUE(cm.ok && hm.ok) << base;
        EXPECT_EQ(cm.bpp, 8) << base;
        EXPECT_EQ(hm.bpp, 8) << base;
        EXPECT_EQ(cm.width, hm.width) << base;
        EXPECT_EQ(cm.height, hm.height) << base;
        // The texture repeats with its own size: it must tile the 440-pixel square evenly.
        EXPECT_EQ(440 % cm.width, 0) << base;
        EXPECT_EQ(440 % cm.height, 0) << base;
        int lo = 255, hi = 0;
        for (uint8_t v : hm.indices) {
            lo = std::min(lo, int(v));
            hi = std::max(hi, int(v));
        }
        EXPECT_GT(hi - lo, 100) << base << " relief is too flat to light";
        std::vector<bool> used(256);
        for (uint8_t v : cm.indices)
            used[v] = true;
        EXPECT_GT(std::count(used.begin(), used.end(), true), 40) << base << " uses too few colours";
    }
}

// The level reliefs shine from many small faces turned to the light above the middle, not from
// concentric ledges: the share of highlight along each thin ring round the light, less its
// smoothed trend, must stay small. Ledges make it swing from ring to ring.
TEST_F(AssetBitmaps, LevelHighlightsDoNotFormRingsAroundTheLight)
{
    for (int level = 2; level <= 5; level++) {
        std::string file = "gfx\\kx_level" + std::to_string(level) + "_h.bmp";
        AssetBmp h = Load(file.c_str());
        ASSERT_TRUE(h.ok && h.width == 440 && h.height == 440) << file;
        auto at = [&](int x, int y) { return double(h.indices[size_t((y + 440) % 440) * 440 + (x + 440) % 440]); };
        const int rings = 520; // half-pixel rings from radius 40 to 300
        std::vector<double> sum(rings, 0), count(rings, 0);
        double total = 0, n = 0;
        for (int y = 0; y < 400; y++)
            for (int x = 0; x < 400; x++) {
                double r = std::hypot(x - 220.0, y - 220.0);
                if (r < 40 || r >= 300)
                    continue;
                double nx = at(x - 1, y) - at(x + 1, y), ny = at(x, y - 1) - at(x, y + 1), nz = 200;
                double ux = 220.0 - x, uy = 220.0 - y, uz = 600;
                double dot = (nx * ux + ny * uy + nz * uz) / std::sqrt((nx * nx + ny * ny + nz * nz) * (ux * ux + uy * uy + uz * uz));
                double spec = std::pow(std::max(dot, 0.0), 40);
                int ring = int(r * 2) - 80;
                sum[size_t(ring)] += spec;
                count[size_t(ring)] += 1;
                total += spec;
                n += 1;
            }
        double mean = total / n, swing = 0;
        int used = 0;
        for (int i = 7; i < rings - 7; i++) {
            double trend = 0;
            for (int j = i - 7; j <= i + 7; j++)
                trend += sum[size_t(j)] / count[size_t(j)];
            double d = sum[size_t(i)] / count[size_t(i)] - trend / 15;
            swing += d * d;
            used++;
        }
        EXPECT_GT(mean, 0.3) << file << " catches too little of the light";
        EXPECT_LT(std::sqrt(swing / used) / mean, 0.135) << file << " shines in rings";
    }
}

// A height map's palette is ignored by the game; it is written as a grey ramp so that it reads
// as heights in any viewer (entry i is grey level i).
TEST_F(AssetBitmaps, HeightMapPaletteIsAGreyRamp)
{
    std::string d = KxReadFile(AssetPath("gfx\\kx_level1_h.bmp"));
    ASSERT_GT(d.size(), 54u + 1024u);
    for (int i = 0; i < 256; i++)
        for (int c = 0; c < 3; c++)
            ASSERT_EQ(uint8_t(d[54 + i * 4 + c]), i) << "entry " << i;
}

} // namespace

namespace {

// The corner piece repeats the runway pieces exactly where it overlaps them, so no seam shows.
TEST_F(AssetBitmaps, CornerPieceContinuesBothRunways)
{
    AssetBmp x = Load("gfx\\runway_x.bmp"), y = Load("gfx\\runway_y.bmp"), c = Load("gfx\\runway_c.bmp");
    ASSERT_TRUE(x.ok && y.ok && c.ok);
    int compared = 0, differ = 0;
    for (int sy = 440; sy < 395 + c.height; sy++)
        for (int sx = 395; sx < 440 && sx < x.width; sx++) {
            uint32_t a = c.At(sx - 395, sy - 395);
            if (a == Magenta)
                continue;
            compared++;
            differ += a != x.At(sx, sy - 440);
        }
    for (int sy = 395; sy < 440 && sy < y.height; sy++)
        for (int sx = 440; sx < 395 + c.width; sx++) {
            uint32_t a = c.At(sx - 395, sy - 395);
            if (a == Magenta)
                continue;
            compared++;
            differ += a != y.At(sx - 440, sy);
        }
    EXPECT_GT(compared, 1000);
    EXPECT_EQ(differ, 0);
}

// The title relief carries the game's name, pressed softly into the plate: the menu is drawn over
// it, so no slope under the menu is steep enough to catch a hard highlight.
TEST_F(AssetBitmaps, TitleReliefRaisesTheNameSoftly)
{
    AssetBmp h = Load("gfx\\kx_title_h.bmp");
    ASSERT_TRUE(h.ok);
    auto at = [&](int x, int y) { return int(h.indices[size_t(y) * h.width + x]); };
    std::vector<int> all;
    for (int y = 0; y < 400; y++)
        for (int x = 0; x < 400; x++)
            all.push_back(at(x, y));
    std::nth_element(all.begin(), all.begin() + all.size() / 2, all.end());
    int plate = all[all.size() / 2];
    int raisedInBand = 0, raisedElsewhere = 0, left = 0, right = 0, steepest = 0;
    for (int y = 0; y < 400; y++)
        for (int x = 0; x < 400; x++) {
            if (y >= 20 && y < 382 && x >= 20 && x < 399)
                steepest = std::max(steepest, std::abs(at(x + 1, y) - at(x - 1, y)));
            if (at(x, y) < plate + 14)
                continue;
            if (y >= 120 && y < 260) {
                raisedInBand++;
                (x < 200 ? left : right)++;
            } else
                raisedElsewhere++;
        }
    EXPECT_GT(raisedInBand, 400 * 140 / 20) << "too little raised lettering";
    EXPECT_GT(raisedInBand * 260, 5 * raisedElsewhere * 140) << "the name does not stand out";
    // Letters across the width, not a lump on one side.
    EXPECT_GT(std::min(left, right) * 3, std::max(left, right));
    EXPECT_LE(steepest, 40) << "hard relief under the menu";
}

// Every printable character has a picture (the space excepted), in both fonts, and none reaches
// into its neighbour's rectangle.
TEST_F(AssetBitmaps, EveryFontCharacterIsDrawn)
{
    for (int f = 1; f <= 2; f++) {
        std::string name = "gfx\\kx_font" + std::to_string(f);
        AssetBmp bmp = Load((name + ".bmp").c_str());
        ASSERT_TRUE(bmp.ok);
        std::string t = KxReadFile(AssetPath(name + ".txt"));
        size_t p = t.find("[CHAR_RECTS]\n");
        ASSERT_NE(p, std::string::npos);
        p += 13;
        for (int c = 32; c <= 126; c++) {
            int l, tp, r, b;
            ASSERT_EQ(std::sscanf(t.c_str() + p, "(%d, %d) - (%d, %d)", &l, &tp, &r, &b), 4) << c;
            p = t.find('\n', p) + 1;
            int ink = Ink(bmp, l, tp, r - l, b - tp, Black);
            if (c == ' ')
                EXPECT_EQ(ink, 0);
            else
                EXPECT_GT(ink, 4) << "font " << f << " character " << c;
            if (f == 2) { // its glyphs keep one clear column between them
                EXPECT_EQ(Ink(bmp, r - 1, tp, 1, b - tp, Black), 0) << "font 2 character " << c << " touches its right edge";
            }
        }
    }
}

} // namespace
