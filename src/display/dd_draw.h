// Colour values in the display's pixel format and the small drawing services on surfaces.
#pragma once

#include "win_ddraw.h"
#include "win_gdi.h"

extern int PixelFormat; // 16 bpp layout: -1 unknown, 1 = 5-5-5, 2 = 5-6-5

int RGBToColourValue(int r, int g, int b);
unsigned long DDGDIColorMatch(IDirectDrawSurface *surface, unsigned long rgb);
bool DDFillSurface(IDirectDrawSurface *surface, int colour);
bool DDFillRect(IDirectDrawSurface *surface, int colour, int left, int top, int right, int bottom);
void DDhline(int x1, int x2, int y, int colour, unsigned char *buffer, int lpitch);
bool DrawTextGDI(const char *text, int x, int y, int colour, IDirectDrawSurface *surface);
bool DrawTextGDI(const char *text, int x, int y, PALETTEENTRY colour, IDirectDrawSurface *surface);
// An off-screen surface of the given size and capabilities; *out is null unless it succeeds.
HRESULT DDCreatePlainSurface(int width, int height, DWORD caps, IDirectDrawSurface **out);
HRESULT DDCopyBitmap(IDirectDrawSurface *surface, HBITMAP bitmap, int x, int y, int dx, int dy);
void DDLoadPalette(const char *filename, PALETTEENTRY *entries, int *count);
bool SetPaletteEntry(int index, PALETTEENTRY *entry);
