// The moving lights: light footprints, slots, the per-frame composite in every mode and depth.
#include "lighting_fixture.h"

#include "bumpmap_local.h"

#include "sys_png.h"
#include "sys_fake.h"

#include <algorithm>

using namespace lighting_test;

namespace {

TEST(LightSpec, TheGameRedLight)
{
    TLightSpec *s = Bumpmap_CreateLightSpec(20, 255, 64, 64, 50);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Size, 101);
    auto cell = [&](int i, int j) { return i + j * s->Size; };
    EXPECT_EQ(s->RedMap[cell(50, 50)], 255);
    EXPECT_EQ(s->GreenMap[cell(50, 50)], 64);
    EXPECT_EQ(s->BlueMap[cell(50, 50)], 64);
    EXPECT_EQ(s->RedMap[cell(80, 50)], 78);  // distance 30: the inner circle's edge
    EXPECT_EQ(s->RedMap[cell(50, 90)], 39);  // distance 40: half way down the ramp
    EXPECT_EQ(s->RedMap[cell(0, 50)], 0);    // distance 50
    EXPECT_EQ(s->RedMap[cell(0, 0)], 0);     // the corners
    EXPECT_EQ(s->RedMap[cell(100, 100)], 0);
    const int16_t *centre = &s->Directions[3 * cell(50, 50)];
    EXPECT_EQ(centre[0], 0);
    EXPECT_EQ(centre[1], 0);
    EXPECT_EQ(centre[2], 16384);
    const int16_t *side = &s->Directions[3 * cell(0, 50)];
    EXPECT_EQ(side[0], (int)(16384 * 50 / sqrt(2900.0)));
    EXPECT_EQ(side[1], 0);
    EXPECT_EQ(side[2], (int)(16384 * 20 / sqrt(2900.0)));
    EXPECT_EQ(s->RedSpecular[4096], 255);
    EXPECT_EQ(s->GreenSpecular[4096], 64);
    EXPECT_EQ(s->RedSpecular[0], 0);
}

TEST(LightSpec, MatchesThePlainAlgorithm)
{
    struct {
        int z, r, g, b, radius;
    } lights[] = { { 20, 255, 64, 64, 50 }, { 20, 255, 255, 64, 50 }, { 20, 64, 255, 64, 50 },
                   { 20, 64, 255, 255, 50 }, { 5, 200, 100, 0, 0 }, { 5, 200, 100, 0, 1 },
                   { 9, 17, 250, 3, 7 }, { 60, 255, 255, 255, 33 } };
    for (const auto &l : lights) {
        SCOPED_TRACE("radius " + std::to_string(l.radius) + " z " + std::to_string(l.z));
        TLightSpec *s = Bumpmap_CreateLightSpec(l.z, l.r, l.g, l.b, l.radius);
        ASSERT_NE(s, nullptr);
        ref::Spec want = ref::CreateLightSpec(l.z, l.r, l.g, l.b, l.radius);
        size_t cells = (size_t)want.size * want.size;
        ASSERT_EQ(s->Size, want.size);
        EXPECT_EQ(std::vector<int16_t>(s->Directions, s->Directions + 3 * cells), want.directions);
        EXPECT_EQ(std::vector<uint8_t>(s->RedMap, s->RedMap + cells), want.maps[0]);
        EXPECT_EQ(std::vector<uint8_t>(s->GreenMap, s->GreenMap + cells), want.maps[1]);
        EXPECT_EQ(std::vector<uint8_t>(s->BlueMap, s->BlueMap + cells), want.maps[2]);
        EXPECT_EQ(memcmp(s->RedSpecular, want.specular[0], 4097), 0);
        EXPECT_EQ(memcmp(s->GreenSpecular, want.specular[1], 4097), 0);
        EXPECT_EQ(memcmp(s->BlueSpecular, want.specular[2], 4097), 0);
    }
}

