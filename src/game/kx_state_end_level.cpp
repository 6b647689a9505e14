// The end level state of the game (placeholder until it lands).
#include "kx_state_end_level.h"

void KX_STATE_END_LEVEL_Start() {}
void KX_STATE_END_LEVEL_Update(int) {}
