// Shared by the playfield and transition tests: a display, a scratch folder with artwork, pixels.
#pragma once

#include "kx_game_fixture.h"

// Every test picture is coded: blue tells which picture (and for strips, which cell) a pixel
// came from, red and green the pixel's place within its cell.
enum {
    TAG_RUNWAY_X = 10, TAG_RUNWAY_Y = 11, TAG_RUNWAY_C = 12, TAG_RUNWAY_T = 13,
    TAG_PANEL = 20, TAG_LIFE = 21, TAG_ELECTRO = 22, TAG_BAR = 23,
    TAG_LEVEL = 30, TAG_PHASE = 31, TAG_PLAYER1 = 32, TAG_PLAYER2 = 33, TAG_COMPLETE = 34,
    TAG_PORTAL_LEFT = 40, TAG_PORTAL_RIGHT = 50, TAG_PORTAL_TOP = 60, TAG_PORTAL_BOTTOM = 70,
    TAG_LVLNUM = 100, TAG_READY = 120, TAG_FONT = 200
};

inline void Coded(const char *name, int w, int h, int tag)
{
    ASSERT_TRUE(WriteBMP24(Gfx(name), w, h, [tag](int x, int y) { return RGB(x % 250 + 1, y + 1, tag); }));
}
// A strip of cells laid out across (horizontal) or down; blue is tag + cell number.
inline void Strip(const char *name, int cellW, int cellH, int cells, bool horizontal, int tag)
{
    int w = horizontal ? cellW * cells : cellW, h = horizontal ? cellH : cellH * cells;
    ASSERT_TRUE(WriteBMP24(Gfx(name), w, h, [=](int x, int y) {
        int cell = horizontal ? x / cellW : y / cellH;
        return RGB(x % cellW + 1, y % cellH + 1, tag + cell);
    }));
}
// A fixed-width font of the characters 32 to 57 (space to '9'), 8 by 10, one row;
// red is the character code.
inline void Font(const char *bmp, const char *txt)
{
    ASSERT_TRUE(WriteBMP24(Gfx(bmp), 26 * 8, 10, [](int x, int y) { return RGB(32 + x / 8, y + 1, TAG_FONT); }));
    WriteText(Gfx(txt), "[FONT]\n[FIXED]\n1\n[FIRST_CHAR]\n32\n[LAST_CHAR]\n57\n[SIZE]\n(8, 10)\n"
                        "[MATRIX]\n(26, 1)\n[ROWS]\n[FONT_END]\n");
}
// The playfield's artwork at the sizes the game draws it.
inline void WriteArtwork()
{
    Font("kx_font1.bmp", "kx_font1.txt");
    Font("kx_font2.bmp", "kx_font2.txt");
    Coded("kx_panel_game.bmp", 160, 480, TAG_PANEL);
    Coded("runway_x.bmp", 440, 40, TAG_RUNWAY_X);
    Coded("runway_y.bmp", 40, 440, TAG_RUNWAY_Y);
    Coded("runway_c.bmp", 85, 85, TAG_RUNWAY_C);
    Coded("runway_t.bmp", 30, 30, TAG_RUNWAY_T);
    Strip("portal_left.bmp", 10, 57, 8, true, TAG_PORTAL_LEFT);
    Strip("portal_right.bmp", 10, 57, 8, true, TAG_PORTAL_RIGHT);
    Strip("portal_top.bmp", 57, 10, 8, false, TAG_PORTAL_TOP);
    Strip("portal_bottom.bmp", 57, 10, 8, false, TAG_PORTAL_BOTTOM);
    Coded("kx_level.bmp", 190, 35, TAG_LEVEL);
    Coded("kx_phase.bmp", 190, 35, TAG_PHASE);
    Strip("kx_lvlnum.bmp", 36, 35, 10, true, TAG_LVLNUM);
    Coded("kx_player1.bmp", 280, 48, TAG_PLAYER1);
    Coded("kx_player2.bmp", 280, 48, TAG_PLAYER2);
    Strip("kx_ready.bmp", 177, 34, 4, false, TAG_READY);
    Coded("kx_complete.bmp", 280, 48, TAG_COMPLETE);
    // A magenta corner shows whether the icon's colour key is in force.
    for (auto [name, tag] : { std::pair<const char *, int>("kx_life.bmp", TAG_LIFE), { "kx_electro.bmp", TAG_ELECTRO } })
        ASSERT_TRUE(WriteBMP24(Gfx(name), 16, 16, [tag = tag](int x, int y) {
            return x == 0 && y == 0 ? RGB(255, 0, 255) : RGB(x + 1, y + 1, tag);
        }));
    // Wider than the bar the panel shows, so that only the arithmetic limits it.
    Coded("threshold_bar.bmp", 200, 18, TAG_BAR);
}

inline void ClearBack() { DDFillSurface(g_pDDSBack, 0); }

using FlowTest = GameScreenTest;
