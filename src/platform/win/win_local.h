// What the stand-ins share: drawing contexts, bitmap records, pixel values of the display format.
#pragma once

#include "win_ddraw.h"
#include "win_gdi.h"

#include <vector>

struct HBITMAP__ {
    BITMAP bm;                // bmBits points into bits
    std::vector<BYTE> bits;   // bottom-up rows
    std::vector<BYTE> quads;  // colour table, B,G,R,0 per entry
    int colours = 0;
    DWORD masks[3] = { 0, 0, 0 }; // bit fields of 16 and 32 bpp files
};

struct HDC__ {
    IDirectDrawSurface *surface = nullptr; // a surface's context
    HBITMAP bitmap = nullptr;              // a memory context's selected bitmap
    COLORREF textColour = 0;
    int bkMode = OPAQUE;
};

// Pixel values of the display format and GDI colours.
DWORD Sys_PackColour(int depth, COLORREF colour);
COLORREF Sys_UnpackColour(int depth, DWORD value);
DWORD Sys_ReadPixel(const IDirectDrawSurface *s, int x, int y);
void Sys_WritePixel(IDirectDrawSurface *s, int x, int y, DWORD value);
