// The game's actors (placeholder until they land).
#include "kx_sprites.h"

bool KX_SPRITES_Initialise() { return true; }
void KX_SPRITES_CleanUp() {}
