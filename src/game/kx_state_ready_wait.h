// The ready wait state of the game (placeholder until it lands).
#pragma once

void KX_STATE_READY_WAIT_Start();
void KX_STATE_READY_WAIT_Update(int time);
void KX_STATE_READY_WAIT_InputPoll();
void KX_STATE_READY_WAIT_HandleKey(int key);
