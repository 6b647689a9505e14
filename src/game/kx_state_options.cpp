// The options state of the game (title and options screen; placeholder until it lands).
#include "kx_state_options.h"

void KX_STATE_OPTIONS_Start() {}
void KX_STATE_OPTIONS_Update(int) {}
void KX_STATE_OPTIONS_HandleKey(int) {}
