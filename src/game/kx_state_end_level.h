// The end level state of the game (placeholder until it lands).
#pragma once

void KX_STATE_END_LEVEL_Start();
void KX_STATE_END_LEVEL_Update(int time);
