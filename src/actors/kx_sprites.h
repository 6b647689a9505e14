// The game's actors: lasers, shots, enemies, explosions, and their one-time set-up.
#pragma once

bool KX_SPRITES_Initialise();
void KX_SPRITES_CleanUp();
