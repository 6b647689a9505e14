// Drawing the title's options menu, its percentages, and the credits and input screens.
#pragma once

struct DDBitmap;

// The sub-screens' pictures, loaded when their screen is first drawn, released after it closes.
extern DDBitmap *CreditsHandle;
extern DDBitmap *InputKeyHandle;
extern DDBitmap *InputPlayerHandle;
extern DDBitmap *InputActionsHandle;
extern DDBitmap *InputQMarkHandle;

void DrawOptions();
void DrawInput();
void DrawCredits();
// A value right-aligned in three digit columns from x, then a percent sign; no leading zeros.
void KX_DrawPercent(int x, int y, int value, bool highlighted);

// Release whichever of a closed sub-screen's pictures are loaded.
void KX_MENU_ReleaseCredits();
void KX_MENU_ReleaseInput();
