// Pause: holds the game's clock and the sound, and shows the frozen frame dimmed under the paused caption.
#include "kx_pause.h"
#include "kx_bitmap.h"
#include "kx_game.h"
#include "kx_panel_game.h"
#include "kx_sound.h"
#include "kx_world.h"
#include "dd.h"
#include "dd_bitmap.h"
#include "dd_draw.h"
#include "dd_font.h"
#include "dd_input.h"
#include "dd_log.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

bool KX_PAUSE_Paused = false;
bool KX_PAUSE_Listening = false;

enum { KX_KEY_P = 80, KX_FIELD_SIZE = 440, KX_FROZEN_BYTES = 640 * 480 * 4 };
// Below the stage captions, the ready banner and the level-complete caption, above the X runway.
enum { KX_PAUSED_LOW_Y = 334, KX_PAUSED_HINT_GAP = 3 };

// The last frame shown before the pause; kept in memory, as a restore clears the surfaces.
static unsigned char Frozen[KX_FROZEN_BYTES];
static bool FrozenValid = false;
static int LastGameTime = 0; // the update time of the last game step
static int LostPad = 0;
static const char *PadSelect = nullptr;

// Whether the key drives a laser of a player now in the game.
static bool PlayerKey(int key)
{
    auto has = [key](const int *keys) { return std::find(keys, keys + DDINPUT_NUM_ACTIONS, key) != keys + DDINPUT_NUM_ACTIONS; };
    if (GameMode == KX_GAMEMODE_TOGETHER)
        return has(P1InputKeys) || has(P2InputKeys);
    return has(CurrentPlayer == 2 ? P2InputKeys : P1InputKeys);
}

// Copies the whole of the primary or the back buffer into the frozen frame, or back into the
// back buffer; false when the surface cannot be locked (lost) or the frame does not fit.
static bool CopyFrame(bool primary, bool toFrozen)
{
    int row = g_ScreenWidth * ((g_ScreenDepth + 7) / 8);
    if (row <= 0 || g_ScreenHeight <= 0 || (long)row * g_ScreenHeight > KX_FROZEN_BYTES)
        return false;
    unsigned char *pixels = primary ? DDLockPrimarySurface() : DDLockBackSurface();
    if (!pixels)
        return false;
    int pitch = primary ? g_PrimaryLpitch : g_BackLpitch;
    for (int y = 0; y < g_ScreenHeight; y++) {
        unsigned char *frozen = Frozen + (size_t)y * row, *surface = pixels + (size_t)y * pitch;
        memcpy(toFrozen ? frozen : surface, toFrozen ? surface : frozen, (size_t)row);
    }
    if (primary)
        DDUnlockPrimarySurface();
    else
        DDUnlockBackSurface();
    return true;
}

// Halves the brightness of the field in the frozen frame, in the display's pixel format; the
// panel stays as it was, so the scores remain easy to read.
static void DimField()
{
    int bytes = (g_ScreenDepth + 7) / 8, row = g_ScreenWidth * bytes;
    int w = std::min(g_ScreenWidth, (int)KX_FIELD_SIZE), h = std::min(g_ScreenHeight, (int)KX_FIELD_SIZE);
    RGBToColourValue(0, 0, 0); // learns the 16 bpp layout if nothing has asked yet
    // Shifting a 16-bit pixel right moves each channel's low bit into the next: mask those bits off.
    uint16_t keep = PixelFormat == 1 ? 0x3DEF : 0x7BEF;
    for (int y = 0; y < h; y++) {
        unsigned char *p = Frozen + (size_t)y * row;
        for (int x = 0; x < w; x++, p += bytes) {
            if (bytes == 2) {
                uint16_t v;
                memcpy(&v, p, 2);
                v = (uint16_t)((v >> 1) & keep);
                memcpy(p, &v, 2);
            } else {
                for (int c = 0; c < 3; c++) // blue, green, red; the fourth byte of 32 bpp is unused
                    p[c] >>= 1;
            }
        }
    }
}

static bool Freeze(bool primary)
{
    if (!CopyFrame(primary, true))
        return false;
    DimField();
    return true;
}

