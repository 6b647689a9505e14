// Sprite definitions and the sprite list (placeholder until the sprite engine lands).
#include "dd_sprites.h"

void DDSPRITE_RestoreSurfaces() {}
