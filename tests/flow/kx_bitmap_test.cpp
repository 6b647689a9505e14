// The screen bitmap table, runways and portals, their animation, the panel and the stage numbers.
#include "flow_fixture.h"
#include "kx_panel_game.h"
#include "kx_world.h"

#include <climits>
#include <unistd.h>

namespace {

// The names the artwork is stored under.
const char *const ExpectedFiles[KX_NUM_BITMAPS] = {
    "kx_font1", "kx_font2", "kx_panel_game", "kx_panel_score", "runway_x", "runway_y", "runway_c",
    "runway_t", "portal_left", "portal_right", "portal_top", "portal_bottom", "kx_level", "kx_phase",
    "kx_lvlnum", "kx_loading", "kx_player1", "kx_player2", "kx_ready", "kx_paused", "kx_complete",
    "kx_gameover", "kx_life", "kx_electro", "threshold_bar", "start", "gamemode", "p1_input", "p2_input",
    "music_vol", "sound_vol", "credits", "exit", "instr1", "instr2", "opt_numbers",
};

class BitmapTest : public FlowTest {};

} // namespace

TEST_F(BitmapTest, LoadsAllThirtySixWithTheirColourKeys)
{
    for (int i = KX_BITMAP_PANEL_GAME; i < KX_NUM_BITMAPS; i++)
        Coded((std::string(ExpectedFiles[i]) + ".bmp").c_str(), 4, 4, 1 + i);
    Font("kx_font1.bmp", "kx_font1.txt");
    Font("kx_font2.bmp", "kx_font2.txt");
    ASSERT_TRUE(KX_BITMAP_Initialise());
    EXPECT_TRUE(log.Empty()) << log.Text();
    for (int i = 0; i < KX_NUM_BITMAPS; i++) {
        ASSERT_NE(KX_Bitmaps[i], nullptr) << i;
        EXPECT_EQ(std::string(KX_Bitmaps[i]->FileName), std::string("gfx\\") + ExpectedFiles[i] + ".bmp");
        bool panel = i == KX_BITMAP_PANEL_GAME || i == KX_BITMAP_PANEL_SCORE;
        bool magenta = (i >= KX_BITMAP_RUNWAY_X && i <= KX_BITMAP_RUNWAY_T) || i == KX_BITMAP_LIFE ||
                       i == KX_BITMAP_ELECTRO;
        EXPECT_EQ(KX_Bitmaps[i]->HasColourKey, !panel) << i;
        if (!panel) {
            EXPECT_EQ(KX_Bitmaps[i]->ColourKey, magenta ? 0xFF00FFu : 0u) << i;
        }
    }
    EXPECT_NE(KX_Bitmaps[KX_BITMAP_FONT2]->Font, nullptr);
    KX_BITMAP_Cleanup();
    for (DDBitmap *b : KX_Bitmaps)
        EXPECT_EQ(b, nullptr);
    EXPECT_EQ(BitmapHead, nullptr);
}

TEST_F(BitmapTest, MissingArtworkIsLoggedAndSkipped)
{
    Coded("runway_x.bmp", 440, 40, TAG_RUNWAY_X);
    WriteText(Gfx("runway_y.bmp"), "BM not really a picture");
    ASSERT_TRUE(KX_BITMAP_Initialise());
    EXPECT_EQ(KX_Bitmaps[KX_BITMAP_RUNWAY_Y], nullptr);
    EXPECT_TRUE(log.Has("gfx\\kx_panel_game.bmp"));
    EXPECT_TRUE(log.Has("Error: Failed to load font bitmap."));
    EXPECT_TRUE(log.Has("Error: Attempt to set colour key for null bitmap."));

    ClearBack();
    KX_DrawRunways1();
    KX_DrawRunways2();
    KX_PANEL_GAME_Draw();
    EXPECT_TRUE(log.Has("Error: Attempt to draw null bitmap handle."));
    Back back = ReadBack();
    EXPECT_EQ(back.Tag(0, 440), TAG_RUNWAY_X); // what did load is drawn
    // Shutdown releases what exists and raises no false alarms about the rest.
    std::string before = log.Text();
    KX_BITMAP_Cleanup();
    EXPECT_EQ(log.Text(), before);
    EXPECT_EQ(BitmapHead, nullptr);
}

