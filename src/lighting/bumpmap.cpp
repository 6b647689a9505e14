// The relief's inputs and image: area buffers, colour and height maps, static lights, restoring.
#include "bumpmap_local.h"
#include "dd.h"
#include "dd_draw.h"
#include "dd_log.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>

int AreaLeft = 0, AreaTop = 0, AreaRight = 640, AreaBottom = 480;
int AreaWidth = 640, AreaHeight = 480;
float AreaHeightScale = 0.125f;
float Hardness = 40.0f;
BumpmapLightingType CurrentLighting = BUMPMAP_LIGHTING_FULL;
int AmbientRed = 0, AmbientGreen = 0, AmbientBlue = 0;
TStaticLight *StaticLights = nullptr;
int BumpMaxLights = 0;
TLightSlot *Lights = nullptr;

HBITMAP ColourBitmap = nullptr, HeightBitmap = nullptr;
BITMAP ColourBM, HeightBM;
int ColourWidth = 0, ColourHeight = 0;
PALETTEENTRY ColourPalette[256];
int NColours = 0;

int16_t *AreaNormals = nullptr;
uint8_t *AreaColIdx = nullptr;
uint8_t *AreaStaticRed = nullptr, *AreaStaticGreen = nullptr, *AreaStaticBlue = nullptr;
uint8_t *AreaRed = nullptr, *AreaGreen = nullptr, *AreaBlue = nullptr;
IDirectDrawSurface *StaticImage = nullptr;
int16_t *AreaNormX = nullptr, *AreaNormY = nullptr, *AreaNormZ = nullptr;
uint8_t *AreaPalRed = nullptr, *AreaPalGreen = nullptr, *AreaPalBlue = nullptr;
bool AreaColoursStale = true;
PALETTEENTRY AreaColoursPalette[256];

// The static planes hold a picture that StaticImage does not show yet (its lock failed).
static bool StaticImageStale = false;

// A surface lock that waits: the display answers "still drawing" for a moment at most.
enum { BUMPMAP_LOCK_TRIES = 16 };

static uint8_t *LockSurface(IDirectDrawSurface *surface, int &pitch, int &depth, int &width, int &height)
{
    DDSURFACEDESC ddsd;
    HRESULT result = DDERR_WASSTILLDRAWING;
    for (int tries = 0; tries < BUMPMAP_LOCK_TRIES && result == DDERR_WASSTILLDRAWING; tries++) {
        memset(&ddsd, 0, sizeof ddsd);
        ddsd.dwSize = sizeof ddsd;
        result = surface->Lock(nullptr, &ddsd, DDLOCK_WAIT | DDLOCK_SURFACEMEMORYPTR, nullptr);
    }
    if (result != DD_OK || !ddsd.lpSurface)
        return nullptr;
    pitch = ddsd.lPitch;
    depth = (int)ddsd.ddpfPixelFormat.dwRGBBitCount;
    width = (int)ddsd.dwWidth;
    height = (int)ddsd.dwHeight;
    return (uint8_t *)ddsd.lpSurface;
}

bool Bumpmap_PaintStaticImage()
{
    int pitch, depth, width, height;
    uint8_t *bits = StaticImage ? LockSurface(StaticImage, pitch, depth, width, height) : nullptr;
    if (!bits) {
        StaticImageStale = true;
        return false;
    }
    Bumpmap_RowWriter write = Bumpmap_SelectRowWriter(depth);
    int w = AreaWidth < width ? AreaWidth : width;
    int h = AreaHeight < height ? AreaHeight : height;
    if (write)
        for (int y = 0; y < h; y++) {
            size_t at = (size_t)y * AreaWidth;
            write(bits + (size_t)y * pitch, AreaStaticRed + at, AreaStaticGreen + at, AreaStaticBlue + at, w);
        }
    StaticImage->Unlock(nullptr);
    StaticImageStale = false;
    return true;
}

static void FreeAreaBuffers()
{
    delete[] AreaNormals;
    delete[] AreaColIdx;
    delete[] AreaStaticRed;
    delete[] AreaStaticGreen;
    delete[] AreaStaticBlue;
    delete[] AreaRed;
    delete[] AreaGreen;
    delete[] AreaBlue;
    delete[] AreaNormX;
    delete[] AreaNormY;
    delete[] AreaNormZ;
    delete[] AreaPalRed;
    delete[] AreaPalGreen;
    delete[] AreaPalBlue;
    AreaNormals = AreaNormX = AreaNormY = AreaNormZ = nullptr;
    AreaColIdx = AreaStaticRed = AreaStaticGreen = AreaStaticBlue = AreaRed = AreaGreen = AreaBlue = nullptr;
    AreaPalRed = AreaPalGreen = AreaPalBlue = nullptr;
    AreaColoursStale = true;
    if (StaticImage) {
        StaticImage->Release();
        StaticImage = nullptr;
    }
    StaticImageStale = false;
}

