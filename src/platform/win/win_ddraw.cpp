// DirectDraw stand-in: surfaces in memory; a flip hands the picture to the presenter and the source.
#include "win_local.h"
#include "sys_fake.h"
#include "sys_screenshot.h"
#include "sys_source.h"
#include "sys_video.h"

#include <algorithm>
#include <cstring>

static int modeWidth = 0;
static int modeHeight = 0;
static int modeDepth = 0;
static int format16 = 2; // 2 = 5-6-5, 1 = 5-5-5
static bool refusedDepth[33];
static bool displayAvailable = true;
static bool displayHidden = false; // the window is minimised or hidden: nothing to show, nothing to restore
static int busyLocks = 0;
static int failFlips = 0;
static std::vector<IDirectDrawSurface *> surfaces;

enum { MAX_SURFACE_SIDE = 16384 };

void Sys_SetPixelFormat16(int format) { format16 = format == 1 ? 1 : 2; }
void Sys_RefuseDisplayDepth(int depth, bool refuse)
{
    if (depth >= 0 && depth <= 32)
        refusedDepth[depth] = refuse;
}
void Sys_SetBusyLocks(int count) { busyLocks = count; }
void Sys_FailFlips(int count) { failFlips = count; }
void Sys_SetDisplayAvailable(bool available) { displayAvailable = available; }

void Sys_LoseSurface(IDirectDrawSurface *surface)
{
    if (surface)
        surface->lost = true;
}

void Sys_LoseAllSurfaces()
{
    for (IDirectDrawSurface *s : surfaces)
        s->lost = true;
}

void Sys_DisplayHidden(bool hidden)
{
    displayHidden = hidden;
    if (hidden)
        Sys_LoseAllSurfaces();
}

