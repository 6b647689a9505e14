// DirectDraw stand-in: surfaces in memory, flips presented through an SDL streaming texture.
#include "sys_local.h"
#include "sys_harness.h"
#include "sys_screenshot.h"
#include "sys_source.h"
#include "win_time.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

static int modeWidth = 0;
static int modeHeight = 0;
static int modeDepth = 0;
static int format16 = 2; // 2 = 5-6-5, 1 = 5-5-5
static bool refusedDepth[33];
static bool displayAvailable = true;
static int busyLocks = 0;
static int failFlips = 0;
static std::vector<IDirectDrawSurface *> surfaces;
static SDL_Texture *texture = nullptr;
static int textureDepth = 0;
static SDL_Texture *upscaled = nullptr;
static int upscaledW = 0, upscaledH = 0;

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
    if (texture) {
        SDL_DestroyTexture(texture);
        texture = nullptr;
    }
    if (upscaled) {
        SDL_DestroyTexture(upscaled);
        upscaled = nullptr;
    }
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
    Sys_Present(this);
    Sys_CountFrame();
    sys_source.frameShown(this);
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
    if (sys_windowHidden)
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
    }
    surfaces.erase(std::remove(surfaces.begin(), surfaces.end(), this), surfaces.end());
    delete this;
    return 0;
}

// The primary's pixels as R,G,B bytes, through the same texture format conversion as the window.
static Uint32 TextureFormat(int depth)
{
    switch (depth) {
    case 16: return format16 == 1 ? SDL_PIXELFORMAT_RGB555 : SDL_PIXELFORMAT_RGB565;
    case 24: return SDL_PIXELFORMAT_BGR24;
    case 32: return SDL_PIXELFORMAT_RGB888;
    default: return SDL_PIXELFORMAT_UNKNOWN;
    }
}

static IDirectDrawSurface *FindPrimary()
{
    for (IDirectDrawSurface *s : surfaces)
        if (s->attached)
            return s;
    return nullptr;
}

bool Sys_PresentedImage(std::vector<BYTE> &rgb, int &width, int &height)
{
    IDirectDrawSurface *primary = FindPrimary();
    if (!primary)
        return false;
    width = primary->width;
    height = primary->height;
    rgb.assign((size_t)width * height * 3, 0);
    Uint32 format = TextureFormat(primary->depth);
    if (format == SDL_PIXELFORMAT_UNKNOWN) {
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++) {
                COLORREF c = Sys_UnpackColour(primary->depth, Sys_ReadPixel(primary, x, y));
                BYTE *p = &rgb[((size_t)y * width + x) * 3];
                p[0] = GetRValue(c); p[1] = GetGValue(c); p[2] = GetBValue(c);
            }
        return true;
    }
    return SDL_ConvertPixels(width, height, format, primary->pixels.data(), primary->pitch,
                             SDL_PIXELFORMAT_RGB24, rgb.data(), width * 3) == 0;
}

SysScaleRect Sys_ScaleRect(int outW, int outH, int srcW, int srcH, bool integerOnly)
{
    SysScaleRect r = { 0, 0, 0, 0, 1 };
    // A window squeezed to nothing shows nothing, and divides by nothing.
    if (outW <= 0 || outH <= 0 || srcW <= 0 || srcH <= 0)
        return r;
    int whole = std::min(outW / srcW, outH / srcH);
    if (integerOnly && whole >= 1) {
        r.w = srcW * whole;
        r.h = srcH * whole;
    } else if ((long long)outW * srcH <= (long long)outH * srcW) {
        r.w = outW;
        r.h = (int)(((long long)outW * srcH * 2 + srcW) / (2LL * srcW));
    } else {
        r.h = outH;
        r.w = (int)(((long long)outH * srcW * 2 + srcH) / (2LL * srcH));
    }
    r.w = std::max(r.w, 1);
    r.h = std::max(r.h, 1);
    r.multiple = std::max(1, std::min(r.w / srcW, r.h / srcH));
    r.x = (outW - r.w) / 2;
    r.y = (outH - r.h) / 2;
    return r;
}

// The picture enlarged nearest-neighbour to a whole multiple, so that the smooth stretch after it
// only blends the edges of each enlarged pixel and the picture stays sharp.
static SDL_Texture *Upscaled(int w, int h)
{
    if (upscaled && upscaledW == w && upscaledH == h)
        return upscaled;
    if (upscaled)
        SDL_DestroyTexture(upscaled);
    upscaled = SDL_CreateTexture(sys_renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET, w, h);
    upscaledW = w;
    upscaledH = h;
    if (upscaled)
        SDL_SetTextureScaleMode(upscaled, SDL_ScaleModeLinear);
    return upscaled;
}

void Sys_Present(IDirectDrawSurface *primary)
{
    if (!sys_renderer || sys_windowHidden)
        return;
    Uint32 format = TextureFormat(primary->depth);
    if (format == SDL_PIXELFORMAT_UNKNOWN)
        return;
    if (!texture || textureDepth != primary->depth) {
        if (texture)
            SDL_DestroyTexture(texture);
        texture = SDL_CreateTexture(sys_renderer, format, SDL_TEXTUREACCESS_STREAMING, primary->width,
                                    primary->height);
        textureDepth = primary->depth;
        if (!texture)
            return;
    }
    SDL_UpdateTexture(texture, nullptr, primary->pixels.data(), primary->pitch);
    // The output in pixels (high DPI included), asked afresh each frame: a toggle or a resize may
    // have changed it without an event having been seen yet.
    int ow = 0, oh = 0;
    if (SDL_GetRendererOutputSize(sys_renderer, &ow, &oh) != 0)
        return;
    SysScaleRect r = Sys_ScaleRect(ow, oh, primary->width, primary->height, sys_options.integerScale);
    SDL_Texture *source = texture;
    int wholeW = primary->width * r.multiple, wholeH = primary->height * r.multiple;
    bool exact = wholeW == r.w && wholeH == r.h;
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
    if (!exact && r.multiple > 1 && SDL_RenderTargetSupported(sys_renderer)) {
        SDL_Texture *big = Upscaled(wholeW, wholeH);
        if (big && SDL_SetRenderTarget(sys_renderer, big) == 0) {
            SDL_RenderCopy(sys_renderer, texture, nullptr, nullptr);
            source = big;
        }
        SDL_SetRenderTarget(sys_renderer, nullptr);
    }
    if (!exact && source == texture)
        SDL_SetTextureScaleMode(texture, SDL_ScaleModeLinear);
    SDL_RenderSetViewport(sys_renderer, nullptr);
    SDL_SetRenderDrawColor(sys_renderer, 0, 0, 0, 255);
    SDL_RenderClear(sys_renderer);
    if (r.w > 0 && r.h > 0) {
        SDL_Rect dst = { r.x, r.y, r.w, r.h };
        SDL_RenderCopy(sys_renderer, source, nullptr, &dst);
    }
    Sys_DrawScreenshotNotice(r.x, r.y, r.w, r.h);
    SDL_RenderPresent(sys_renderer);
}