TEST(LightSpec, OddValuesAreSafe)
{
    EXPECT_EQ(Bumpmap_CreateLightSpec(20, 255, 255, 255, -1), nullptr);
    EXPECT_EQ(Bumpmap_CreateLightSpec(20, 255, 255, 255, 100000), nullptr);
    TLightSpec *flat = Bumpmap_CreateLightSpec(0, 255, 255, 255, 3); // a light in the surface
    ASSERT_NE(flat, nullptr);
    EXPECT_EQ(flat->Directions[3 * (3 + 3 * 7) + 2], 0);
    EXPECT_EQ(flat->RedMap[3 + 3 * 7], 0);
    TLightSpec *bright = Bumpmap_CreateLightSpec(20, 1000, -5, 255, 4); // colours held to bytes
    ASSERT_NE(bright, nullptr);
    EXPECT_EQ(bright->RedMap[4 + 4 * 9], 255);
    EXPECT_EQ(bright->RedSpecular[4096], 255);
    EXPECT_EQ(bright->GreenSpecular[4096], 0);
}

class DynamicLighting : public LightingTest {
protected:
    TLightSpec *Red = nullptr, *Yellow = nullptr, *Green = nullptr, *Cyan = nullptr;

    void GameLights()
    {
        Red = Bumpmap_CreateLightSpec(20, 255, 64, 64, 50);
        Yellow = Bumpmap_CreateLightSpec(20, 255, 255, 64, 50);
        Green = Bumpmap_CreateLightSpec(20, 64, 255, 64, 50);
        Cyan = Bumpmap_CreateLightSpec(20, 64, 255, 255, 50);
    }

    void Place(int slot, TLightSpec *spec, int x, int y)
    {
        Bumpmap_SetLightPos(slot, x, y);
        Bumpmap_ActivateLight(slot, spec);
    }

    // Draws a frame with each kind of inner loop and checks the whole back buffer and the lit
    // planes against the plain algorithm.
    void DrawAndCompare()
    {
        // Stale values in the working planes, which the frame must not show.
        size_t n = (size_t)AreaWidth * AreaHeight;
        auto stale = [n] {
            memset(AreaRed, 0x55, n);
            memset(AreaGreen, 0xAA, n);
            memset(AreaBlue, 0x0F, n);
        };
        stale();
        std::vector<uint8_t> before = SurfaceBytes(g_pDDSBack);
        ref::Frame want = ref::Draw(before, g_pDDSBack->pitch, GetParam(), SurfaceBytes(StaticImage),
                                    StaticImage->pitch);
        for (bool vector : { true, false }) {
            SCOPED_TRACE(vector ? "vector loops" : "plain loops");
            BumpmapVectorLoops = vector;
            g_pDDSBack->pixels = before;
            stale();
            Bumpmap_Draw();
            ASSERT_EQ(SurfaceBytes(g_pDDSBack), want.back);
            EXPECT_EQ(std::vector<uint8_t>(AreaRed, AreaRed + n), want.red);
            EXPECT_EQ(std::vector<uint8_t>(AreaGreen, AreaGreen + n), want.green);
            EXPECT_EQ(std::vector<uint8_t>(AreaBlue, AreaBlue + n), want.blue);
        }
        BumpmapVectorLoops = true;
    }
};

TEST_P(DynamicLighting, FullAndFastUnderTheCentre)
{
    Bumpmap_Init(0, 0, 200, 200, 4, 0.02f);
    LoadFlat(50, 50, PALETTEENTRY{ 200, 100, 0, 0 });
    Bumpmap_RecalculateStatic();
    GameLights();
    Place(0, Red, 100, 100);
    Bumpmap_Draw();
    EXPECT_EQ(Pixel(g_pDDSBack, 100, 100), Packed(255, 88, 64)); // a full highlight saturates red
    BumpMap_SetLightingType(BUMPMAP_LIGHTING_FAST);
    Bumpmap_Draw();
    EXPECT_EQ(Pixel(g_pDDSBack, 100, 100), Packed(199, 25, 0));
    EXPECT_EQ(Pixel(g_pDDSBack, 150, 100), Packed(0, 0, 0)); // the footprint's edge
    BumpMap_SetLightingType(BUMPMAP_LIGHTING_OFF);
    Bumpmap_Draw();
    EXPECT_EQ(Pixel(g_pDDSBack, 100, 100), Packed(0, 0, 0));
}

