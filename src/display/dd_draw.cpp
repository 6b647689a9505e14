// Colour values, fills, lines, GDI text, bitmap copies and palette files.
#include "dd_draw.h"
#include "dd.h"
#include "dd_log.h"
#include "sys_file.h"

#include <cstring>

int PixelFormat = -1;

int RGBToColourValue(int r, int g, int b)
{
    if (g_ScreenDepth > 16)
        return (r << 16) | (g << 8) | b;
    if (PixelFormat == -1) {
        DDPIXELFORMAT ddpf;
        memset(&ddpf, 0, sizeof ddpf);
        ddpf.dwSize = sizeof ddpf;
        HRESULT result = g_pDDSPrimary ? g_pDDSPrimary->GetPixelFormat(&ddpf) : DDERR_INVALIDOBJECT;
        if (DDFailCheck(result, "GetPixelFormat"))
            return 0;
        if ((ddpf.dwGBitMask >> 5) == 0x1F)
            PixelFormat = 1;
        else if ((ddpf.dwGBitMask >> 5) == 0x3F)
            PixelFormat = 2;
    }
    if (PixelFormat == 1)
        return ((r & 0xF8) << 7) | ((g & 0xF8) << 2) | ((b & 0xF8) >> 3);
    return ((r & 0xF8) << 8) | ((g & 0xFC) << 3) | ((b & 0xF8) >> 3);
}

unsigned long DDGDIColorMatch(IDirectDrawSurface *surface, unsigned long rgb)
{
    unsigned long result = CLR_INVALID;
    COLORREF saved = 0;
    HDC dc;
    HRESULT hr = surface->GetDC(&dc);
    if (DDFailCheck(hr, "DDGDIColorMatch: "))
        return result;
    if (rgb != CLR_INVALID) {
        saved = GetPixel(dc, 0, 0);
        SetPixel(dc, 0, 0, (COLORREF)rgb);
    }
    surface->ReleaseDC(dc);

    DDSURFACEDESC ddsd;
    memset(&ddsd, 0, sizeof ddsd);
    ddsd.dwSize = sizeof ddsd;
    while ((hr = surface->Lock(nullptr, &ddsd, 0, nullptr)) == DDERR_WASSTILLDRAWING)
        ;
    if (hr == DD_OK) {
        DWORD bpp = ddsd.ddpfPixelFormat.dwRGBBitCount;
        // Read only the bytes of one pixel: the surface may be a single pixel wide.
        DWORD value = 0;
        memcpy(&value, ddsd.lpSurface, bpp >= 32 ? 4 : (bpp + 7) / 8);
        if (bpp < 32)
            value &= (1u << bpp) - 1;
        result = value;
        surface->Unlock(nullptr);
    }

    if (rgb != CLR_INVALID) {
        hr = surface->GetDC(&dc);
        if (DDFailCheck(hr, "DDGDIColorMatch: "))
            return result;
        SetPixel(dc, 0, 0, saved);
        surface->ReleaseDC(dc);
    }
    return result;
}