TEST_F(BitmapTest, RunwaysAndPortalsAtTheirPlaces)
{
    WriteArtwork();
    ASSERT_TRUE(KX_BITMAP_Initialise());
    KX_SetPortalTime(1000);
    KX_UpdatePortalFrame(1000 + 3 * 50 + 1);
    ASSERT_EQ(PortalFrame, 3);
    ClearBack();
    KX_DrawRunways1();
    Back back = ReadBack();
    EXPECT_EQ(back.Tag(20, 440), TAG_RUNWAY_X);
    EXPECT_EQ(back.Tag(440, 20), TAG_RUNWAY_Y);
    EXPECT_EQ(back.Tag(479, 479), TAG_RUNWAY_C);
    // Each portal shows cell 3 of its strip, corner to corner.
    struct { int x, y, w, h, tag; } portals[] = {
        { 0, 403, 10, 57, TAG_PORTAL_LEFT }, { 397, 403, 10, 57, TAG_PORTAL_RIGHT },
        { 403, 0, 57, 10, TAG_PORTAL_TOP },  { 403, 397, 57, 10, TAG_PORTAL_BOTTOM },
    };
    for (auto &p : portals) {
        int right = p.x + p.w - 1, bottom = p.y + p.h - 1;
        EXPECT_EQ(back.Tag(p.x, p.y), p.tag + 3) << p.tag;
        EXPECT_EQ(back.Red(p.x, p.y) * 100 + back.Green(p.x, p.y), 101) << p.tag;
        EXPECT_EQ(back.Tag(right, bottom), p.tag + 3) << p.tag;
        EXPECT_EQ(back.Red(right, bottom) * 100 + back.Green(right, bottom), p.w * 100 + p.h) << p.tag;
    }
    EXPECT_EQ(back.At(10, 420), 0u);
    // The crossing piece goes over whatever was drawn after the first pass.
    DDFillRect(g_pDDSBack, 0x123456, 400, 400, 440, 440);
    KX_DrawRunways2();
    back = ReadBack();
    EXPECT_EQ(back.Tag(406, 406), TAG_RUNWAY_T);
    EXPECT_EQ(back.At(405, 405), 0x123456u);
}

TEST(PortalAnimation, FiftyMillisecondFramesCaughtUpAtOnce)
{
    KX_SetPortalTime(5000);
    PortalFrame = 0;
    KX_UpdatePortalFrame(5050);
    EXPECT_EQ(PortalFrame, 0);
    KX_UpdatePortalFrame(5120); // two frames, the new one 20 ms old
    EXPECT_EQ(PortalFrame, 2);
    EXPECT_EQ(PortalFrameTime, 5100);
    KX_UpdatePortalFrame(5000); // earlier (after a pause): nothing
    EXPECT_EQ(PortalFrame, 2);
    EXPECT_EQ(PortalFrameTime, 5100);

    // However long the gap, the result is that of stepping one frame at a time; 7 is followed by 0.
    for (int start : { 0, INT_MAX - 70, -200 })
        for (int gap : { -1000, 50, 51, 100, 101, 401, 987654, 40000000 })
            for (int frame : { 0, 5, 7 }) {
                int refFrame = frame, refTime = start;
                for (int left = gap; left > 50; left -= 50) {
                    refFrame = (refFrame + 1) % 8;
                    refTime = (int)((unsigned)refTime + 50u);
                }
                KX_SetPortalTime(start);
                PortalFrame = frame;
                KX_UpdatePortalFrame((int)((unsigned)start + (unsigned)gap));
                EXPECT_EQ(PortalFrame, refFrame) << start << " + " << gap;
                EXPECT_EQ(PortalFrameTime, refTime) << start << " + " << gap;
            }
}