// The four game lights on a relief whose area is not at the screen's corner: crossing each edge,
// overlapping one another, and one wholly outside; full and fast.
TEST_P(DynamicLighting, MatchThePlainAlgorithm)
{
    Bumpmap_Init(100, 40, 400, 300, 6, 0.02f);
    LoadMaps(128, 96, PatchColours(128, 96, 41), BumpyHeights(128, 96, 42), RandomPalette(43));
    Bumpmap_SetAmbient(30, 30, 30);
    Bumpmap_AddStaticLight(150, 130, 600, 64, 64, 64);
    Bumpmap_RecalculateStatic();
    GameLights();
    struct {
        int x, y;
    } positions[][4] = {
        { { 110, 60 }, { 390, 290 }, { 250, 170 }, { 270, 190 } }, // corners, and an overlapping pair
        { { 95, 170 }, { 250, 35 }, { 420, 170 }, { 250, 320 } },  // across left, top, right, bottom
        { { 20, 170 }, { 250, 170 }, { 250, 170 }, { 251, 171 } }, // one outside, three stacked
    };
    for (auto &set : positions) {
        Place(0, Red, set[0].x, set[0].y);
        Place(1, Yellow, set[1].x, set[1].y);
        Place(3, Green, set[2].x, set[2].y);
        Place(5, Cyan, set[3].x, set[3].y);
        for (BumpmapLightingType type : { BUMPMAP_LIGHTING_FULL, BUMPMAP_LIGHTING_FAST }) {
            SCOPED_TRACE("lights at " + std::to_string(set[0].x) + " type " + std::to_string(type));
            BumpMap_SetLightingType(type);
            DrawAndCompare();
        }
    }
}

TEST_P(DynamicLighting, LeftEdgeStartsAtTheInnerColumn)
{
    Bumpmap_Init(100, 0, 300, 200, 4, 0.02f);
    LoadFlat(20, 20, PALETTEENTRY{ 255, 255, 255, 0 });
    Bumpmap_RecalculateStatic();
    GameLights();
    BumpMap_SetLightingType(BUMPMAP_LIGHTING_FAST);
    Place(2, Yellow, 110, 60);
    Bumpmap_Draw();
    // Screen column 100 is the footprint's column 40; the row through the centre is row 50.
    int v = Yellow->RedMap[40 + 50 * 101] * 255 >> 8;
    EXPECT_EQ(Pixel(g_pDDSBack, 100, 60), Packed(v, v, Yellow->BlueMap[40 + 50 * 101] * 255 >> 8));
    EXPECT_EQ(Pixel(g_pDDSBack, 99, 60), Packed(0, 0, 0)); // left of the area: untouched
    EXPECT_EQ(Pixel(g_pDDSBack, 101, 10), Packed(Yellow->RedMap[41] * 255 >> 8, Yellow->GreenMap[41] * 255 >> 8,
                                                 Yellow->BlueMap[41] * 255 >> 8));
}