static void DDColourFill(IDirectDrawSurface *surface, int colour, RECT *rect)
{
    DDBLTFX fx;
    memset(&fx, 0, sizeof fx);
    fx.dwSize = sizeof fx;
    fx.dwFillColor = (DWORD)colour;
    surface->Blt(rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

bool DDFillSurface(IDirectDrawSurface *surface, int colour)
{
    DDColourFill(surface, colour, nullptr);
    return true;
}

bool DDFillRect(IDirectDrawSurface *surface, int colour, int left, int top, int right, int bottom)
{
    RECT rect = { left, top, right, bottom };
    DDColourFill(surface, colour, &rect);
    return true;
}

void DDhline(int x1, int x2, int y, int colour, unsigned char *buffer, int lpitch)
{
    if (x2 <= x1)
        return;
    unsigned char *row = buffer + (long)y * lpitch;
    switch (g_ScreenDepth) {
    case 8:
        memset(row + x1, colour & 0xFF, x2 - x1);
        break;
    case 16:
        for (int x = x1; x < x2; x++) {
            row[2 * x] = colour & 0xFF;
            row[2 * x + 1] = (colour >> 8) & 0xFF;
        }
        break;
    case 24:
    case 32: {
        int step = g_ScreenDepth / 8;
        for (int x = x1; x < x2; x++) {
            unsigned char *p = row + step * x;
            p[0] = colour & 0xFF;
            p[1] = (colour >> 8) & 0xFF;
            p[2] = (colour >> 16) & 0xFF;
        }
        break;
    }
    default:
        break;
    }
}

static bool DDTextOut(const char *text, int x, int y, const PALETTEENTRY &colour, IDirectDrawSurface *surface)
{
    HDC dc;
    if (!surface || surface->GetDC(&dc) != DD_OK)
        return false;
    SetTextColor(dc, RGB(colour.peRed, colour.peGreen, colour.peBlue));
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, x, y, text, (int)strlen(text));
    surface->ReleaseDC(dc);
    return true;
}

bool DrawTextGDI(const char *text, int x, int y, int colour, IDirectDrawSurface *surface)
{
    return DDTextOut(text, x, y, palette[colour & 0xFF], surface);
}

bool DrawTextGDI(const char *text, int x, int y, PALETTEENTRY colour, IDirectDrawSurface *surface)
{
    return DDTextOut(text, x, y, colour, surface);
}

HRESULT DDCopyBitmap(IDirectDrawSurface *surface, HBITMAP bitmap, int x, int y, int dx, int dy)
{
    if (!bitmap || !surface)
        return E_FAIL;
    surface->Restore();
    HDC image = CreateCompatibleDC(nullptr);
    if (!image)
        DDErrorLog("createcompatible dc failed\n");
    SelectObject(image, bitmap);
    BITMAP bm;
    memset(&bm, 0, sizeof bm);
    GetObjectA(bitmap, sizeof bm, &bm);
    dx = dx == 0 ? bm.bmWidth : dx;
    dy = dy == 0 ? bm.bmHeight : dy;
    DDSURFACEDESC ddsd;
    memset(&ddsd, 0, sizeof ddsd);
    ddsd.dwSize = sizeof ddsd;
    ddsd.dwFlags = DDSD_HEIGHT | DDSD_WIDTH;
    surface->GetSurfaceDesc(&ddsd);
    HDC dc;
    HRESULT hr = surface->GetDC(&dc);
    if (hr == DD_OK) {
        StretchBlt(dc, 0, 0, ddsd.dwWidth, ddsd.dwHeight, image, x, y, dx, dy, SRCCOPY);
        surface->ReleaseDC(dc);
    }
    DeleteDC(image);
    return hr;
}

void DDLoadPalette(const char *filename, PALETTEENTRY *entries, int *count)
{
    if (!filename)
        return;
    FILE *f = Sys_FOpen(filename, "rb");
    if (!f)
        return;
    int capacity = *count;
    BYTE fileHeader[14];
    BYTE info[40];
    memset(info, 0, sizeof info);
    size_t got = fread(fileHeader, 1, sizeof fileHeader, f);
    if (got == sizeof fileHeader)
        got = fread(info, 1, sizeof info, f);
    // Only whole entries that the file really holds are counted as read.
    size_t read = 0;
    if (got == sizeof info && *count > 0)
        read = fread(entries, 4, (size_t)*count, f);
    fclose(f);
    DWORD size = info[0] | info[1] << 8 | info[2] << 16 | (DWORD)info[3] << 24;
    int bits = info[14] | info[15] << 8;
    DWORD used = info[32] | info[33] << 8 | info[34] << 16 | (DWORD)info[35] << 24;
    if (size != 40 || bits > 8) {
        *count = 0;
        return;
    }
    int colours = used != 0 ? (int)(used > 256 ? 256 : used) : 1 << bits;
    // Never more than the caller's array holds.
    if (colours > capacity)
        colours = capacity < 0 ? 0 : capacity;
    *count = colours;
    for (int i = 0; i < colours && i < (int)read; i++) {
        BYTE t = entries[i].peRed;
        entries[i].peRed = entries[i].peBlue;
        entries[i].peBlue = t;
    }
}

bool SetPaletteEntry(int index, PALETTEENTRY *entry)
{
    if (index < 0 || index > 255)
        return true;
    if (g_pDDPalette)
        g_pDDPalette->SetEntries(0, index, 1, entry);
    palette[index] = *entry;
    return true;
}

HRESULT DDCreatePlainSurface(int width, int height, DWORD caps, IDirectDrawSurface **out)
{
    *out = nullptr;
    if (!g_pDD)
        return DDERR_INVALIDOBJECT;
    DDSURFACEDESC ddsd;
    memset(&ddsd, 0, sizeof ddsd);
    ddsd.dwSize = sizeof ddsd;
    ddsd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    ddsd.ddsCaps.dwCaps = caps;
    ddsd.dwWidth = (DWORD)width;
    ddsd.dwHeight = (DWORD)height;
    return g_pDD->CreateSurface(&ddsd, out, nullptr);
}
