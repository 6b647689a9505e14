// High scores: the three tables, their file, the panel and the game-over screen.
#pragma once

void KX_PANEL_SCORES_Initialise();
void KX_PANEL_SCORES_Cleanup();