static void FreeLights()
{
    delete[] Lights;
    Lights = nullptr;
    BumpMaxLights = 0;
}

void Bumpmap_Init(int left, int top, int right, int bottom, int maxLights, float heightScale)
{
    // A second call starts afresh rather than leaking the first area.
    FreeAreaBuffers();
    FreeLights();
    AreaLeft = left;
    AreaTop = top;
    AreaRight = right;
    AreaBottom = bottom;
    AreaWidth = right - left;
    AreaHeight = bottom - top;
    AreaHeightScale = heightScale;
    if (maxLights < 0)
        maxLights = 0;
    Lights = new (std::nothrow) TLightSlot[maxLights > 0 ? maxLights : 1];
    if (!Lights) {
        DDErrorLog("Bumpmap_Init: out of memory for the light slots");
        return;
    }
    BumpMaxLights = maxLights;
    for (int i = 0; i < BumpMaxLights; i++)
        Lights[i] = TLightSlot{ false, 0, 0, nullptr };

    if (AreaWidth <= 0 || AreaHeight <= 0 || AreaWidth > 16384 || AreaHeight > 16384) {
        DDErrorLog("Bumpmap_Init: the lit area is empty or too large, nothing will be lit");
        AreaWidth = AreaHeight = 0;
        return;
    }
    size_t n = (size_t)AreaWidth * AreaHeight;
    AreaNormals = new (std::nothrow) int16_t[3 * n];
    AreaColIdx = new (std::nothrow) uint8_t[n];
    AreaStaticRed = new (std::nothrow) uint8_t[n];
    AreaStaticGreen = new (std::nothrow) uint8_t[n];
    AreaStaticBlue = new (std::nothrow) uint8_t[n];
    AreaRed = new (std::nothrow) uint8_t[n];
    AreaGreen = new (std::nothrow) uint8_t[n];
    AreaBlue = new (std::nothrow) uint8_t[n];
    AreaNormX = new (std::nothrow) int16_t[n];
    AreaNormY = new (std::nothrow) int16_t[n];
    AreaNormZ = new (std::nothrow) int16_t[n];
    AreaPalRed = new (std::nothrow) uint8_t[n];
    AreaPalGreen = new (std::nothrow) uint8_t[n];
    AreaPalBlue = new (std::nothrow) uint8_t[n];
    if (!AreaNormals || !AreaColIdx || !AreaStaticRed || !AreaStaticGreen || !AreaStaticBlue || !AreaRed ||
        !AreaGreen || !AreaBlue || !AreaNormX || !AreaNormY || !AreaNormZ || !AreaPalRed || !AreaPalGreen ||
        !AreaPalBlue) {
        DDErrorLog("Bumpmap_Init: out of memory for the lit area");
        FreeAreaBuffers();
        return;
    }
    // Defined contents until the first recalculation: a black picture.
    for (size_t i = 0; i < n; i++) {
        AreaNormals[3 * i] = AreaNormals[3 * i + 1] = AreaNormX[i] = AreaNormY[i] = 0;
        AreaNormals[3 * i + 2] = AreaNormZ[i] = 16384;
    }
    memset(AreaColIdx, 0, n);
    memset(AreaStaticRed, 0, n);
    memset(AreaStaticGreen, 0, n);
    memset(AreaStaticBlue, 0, n);

    if (!g_pDD) {
        DDErrorLog("Bumpmap_Init: no display to create the static image on");
        return;
    }
    if (DDFailCheck(DDCreatePlainSurface(AreaWidth, AreaHeight, DDSCAPS_OFFSCREENPLAIN, &StaticImage),
                    "Bumpmap_Init: CreateSurface"))
        StaticImage = nullptr;
}

static void FreeTextures()
{
    if (ColourBitmap)
        DeleteObject(ColourBitmap);
    if (HeightBitmap)
        DeleteObject(HeightBitmap);
    ColourBitmap = HeightBitmap = nullptr;
    memset(&ColourBM, 0, sizeof ColourBM);
    memset(&HeightBM, 0, sizeof HeightBM);
    ColourWidth = ColourHeight = 0;
}

void Bumpmap_Close()
{
    FreeLights();
    FreeAreaBuffers();
    FreeTextures();
    Bumpmap_ClearStaticLights();
}

void BumpMap_SetLightingType(BumpmapLightingType type)
{
    if (type != BUMPMAP_LIGHTING_FULL && type != BUMPMAP_LIGHTING_FAST && type != BUMPMAP_LIGHTING_OFF) {
        char text[80];
        snprintf(text, sizeof text, "Unknown lighting type %d, using full lighting", (int)type);
        DDErrorLog(text);
        type = BUMPMAP_LIGHTING_FULL;
    }
    CurrentLighting = type;
}

