// The screen bitmap table, runways and portals, their animation, the panel and the stage numbers.
#include "flow_fixture.h"
#include "kx_panel_game.h"
#include "kx_world.h"

#include <climits>
#include <cstring>
#include <unistd.h>

namespace {

// The names and keys as the game's data files and artwork know them.
const char *const ExpectedFiles[KX_NUM_BITMAPS] = {
    "kx_font1", "kx_font2", "kx_panel_game", "kx_panel_score", "runway_x", "runway_y", "runway_c",
    "runway_t", "portal_left", "portal_right", "portal_top", "portal_bottom", "kx_level", "kx_phase",
    "kx_lvlnum", "kx_loading", "kx_player1", "kx_player2", "kx_ready", "kx_paused", "kx_complete",
    "kx_gameover", "kx_life", "kx_electro", "threshold_bar", "start", "gamemode", "p1_input", "p2_input",
    "music_vol", "sound_vol", "credits", "exit", "instr1", "instr2", "opt_numbers",
};
bool Magenta(int i) { return (i >= KX_BITMAP_RUNWAY_X && i <= KX_BITMAP_RUNWAY_T) || i == KX_BITMAP_LIFE || i == KX_BITMAP_ELECTRO; }
bool Unkeyed(int i) { return i == KX_BITMAP_PANEL_GAME || i == KX_BITMAP_PANEL_SCORE; }

// The portal animation stepped one frame at a time, to compare the module against.
void ReferenceStep(int &frame, int &frameTime, int time)
{
    int elapsed = (int)((unsigned)time - (unsigned)frameTime);
    if (elapsed <= 50)
        return;
    do {
        frame = (frame + 1) % 8;
        frameTime = (int)((unsigned)frameTime + 50u);
        elapsed -= 50;
    } while (elapsed > 50);
}

class BitmapTest : public FlowTest {};

} // namespace

TEST_F(BitmapTest, LoadsAllThirtySixWithTheirColourKeys)
{
    for (int i = 0; i < KX_NUM_BITMAPS; i++) {
        if (i <= KX_BITMAP_FONT2)
            continue;
        std::string name = std::string(ExpectedFiles[i]) + ".bmp";
        Coded(name.c_str(), 4, 4, 1 + i);
    }
    Font("kx_font1.bmp", "kx_font1.txt");
    Font("kx_font2.bmp", "kx_font2.txt");
    ASSERT_TRUE(KX_BITMAP_Initialise());
    EXPECT_TRUE(log.Empty()) << log.Text();
    for (int i = 0; i < KX_NUM_BITMAPS; i++) {
        ASSERT_NE(KX_Bitmaps[i], nullptr) << i;
        EXPECT_EQ(std::string(KX_Bitmaps[i]->FileName), std::string("gfx\\") + ExpectedFiles[i] + ".bmp");
        EXPECT_EQ(KX_Bitmaps[i]->HasColourKey, !Unkeyed(i)) << i;
        if (!Unkeyed(i)) {
            EXPECT_EQ(KX_Bitmaps[i]->ColourKey, Magenta(i) ? 0xFF00FFu : 0u) << i;
        }
    }
    EXPECT_NE(KX_Bitmaps[KX_BITMAP_FONT1]->Font, nullptr);
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
    EXPECT_NE(KX_Bitmaps[KX_BITMAP_RUNWAY_X], nullptr);
    EXPECT_EQ(KX_Bitmaps[KX_BITMAP_RUNWAY_Y], nullptr);
    EXPECT_EQ(KX_Bitmaps[KX_BITMAP_PANEL_GAME], nullptr);
    EXPECT_TRUE(log.Has("Couldn't open bitmap file"));
    EXPECT_TRUE(log.Has("gfx\\kx_panel_game.bmp"));
    EXPECT_TRUE(log.Has("Error: Failed to load font bitmap."));
    EXPECT_TRUE(log.Has("Error: Attempt to set colour key for null bitmap."));

    ClearBack();
    LivesP1 = 3;
    ElectroZapCount = 2;
    GameLevel = 0;
    Threshold = 10;
    KX_DrawRunways1();
    KX_DrawRunways2();
    KX_PANEL_GAME_Draw();
    KX_DrawStageNum(300, 120, 1);
    EXPECT_TRUE(log.Has("Error: Attempt to draw null bitmap handle."));
    EXPECT_TRUE(log.Has("Error: Attempt to draw text for null bitmap"));
    Back back = ReadBack();
    EXPECT_EQ(back.Tag(0, 440), TAG_RUNWAY_X); // what did load is drawn
    EXPECT_EQ(back.At(440, 0), 0u);

    // Shutdown after a failed load releases what exists and nothing else.
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
    EXPECT_EQ(back.Tag(394, 479), TAG_RUNWAY_X);
    EXPECT_EQ(back.Tag(440, 20), TAG_RUNWAY_Y);
    EXPECT_EQ(back.Tag(479, 390), TAG_RUNWAY_Y);
    EXPECT_EQ(back.Tag(395, 395), TAG_RUNWAY_C);
    EXPECT_EQ(back.Tag(479, 479), TAG_RUNWAY_C);
    EXPECT_EQ(back.At(394, 394), 0u);
    // Each portal shows cell 3 of its strip, with the cell's own corner at the portal's corner.
    struct { int x, y, w, h, tag; } portals[] = {
        { 0, 403, 10, 57, TAG_PORTAL_LEFT },
        { 397, 403, 10, 57, TAG_PORTAL_RIGHT },
        { 403, 0, 57, 10, TAG_PORTAL_TOP },
        { 403, 397, 57, 10, TAG_PORTAL_BOTTOM },
    };
    for (auto &p : portals) {
        EXPECT_EQ(back.Tag(p.x, p.y), p.tag + 3) << p.tag;
        EXPECT_EQ(back.Red(p.x, p.y), 1);
        EXPECT_EQ(back.Green(p.x, p.y), 1);
        EXPECT_EQ(back.Tag(p.x + p.w - 1, p.y + p.h - 1), p.tag + 3);
        EXPECT_EQ(back.Red(p.x + p.w - 1, p.y + p.h - 1), p.w);
        EXPECT_EQ(back.Green(p.x + p.w - 1, p.y + p.h - 1), p.h);
    }
    EXPECT_EQ(back.At(10, 420), 0u);
    EXPECT_EQ(back.At(420, 10), 0u);

    // The crossing piece goes over whatever was drawn after the first pass.
    DDFillRect(g_pDDSBack, 0x123456, 400, 400, 440, 440);
    KX_DrawRunways2();
    back = ReadBack();
    EXPECT_EQ(back.Tag(406, 406), TAG_RUNWAY_T);
    EXPECT_EQ(back.Tag(435, 435), TAG_RUNWAY_T);
    EXPECT_EQ(back.At(405, 405), 0x123456u);
}

