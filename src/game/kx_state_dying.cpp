// The dying state of the game (placeholder until it lands).
#include "kx_state_dying.h"

void KX_STATE_DYING_Start() {}
void KX_STATE_DYING_Update(int) {}
