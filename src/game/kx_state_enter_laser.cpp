// The enter laser state of the game (placeholder until it lands).
#include "kx_state_enter_laser.h"

void KX_STATE_ENTER_LASER_Start() {}
void KX_STATE_ENTER_LASER_Update(int) {}
void KX_STATE_ENTER_LASER_HandleKey(int) {}
