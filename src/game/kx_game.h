// The top of the game: resources up and down, the state machine, key and input routing.
#pragma once

struct TLightSpec;

enum KX_GameStateType {
    KX_STATE_OPTIONS = 0,
    KX_STATE_LOAD_LEVEL = 3,
    KX_STATE_ENTER_LASER = 4,
    KX_STATE_READY_WAIT = 5,
    KX_STATE_PLAYING = 6,
    KX_STATE_END_LEVEL = 7,
    KX_STATE_DYING = 8,
    KX_STATE_GAMEOVER = 9,
    KX_STATE_QUIT = 10,
};

extern int GameState;
extern int OldGameState;
extern TLightSpec *Light1;
extern TLightSpec *Light2;
extern TLightSpec *Light3;
extern TLightSpec *Light4;

bool KX_Initialise();
void KX_CleanUp();
void KX_HandleKey(int key);
// A game is on the field: the laser entering, the ready wait, play, the level's end, dying.
bool KX_InPlay();
void KX_InputPoll();
void KX_Update(int time);
