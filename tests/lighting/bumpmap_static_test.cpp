// The static relief: normals, colour indices, the lit planes and image, bad maps and lost surfaces.
#include "lighting_fixture.h"

#include "bumpmap_local.h"
#include "sys_fake.h"

using namespace lighting_test;

namespace {

class StaticLighting : public LightingTest {};

std::vector<uint8_t> Plane(const uint8_t *p) { return std::vector<uint8_t>(p, p + (size_t)AreaWidth * AreaHeight); }

TEST_P(StaticLighting, FlatMapUnderTheGameLight)
{
    Bumpmap_Init(0, 0, 440, 440, 4, 0.02f);
    LoadFlat(64, 64, PALETTEENTRY{ 200, 100, 0, 0 });
    Bumpmap_AddStaticLight(220, 220, 600, 64, 64, 64);
    Bumpmap_RecalculateStatic();
    for (int i = 0; i < AreaWidth * AreaHeight; i += 97) {
        ASSERT_EQ(AreaNormals[3 * i], 0);
        ASSERT_EQ(AreaNormals[3 * i + 1], 0);
        ASSERT_EQ(AreaNormals[3 * i + 2], 16384);
    }
    size_t at = 220 + 220 * 440;
    EXPECT_EQ(AreaStaticRed[at], 112);
    EXPECT_EQ(AreaStaticGreen[at], 87);
    EXPECT_EQ(AreaStaticBlue[at], 63);
    EXPECT_EQ(Pixel(StaticImage, 220, 220), Packed(112, 87, 63));

    // A light far higher than 32-bit sums allow still gives the same pixel straight below it.
    Bumpmap_ClearStaticLights();
    Bumpmap_AddStaticLight(220, 220, 5000, 64, 64, 64);
    Bumpmap_RecalculateStatic();
    EXPECT_EQ(AreaStaticRed[at], 112);
    EXPECT_EQ(AreaStaticGreen[at], 87);
    EXPECT_EQ(AreaStaticBlue[at], 63);
}

TEST_P(StaticLighting, AmbientAloneGivesThePaletteOrBlack)
{
    Bumpmap_Init(10, 20, 110, 90, 4, 0.02f);
    std::vector<PALETTEENTRY> palette = RandomPalette(3);
    std::vector<uint8_t> colours = PatchColours(40, 30, 4);
    LoadMaps(40, 30, colours, BumpyHeights(40, 30, 5), palette);
    Bumpmap_SetAmbient(256, 256, 256);
    Bumpmap_RecalculateStatic();
    for (int y = 0; y < AreaHeight; y++)
        for (int x = 0; x < AreaWidth; x++) {
            const PALETTEENTRY &p = palette[colours[(y % 30) * 40 + x % 40]];
            size_t at = x + (size_t)y * AreaWidth;
            ASSERT_EQ(AreaStaticRed[at], p.peRed);
            ASSERT_EQ(AreaStaticGreen[at], p.peGreen);
            ASSERT_EQ(AreaStaticBlue[at], p.peBlue);
        }
    Bumpmap_SetAmbient(0, 0, 0);
    Bumpmap_RecalculateStatic();
    for (int i = 0; i < AreaWidth * AreaHeight; i++)
        ASSERT_EQ(AreaStaticRed[i] | AreaStaticGreen[i] | AreaStaticBlue[i], 0);
}

// Everything the relief holds, against the plain algorithm: a map smaller than the area (it
// repeats), lights of every kind, including ones that saturate and ones behind slopes.
TEST_P(StaticLighting, MatchesThePlainAlgorithm)
{
    Bumpmap_Init(0, 0, 230, 170, 4, 0.02f);
    LoadMaps(90, 70, PatchColours(90, 70, 7), BumpyHeights(90, 70, 8), RandomPalette(9));
    Bumpmap_SetAmbient(40, 25, 10);
    Bumpmap_AddStaticLight(115, 85, 600, 64, 64, 64);
    Bumpmap_AddStaticLight(20, 150, 15, 300, 40, 200);
    Bumpmap_AddStaticLight(200, 10, 2, 256, 256, 256);
    Bumpmap_AddStaticLight(-60, 300, 90, 90, 256, 30);
    ref::StaticResult want = ref::RecalculateStatic(AreaWidth, AreaHeight);
    size_t n = (size_t)AreaWidth * AreaHeight;
    for (bool vector : { true, false }) {
        SCOPED_TRACE(vector ? "vector loops" : "plain loops");
        BumpmapVectorLoops = vector;
        memset(AreaStaticRed, 0, n);
        Bumpmap_RecalculateStatic();
        EXPECT_EQ(std::vector<int16_t>(AreaNormals, AreaNormals + 3 * n), want.normals);
        EXPECT_EQ(Plane(AreaColIdx), want.colIdx);
        EXPECT_EQ(Plane(AreaStaticRed), want.red);
        EXPECT_EQ(Plane(AreaStaticGreen), want.green);
        EXPECT_EQ(Plane(AreaStaticBlue), want.blue);
        EXPECT_EQ(SurfaceBytes(StaticImage), ref::StaticImageBytes(want, AreaWidth, AreaHeight, StaticImage->pitch,
                                                                   GetParam()));
    }
    BumpmapVectorLoops = true;
    // The game's own height scale is one case; a steeper relief is another.
    Bumpmap_Init(0, 0, 120, 90, 4, 0.5f);
    Bumpmap_RecalculateStatic();
    want = ref::RecalculateStatic(AreaWidth, AreaHeight);
    EXPECT_EQ(std::vector<int16_t>(AreaNormals, AreaNormals + 3 * (size_t)AreaWidth * AreaHeight), want.normals);
    EXPECT_EQ(Plane(AreaStaticRed), want.red);
}

TEST_P(StaticLighting, NeighboursWrapRoundTheMap)
{
    Bumpmap_Init(0, 0, 16, 8, 4, 0.02f);
    std::vector<uint8_t> heights(8 * 4, 100);
    for (int y = 0; y < 4; y++)
        heights[y * 8] = 200; // column 0 raised
    heights[2 * 8 + 5] = 60;  // one pit, row 2
    LoadMaps(8, 4, std::vector<uint8_t>(8 * 4, 1), heights, RandomPalette(1));
    Bumpmap_RecalculateStatic();
    auto nx = [](int x, int y) { return AreaNormals[3 * (x + y * AreaWidth)]; };
    auto ny = [](int x, int y) { return AreaNormals[3 * (x + y * AreaWidth) + 1]; };
    EXPECT_LT(nx(7, 0), 0); // right neighbour of the last column is column 0
    EXPECT_GT(nx(1, 0), 0);
    EXPECT_EQ(nx(0, 0), 0);
    EXPECT_EQ(nx(15, 0), nx(7, 0)); // the map repeats across the area
    EXPECT_GT(ny(5, 1), 0);         // the pit below row 1
    EXPECT_LT(ny(5, 3), 0);
    EXPECT_EQ(ny(5, 5), ny(5, 1));  // rows repeat too: row 5 is row 1
    EXPECT_EQ(ny(5, 7), ny(5, 3));  // and row 7's lower neighbour is row 0
}

TEST_P(StaticLighting, LightLyingInTheSurfaceAddsNothing)
{
    Bumpmap_Init(0, 0, 40, 40, 4, 0.02f);
    LoadFlat(40, 40, PALETTEENTRY{ 200, 100, 50, 0 });
    Bumpmap_SetAmbient(128, 128, 128);
    Bumpmap_AddStaticLight(20, 20, 0, 256, 256, 256);
    Bumpmap_RecalculateStatic();
    size_t at = 20 + 20 * 40;
    EXPECT_EQ(AreaStaticRed[at], 100);
    EXPECT_EQ(AreaStaticGreen[at], 50);
    EXPECT_EQ(AreaStaticBlue[at], 25);
}

// Every refused pair of maps leaves the relief exactly as the last good maps made it.
TEST_P(StaticLighting, BadMapsKeepTheLastGoodRelief)
{
    Bumpmap_Init(0, 0, 100, 80, 4, 0.02f);
    Bumpmap_AddStaticLight(50, 40, 120, 200, 180, 160);
    LoadMaps(50, 40, PatchColours(50, 40, 11), BumpyHeights(50, 40, 12), RandomPalette(13));
    Bumpmap_RecalculateStatic();
    std::vector<uint8_t> red = Plane(AreaStaticRed), image = SurfaceBytes(StaticImage);
    std::vector<int16_t> normals(AreaNormals, AreaNormals + 3 * 100 * 80);

    std::vector<PALETTEENTRY> grey = RandomPalette(14);
    WriteMap("rgb.bmp", MakeBMP(50, 40, 24, std::vector<uint8_t>(50 * 40 * 3, 90), {}));
    WriteMap("small.bmp", MakeBMP(20, 40, 8, std::vector<uint8_t>(20 * 40, 30), grey));
    WriteMap("flat.bmp", MakeBMP(50, 40, 8, std::vector<uint8_t>(50 * 40, 30), grey));
    std::vector<uint8_t> cut = MakeBMP(50, 40, 8, std::vector<uint8_t>(50 * 40, 30), grey);
    cut.resize(cut.size() / 2);
    WriteMap("cut.bmp", cut);
    struct Case {
        const char *colour, *height, *logged;
    } cases[] = {
        { "gfx\\rgb.bmp", "gfx\\flat.bmp", "the colour bitmap is not 8 bits per pixel" },
        { "gfx\\flat.bmp", "gfx\\rgb.bmp", "the height bitmap is not 8 bits per pixel" },
        { "gfx\\flat.bmp", "gfx\\small.bmp", "the colour and height bitmaps differ in size" },
        { "gfx\\missing.bmp", "gfx\\flat.bmp", "Couldn't open colour bitmap" },
        { "gfx\\flat.bmp", "gfx\\missing.bmp", "Couldn't open height bitmap" },
        { "gfx\\cut.bmp", "gfx\\flat.bmp", "Couldn't open colour bitmap" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.colour) + " + " + c.height);
        Bumpmap_LoadTextures(c.colour, c.height);
        Bumpmap_RecalculateStatic();
        EXPECT_NE(Log().find(c.logged), std::string::npos);
        EXPECT_EQ(Plane(AreaStaticRed), red);
        EXPECT_EQ(std::vector<int16_t>(AreaNormals, AreaNormals + 3 * 100 * 80), normals);
        EXPECT_EQ(SurfaceBytes(StaticImage), image);
    }
    // A good pair afterwards is taken.
    Bumpmap_LoadTextures("gfx\\flat.bmp", "gfx\\flat.bmp");
    Bumpmap_RecalculateStatic();
    EXPECT_EQ(AreaNormals[2], 16384);
    EXPECT_NE(Plane(AreaStaticRed), red);
}

