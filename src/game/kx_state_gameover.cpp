// The gameover state of the game (placeholder until it lands).
#include "kx_state_gameover.h"

void KX_STATE_GAMEOVER_Start() {}
void KX_STATE_GAMEOVER_Update(int) {}
void KX_STATE_GAMEOVER_HandleKey(int) {}
