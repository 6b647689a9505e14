// Bitmap fonts: a bitmap with character metrics read from a font metrics file.
#pragma once

#include "dd_bitmap.h"

struct DDFontMetrics {
    bool Defined[256];
    int CharX[256];
    int CharY[256];
    int CharWidth[256];
    int Height;
};

// The metrics file's block markers; entry 0 stands for no marker.
enum { FONT_BLOCK_COUNT = 11 };
extern const char *const FontStrings[FONT_BLOCK_COUNT];

DDBitmap *DDBITMAP_LoadFont(const char *bitmapFile, const char *metricsFile);
int FONT_GetBlockMarker(char *line);
void DDBitmap_TextSize(DDBitmap *bitmap, const char *text, int *width, int *height);
void DDBitmap_DrawText(IDirectDrawSurface *dest, DDBitmap *bitmap, const char *text, int x, int y);