static HBITMAP LoadMap(const char *file)
{
    if (!file)
        return nullptr;
    return (HBITMAP)LoadImageA(nullptr, file, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
}

static bool UsableMap(const BITMAP &bm)
{
    return bm.bmBitsPixel == 8 && bm.bmWidth > 0 && bm.bmHeight > 0 && bm.bmWidthBytes >= bm.bmWidth && bm.bmBits;
}

// A failed load keeps the maps that were in place, so the relief stays the last good one.
void Bumpmap_LoadTextures(const char *colourFile, const char *heightFile)
{
    HBITMAP colour = LoadMap(colourFile);
    if (!colour) {
        DDErrorLog("Couldn't open colour bitmap");
        if (colourFile)
            DDLogFile(colourFile, GDI_MAX_IMAGE_BYTES);
        DDErrorLog("Bumpmap_LoadTextures: keeping the previous relief");
        return;
    }
    PALETTEENTRY entries[256];
    memset(entries, 0, sizeof entries);
    int count = 256;
    DDLoadPalette(colourFile, entries, &count);

    HBITMAP height = LoadMap(heightFile);
    if (!height) {
        DeleteObject(colour);
        DDErrorLog("Couldn't open height bitmap");
        if (heightFile)
            DDLogFile(heightFile, GDI_MAX_IMAGE_BYTES);
        DDErrorLog("Bumpmap_LoadTextures: keeping the previous relief");
        return;
    }
    BITMAP cbm, hbm;
    memset(&cbm, 0, sizeof cbm);
    memset(&hbm, 0, sizeof hbm);
    GetObjectA(colour, sizeof cbm, &cbm);
    GetObjectA(height, sizeof hbm, &hbm);
    const char *fault = nullptr;
    if (!UsableMap(cbm))
        fault = "Bumpmap_LoadTextures: the colour bitmap is not 8 bits per pixel, keeping the previous relief";
    else if (!UsableMap(hbm))
        fault = "Bumpmap_LoadTextures: the height bitmap is not 8 bits per pixel, keeping the previous relief";
    else if (cbm.bmWidth != hbm.bmWidth || cbm.bmHeight != hbm.bmHeight)
        fault = "Bumpmap_LoadTextures: the colour and height bitmaps differ in size, keeping the previous relief";
    if (fault) {
        DeleteObject(colour);
        DeleteObject(height);
        DDErrorLog(fault);
        return;
    }

    FreeTextures();
    ColourBitmap = colour;
    HeightBitmap = height;
    ColourBM = cbm;
    HeightBM = hbm;
    ColourWidth = cbm.bmWidth;
    ColourHeight = cbm.bmHeight;
    // An unreadable colour table leaves the palette as it was; indices past a short table are black.
    NColours = count < 0 ? 0 : count > 256 ? 256 : count;
    if (NColours > 0) {
        memcpy(ColourPalette, entries, sizeof ColourPalette);
        for (int i = NColours; i < 256; i++)
            ColourPalette[i] = PALETTEENTRY{ 0, 0, 0, 0 };
    }
}

void Bumpmap_SetAmbient(int red, int green, int blue)
{
    AmbientRed = red;
    AmbientGreen = green;
    AmbientBlue = blue;
}

enum { BUMPMAP_FAR = 1000000 };

void Bumpmap_AddStaticLight(int x, int y, int z, int red, int green, int blue)
{
    TStaticLight *light = new (std::nothrow) TStaticLight;
    if (!light) {
        DDErrorLog("Bumpmap_AddStaticLight: out of memory");
        return;
    }
    // Far-off values are held within a million pixels so the integer light sums cannot overflow.
    auto hold = [](int v) { return v < -BUMPMAP_FAR ? -BUMPMAP_FAR : v > BUMPMAP_FAR ? BUMPMAP_FAR : v; };
    *light = TStaticLight{ hold(x), hold(y), hold(red), hold(green), hold(blue), hold(z), StaticLights };
    StaticLights = light;
}

void Bumpmap_ClearStaticLights()
{
    while (StaticLights) {
        TStaticLight *next = StaticLights->Next;
        delete StaticLights;
        StaticLights = next;
    }
}

void Bumpmap_RestoreSurfaces()
{
    if (!StaticImage || !AreaStaticRed)
        return;
    bool lost = StaticImage->IsLost() == DDERR_SURFACELOST;
    if (!lost && !StaticImageStale)
        return;
    if (lost && StaticImage->Restore() != DD_OK)
        return;
    Bumpmap_PaintStaticImage();
}

void Bumpmap_RepaintIfStale()
{
    if (StaticImageStale)
        Bumpmap_RestoreSurfaces();
}
