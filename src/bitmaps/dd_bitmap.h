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

// Every loaded bitmap, in load order.
extern DDBitmap *BitmapHead;
extern DDBitmap *BitmapTail;

// The clip rectangle of all drawing, in destination coordinates; right and bottom exclusive.
extern int DDBitmap_ClipLeft;
extern int DDBitmap_ClipTop;
extern int DDBitmap_ClipRight;
extern int DDBitmap_ClipBottom;

DDBitmap *DDBITMAP_Load(const char *fileName);
void DDBitmap_Restore(DDBitmap *bitmap);
void DDBitmap_RestoreAll();
void DDBitmap_Release(DDBitmap *bitmap);
void DDBitmap_ReleaseAll();
void DDBitmap_RemoveFromList(DDBitmap *bitmap);
void DDBitmap_SetTransparent(DDBitmap *bitmap, unsigned int colour); // GDI colour 0x00BBGGRR
void DDBitmap_SetClip(int left, int top, int right, int bottom);
void DDBitmap_Draw(IDirectDrawSurface *dest, DDBitmap *bitmap, int x, int y);
void DDBitmap_DrawSub(IDirectDrawSurface *dest, DDBitmap *bitmap, int x, int y, int sourceX, int sourceY,
                      int width, int height);