TEST_P(DynamicLighting, LightOutsideTheAreaChangesNothing)
{
    Bumpmap_Init(100, 100, 300, 300, 4, 0.02f);
    LoadMaps(50, 50, PatchColours(50, 50, 51), BumpyHeights(50, 50, 52), RandomPalette(53));
    Bumpmap_AddStaticLight(100, 100, 300, 128, 128, 128);
    Bumpmap_RecalculateStatic();
    Bumpmap_Draw();
    std::vector<uint8_t> still = SurfaceBytes(g_pDDSBack);
    size_t n = (size_t)AreaWidth * AreaHeight;
    memset(AreaRed, 7, n);
    GameLights();
    Place(0, Red, 49, 200);           // ends one column left of the area
    Place(1, Green, 200, 351);        // starts one row below it
    Place(2, Cyan, -2000000000, 200); // far away, no overflow
    Place(3, Yellow, 200, 200);
    Bumpmap_DeactivateLight(3);       // inactive: not drawn
    Bumpmap_Draw();
    EXPECT_EQ(SurfaceBytes(g_pDDSBack), still);
    EXPECT_EQ(std::vector<uint8_t>(AreaRed, AreaRed + n), std::vector<uint8_t>(n, 7));
}

TEST_P(DynamicLighting, SlotsIgnoreBadNumbersAndKeepTheirPlace)
{
    Bumpmap_Init(0, 0, 200, 200, 2, 0.02f);
    LoadFlat(10, 10, PALETTEENTRY{ 100, 100, 100, 0 });
    Bumpmap_RecalculateStatic();
    GameLights();
    Bumpmap_ActivateLight(2, Red);
    Bumpmap_SetLightPos(7, 5, 5);
    Bumpmap_DeactivateLight(-1);
    Bumpmap_ActivateLight(-3, Red);
    Bumpmap_SetLightPos(1, 120, 80);
    EXPECT_FALSE(Lights[1].Active); // a position alone does not light it
    Bumpmap_ActivateLight(1, Green);
    Bumpmap_DeactivateLight(1);
    EXPECT_EQ(Lights[1].Spec, nullptr);
    Bumpmap_ActivateLight(1, Green);
    EXPECT_TRUE(Lights[1].Active);
    EXPECT_EQ(Lights[1].X, 120); // activation keeps the last position
    EXPECT_EQ(Lights[1].Y, 80);
    DrawAndCompare();
}

TEST_P(DynamicLighting, BusyOrHeldBackBuffer)
{
    Bumpmap_Init(0, 0, 200, 200, 4, 0.02f);
    LoadMaps(40, 40, PatchColours(40, 40, 61), BumpyHeights(40, 40, 62), RandomPalette(63));
    Bumpmap_RecalculateStatic();
    GameLights();
    Place(0, Cyan, 100, 100);
    BumpMap_SetLightingType(BUMPMAP_LIGHTING_OFF);
    Bumpmap_Draw();
    std::vector<uint8_t> still = SurfaceBytes(g_pDDSBack);

    // Off: the back buffer is not locked at all, so a pending busy answer is still there after.
    Sys_SetBusyLocks(1);
    Bumpmap_Draw();
    EXPECT_EQ(DDLockBackSurface(), nullptr);

    // Full, with the lock refused: the frame shows the static image only.
    BumpMap_SetLightingType(BUMPMAP_LIGHTING_FULL);
    Sys_SetBusyLocks(1);
    Bumpmap_Draw();
    EXPECT_EQ(SurfaceBytes(g_pDDSBack), still);

    // A caller's own lock is not taken from it.
    ASSERT_NE(DDLockBackSurface(), nullptr);
    Bumpmap_Draw();
    EXPECT_NE(g_BackBuffer, nullptr);
    EXPECT_TRUE(DDUnlockBackSurface());
    EXPECT_NE(SurfaceBytes(g_pDDSBack), still);
}

TEST_P(DynamicLighting, FiveFiveFiveDisplay)
{
    if (GetParam() != 16)
        GTEST_SKIP() << "a 16-bit layout";
    Sys_SetPixelFormat16(1);
    PixelFormat = -1; // asked again of the display
    Bumpmap_Init(0, 0, 160, 120, 4, 0.02f);
    LoadMaps(64, 64, PatchColours(64, 64, 71), BumpyHeights(64, 64, 72), RandomPalette(73));
    Bumpmap_AddStaticLight(80, 60, 300, 200, 150, 100);
    Bumpmap_RecalculateStatic();
    ref::StaticResult want = ref::RecalculateStatic(160, 120);
    EXPECT_EQ(SurfaceBytes(StaticImage), ref::StaticImageBytes(want, 160, 120, StaticImage->pitch, 16));
    GameLights();
    Place(0, Yellow, 40, 40);
    Place(1, Cyan, 130, 100);
    DrawAndCompare();
    EXPECT_EQ(Pixel(g_pDDSBack, 0, 0) & 0x8000, 0u); // the top bit of 5-5-5 stays clear
    Sys_SetPixelFormat16(2);
    PixelFormat = -1;
}

