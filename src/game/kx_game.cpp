// Game start-up and shutdown, and the state machine the frame loop drives.
#include "kx_game.h"
#include "kx_world.h"
#include "kx_bitmap.h"
#include "kx_scores.h"
#include "kx_sprites.h"
#include "kx_state_options.h"
#include "kx_state_enter_laser.h"
#include "kx_state_ready_wait.h"
#include "kx_state_playing.h"
#include "kx_state_end_level.h"
#include "kx_state_dying.h"
#include "kx_state_gameover.h"
#include "bumpmap.h"
#include "dd_log.h"

#include <cstdlib>

int GameState = KX_STATE_OPTIONS;
int OldGameState = KX_STATE_GAMEOVER; // so that the title's start routine runs first
TLightSpec *Light1 = nullptr;
TLightSpec *Light2 = nullptr;
TLightSpec *Light3 = nullptr;
TLightSpec *Light4 = nullptr;

bool KX_Initialise()
{
    DDErrorLog("Initialising Bumpmap");
    Bumpmap_Init(0, 0, 440, 440, 4, 0.02f);
    Bumpmap_SetAmbient(0, 0, 0);
    Bumpmap_AddStaticLight(240, 240, 400, 64, 64, 64);
    Light1 = Bumpmap_CreateLightSpec(20, 255, 64, 64, 50);
    Light2 = Bumpmap_CreateLightSpec(20, 255, 255, 64, 50);
    Light3 = Bumpmap_CreateLightSpec(20, 64, 255, 64, 50);
    Light4 = Bumpmap_CreateLightSpec(20, 64, 255, 255, 50);

    DDErrorLog("Loading Bitmaps");
    if (!KX_BITMAP_Initialise())
        return false;
    DDErrorLog("Loading Sprites");
    if (!KX_SPRITES_Initialise())
        return false;
    DDErrorLog("Initialising scores");
    KX_PANEL_SCORES_Initialise();
    DDErrorLog("Setting Random number seed");
    srand(GetClock());
    DDErrorLog("Initialisation complete");
    return true;
}

void KX_CleanUp()
{
    KX_PANEL_SCORES_Cleanup();
    KX_SPRITES_CleanUp();
    KX_BITMAP_Cleanup();
    Bumpmap_Close();
}

bool KX_InPlay() { return GameState >= KX_STATE_ENTER_LASER && GameState <= KX_STATE_DYING; }

void KX_HandleKey(int key)
{
    if (GameState == KX_STATE_OPTIONS)
        KX_STATE_OPTIONS_HandleKey(key);
    else if (GameState == KX_STATE_GAMEOVER)
        KX_STATE_GAMEOVER_HandleKey(key);
}

void KX_InputPoll()
{
    if (GameState == KX_STATE_READY_WAIT)
        KX_STATE_READY_WAIT_InputPoll();
    else if (GameState == KX_STATE_PLAYING)
        KX_STATE_PLAYING_InputPoll();
}

static void KX_StartState(int state)
{
    switch (state) {
    case KX_STATE_OPTIONS: KX_STATE_OPTIONS_Start(); break;
    case KX_STATE_LOAD_LEVEL: KX_LoadLevelData(); break;
    case KX_STATE_ENTER_LASER: KX_STATE_ENTER_LASER_Start(); break;
    case KX_STATE_READY_WAIT: KX_STATE_READY_WAIT_Start(); break;
    case KX_STATE_PLAYING: KX_STATE_PLAYING_Start(); break;
    case KX_STATE_END_LEVEL: KX_STATE_END_LEVEL_Start(); break;
    case KX_STATE_DYING: KX_STATE_DYING_Start(); break;
    case KX_STATE_GAMEOVER: KX_STATE_GAMEOVER_Start(); break;
    default: break;
    }
}

static void KX_UpdateState(int state, int time)
{
    switch (state) {
    case KX_STATE_OPTIONS: KX_STATE_OPTIONS_Update(time); break;
    case KX_STATE_LOAD_LEVEL: GameState = KX_STATE_ENTER_LASER; break;
    case KX_STATE_ENTER_LASER: KX_STATE_ENTER_LASER_Update(time); break;
    case KX_STATE_READY_WAIT: KX_STATE_READY_WAIT_Update(time); break;
    case KX_STATE_PLAYING: KX_STATE_PLAYING_Update(time); break;
    case KX_STATE_END_LEVEL: KX_STATE_END_LEVEL_Update(time); break;
    case KX_STATE_DYING: KX_STATE_DYING_Update(time); break;
    case KX_STATE_GAMEOVER: KX_STATE_GAMEOVER_Update(time); break;
    default: break;
    }
}

void KX_Update(int time)
{
    if (GameState != OldGameState && GameState >= 0 && GameState <= KX_STATE_QUIT)
        KX_StartState(GameState);
    OldGameState = GameState;
    KX_UpdateState(GameState, time);
}
