// The game's screen bitmaps: the table, runways, portals, stage numbers, the playfield picture.
#include "kx_bitmap.h"
#include "dd.h"
#include "dd_bitmap.h"
#include "dd_font.h"
#include "dd_sprites.h"
#include "bumpmap.h"
#include "kx_world.h"

DDBitmap *KX_Bitmaps[KX_NUM_BITMAPS];

const char *const KX_BitmapFilename[KX_NUM_BITMAPS] = {
    "gfx\\kx_font1.bmp",     "gfx\\kx_font2.bmp",     "gfx\\kx_panel_game.bmp", "gfx\\kx_panel_score.bmp",
    "gfx\\runway_x.bmp",     "gfx\\runway_y.bmp",     "gfx\\runway_c.bmp",      "gfx\\runway_t.bmp",
    "gfx\\portal_left.bmp",  "gfx\\portal_right.bmp", "gfx\\portal_top.bmp",    "gfx\\portal_bottom.bmp",
    "gfx\\kx_level.bmp",     "gfx\\kx_phase.bmp",     "gfx\\kx_lvlnum.bmp",     "gfx\\kx_loading.bmp",
    "gfx\\kx_player1.bmp",   "gfx\\kx_player2.bmp",   "gfx\\kx_ready.bmp",      "gfx\\kx_paused.bmp",
    "gfx\\kx_complete.bmp",  "gfx\\kx_gameover.bmp",  "gfx\\kx_life.bmp",       "gfx\\kx_electro.bmp",
    "gfx\\threshold_bar.bmp", "gfx\\start.bmp",       "gfx\\gamemode.bmp",      "gfx\\p1_input.bmp",
    "gfx\\p2_input.bmp",     "gfx\\music_vol.bmp",    "gfx\\sound_vol.bmp",     "gfx\\credits.bmp",
    "gfx\\exit.bmp",         "gfx\\instr1.bmp",       "gfx\\instr2.bmp",        "gfx\\opt_numbers.bmp",
};

enum { KX_MAGENTA = 0xFF00FF, KX_BLACK = 0, KX_NO_KEY = -1 };

const int KX_TransparentColour[KX_NUM_BITMAPS] = {
    KX_BLACK,   KX_BLACK,   KX_NO_KEY,  KX_NO_KEY,                          // fonts, panels
    KX_MAGENTA, KX_MAGENTA, KX_MAGENTA, KX_MAGENTA,                         // runways
    KX_BLACK,   KX_BLACK,   KX_BLACK,   KX_BLACK,                           // portals
    KX_BLACK,   KX_BLACK,   KX_BLACK,   KX_BLACK,   KX_BLACK, KX_BLACK,     // captions
    KX_BLACK,   KX_BLACK,   KX_BLACK,   KX_BLACK,                           // banners
    KX_MAGENTA, KX_MAGENTA, KX_BLACK,                                       // life, zap, bar
    KX_BLACK,   KX_BLACK,   KX_BLACK,   KX_BLACK,   KX_BLACK, KX_BLACK,     // menu items
    KX_BLACK,   KX_BLACK,   KX_BLACK,   KX_BLACK,   KX_BLACK,               // menu, numbers
};

static const char *const KX_FontMetrics[2] = { "gfx\\kx_font1.txt", "gfx\\kx_font2.txt" };

int PortalFrame = 0;
int PortalFrameTime = 0;

bool KX_BITMAP_Initialise()
{
    KX_Bitmaps[KX_BITMAP_FONT1] = DDBITMAP_LoadFont(KX_BitmapFilename[KX_BITMAP_FONT1], KX_FontMetrics[0]);
    KX_Bitmaps[KX_BITMAP_FONT2] = DDBITMAP_LoadFont(KX_BitmapFilename[KX_BITMAP_FONT2], KX_FontMetrics[1]);
    for (int i = KX_BITMAP_PANEL_GAME; i < KX_NUM_BITMAPS; i++)
        KX_Bitmaps[i] = KX_BitmapFilename[i] ? DDBITMAP_Load(KX_BitmapFilename[i]) : nullptr;
    for (int i = 0; i < KX_NUM_BITMAPS; i++)
        if (KX_TransparentColour[i] != KX_NO_KEY)
            DDBitmap_SetTransparent(KX_Bitmaps[i], (unsigned int)KX_TransparentColour[i]);
    // A missing picture is logged by the loader and skipped when drawn: play goes on without it.
    return true;
}