DWORD Sys_PackColour(int depth, COLORREF c)
{
    DWORD r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    switch (depth) {
    case 16:
        if (format16 == 1)
            return ((r & 0xF8) << 7) | ((g & 0xF8) << 2) | (b >> 3);
        return ((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3);
    case 24:
    case 32:
        return (r << 16) | (g << 8) | b;
    case 8:
        // The start-up palette's grey ramp: indices 192 to 255.
        return 192 + ((r + g + b) / 3) / 4;
    default:
        return 0;
    }
}

COLORREF Sys_UnpackColour(int depth, DWORD v)
{
    DWORD r, g, b;
    switch (depth) {
    case 16:
        if (format16 == 1) {
            r = (v >> 10) & 31; g = (v >> 5) & 31; b = v & 31;
            return RGB(r << 3 | r >> 2, g << 3 | g >> 2, b << 3 | b >> 2);
        }
        r = (v >> 11) & 31; g = (v >> 5) & 63; b = v & 31;
        return RGB(r << 3 | r >> 2, g << 2 | g >> 4, b << 3 | b >> 2);
    case 24:
    case 32:
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    case 8: {
        DWORD i = v & 0xFF, ramp = 4 * (i & 63);
        if (i < 64) return RGB(ramp, 0, 0);
        if (i < 128) return RGB(0, ramp, 0);
        if (i < 192) return RGB(0, 0, ramp);
        return RGB(ramp, ramp, ramp);
    }
    default:
        return 0;
    }
}

DWORD Sys_ReadPixel(const IDirectDrawSurface *s, int x, int y)
{
    const BYTE *p = s->pixels.data() + (size_t)y * s->pitch + (size_t)x * (s->depth / 8);
    switch (s->depth) {
    case 8: return p[0];
    case 16: return p[0] | p[1] << 8;
    case 24: return p[0] | p[1] << 8 | p[2] << 16;
    case 32: return p[0] | p[1] << 8 | p[2] << 16 | (DWORD)p[3] << 24;
    default: return 0;
    }
}

void Sys_WritePixel(IDirectDrawSurface *s, int x, int y, DWORD v)
{
    BYTE *p = s->pixels.data() + (size_t)y * s->pitch + (size_t)x * (s->depth / 8);
    switch (s->depth) {
    case 8: p[0] = v; break;
    case 16: p[0] = v; p[1] = v >> 8; break;
    case 24: p[0] = v; p[1] = v >> 8; p[2] = v >> 16; break;
    case 32: p[0] = v; p[1] = v >> 8; p[2] = v >> 16; break; // the fourth byte is never written
    default: break;
    }
}

// The shown picture was drawn on after its flip: the screen is to show it too.
static void DrawnOn(const IDirectDrawSurface *s)
{
    if ((s->caps & DDSCAPS_FRONTBUFFER) && !displayHidden)
        Sys_ShownPictureDrawn();
}

// A surface's pixels as the presenter and the source see them.
static SysPicture Picture(const IDirectDrawSurface *s)
{
    SysPicture p;
    p.pixels = s->pixels.data();
    p.size = s->pixels.size();
    p.width = s->width;
    p.height = s->height;
    p.pitch = s->pitch;
    p.depth = s->depth;
    p.rgb555 = s->depth == 16 && format16 == 1;
    return p;
}

static IDirectDrawSurface *NewSurface(int width, int height, DWORD caps)
{
    IDirectDrawSurface *s = new IDirectDrawSurface;
    s->width = width;
    s->height = height;
    s->depth = modeDepth;
    s->pitch = (width * (modeDepth / 8) + 3) & ~3;
    s->pixels.assign((size_t)s->pitch * height, 0);
    s->caps = caps;
    surfaces.push_back(s);
    return s;
}

static bool InsideSurface(const IDirectDrawSurface *s, const RECT &r)
{
    return r.left >= 0 && r.top >= 0 && r.left <= r.right && r.top <= r.bottom && r.right <= s->width &&
           r.bottom <= s->height;
}

HRESULT DirectDrawCreate(void *, IDirectDraw **out, void *)
{
    if (!out)
        return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (!displayAvailable)
        return MAKE_DDHRESULT(563); // no display hardware
    *out = new IDirectDraw;
    return DD_OK;
}

HRESULT IDirectDraw::SetCooperativeLevel(HWND window, DWORD)
{
    return window ? DD_OK : DDERR_NOHWND;
}

HRESULT IDirectDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bpp)
{
    if (bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return DDERR_UNSUPPORTEDMODE;
    if (refusedDepth[bpp] || width == 0 || height == 0 || width > MAX_SURFACE_SIDE || height > MAX_SURFACE_SIDE)
        return DDERR_UNSUPPORTEDMODE;
    modeWidth = (int)width;
    modeHeight = (int)height;
    modeDepth = (int)bpp;
    return DD_OK;
}

HRESULT IDirectDraw::CreateSurface(DDSURFACEDESC *desc, IDirectDrawSurface **out, void *)
{
    if (!desc || !out)
        return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (modeDepth == 0)
        return DDERR_NOEXCLUSIVEMODE;
    DWORD caps = (desc->dwFlags & DDSD_CAPS) ? desc->ddsCaps.dwCaps : 0;
    if (caps & DDSCAPS_PRIMARYSURFACE) {
        IDirectDrawSurface *primary = NewSurface(modeWidth, modeHeight, caps | DDSCAPS_FRONTBUFFER);
        primary->attached = NewSurface(modeWidth, modeHeight, DDSCAPS_BACKBUFFER);
        SysPicture blank = Picture(primary);
        Sys_SetPicture(&blank);
        *out = primary;
        return DD_OK;
    }
    if (!(desc->dwFlags & DDSD_WIDTH) || !(desc->dwFlags & DDSD_HEIGHT))
        return DDERR_INVALIDPARAMS;
    if (desc->dwWidth == 0 || desc->dwHeight == 0 || desc->dwWidth > MAX_SURFACE_SIDE ||
        desc->dwHeight > MAX_SURFACE_SIDE)
        return DDERR_INVALIDPARAMS;
    *out = NewSurface((int)desc->dwWidth, (int)desc->dwHeight, caps);
    return DD_OK;
}

HRESULT IDirectDraw::CreatePalette(DWORD, PALETTEENTRY *entries, IDirectDrawPalette **out, void *)
{
    if (!out || !entries)
        return DDERR_INVALIDPARAMS;
    *out = new IDirectDrawPalette;
    memcpy((*out)->entries, entries, sizeof(*out)->entries);
    return DD_OK;
}

HRESULT IDirectDraw::WaitForVerticalBlank(DWORD, HANDLE)
{
    return DD_OK;
}

ULONG IDirectDraw::Release()
{
    Sys_ReleasePresenter();
    delete this;
    return 0;
}

HRESULT IDirectDrawPalette::SetEntries(DWORD, DWORD start, DWORD count, const PALETTEENTRY *src)
{
    if (start > 256 || count > 256 - start || !src)
        return DDERR_INVALIDPARAMS;
    memcpy(entries + start, src, count * sizeof *src);
    return DD_OK;
}

HRESULT IDirectDrawPalette::GetEntries(DWORD, DWORD start, DWORD count, PALETTEENTRY *dst)
{
    if (start > 256 || count > 256 - start || !dst)
        return DDERR_INVALIDPARAMS;
    memcpy(dst, entries + start, count * sizeof *dst);
    return DD_OK;
}

ULONG IDirectDrawPalette::Release()
{
    delete this;
    return 0;
}

static void FillDesc(const IDirectDrawSurface *s, DDSURFACEDESC *desc)
{
    desc->dwFlags = DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_CAPS;
    desc->dwWidth = s->width;
    desc->dwHeight = s->height;
    desc->lPitch = s->pitch;
    desc->ddsCaps.dwCaps = s->caps;
    s->GetPixelFormat_(&desc->ddpfPixelFormat);
}

HRESULT IDirectDrawSurface::Lock(RECT *, DDSURFACEDESC *desc, DWORD, HANDLE)
{
    if (!desc)
        return DDERR_INVALIDPARAMS;
    if (lost)
        return DDERR_SURFACELOST;
    if (busyLocks > 0) {
        busyLocks--;
        return DDERR_WASSTILLDRAWING;
    }
    if (locked || dcCount > 0)
        return DDERR_SURFACEBUSY;
    locked = true;
    FillDesc(this, desc);
    desc->lpSurface = pixels.data();
    return DD_OK;
}

HRESULT IDirectDrawSurface::Unlock(void *)
{
    if (!locked)
        return DDERR_NOTLOCKED;
    locked = false;
    DrawnOn(this);
    return DD_OK;
}

HRESULT IDirectDrawSurface::Blt(RECT *dest, IDirectDrawSurface *src, RECT *srcRect, DWORD flags, DDBLTFX *fx)
{
    if (lost)
        return DDERR_SURFACELOST;
    if (locked || dcCount > 0)
        return DDERR_SURFACEBUSY;
    if (!(flags & DDBLT_COLORFILL) || !fx || src)
        return DDERR_UNSUPPORTED;
    RECT r = dest ? *dest : RECT{ 0, 0, width, height };
    if (!InsideSurface(this, r))
        return DDERR_INVALIDRECT;
    for (int y = r.top; y < r.bottom; y++)
        for (int x = r.left; x < r.right; x++)
            Sys_WritePixel(this, x, y, fx->dwFillColor);
    DrawnOn(this);
    return DD_OK;
}

HRESULT IDirectDrawSurface::BltFast(DWORD x, DWORD y, IDirectDrawSurface *src, RECT *srcRect, DWORD flags)
{
    if (!src)
        return DDERR_INVALIDPARAMS;
    if (lost || src->lost)
        return DDERR_SURFACELOST;
    if (locked || src->locked || dcCount > 0 || src->dcCount > 0)
        return DDERR_SURFACEBUSY;
    if (src->depth != depth)
        return DDERR_INVALIDPIXELFORMAT;
    RECT r = srcRect ? *srcRect : RECT{ 0, 0, src->width, src->height };
    if (!InsideSurface(src, r))
        return DDERR_INVALIDRECT;
    LONG w = r.right - r.left, h = r.bottom - r.top;
    if (x > (DWORD)width || y > (DWORD)height || (LONG)x + w > width || (LONG)y + h > height)
        return DDERR_INVALIDRECT;
    int bpp = depth / 8;
    bool keyed = (flags & DDBLTFAST_SRCCOLORKEY) && src->hasKey;
    for (LONG row = 0; row < h; row++) {
        const BYTE *s = src->pixels.data() + (size_t)(r.top + row) * src->pitch + (size_t)r.left * bpp;
        BYTE *d = pixels.data() + (size_t)(y + row) * pitch + (size_t)x * bpp;
        if (!keyed) {
            memcpy(d, s, (size_t)w * bpp);
            continue;
        }
        if (bpp == 4) {
            // The fourth byte is not part of the colour.
            DWORD key24 = src->key & 0xFFFFFF;
            const uint32_t *__restrict s32 = (const uint32_t *)s;
            uint32_t *__restrict d32 = (uint32_t *)d;
            for (LONG i = 0; i < w; i++) {
                // Branch-free so that the loop vectorises.
                uint32_t keep = (uint32_t)0 - (uint32_t)((s32[i] & 0xFFFFFF) != key24);
                d32[i] = (s32[i] & keep) | (d32[i] & ~keep);
            }
        } else if (bpp == 2) {
            uint16_t key16 = (uint16_t)src->key;
            for (LONG i = 0; i < w; i++, s += 2, d += 2)
                if ((uint16_t)(s[0] | s[1] << 8) != key16)
                    memcpy(d, s, 2);
        } else if (bpp == 3) {
            DWORD key24 = src->key & 0xFFFFFF;
            for (LONG i = 0; i < w; i++, s += 3, d += 3)
                if ((DWORD)(s[0] | s[1] << 8 | s[2] << 16) != key24)
                    memcpy(d, s, 3);
        } else {
            for (LONG i = 0; i < w; i++, s++, d++)
                if (*s != (BYTE)src->key)
                    *d = *s;
        }
    }
    DrawnOn(this);
    return DD_OK;
}

HRESULT IDirectDrawSurface::Flip(IDirectDrawSurface *, DWORD)
{
    if (!attached)
        return DDERR_NOTFLIPPABLE;
    if (lost || attached->lost)
        return DDERR_SURFACELOST;
    if (locked || attached->locked || dcCount > 0 || attached->dcCount > 0)
        return DDERR_SURFACEBUSY;
    if (failFlips != 0) {
        if (failFlips > 0)
            failFlips--;
        return DDERR_GENERIC;
    }
    pixels.swap(attached->pixels);
    SysPicture shown = Picture(this);
    if (!displayHidden)
        Sys_PresentFrame(shown);
    Sys_ScreenshotsDone(false); // shots finished since the last flip are said now, on this thread
    Sys_FrameShown(shown);
    return DD_OK;
}

HRESULT IDirectDrawSurface::GetAttachedSurface(DDSCAPS *, IDirectDrawSurface **out)
{
    if (!out)
        return DDERR_INVALIDPARAMS;
    *out = attached;
    return attached ? DD_OK : DDERR_NOTFOUND;
}

HRESULT IDirectDrawSurface::IsLost()
{
    return lost ? DDERR_SURFACELOST : DD_OK;
}

HRESULT IDirectDrawSurface::Restore()
{
    if (!lost)
        return DD_OK;
    if (displayHidden)
        return DDERR_WRONGMODE;
    lost = false;
    std::fill(pixels.begin(), pixels.end(), 0);
    return DD_OK;
}

HRESULT IDirectDrawSurface::SetColorKey(DWORD flags, DDCOLORKEY *colourKey)
{
    if (!(flags & DDCKEY_SRCBLT))
        return DDERR_UNSUPPORTED;
    if (!colourKey) {
        hasKey = false;
        return DD_OK;
    }
    hasKey = true;
    key = colourKey->dwColorSpaceLowValue;
    return DD_OK;
}

HRESULT IDirectDrawSurface::GetDC(HDC *dc)
{
    if (!dc)
        return DDERR_INVALIDPARAMS;
    *dc = nullptr;
    if (lost)
        return DDERR_SURFACELOST;
    if (locked)
        return DDERR_SURFACEBUSY;
    HDC__ *context = new HDC__;
    context->surface = this;
    dcCount++;
    *dc = context;
    return DD_OK;
}

HRESULT IDirectDrawSurface::ReleaseDC(HDC dc)
{
    if (!dc || dc->surface != this)
        return DDERR_NODC;
    dcCount--;
    delete dc;
    DrawnOn(this);
    return DD_OK;
}

void IDirectDrawSurface::GetPixelFormat_(DDPIXELFORMAT *f) const
{
    memset(f, 0, sizeof *f);
    f->dwSize = sizeof *f;
    f->dwRGBBitCount = depth;
    if (depth == 8) {
        f->dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
    } else if (depth == 16) {
        f->dwFlags = DDPF_RGB;
        f->dwRBitMask = format16 == 1 ? 0x7C00 : 0xF800;
        f->dwGBitMask = format16 == 1 ? 0x03E0 : 0x07E0;
        f->dwBBitMask = 0x001F;
    } else {
        f->dwFlags = DDPF_RGB;
        f->dwRBitMask = 0xFF0000;
        f->dwGBitMask = 0x00FF00;
        f->dwBBitMask = 0x0000FF;
    }
}

HRESULT IDirectDrawSurface::GetPixelFormat(DDPIXELFORMAT *format)
{
    if (!format)
        return DDERR_INVALIDPARAMS;
    GetPixelFormat_(format);
    return DD_OK;
}

HRESULT IDirectDrawSurface::GetSurfaceDesc(DDSURFACEDESC *desc)
{
    if (!desc)
        return DDERR_INVALIDPARAMS;
    FillDesc(this, desc);
    return DD_OK;
}

HRESULT IDirectDrawSurface::SetPalette(IDirectDrawPalette *pal)
{
    if (depth != 8)
        return MAKE_DDHRESULT(589); // not palettised
    palette = pal;
    return DD_OK;
}

ULONG IDirectDrawSurface::Release()
{
    // The back buffer belongs to its primary and goes with it.
    if (caps & DDSCAPS_BACKBUFFER)
        return 0;
    if (attached) {
        surfaces.erase(std::remove(surfaces.begin(), surfaces.end(), attached), surfaces.end());
        delete attached;
        Sys_SetPicture(nullptr);
        Sys_ReleasePresenter();
    }
    surfaces.erase(std::remove(surfaces.begin(), surfaces.end(), this), surfaces.end());
    delete this;
    return 0;
}

bool Sys_PresentedImage(std::vector<BYTE> &rgb, int &width, int &height) { return Sys_PictureRGB(rgb, width, height); }
