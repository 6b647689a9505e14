// The enter-laser state: the field is cleared, the lasers slide in and the threshold bar refills.
#pragma once

extern int TargetThreshold; // the threshold the bar refills to
extern int TitleMusicFade;  // 0 to 100; 100 once faded out, or when there was nothing to fade

void KX_STATE_ENTER_LASER_Start();
void KX_STATE_ENTER_LASER_Update(int time);
void KX_STATE_ENTER_LASER_HandleKey(int key);

// Moves the sprites all the way to time, with no collision checks (the states around play).
void KX_MoveSpritesTo(int time);
