// The end-of-level state: what is left explodes, a zap is awarded, then the next level.
#pragma once

extern bool PlayedEndLevel; // the reward has been given

enum { KX_END_LEVEL_REWARD_TIME = 500, KX_END_LEVEL_TIME = 4000 };

void KX_STATE_END_LEVEL_Start();
void KX_STATE_END_LEVEL_Update(int time);