// The paused picture and, under it, what the keys do now: how to resume, and in play that Escape
// abandons the game (in the other states it does nothing while paused).
static void DrawCaption()
{
    DDBitmap *paused = KX_Bitmaps[KX_BITMAP_PAUSED], *font = KX_Bitmaps[KX_BITMAP_FONT1];
    int w = paused ? paused->Width : 0, h = paused ? paused->Height : 0;
    // In play the centre of the field is free; around it the stage captions and banners are there.
    bool captions = GameState != KX_STATE_PLAYING && GameState != KX_STATE_DYING;
    int y = captions ? KX_PAUSED_LOW_Y : (KX_FIELD_SIZE - h) / 2;
    DDBitmap_Draw(g_pDDSBack, paused, (KX_FIELD_SIZE - w) / 2, y);
    const char *hints[] = { PlayerKey(KX_KEY_P) ? "PRESS PAUSE TO RESUME" : "PRESS PAUSE OR P TO RESUME",
                            GameState == KX_STATE_PLAYING ? "ESCAPE ABANDONS THE GAME" : nullptr };
    char lost[40], abandon[48];
    if (LostPad) {
        snprintf(lost, sizeof lost, "PLAYER %d: THE PAD IS DISCONNECTED", LostPad);
        hints[0] = lost;
        hints[1] = "RECONNECT THE PAD OR PRESS START";
    } else if (PadSelect) {
        snprintf(abandon, sizeof abandon, "%s ABANDONS THE GAME", PadSelect);
        hints[0] = "PRESS START TO RESUME";
        hints[1] = GameState == KX_STATE_PLAYING ? abandon : nullptr;
    }
    y += h + KX_PAUSED_HINT_GAP;
    for (const char *hint : hints) {
        if (!hint || !font)
            continue;
        int textWidth, textHeight;
        DDBitmap_TextSize(font, hint, &textWidth, &textHeight);
        DDBitmap_DrawText(g_pDDSBack, font, hint, (KX_FIELD_SIZE - textWidth) / 2, y);
        y += textHeight;
    }
}

static void DrawPaused()
{
    if (!FrozenValid || !CopyFrame(false, false)) {
        // The pause came while nothing was shown (minimised): draw the field as it stands, at the
        // time it stopped, so the portals do not move.
        KX_DrawPlayfield(LastGameTime);
        KX_PANEL_GAME_Draw();
        FrozenValid = Freeze(false) && CopyFrame(false, false);
    }
    DrawCaption();
}

void KX_PAUSE_Set(bool paused)
{
    if (paused == KX_PAUSE_Paused || (paused && !KX_InPlay()))
        return;
    KX_PAUSE_Paused = paused;
    if (paused) {
        HoldClock(DDCLOCK_PAUSED);
        FrozenValid = Freeze(true); // the frame on show is the last one drawn
    } else {
        ReleaseClock(DDCLOCK_PAUSED);
    }
    KX_SOUND_Pause(paused);
}

bool KX_PAUSE_HandleKey(int key)
{
    if (!KX_PAUSE_Listening)
        return true;
    if (!KX_InPlay())
        return false; // the title and game over take every key, P and Pause included
    if (key == VK_PAUSE || (key == KX_KEY_P && !PlayerKey(key))) {
        KX_PAUSE_Set(!KX_PAUSE_Paused);
        return true;
    }
    return false;
}

void KX_PAUSE_SetLostPad(int player) { LostPad = player; }

void KX_PAUSE_SetPadTerms(const char *select) { PadSelect = select; }

void KX_PAUSE_Away()
{
    if (KX_PAUSE_Listening)
        KX_PAUSE_Set(true);
}

void KX_PAUSE_Update(int time)
{
    // Escape does what it does in the state: in play the poll below abandons the game.
    if (KX_PAUSE_Paused && (!KX_InPlay() || (GameState == KX_STATE_PLAYING && DDInput_KeyHeld(VK_ESCAPE))))
        KX_PAUSE_Set(false);
    if (KX_PAUSE_Paused) {
        DrawPaused();
        return;
    }
    KX_InputPoll();
    KX_Update(time);
    LastGameTime = time;
    if (OldGameState == KX_STATE_OPTIONS)
        KX_PAUSE_Listening = true;
}
