// The bitmap store (placeholder until the bitmap store lands).
#include "dd_bitmap.h"

DDBitmap *BitmapHead = nullptr;
DDBitmap *BitmapTail = nullptr;

DDBitmap *DDBITMAP_Load(const char *) { return nullptr; }
void DDBitmap_Draw(IDirectDrawSurface *, DDBitmap *, int, int) {}
void DDBitmap_Release(DDBitmap *) {}