TEST(PortalAnimation, FramesLastFiftyMilliseconds)
{
    KX_SetPortalTime(5000);
    PortalFrame = 0;
    KX_UpdatePortalFrame(5050);
    EXPECT_EQ(PortalFrame, 0); // 50 ms is still the first frame
    KX_UpdatePortalFrame(5120);
    EXPECT_EQ(PortalFrame, 2);
    EXPECT_EQ(PortalFrameTime, 5100); // the new frame is 20 ms old
    KX_SetPortalTime(0);
    PortalFrame = 0;
    KX_UpdatePortalFrame(100);
    EXPECT_EQ(PortalFrame, 1);
    EXPECT_EQ(PortalFrameTime, 50);
    // A time before the frame began (after a pause) changes nothing.
    KX_UpdatePortalFrame(10);
    EXPECT_EQ(PortalFrame, 1);
    EXPECT_EQ(PortalFrameTime, 50);
    // After frame 7 comes frame 0.
    PortalFrame = 7;
    KX_UpdatePortalFrame(101);
    EXPECT_EQ(PortalFrame, 0);
}

TEST(PortalAnimation, CatchingUpMatchesStepByStep)
{
    const int starts[] = { 0, 123456, INT_MAX - 70, -200 };
    const int gaps[] = { -1000, -1, 0, 49, 50, 51, 99, 100, 101, 399, 400, 401, 401 + 8 * 50, 987654, 40000000 };
    for (int start : starts)
        for (int gap : gaps)
            for (int frame = 0; frame < 8; frame += 3) {
                int time = (int)((unsigned)start + (unsigned)gap);
                int refFrame = frame, refTime = start;
                ReferenceStep(refFrame, refTime, time);
                KX_SetPortalTime(start);
                PortalFrame = frame;
                KX_UpdatePortalFrame(time);
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
    GameLevel = 0;
    Threshold = 25;
    ScoreP1 = 42;
    ScoreP2 = 1234567;
    ClearBack();
    KX_PANEL_GAME_Draw();
    Back back = ReadBack();
    EXPECT_EQ(back.Tag(480, 0), TAG_PANEL);
    EXPECT_EQ(back.Tag(639, 100), TAG_PANEL);
    // Five life icons, never more; the keyed corner lets the panel through.
    for (int i = 0; i < 5; i++) {
        EXPECT_EQ(back.Tag(501 + 20 * i, 181), TAG_LIFE) << i;
        EXPECT_EQ(back.Tag(500 + 20 * i, 180), TAG_PANEL) << i;
    }
    EXPECT_EQ(back.Tag(601, 181), TAG_PANEL);
    EXPECT_EQ(back.Tag(501, 301), TAG_PANEL); // no icons for a count below zero
    EXPECT_EQ(back.Tag(501, 361), TAG_ELECTRO);
    EXPECT_EQ(back.Tag(521, 361), TAG_ELECTRO);
    EXPECT_EQ(back.Tag(541, 361), TAG_PANEL);
    // A full bar is 130 pixels, 18 high, from (494, 418).
    EXPECT_EQ(back.Tag(494, 418), TAG_BAR);
    EXPECT_EQ(back.Tag(623, 435), TAG_BAR);
    EXPECT_EQ(back.Tag(624, 418), TAG_PANEL);
    EXPECT_EQ(back.Tag(494, 436), TAG_PANEL);
    // "%6d": 42 is right-aligned in six places; a wider score simply runs on.
    EXPECT_EQ(back.Red(518 + 4 * 8, 138), '4');
    EXPECT_EQ(back.Red(518 + 5 * 8, 138), '2');
    EXPECT_EQ(back.Red(518, 138), ' ');
    EXPECT_EQ(back.Red(518, 256), '1');
    EXPECT_EQ(back.Red(518 + 6 * 8, 256), '7');
    EXPECT_FALSE(log.Contains("Attempt to draw")) << log.Text();
}

TEST_F(BitmapTest, ThresholdBarFollowsTheLevelsTarget)
{
    WriteArtwork();
    ASSERT_TRUE(KX_BITMAP_Initialise());
    struct { int level, threshold, width; } cases[] = {
        { 0, 0, 0 }, { 0, 10, 52 }, { 0, 25, 130 }, { 9, 99, 128 }, { 9, 1, 1 },
        // Beyond the target or below zero the bar stays within its frame.
        { 0, 40, 130 }, { 0, -5, 0 },
    };
    for (auto &c : cases) {
        GameLevel = c.level;
        Threshold = c.threshold;
        EXPECT_EQ(KX_PANEL_GAME_BarWidth(), c.width) << c.level << " " << c.threshold;
        ClearBack();
        KX_PANEL_GAME_Draw();
        Back back = ReadBack();
        for (int x = 490; x < 640; x++) {
            bool bar = x >= 494 && x < 494 + c.width;
            EXPECT_EQ(back.Tag(x, 420) == TAG_BAR, bar) << "x " << x << " threshold " << c.threshold;
        }
    }
    GameLevel = 12; // not a level: no bar rather than a read past the table
    Threshold = 10;
    EXPECT_EQ(KX_PANEL_GAME_BarWidth(), 0);
    KX_PANEL_GAME_Draw();
    GameLevel = 0;
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
        EXPECT_EQ(back.Tag(335, 214), TAG_LVLNUM + n);
        EXPECT_EQ(back.Red(335, 214), 36);
        EXPECT_EQ(back.At(336, 180), 0u);
        EXPECT_EQ(back.At(300, 215), 0u);
    }
    // Numbers outside the strip draw nothing at all.
    ClearBack();
    KX_DrawStageNum(300, 180, 10);
    KX_DrawStageNum(300, 180, -1);
    KX_DrawStageNum(300, 180, INT_MAX);
    Back back = ReadBack();
    for (int x = 250; x < 350; x++)
        EXPECT_EQ(back.At(x, 190), 0u);
}