TEST_P(StaticLighting, WithoutMapsTheReliefIsFlatAndGrey)
{
    Bumpmap_Init(0, 0, 60, 60, 4, 0.02f);
    Bumpmap_LoadTextures("gfx\\none_c.bmp", "gfx\\none_h.bmp");
    Bumpmap_AddStaticLight(30, 30, 100, 256, 256, 256);
    Bumpmap_RecalculateStatic();
    EXPECT_NE(Log().find("lighting a flat grey relief"), std::string::npos);
    for (int i = 0; i < 60 * 60; i++)
        ASSERT_EQ(AreaNormals[3 * i + 2], 16384);
    size_t centre = 30 + 30 * 60;
    EXPECT_EQ(AreaStaticRed[centre], 255); // full highlight under the light
    EXPECT_GT(AreaStaticRed[0], 0);
    EXPECT_EQ(AreaStaticRed[0], AreaStaticBlue[0]);
}

TEST_P(StaticLighting, LostImageIsRepaintedFromThePlanes)
{
    Bumpmap_Init(40, 30, 240, 190, 4, 0.02f);
    LoadMaps(64, 48, PatchColours(64, 48, 21), BumpyHeights(64, 48, 22), RandomPalette(23));
    Bumpmap_AddStaticLight(100, 80, 200, 128, 128, 128);
    Bumpmap_RecalculateStatic();
    std::vector<uint8_t> image = SurfaceBytes(StaticImage);
    Bumpmap_Draw();
    std::vector<uint8_t> frame = SurfaceBytes(g_pDDSBack);

    // Not lost: left alone.
    StaticImage->pixels[0] ^= 0xFF;
    Bumpmap_RestoreSurfaces();
    EXPECT_NE(StaticImage->pixels[0], image[0]);
    StaticImage->pixels[0] ^= 0xFF;

    // Lost under the copy: restored and copied again within the same frame.
    DDFillSurface(g_pDDSBack, 0);
    Sys_LoseSurface(StaticImage);
    Bumpmap_Draw();
    EXPECT_EQ(SurfaceBytes(StaticImage), image);
    EXPECT_EQ(SurfaceBytes(g_pDDSBack), frame);
    EXPECT_EQ(Log().find("Bumpmap_Draw"), std::string::npos);

    // Everything lost, as when the window is minimised: the frame loop restores, then draws.
    Sys_LoseAllSurfaces();
    DDCheckSurfaces();
    Bumpmap_RestoreSurfaces();
    EXPECT_EQ(SurfaceBytes(StaticImage), image);
    Bumpmap_Draw();
    EXPECT_EQ(SurfaceBytes(g_pDDSBack), frame);
}

