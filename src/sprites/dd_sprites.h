// Sprite definitions, sprites and the sprite list.
#pragma once

void DDSPRITE_RestoreSurfaces();
