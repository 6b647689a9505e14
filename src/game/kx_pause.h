// Pause: the game's time stops in play, the paused picture shows; no keys before the title.
#pragma once

extern bool KX_PAUSE_Paused;    // play is paused
extern bool KX_PAUSE_Listening; // the title has started once: key-down messages count from then on

// A key-down from the window; true when pause takes it (a toggle, or a key before the title).
bool KX_PAUSE_HandleKey(int key);
// The window lost the keyboard, or was minimised or hidden: play pauses.
void KX_PAUSE_Away();
// The game's step of a frame: the paused picture, or the input poll and the state machine.
void KX_PAUSE_Update(int time);
// Pauses (only in play, states 4 to 8) or resumes.
void KX_PAUSE_Set(bool paused);
// A player's pad was lost (1 or 2; 0: none): the caption asks for it back.
void KX_PAUSE_SetLostPad(int player);
// The last input came from a pad whose select button has this name (nullptr: the keyboard): the
// caption speaks its terms.
void KX_PAUSE_SetPadTerms(const char *select);
