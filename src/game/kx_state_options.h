// The options state of the game (title and options screen; placeholder until it lands).
#pragma once

void KX_STATE_OPTIONS_Start();
void KX_STATE_OPTIONS_Update(int time);
void KX_STATE_OPTIONS_HandleKey(int key);
