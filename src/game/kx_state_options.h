// The title state: the lit title relief with its four sweeping lights; Return starts a game.
#pragma once

extern float OptionPhase;  // degrees, 45 per second
extern float OptionPhase2; // degrees, 14.4 per second
extern int LastOptionTime;

void KX_STATE_OPTIONS_Start();
void KX_STATE_OPTIONS_Update(int time);
void KX_STATE_OPTIONS_HandleKey(int key);
