// The ready wait state of the game (placeholder until it lands).
#include "kx_state_ready_wait.h"

void KX_STATE_READY_WAIT_Start() {}
void KX_STATE_READY_WAIT_Update(int) {}
void KX_STATE_READY_WAIT_InputPoll() {}
void KX_STATE_READY_WAIT_HandleKey(int) {}