TEST_F(BitmapTest, PanelIconsBarAndScores)
{
    WriteArtwork();
    ASSERT_TRUE(KX_BITMAP_Initialise());
    LivesP1 = 7;
    LivesP2 = -1;
    ElectroZapCount = 2;
    ScoreP1 = 42;
    ScoreP2 = 1234567;
    struct { int level, threshold, width; } bars[] = {
        { 0, 25, 130 }, { 0, 0, 0 }, { 0, 10, 52 }, { 9, 99, 128 },
        { 0, 40, 130 }, { 0, -5, 0 }, { 12, 10, 0 }, // out of range: kept within the bar, or none
    };
    for (auto &b : bars) {
        GameLevel = b.level;
        Threshold = b.threshold;
        ClearBack();
        KX_PANEL_GAME_Draw();
        Back back = ReadBack();
        for (int x = 490; x < 640; x++)
            ASSERT_EQ(back.Tag(x, 420) == TAG_BAR, x >= 494 && x < 494 + b.width) << x << " " << b.threshold;
        EXPECT_NE(back.Tag(494, 436), TAG_BAR); // 18 rows high
    }
    GameLevel = 0;
    Back back = ReadBack();
    EXPECT_EQ(back.Tag(480, 0), TAG_PANEL);
    // Five life icons, never more; the keyed corner lets the panel through.
    for (int i = 0; i < 5; i++) {
        EXPECT_EQ(back.Tag(501 + 20 * i, 181), TAG_LIFE) << i;
        EXPECT_EQ(back.Tag(500 + 20 * i, 180), TAG_PANEL) << i;
    }
    EXPECT_EQ(back.Tag(601, 181), TAG_PANEL);
    EXPECT_EQ(back.Tag(501, 301), TAG_PANEL); // none for a count below zero
    EXPECT_EQ(back.Tag(521, 361), TAG_ELECTRO);
    EXPECT_EQ(back.Tag(541, 361), TAG_PANEL);
    // "%6d": 42 right-aligned in six places; a wider score runs on.
    EXPECT_EQ(back.Red(518, 138), ' ');
    EXPECT_EQ(back.Red(518 + 4 * 8, 138), '4');
    EXPECT_EQ(back.Red(518 + 5 * 8, 138), '2');
    EXPECT_EQ(back.Red(518, 256), '1');
    EXPECT_EQ(back.Red(518 + 6 * 8, 256), '7');
}

TEST_F(BitmapTest, StageNumberCells)
{
    WriteArtwork();
    ASSERT_TRUE(KX_BITMAP_Initialise());
    for (int n = 1; n <= 5; n++) {
        ClearBack();
        KX_DrawStageNum(300, 180, n);
        Back back = ReadBack();
        EXPECT_EQ(back.Tag(300, 180), TAG_LVLNUM + n);
        EXPECT_EQ(back.Red(300, 180), 1);
        EXPECT_EQ(back.Red(335, 214), 36);
        EXPECT_EQ(back.At(336, 180), 0u);
        EXPECT_EQ(back.At(300, 215), 0u);
    }
    // Numbers outside the strip draw nothing at all.
    ClearBack();
    for (int n : { 10, -1, INT_MAX })
        KX_DrawStageNum(300, 180, n);
    Back back = ReadBack();
    for (int x = 250; x < 350; x++)
        EXPECT_EQ(back.At(x, 190), 0u);
}

TEST_F(BitmapTest, GeneratedArtworkLoadsCleanly)
{
    struct stat st;
    if (stat((std::string(KORDAX_SOURCE_DIR) + "/tools/assetgen").c_str(), &st) != 0)
        GTEST_SKIP() << "no asset generator in this tree";
    ASSERT_EQ(stat(KORDAX_RUN_DIR "/gfx", &st), 0) << "the build has not generated the artwork";
    ASSERT_EQ(chdir(KORDAX_RUN_DIR), 0);
    bool ok = KX_BITMAP_Initialise();
    ASSERT_EQ(chdir(tmp.Path().c_str()), 0);
    ASSERT_TRUE(ok);
    EXPECT_TRUE(log.Empty()) << log.Text();
    for (int i = 0; i < KX_NUM_BITMAPS; i++)
        ASSERT_NE(KX_Bitmaps[i], nullptr) << ExpectedFiles[i];
    // Big enough for the cells the drawing routines cut from them.
    EXPECT_GE(KX_Bitmaps[KX_BITMAP_PORTAL_LEFT]->Width, 80);
    EXPECT_GE(KX_Bitmaps[KX_BITMAP_PORTAL_TOP]->Height, 80);
    EXPECT_GE(KX_Bitmaps[KX_BITMAP_LVLNUM]->Width, 36 * 6);
    EXPECT_GE(KX_Bitmaps[KX_BITMAP_THRESHOLD_BAR]->Width, 130);
    EXPECT_GE(KX_Bitmaps[KX_BITMAP_READY]->Height, 4 * 34);
}
