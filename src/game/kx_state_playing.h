// The playing state of the game (placeholder until it lands).
#pragma once

void KX_STATE_PLAYING_Start();
void KX_STATE_PLAYING_Update(int time);
void KX_STATE_PLAYING_InputPoll();
