// The game's screen bitmaps, runways, portals and status panel.
#pragma once

bool KX_BITMAP_Initialise();
void KX_BITMAP_Cleanup();