TEST_F(BitmapTest, GeneratedArtworkLoadsCleanly)
{
    std::string gfx = std::string(KORDAX_RUN_DIR) + "/gfx";
    struct stat st;
    if (stat((std::string(KORDAX_SOURCE_DIR) + "/tools/assetgen").c_str(), &st) != 0)
        GTEST_SKIP() << "no asset generator in this tree";
    ASSERT_EQ(stat(gfx.c_str(), &st), 0) << "the build has not generated " << gfx;
    ASSERT_EQ(chdir(KORDAX_RUN_DIR), 0);
    bool ok = KX_BITMAP_Initialise();
    ASSERT_EQ(chdir(tmp.Path().c_str()), 0);
    ASSERT_TRUE(ok);
    EXPECT_TRUE(log.Empty()) << log.Text();
    for (int i = 0; i < KX_NUM_BITMAPS; i++)
        EXPECT_NE(KX_Bitmaps[i], nullptr) << ExpectedFiles[i];
    if (HasFailure())
        return;
    // The sizes the drawing routines cut them by.
    EXPECT_GE(KX_Bitmaps[KX_BITMAP_PORTAL_LEFT]->Width, 80);
    EXPECT_GE(KX_Bitmaps[KX_BITMAP_PORTAL_LEFT]->Height, 57);
    EXPECT_GE(KX_Bitmaps[KX_BITMAP_PORTAL_TOP]->Width, 57);
    EXPECT_GE(KX_Bitmaps[KX_BITMAP_PORTAL_TOP]->Height, 80);
    EXPECT_GE(KX_Bitmaps[KX_BITMAP_LVLNUM]->Width, 36 * 6);
    EXPECT_GE(KX_Bitmaps[KX_BITMAP_LVLNUM]->Height, 35);
    EXPECT_GE(KX_Bitmaps[KX_BITMAP_THRESHOLD_BAR]->Width, 130);
    EXPECT_GE(KX_Bitmaps[KX_BITMAP_READY]->Width, 177);
    EXPECT_GE(KX_Bitmaps[KX_BITMAP_READY]->Height, 4 * 34);
}
