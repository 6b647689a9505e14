// The playing state of the game (placeholder until it lands).
#include "kx_state_playing.h"

void KX_STATE_PLAYING_Start() {}
void KX_STATE_PLAYING_Update(int) {}
void KX_STATE_PLAYING_InputPoll() {}