TEST_P(StaticLighting, ImageThatCannotBeLockedIsPaintedLater)
{
    Bumpmap_Init(0, 0, 80, 60, 4, 0.02f);
    LoadMaps(80, 60, PatchColours(80, 60, 31), BumpyHeights(80, 60, 32), RandomPalette(33));
    Bumpmap_AddStaticLight(40, 30, 100, 200, 200, 200);
    Sys_SetBusyLocks(1000);
    Bumpmap_RecalculateStatic();
    Sys_SetBusyLocks(0);
    EXPECT_NE(Log().find("can't lock the static image"), std::string::npos);
    ref::StaticResult want = ref::RecalculateStatic(80, 60);
    EXPECT_EQ(Plane(AreaStaticRed), want.red);
    Bumpmap_Draw();
    EXPECT_EQ(SurfaceBytes(StaticImage), ref::StaticImageBytes(want, 80, 60, StaticImage->pitch, GetParam()));
    EXPECT_EQ(Pixel(g_pDDSBack, 40, 30), Packed(want.red[40 + 30 * 80], want.green[40 + 30 * 80],
                                                want.blue[40 + 30 * 80]));
}

TEST_P(StaticLighting, ClearingAndRecallingTheLifecycle)
{
    Bumpmap_ClearStaticLights(); // empty list: nothing happens
    EXPECT_EQ(StaticLights, nullptr);
    Bumpmap_RecalculateStatic(); // before Init: logged, nothing touched
    Bumpmap_Draw();
    EXPECT_NE(Log().find("Bumpmap_RecalculateStatic: no lit area"), std::string::npos);
    Bumpmap_AddStaticLight(1, 2, 3, 4, 5, 6);
    Bumpmap_AddStaticLight(7, 8, 9, 10, 11, 12);
    ASSERT_NE(StaticLights, nullptr);
    EXPECT_EQ(StaticLights->X, 7); // newest first
    EXPECT_EQ(StaticLights->Next->Z, 3);
    Bumpmap_ClearStaticLights();
    EXPECT_EQ(StaticLights, nullptr);
    BumpMap_SetLightingType((BumpmapLightingType)7);
    EXPECT_EQ(CurrentLighting, BUMPMAP_LIGHTING_FULL);
    EXPECT_NE(Log().find("Unknown lighting type 7"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Depths, StaticLighting, ::testing::Values(16, 24, 32), DepthName);

} // namespace
