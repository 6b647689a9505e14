// The ready state: starts the game music, drops the ready banner with its trail, waits for fire.
#include "kx_state_ready_wait.h"
#include "kx_bitmap.h"
#include "kx_game.h"
#include "kx_panel_game.h"
#include "kx_state_enter_laser.h"
#include "kx_world.h"
#include "dd.h"
#include "dd_bitmap.h"
#include "dd_input.h"
#include "dd_log.h"
#include "kx_sound.h"

bool GameReady = false;

// The banner bitmap holds four 177 by 34 pictures, one above the other.
enum { KX_BANNER_WIDTH = 177, KX_BANNER_HEIGHT = 34, KX_BANNER_COPIES = 8 };

void KX_STATE_READY_WAIT_Start()
{
    StateTime = GetClock();
    GameReady = false;
    SetActiveInput();
    if (KX_SOUND_CurrentMusic() != KX_MUSIC_GAME) {
        KX_SOUND_PlayMusic(KX_MUSIC_GAME);
        KX_SOUND_SetMusicFade(0);
    }
}

// Copy k shows while k <= step <= k + 7, the last copy from step 7 on: the banner slides down
// from y = 240 to y = 275, trailing copies that change picture.
static void KX_DrawBanner(int step)
{
    for (int k = 0; k < KX_BANNER_COPIES; k++) {
        bool shown = (k <= step && step <= k + 7) || (k == KX_BANNER_COPIES - 1 && step >= k);
        if (shown)
            DDBitmap_DrawSub(g_pDDSBack, KX_Bitmaps[KX_BITMAP_READY], 120, 240 + 5 * k, 0,
                             KX_BANNER_HEIGHT * (k / 2), KX_BANNER_WIDTH, KX_BANNER_HEIGHT);
    }
}

void KX_STATE_READY_WAIT_Update(int time)
{
    int t = (int)((unsigned int)time - StateTime);
    KX_MoveSpritesTo(time);
    int step = t / KX_READY_STEP_TIME;
    if (step > KX_READY_LAST_STEP - 1) {
        step = KX_READY_LAST_STEP;
        GameReady = true;
    }
    KX_DrawPlayfield(time);
    KX_DrawStageCaption();
    KX_DrawBanner(step);
    KX_PANEL_GAME_Draw();
}

static bool KX_FirePressed(int input, const int *keys)
{
    if (input > 0) {
        DDInput_Poll(input - 1);
        if (DDInput_Buttons(input - 1) & 1)
            return true;
    }
    return DDInput_KeyHeld(keys[DDINPUT_FIRE]);
}

void KX_STATE_READY_WAIT_InputPoll()
{
    if (!GameReady)
        return;
    bool fire = KX_FirePressed(ActiveInput1, ActiveInput1Keys);
    if (GameMode == KX_GAMEMODE_TOGETHER)
        fire = fire || KX_FirePressed(ActiveInput2, ActiveInput2Keys);
    if (fire)
        GameState = KX_STATE_PLAYING;
}

void KX_STATE_READY_WAIT_HandleKey(int) {}
