// GDI stand-in: BMP files as device-independent bitmaps, and minimal drawing contexts.
#pragma once

#include "win_types.h"
#include "sys_font.h"

#include <cstddef>

#define IMAGE_BITMAP 0
#define LR_LOADFROMFILE 0x00000010u
#define LR_CREATEDIBSECTION 0x00002000u
#define SRCCOPY 0x00CC0020u
#define TRANSPARENT 1
#define OPAQUE 2

// A loaded bitmap's description: rows are stored bottom-up, each bmWidthBytes long
// (padded to four bytes), with bmBitsPixel bits per pixel.
struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    void *bmBits;
};

// LoadImageA refuses larger files before reading them: no game picture comes close.
#define GDI_MAX_IMAGE_BYTES (64LL * 1024 * 1024)

// USER32/GDI32 calls the game makes.
HANDLE LoadImageA(HINSTANCE instance, const char *name, UINT type, int cx, int cy, UINT flags);
int GetObjectA(HGDIOBJ object, int size, void *out);
BOOL DeleteObject(HGDIOBJ object);
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL StretchBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, DWORD rop);
COLORREF GetPixel(HDC dc, int x, int y);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour);
COLORREF SetTextColor(HDC dc, COLORREF colour);
int SetBkMode(HDC dc, int mode);
BOOL TextOutA(HDC dc, int x, int y, const char *text, int length);

// The BMP reader under LoadImageA, open to tests and the fuzzer: parses a whole file held in
// memory. Returns null (and says why in reason) for anything malformed.
HBITMAP Sys_ReadBMP(const BYTE *data, size_t size, const char **reason);
// The colour table of a loaded bitmap of 8 bits or fewer (entries as B,G,R,0 quads).
int Sys_BitmapColours(HBITMAP bitmap, const BYTE **quads);
// A colour of a pixel of a loaded bitmap as 0x00BBGGRR.
COLORREF Sys_BitmapPixel(HBITMAP bitmap, int x, int y);
