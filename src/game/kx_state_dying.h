// The dying state of the game (placeholder until it lands).
#pragma once

void KX_STATE_DYING_Start();
void KX_STATE_DYING_Update(int time);
