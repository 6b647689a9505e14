// Screen bitmaps (placeholder until the playfield art lands).
#include "kx_bitmap.h"

bool KX_BITMAP_Initialise() { return true; }
void KX_BITMAP_Cleanup() {}
