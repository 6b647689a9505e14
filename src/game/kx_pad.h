// Pads beyond play: the menus' keys from any pad, letters picked for the initials, Start to pause, lost pads, rumble.
#pragma once

enum {
    KX_PAD_DEAD_ZONE = 50,     // of the stick's -100..100 before it counts as a direction in the menus
    KX_PAD_REPEAT_DELAY = 400, // ms a held direction waits before it repeats, as a held key does
    KX_PAD_REPEAT_TIME = 120,  // ms between repeats
    KX_PAD_LETTERS = 37,       // A-Z, 0-9 and a space
    KX_PAD_HINT_Y = 420,       // the credits' and input screen's hint: under their instructions
    KX_PAD_RUMBLE_HIT = 80, KX_PAD_RUMBLE_HIT_MS = 400, // the player's laser destroyed
    KX_PAD_RUMBLE_ZAP = 50, KX_PAD_RUMBLE_ZAP_MS = 250  // an electro zap
};

extern bool KX_PAD_LastInputPad; // the last input came from a pad: hints speak its terms

// Once a frame before the game's step: reads every pad and feeds the screens their keys.
void KX_PAD_Update(int time);
// The letter a pad is picking at the initials (0 when the keyboard was used last).
char KX_PAD_PickedLetter();
// The line of help for the screen on show in the last pad's terms; nullptr after a key.
const char *KX_PAD_Hint();
// Draws that line (or two) centred on centreX from y down, on a dark plate if asked; false (nothing
// drawn) after a key.
bool KX_PAD_DrawHint(int centreX, int y, bool plate);
// A short rumble on the pads of the players in the game (player 0) or of one player.
void KX_PAD_Rumble(int player, int strength, int ms);
// A new run: nothing held, nothing remembered as chosen.
void KX_PAD_Reset();