// A picture to look at: set KX_LIGHTING_PNG to a file name to have the frame saved there. The
// title maps of the build's artwork are lit when they are there, tiles of the test's own otherwise.
TEST_P(DynamicLighting, TheGameLightsBringOutTheRelief)
{
    Bumpmap_Init(0, 0, 440, 440, 4, 0.02f);
    std::string colourMap = std::string(KORDAX_RUN_DIR) + "/gfx/kx_title_c.bmp";
    std::string heightMap = std::string(KORDAX_RUN_DIR) + "/gfx/kx_title_h.bmp";
    if (access(colourMap.c_str(), R_OK) == 0 && access(heightMap.c_str(), R_OK) == 0) {
        Bumpmap_LoadTextures(colourMap.c_str(), heightMap.c_str());
    } else {
        int W = 220, H = 220;
        std::vector<uint8_t> heights(W * H), colours(W * H);
        std::vector<PALETTEENTRY> palette(256);
        for (int i = 0; i < 256; i++) // stone greys with a warm tint
            palette[i] = PALETTEENTRY{ (BYTE)(120 + i * 135 / 255), (BYTE)(110 + i * 130 / 255),
                                       (BYTE)(95 + i * 120 / 255), 0 };
        std::mt19937 rng(5);
        for (int y = 0; y < H; y++)
            for (int x = 0; x < W; x++) {
                // Tiles with bevelled edges and rivets, on a grainy plate.
                int u = x % 55, v = y % 55;
                int edge = std::min(std::min(u, 54 - u), std::min(v, 54 - v));
                double h = edge < 5 ? 40 + edge * 36 : 200;
                double rx = u - 27.5, ry = v - 27.5;
                if (rx * rx + ry * ry < 36)
                    h = 250;
                h += (int)(rng() % 7);
                heights[y * W + x] = (uint8_t)std::min(255.0, h);
                colours[y * W + x] = (uint8_t)std::min(255, (int)(h * 0.6) + (int)(rng() % 40));
            }
        LoadMaps(W, H, colours, heights, palette);
    }
    EXPECT_EQ(Log().find("bitmap"), std::string::npos); // loaded without complaint
    Bumpmap_AddStaticLight(220, 220, 600, 64, 64, 64);
    Bumpmap_RecalculateStatic();
    GameLights();
    Place(0, Red, 110, 120);
    Place(1, Yellow, 330, 100);
    Place(2, Green, 120, 330);
    Place(3, Cyan, 320, 320);
    Bumpmap_Draw();
    size_t inside = 110 + 120 * 440, outside = 220 + 10 * 440;
    EXPECT_GT(AreaRed[inside], AreaStaticRed[inside]);
    EXPECT_LE(AreaStaticRed[outside], 100); // the static light alone is a dim grey
    DDFlip();
    std::vector<BYTE> rgb;
    int w = 0, h = 0;
    ASSERT_TRUE(Sys_PresentedImage(rgb, w, h));
    EXPECT_GT(rgb[(120 * w + 110) * 3], rgb[(120 * w + 110) * 3 + 2]); // red pool is red
    const char *png = getenv("KX_LIGHTING_PNG");
    if (png && GetParam() == 32) {
        EXPECT_TRUE(Sys_WritePNG(png, rgb.data(), w, h));
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, DynamicLighting, ::testing::Values(16, 24, 32), DepthName);

} // namespace
