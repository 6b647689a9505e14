// What the high-score panel and the initials entry put on the screen, with the game's own fonts.
#include "kx_scores.h"
#include "kx_state_gameover.h"
#include "kx_bitmap.h"
#include "kx_game.h"
#include "kx_world.h"
#include "dd_font.h"
#include "win_time.h"
#include "bitmaps/bitmap_fixture.h"

#include <cstring>
#include <unistd.h>

namespace {

class ScoreDrawing : public ::testing::Test {
protected:
    LogCapture log;
    SurfacePixels screen;
    void SetUp() override
    {
        std::string gfx = std::string(KORDAX_RUN_DIR) + "/gfx/";
        if (access((gfx + "kx_font1.txt").c_str(), R_OK) != 0 || access((gfx + "kx_font2.txt").c_str(), R_OK) != 0)
            GTEST_SKIP() << "no generated fonts in " << gfx;
        ASSERT_TRUE(DDInit((HWND)1));
        ASSERT_TRUE(DDCreateSurfaces(640, 480, 32));
        DDBitmap_SetClip(0, 0, 640, 480);
        KX_Bitmaps[KX_BITMAP_FONT1] = DDBITMAP_LoadFont((gfx + "kx_font1.bmp").c_str(), (gfx + "kx_font1.txt").c_str());
        KX_Bitmaps[KX_BITMAP_FONT2] = DDBITMAP_LoadFont((gfx + "kx_font2.bmp").c_str(), (gfx + "kx_font2.txt").c_str());
        ASSERT_NE(KX_Bitmaps[KX_BITMAP_FONT1], nullptr);
        ASSERT_NE(KX_Bitmaps[KX_BITMAP_FONT2], nullptr);
        DDBitmap_SetTransparent(KX_Bitmaps[KX_BITMAP_FONT1], 0);
        DDBitmap_SetTransparent(KX_Bitmaps[KX_BITMAP_FONT2], 0);
        memset(KX_Scores, 0, sizeof KX_Scores);
        DDFillSurface(g_pDDSBack, 0);
    }
    void TearDown() override
    {
        for (DDBitmap *&b : KX_Bitmaps) {
            DDBitmap_Release(b);
            b = nullptr;
        }
        DDClose();
    }
    void Grab() { screen = ReadSurface(g_pDDSBack); }
    // Whether anything but black lies in [left, right) x [top, bottom).
    // The game-over plate's colours count as background, so that its text can be found on it.
    bool Ink(int x, int y) const
    {
        int v = (int)screen.Value(x, y);
        return v != 0 && v != RGBToColourValue(8, 12, 24) && v != RGBToColourValue(70, 90, 120);
    }
    bool Inked(int left, int top, int right, int bottom) const
    {
        for (int y = top; y < bottom; y++)
            for (int x = left; x < right; x++)
                if (Ink(x, y))
                    return true;
        return false;
    }
    // The inked columns' extent in a band of rows of the playfield; false when the band is empty.
    bool InkSpan(int top, int bottom, int *first, int *last) const
    {
        *first = 640, *last = -1;
        for (int y = top; y < bottom; y++)
            for (int x = 0; x < 440; x++)
                if (Ink(x, y)) {
                    *first = std::min(*first, x);
                    *last = std::max(*last, x);
                }
        return *last >= 0;
    }
    int CellWidth(int font) const
    {
        int w = 0, h = 0;
        DDBitmap_TextSize(KX_Bitmaps[font], "W", &w, &h);
        return w;
    }
    int FontHeight(int font) const
    {
        int w = 0, h = 0;
        DDBitmap_TextSize(KX_Bitmaps[font], "W", &w, &h);
        return h;
    }
};

} // namespace

TEST_F(ScoreDrawing, PanelShowsTheCurrentModesScoresAndNames)
{
    GameMode = KX_GAMEMODE_TOGETHER;
    KX_ScoreType *t = KX_Scores + 10;
    t[0] = { 0, 123456, "ABC" };
    t[1] = { 0, 7, "Z" };
    memcpy(t[9].Name, "WXYZ", 4); // unterminated: four characters and no more
    memcpy(KX_Scores[0].Name, "QQQ", 4); // mode 0 must not show
    KX_PANEL_SCORES_Draw();
    Grab();
    int cw = CellWidth(KX_BITMAP_FONT1), h = FontHeight(KX_BITMAP_FONT1);
    ASSERT_GT(cw, 0);
    for (int place = 1; place <= 10; place++) {
        int y = 146 + 32 * (place - 1);
        SCOPED_TRACE(place);
        // "%6d": six cells from x = 518; only the last holds the digit of a one-digit score.
        EXPECT_EQ(Inked(518, y, 518 + cw, y + h), place == 1);
        EXPECT_TRUE(Inked(518 + 5 * cw, y, 518 + 6 * cw, y + h));
        int letters = place == 1 ? 3 : place == 2 ? 1 : place == 10 ? 4 : 0;
        for (int c = 0; c < 4; c++)
            EXPECT_EQ(Inked(590 + c * cw, y, std::min(640, 590 + (c + 1) * cw), y + h), c < letters) << "cell " << c;
    }
}

TEST_F(ScoreDrawing, InitialsHeadingIsCentredAndDrawnOnlyWhileTyping)
{
    Sys_UseVirtualClock(true);
    Sys_SetClock(10000);
    GameMode = KX_GAMEMODE_ONE_PLAYER;
    CurrentPlayer = 1;
    PlayerData[0] = { 0, 0, 0 };
    ScoreP1 = 4321;
    KX_STATE_GAMEOVER_Start();
    int h = FontHeight(KX_BITMAP_FONT2);
    int top = 200, line = 250, prompt = 300;
    KX_STATE_GAMEOVER_Update((int)StateTime + 1000);
    Grab();
    EXPECT_FALSE(Inked(0, top, 440, line + h));

    KX_STATE_GAMEOVER_Update((int)StateTime + 2001); // typing starts after this frame
    KX_STATE_GAMEOVER_HandleKey('K');
    DDFillSurface(g_pDDSBack, 0);
    KX_STATE_GAMEOVER_Update((int)StateTime + 2017);
    Grab();
    int first, last, width = 0;
    ASSERT_TRUE(InkSpan(top, top + h, &first, &last));
    DDBitmap_TextSize(KX_Bitmaps[KX_BITMAP_FONT2], "High score Player 1", &width, nullptr);
    EXPECT_GE(first, 220 - width / 2);
    EXPECT_LE(last, 220 - width / 2 + width);
    EXPECT_LE(std::abs((first + last) / 2 - 220), CellWidth(KX_BITMAP_FONT2));
    // The score line and the prompt are centred under the heading, on the dark plate.
    for (int y : { line, prompt }) {
        ASSERT_TRUE(InkSpan(y, y + h / 2, &first, &last)) << y;
        EXPECT_LE(std::abs((first + last) / 2 - 220), 2 * CellWidth(KX_BITMAP_FONT2)) << y;
    }
    EXPECT_EQ(screen.Value(45, 195), (uint32_t)RGBToColourValue(8, 12, 24));
    Sys_UseVirtualClock(false);
}
