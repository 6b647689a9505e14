// Shared by the title tests: a display, a scratch folder of coded artwork, and the menu reset.
#pragma once

#include "kx_game_fixture.h"
#include "bumpmap.h"
#include "dd_input.h"
#include "kx_game.h"
#include "kx_menu.h"
#include "kx_sound.h"
#include "kx_state_options.h"
#include "kx_world.h"
#include "win_time.h"

#include <gtest/gtest.h>

#include <cstring>

// Blue tells which picture a pixel came from; red and green where in it (see each picture).
enum {
    TAG_ITEM = 10, // + item number: red 1 + x mod 200, green the source row
    TAG_INSTR1 = 30,
    TAG_INSTR2 = 31, // red 1 + x mod 250, green 1 + source row
    TAG_NUMBERS = 32, // red 1 + source x, green 1 + source row
    TAG_KEYS = 33,    // red the key code of the cell
    TAG_QMARK = 34,   // red 1 + frame
    TAG_ACTIONS = 35, // red 1 + column (1 plain, 2 highlighted), green 1 + action
    TAG_PLAYER = 36,  // green 1 + player
    TAG_CREDITS = 37,
    TAG_FRAME = 38,
    TAG_FONT = 200 // red the character code
};

enum { CLEAR_COLOUR = 0x000001 }; // a blue no picture uses

class TitleTest : public GameScreenTest {
protected:
    void SetUp() override
    {
        GameScreenTest::SetUp();
        if (HasFatalFailure())
            return;
        ResetMenu();
    }
    void TearDown() override
    {
        KX_MENU_ReleaseCredits();
        KX_MENU_ReleaseInput();
        GameScreenTest::TearDown();
        NumJoysticks = 0;
        ResetMenu();
    }

    static void ResetMenu()
    {
        CurrentOption = 0;
        KX_MaxPlayerInput = 0;
        ShowingCredits = ShowingInput = InputWaitingKey = false;
        InputPlayer = InputAction = QMarkFrame = QMarkFrameTime = 0;
        GameState = KX_STATE_OPTIONS;
        GameMode = 0;
        StartLevel = 0;
        P1Input = P2Input = 0;
        memcpy(P1InputKeys, DefaultP1InputKeys, sizeof P1InputKeys);
        memcpy(P2InputKeys, DefaultP2InputKeys, sizeof P2InputKeys);
        SoundFxVol = 100;
        MusicVol = 80;
    }

    // A fixed-width font of the characters 32 to 126, 8 by 10, in one row.
    static void Font(const char *bmp, const char *txt)
    {
        ASSERT_TRUE(WriteBMP24(Gfx(bmp), 95 * 8, 10, [](int x, int y) { return RGB(32 + x / 8, y + 1, TAG_FONT); }));
        WriteText(Gfx(txt), "[FONT]\n[FIXED]\n1\n[FIRST_CHAR]\n32\n[LAST_CHAR]\n126\n[SIZE]\n(8, 10)\n"
                            "[MATRIX]\n(95, 1)\n[ROWS]\n[FONT_END]\n");
    }

    // The menu's artwork at the sizes the game draws it, and the sub-screens' pictures.
    static void WriteArtwork()
    {
        Font("kx_font1.bmp", "kx_font1.txt");
        Font("kx_font2.bmp", "kx_font2.txt");
        const char *items[KX_MENU_ITEMS] = { "start.bmp",     "gamemode.bmp",  "p1_input.bmp", "p2_input.bmp",
                                             "sound_vol.bmp", "music_vol.bmp", "credits.bmp",  "exit.bmp" };
        const int variants[KX_MENU_ITEMS] = { 2, 6, 4, 4, 2, 2, 2, 2 };
        for (int i = 0; i < KX_MENU_ITEMS; i++)
            ASSERT_TRUE(WriteBMP24(Gfx(items[i]), 399, 41 * variants[i] + 1,
                                   [i](int x, int y) { return RGB(1 + x % 200, y, TAG_ITEM + i); }));
        ASSERT_TRUE(WriteBMP24(Gfx("instr1.bmp"), 288, 140, [](int x, int y) { return RGB(1 + x % 250, 1 + y, TAG_INSTR1); }));
        ASSERT_TRUE(WriteBMP24(Gfx("instr2.bmp"), 256, 20, [](int x, int y) { return RGB(1 + x % 250, 1 + y, TAG_INSTR2); }));
        ASSERT_TRUE(WriteBMP24(Gfx("opt_numbers.bmp"), 173, 54, [](int x, int y) { return RGB(1 + x, 1 + y, TAG_NUMBERS); }));
        ASSERT_TRUE(WriteBMP24(Gfx("allkeys.bmp"), 320, 320,
                               [](int x, int y) { return RGB(y / 20 * 16 + x / 20, 1, TAG_KEYS); }));
        ASSERT_TRUE(WriteBMP24(Gfx("qmark.bmp"), 180, 80,
                               [](int x, int y) { return RGB(1 + y / 20 * 9 + x / 20, 1, TAG_QMARK); }));
        ASSERT_TRUE(WriteBMP24(Gfx("kx_input.bmp"), 320, 208,
                               [](int x, int y) { return RGB(1 + x / 160, 1 + y / 26, TAG_ACTIONS); }));
        ASSERT_TRUE(WriteBMP24(Gfx("kx_p_inp.bmp"), 299, 84, [](int x, int y) { return RGB(1, 1 + y / 42, TAG_PLAYER); }));
        // The frame around the menu: runways and the high-score panel.
        const struct {
            const char *name;
            int w, h;
        } frame[] = { { "runway_x.bmp", 440, 40 }, { "runway_y.bmp", 40, 440 }, { "runway_c.bmp", 85, 85 },
                      { "runway_t.bmp", 30, 30 },  { "kx_panel_score.bmp", 160, 480 } };
        for (const auto &f : frame)
            ASSERT_TRUE(WriteBMP24(Gfx(f.name), f.w, f.h, [](int, int) { return RGB(9, 9, TAG_FRAME); }));
        ASSERT_TRUE(WriteBMP24(Gfx("kx_credits.bmp"), 440, 440,
                               [](int x, int y) { return RGB(1 + x % 250, 1 + y % 250, TAG_CREDITS); }));
    }
    static void LoadArtwork()
    {
        WriteArtwork();
        ASSERT_TRUE(KX_BITMAP_Initialise());
    }

public:
    using Back = ::Back;

protected:
    static void ClearBack() { DDFillSurface(g_pDDSBack, CLEAR_COLOUR); }

    static void Keys(std::initializer_list<int> keys)
    {
        for (int k : keys)
            KX_STATE_OPTIONS_HandleKey(k);
    }
};
