// The ready state: the ready banner drops in; once it has, fire starts play.
#pragma once

extern bool GameReady; // the banner has finished: fire now starts play

enum {
    KX_READY_STEP_TIME = 66, // ms per banner step
    KX_READY_LAST_STEP = 14  // reached after 14 * 66 = 924 ms
};

void KX_STATE_READY_WAIT_Start();
void KX_STATE_READY_WAIT_Update(int time);
void KX_STATE_READY_WAIT_InputPoll();
void KX_STATE_READY_WAIT_HandleKey(int key);
