// The gameover state of the game (placeholder until it lands).
#pragma once

void KX_STATE_GAMEOVER_Start();
void KX_STATE_GAMEOVER_Update(int time);
void KX_STATE_GAMEOVER_HandleKey(int key);
