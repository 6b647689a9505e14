// The status panel beside the playfield: lives, electro zaps, the threshold bar and the scores.
#pragma once

enum { KX_PANEL_MAX_ICONS = 5, KX_THRESHOLD_BAR_WIDTH = 130, KX_THRESHOLD_BAR_HEIGHT = 18 };

// Width in pixels of the threshold bar for the current Threshold and level.
int KX_PANEL_GAME_BarWidth();
void KX_PANEL_GAME_Draw();
