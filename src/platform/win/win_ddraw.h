// DirectDraw stand-in: a page-flipped display and off-screen surfaces held in memory.
#pragma once

#include "win_types.h"

#include <vector>

#define MAKE_DDHRESULT(code) ((HRESULT)(0x88760000u + (code)))
#define DDERR_GENERIC E_FAIL
#define DDERR_INVALIDPARAMS E_INVALIDARG
#define DDERR_OUTOFMEMORY E_OUTOFMEMORY
#define DDERR_UNSUPPORTED E_NOTIMPL
#define DDERR_INVALIDOBJECT MAKE_DDHRESULT(130)
#define DDERR_INVALIDPIXELFORMAT MAKE_DDHRESULT(145)
#define DDERR_INVALIDRECT MAKE_DDHRESULT(150)
#define DDERR_NOCOLORKEY MAKE_DDHRESULT(215)
#define DDERR_NOEXCLUSIVEMODE MAKE_DDHRESULT(225)
#define DDERR_NOTFOUND MAKE_DDHRESULT(255)
#define DDERR_SURFACEBUSY MAKE_DDHRESULT(430)
#define DDERR_SURFACELOST MAKE_DDHRESULT(450)
#define DDERR_WASSTILLDRAWING MAKE_DDHRESULT(540)
#define DDERR_NOHWND MAKE_DDHRESULT(569)
#define DDERR_NOTFLIPPABLE MAKE_DDHRESULT(582)
#define DDERR_NOTLOCKED MAKE_DDHRESULT(584)
#define DDERR_NODC MAKE_DDHRESULT(586)
#define DDERR_WRONGMODE MAKE_DDHRESULT(587)
#define DDERR_UNSUPPORTEDMODE MAKE_DDHRESULT(590)

// Surface description fields.
#define DDSD_CAPS 0x00000001u
#define DDSD_HEIGHT 0x00000002u
#define DDSD_WIDTH 0x00000004u
#define DDSD_PITCH 0x00000008u
#define DDSD_BACKBUFFERCOUNT 0x00000020u
#define DDSD_PIXELFORMAT 0x00001000u

#define DDSCAPS_BACKBUFFER 0x00000004u
#define DDSCAPS_COMPLEX 0x00000008u
#define DDSCAPS_FLIP 0x00000010u
#define DDSCAPS_FRONTBUFFER 0x00000020u
#define DDSCAPS_OFFSCREENPLAIN 0x00000040u
#define DDSCAPS_PRIMARYSURFACE 0x00000200u
#define DDSCAPS_SYSTEMMEMORY 0x00000800u
#define DDSCAPS_VIDEOMEMORY 0x00004000u

#define DDSCL_FULLSCREEN 0x00000001u
#define DDSCL_NORMAL 0x00000008u
#define DDSCL_EXCLUSIVE 0x00000010u

#define DDLOCK_WAIT 0x00000001u
#define DDLOCK_SURFACEMEMORYPTR 0x00000000u

#define DDBLT_COLORFILL 0x00000400u
#define DDBLT_KEYSRC 0x00008000u
#define DDBLT_WAIT 0x01000000u

#define DDBLTFAST_NOCOLORKEY 0x00000000u
#define DDBLTFAST_SRCCOLORKEY 0x00000001u
#define DDBLTFAST_DESTCOLORKEY 0x00000002u
#define DDBLTFAST_WAIT 0x00000010u

#define DDFLIP_WAIT 0x00000001u
#define DDCKEY_SRCBLT 0x00000008u
#define DDWAITVB_BLOCKBEGIN 0x00000001u

#define DDPCAPS_8BIT 0x00000004u
#define DDPCAPS_ALLOW256 0x00000040u

#define DDPF_RGB 0x00000040u
#define DDPF_PALETTEINDEXED8 0x00000020u

struct DDSCAPS {
    DWORD dwCaps;
};

struct DDPIXELFORMAT {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    DWORD dwRGBBitCount;
    DWORD dwRBitMask;
    DWORD dwGBitMask;
    DWORD dwBBitMask;
    DWORD dwRGBAlphaBitMask;
};

struct DDSURFACEDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    LONG lPitch;
    DWORD dwBackBufferCount;
    void *lpSurface;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS ddsCaps;
};

struct DDCOLORKEY {
    DWORD dwColorSpaceLowValue;
    DWORD dwColorSpaceHighValue;
};

struct DDBLTFX {
    DWORD dwSize;
    DWORD dwFillColor;
};

struct IDirectDrawPalette {
    PALETTEENTRY entries[256];
    HRESULT SetEntries(DWORD flags, DWORD start, DWORD count, const PALETTEENTRY *src);
    HRESULT GetEntries(DWORD flags, DWORD start, DWORD count, PALETTEENTRY *dst);
    ULONG Release();
};

// One surface: its pixels in the display's format, row pitch in bytes.
struct IDirectDrawSurface {
    int width = 0;
    int height = 0;
    int depth = 0; // bits per pixel
    int pitch = 0;
    std::vector<BYTE> pixels;
    DWORD caps = 0;
    bool locked = false;
    bool lost = false;
    bool hasKey = false;
    DWORD key = 0;
    int dcCount = 0;
    IDirectDrawSurface *attached = nullptr; // primary: its back buffer
    IDirectDrawPalette *palette = nullptr;

    HRESULT Lock(RECT *rect, DDSURFACEDESC *desc, DWORD flags, HANDLE event);
    HRESULT Unlock(void *rect);
    HRESULT Blt(RECT *dest, IDirectDrawSurface *src, RECT *srcRect, DWORD flags, DDBLTFX *fx);
    HRESULT BltFast(DWORD x, DWORD y, IDirectDrawSurface *src, RECT *srcRect, DWORD flags);
    HRESULT Flip(IDirectDrawSurface *target, DWORD flags);
    HRESULT GetAttachedSurface(DDSCAPS *caps, IDirectDrawSurface **out);
    HRESULT IsLost();
    HRESULT Restore();
    HRESULT SetColorKey(DWORD flags, DDCOLORKEY *colourKey);
    HRESULT GetDC(HDC *dc);
    HRESULT ReleaseDC(HDC dc);
    HRESULT GetPixelFormat(DDPIXELFORMAT *format);
    void GetPixelFormat_(DDPIXELFORMAT *format) const;
    HRESULT GetSurfaceDesc(DDSURFACEDESC *desc);
    HRESULT SetPalette(IDirectDrawPalette *pal);
    ULONG Release();
};

struct IDirectDraw {
    HRESULT SetCooperativeLevel(HWND window, DWORD flags);
    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bpp);
    HRESULT CreateSurface(DDSURFACEDESC *desc, IDirectDrawSurface **out, void *outer);
    HRESULT CreatePalette(DWORD flags, PALETTEENTRY *entries, IDirectDrawPalette **out, void *outer);
    HRESULT WaitForVerticalBlank(DWORD flags, HANDLE event);
    ULONG Release();
};

HRESULT DirectDrawCreate(void *guid, IDirectDraw **out, void *outer);

// What the game's window shows, and the pixel format's and surfaces' test hooks.
bool Sys_PresentedImage(std::vector<BYTE> &rgb, int &width, int &height); // last flip, as R,G,B bytes
void Sys_SetPixelFormat16(int format); // 1 = 5-5-5, 2 = 5-6-5 (the default)
void Sys_LoseAllSurfaces();    // as when the window is minimised
// The window was minimised or hidden, or shown again: surfaces are lost, and come back once shown.
void Sys_DisplayHidden(bool hidden);
void Sys_LoseSurface(IDirectDrawSurface *surface);

