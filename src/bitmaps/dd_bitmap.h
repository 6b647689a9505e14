// The bitmap store: artwork on off-screen surfaces, colour keys, clipped drawing.
#pragma once

#include "win_ddraw.h"

struct DDFontMetrics;

struct DDBitmap {
    char FileName[256];
    IDirectDrawSurface *Surface;
    int Width;
    int Height;
    bool HasColourKey;
    unsigned int ColourKey;
    DDFontMetrics *Font;
    DDBitmap *Next;
    DDBitmap *Prev;
};

extern DDBitmap *BitmapHead;
extern DDBitmap *BitmapTail;

DDBitmap *DDBITMAP_Load(const char *fileName);
void DDBitmap_Draw(IDirectDrawSurface *dest, DDBitmap *bitmap, int x, int y);
void DDBitmap_Release(DDBitmap *bitmap);
