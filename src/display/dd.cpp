// The display device: mode with depth fallback, flip chain, locks, loss and restore.
#include "dd.h"
#include "dd_log.h"

#include <cstring>

IDirectDraw *g_pDD = nullptr;
IDirectDrawSurface *g_pDDSPrimary = nullptr;
IDirectDrawSurface *g_pDDSBack = nullptr;
IDirectDrawPalette *g_pDDPalette = nullptr;
HWND g_hWnd = nullptr;
int g_ScreenWidth = 0;
int g_ScreenHeight = 0;
int g_ScreenDepth = 0;
unsigned char *g_PrimaryBuffer = nullptr;
int g_PrimaryLpitch = 0;
unsigned char *g_BackBuffer = nullptr;
int g_BackLpitch = 0;
PALETTEENTRY palette[256];

// A flip that keeps failing means the presenting backend has gone for good.
enum { DD_FLIP_TRIES = 100 };

bool DDInit(HWND window)
{
    DDOpenErrorLog();
    g_hWnd = window;
    if (DDFailCheck(DirectDrawCreate(nullptr, &g_pDD, nullptr), "DirectDrawCreate failed"))
        return false;
    DDSetTimerResolution();
    return true;
}

static void DDInitPalette()
{
    memset(palette, 0, sizeof palette);
    for (int i = 0; i < 256; i++) {
        int ramp = 4 * (i & 63);
        PALETTEENTRY &e = palette[i];
        if (i < 64)
            e.peRed = ramp;
        else if (i < 128)
            e.peGreen = ramp;
        else if (i < 192)
            e.peBlue = ramp;
        else
            e.peRed = e.peGreen = e.peBlue = ramp;
        e.peFlags = PC_NOCOLLAPSE;
    }
}

static void DDClearSurface(IDirectDrawSurface *surface)
{
    DDBLTFX fx;
    memset(&fx, 0, sizeof fx);
    fx.dwSize = sizeof fx;
    fx.dwFillColor = 0;
    surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

bool DDCreateSurfaces(int width, int height, int depth)
{
    if (DDFailCheck(g_pDD->SetCooperativeLevel(g_hWnd, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE), "SetCooperativeLevel"))
        return false;
    int modeDepth = depth;
    if (DDFailCheck(g_pDD->SetDisplayMode(width, height, depth), "SetDisplayMode")) {
        if (depth == 32) {
            DDErrorLog("32 BPP unsupported, trying 24 BPP");
            modeDepth = 24;
        } else if (depth == 24) {
            DDErrorLog("24 BPP unsupported, trying 32 BPP");
            modeDepth = 32;
        } else {
            return false;
        }
        if (DDFailCheck(g_pDD->SetDisplayMode(width, height, modeDepth), "SetDisplayMode"))
            return false;
    }
    g_ScreenWidth = width;
    g_ScreenHeight = height;
    g_ScreenDepth = modeDepth;

    DDSURFACEDESC ddsd;
    memset(&ddsd, 0, sizeof ddsd);
    ddsd.dwSize = sizeof ddsd;
    ddsd.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    ddsd.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    ddsd.dwBackBufferCount = 1;
    if (DDFailCheck(g_pDD->CreateSurface(&ddsd, &g_pDDSPrimary, nullptr), "Create primary surface"))
        return false;
    DDSCAPS caps;
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    if (DDFailCheck(g_pDDSPrimary->GetAttachedSurface(&caps, &g_pDDSBack), "Get Attached Surface"))
        return false;
    if (depth == 8) {
        DDInitPalette();
        if (DDFailCheck(g_pDD->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, palette, &g_pDDPalette, nullptr),
                        "Create palette"))
            return false;
        if (DDFailCheck(g_pDDSPrimary->SetPalette(g_pDDPalette), "Set palette"))
            return false;
    }
    DDClearSurface(g_pDDSPrimary);
    DDClearSurface(g_pDDSBack);
    return true;
}

int DDCheckSurfaces()
{
    int result = 0;
    if (g_pDDSPrimary && g_pDDSPrimary->IsLost() == DDERR_SURFACELOST) {
        result = 1;
        g_pDDSPrimary->Restore();
    }
    if (g_pDDSBack && g_pDDSBack->IsLost() == DDERR_SURFACELOST) {
        result |= 2;
        g_pDDSBack->Restore();
    }
    return result;
}

void DDFlip()
{
    if (g_PrimaryBuffer || g_BackBuffer) {
        DDFailCheck(-1, "Error: Attempt to flip with locked buffer");
        return;
    }
    if (!g_pDDSPrimary)
        return;
    for (int tries = 0; tries < DD_FLIP_TRIES; tries++) {
        HRESULT result = g_pDDSPrimary->Flip(nullptr, DDFLIP_WAIT);
        if (result == DD_OK)
            return;
        if (result == DDERR_SURFACELOST)
            DDCheckSurfaces();
        if (tries == DD_FLIP_TRIES - 1)
            DDFailCheck(result, "Error: Flip keeps failing, frame dropped");
    }
}

bool DDWaitForVsync()
{
    if (g_pDD)
        g_pDD->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr);
    return true;
}

static unsigned char *DDLockSurface(IDirectDrawSurface *surface, unsigned char *&buffer, int &pitch)
{
    if (buffer)
        return buffer;
    DDSURFACEDESC ddsd;
    memset(&ddsd, 0, sizeof ddsd);
    ddsd.dwSize = sizeof ddsd;
    if (surface)
        surface->Lock(nullptr, &ddsd, DDLOCK_WAIT | DDLOCK_SURFACEMEMORYPTR, nullptr);
    buffer = (unsigned char *)ddsd.lpSurface;
    pitch = buffer ? ddsd.lPitch : 0;
    return buffer;
}

static bool DDUnlockSurface(IDirectDrawSurface *surface, unsigned char *&buffer, int &pitch)
{
    if (!buffer)
        return false;
    surface->Unlock(nullptr);
    buffer = nullptr;
    pitch = 0;
    return true;
}

unsigned char *DDLockPrimarySurface() { return DDLockSurface(g_pDDSPrimary, g_PrimaryBuffer, g_PrimaryLpitch); }
bool DDUnlockPrimarySurface() { return DDUnlockSurface(g_pDDSPrimary, g_PrimaryBuffer, g_PrimaryLpitch); }
unsigned char *DDLockBackSurface() { return DDLockSurface(g_pDDSBack, g_BackBuffer, g_BackLpitch); }
bool DDUnlockBackSurface() { return DDUnlockSurface(g_pDDSBack, g_BackBuffer, g_BackLpitch); }

bool DDClose()
{
    DDEndTimerResolution();
    if (g_pDDPalette) {
        g_pDDPalette->Release();
        g_pDDPalette = nullptr;
    }
    if (g_pDDSBack) {
        g_pDDSBack->Release();
        g_pDDSBack = nullptr;
    }
    if (g_pDDSPrimary) {
        g_pDDSPrimary->Release();
        g_pDDSPrimary = nullptr;
    }
    if (g_pDD) {
        g_pDD->Release();
        g_pDD = nullptr;
    }
    g_PrimaryBuffer = g_BackBuffer = nullptr;
    g_PrimaryLpitch = g_BackLpitch = 0;
    DDCloseErrorLog();
    return true;
}