void KX_BITMAP_Cleanup()
{
    // Entries that never loaded are passed over, so that shutdown logs no false alarms.
    for (DDBitmap *&bitmap : KX_Bitmaps) {
        if (bitmap)
            DDBitmap_Release(bitmap);
        bitmap = nullptr;
    }
}

void KX_DrawRunways1()
{
    DDBitmap_Draw(g_pDDSBack, KX_Bitmaps[KX_BITMAP_RUNWAY_X], 0, 440);
    DDBitmap_Draw(g_pDDSBack, KX_Bitmaps[KX_BITMAP_RUNWAY_Y], 440, 0);
    DDBitmap_Draw(g_pDDSBack, KX_Bitmaps[KX_BITMAP_RUNWAY_C], 395, 395);
    int cell = KX_PORTAL_THICKNESS * PortalFrame;
    DDBitmap_DrawSub(g_pDDSBack, KX_Bitmaps[KX_BITMAP_PORTAL_LEFT], 0, 403, cell, 0, KX_PORTAL_THICKNESS,
                     KX_PORTAL_LENGTH);
    DDBitmap_DrawSub(g_pDDSBack, KX_Bitmaps[KX_BITMAP_PORTAL_RIGHT], 397, 403, cell, 0, KX_PORTAL_THICKNESS,
                     KX_PORTAL_LENGTH);
    DDBitmap_DrawSub(g_pDDSBack, KX_Bitmaps[KX_BITMAP_PORTAL_TOP], 403, 0, 0, cell, KX_PORTAL_LENGTH,
                     KX_PORTAL_THICKNESS);
    DDBitmap_DrawSub(g_pDDSBack, KX_Bitmaps[KX_BITMAP_PORTAL_BOTTOM], 403, 397, 0, cell, KX_PORTAL_LENGTH,
                     KX_PORTAL_THICKNESS);
}

void KX_DrawRunways2()
{
    DDBitmap_Draw(g_pDDSBack, KX_Bitmaps[KX_BITMAP_RUNWAY_T], 406, 406);
}

void KX_SetPortalTime(int time)
{
    PortalFrameTime = time;
}

void KX_UpdatePortalFrame(int time)
{
    // Clock differences are signed 32-bit values, so an earlier time (after a pause) changes nothing.
    int elapsed = (int)((unsigned int)time - (unsigned int)PortalFrameTime);
    if (elapsed <= KX_PORTAL_FRAME_TIME)
        return;
    // The frames a one-frame-at-a-time catch-up would step, counted at once: a long gap costs nothing.
    int steps = (elapsed - 1) / KX_PORTAL_FRAME_TIME;
    PortalFrame = (PortalFrame + steps % KX_PORTAL_FRAMES) % KX_PORTAL_FRAMES;
    PortalFrameTime = (int)((unsigned int)PortalFrameTime + (unsigned int)steps * KX_PORTAL_FRAME_TIME);
}

void KX_DrawStageNum(int x, int y, int n)
{
    DDBitmap *strip = KX_Bitmaps[KX_BITMAP_LVLNUM];
    // A number beyond the strip would show part of a neighbouring cell or nothing sensible.
    if (strip && (n < 0 || (long long)KX_STAGENUM_WIDTH * n >= strip->Width))
        return;
    DDBitmap_DrawSub(g_pDDSBack, strip, x, y, KX_STAGENUM_WIDTH * n, 0, KX_STAGENUM_WIDTH, KX_STAGENUM_HEIGHT);
}

void KX_DrawPlayfield(int time)
{
    Bumpmap_Draw();
    KX_UpdatePortalFrame(time);
    KX_DrawRunways1();
    DDSPRITE_DrawAll(g_pDDSBack);
    KX_DrawRunways2();
}

void KX_DrawStageCaption()
{
    DDBitmap_Draw(g_pDDSBack, KX_Bitmaps[CurrentPlayer == 1 ? KX_BITMAP_PLAYER1 : KX_BITMAP_PLAYER2], 80, 50);
    DDBitmap_Draw(g_pDDSBack, KX_Bitmaps[KX_BITMAP_LEVEL], 100, 120);
    KX_DrawStageNum(300, 120, GameLevel / 2 + 1);
    DDBitmap_Draw(g_pDDSBack, KX_Bitmaps[KX_BITMAP_PHASE], 100, 180);
    KX_DrawStageNum(300, 180, GameLevel % 2 + 1);
}
