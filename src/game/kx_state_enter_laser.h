// The enter laser state of the game (placeholder until it lands).
#pragma once

void KX_STATE_ENTER_LASER_Start();
void KX_STATE_ENTER_LASER_Update(int time);
void KX_STATE_ENTER_LASER_HandleKey(int key);
