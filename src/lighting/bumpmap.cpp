// The relief: area buffers, colour and height maps, static lights and the statically lit image.
#include "bumpmap_local.h"
#include "dd.h"
#include "dd_draw.h"
#include "dd_log.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

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

// Writes the static planes into StaticImage; false when the surface cannot be locked.
static bool PaintStaticImage()
{
    int pitch, depth, width, height;
    uint8_t *bits = LockSurface(StaticImage, pitch, depth, width, height);
    if (!bits)
        return false;
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
    DDSURFACEDESC ddsd;
    memset(&ddsd, 0, sizeof ddsd);
    ddsd.dwSize = sizeof ddsd;
    ddsd.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    ddsd.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    ddsd.dwWidth = (DWORD)AreaWidth;
    ddsd.dwHeight = (DWORD)AreaHeight;
    if (DDFailCheck(g_pDD->CreateSurface(&ddsd, &StaticImage, nullptr), "Bumpmap_Init: CreateSurface"))
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

// The highlight curve, 255 * (i / 4096) ^ Hardness; kept while Hardness stays the same.
static int SpecularTable[BUMPMAP_SPECULAR_SIZE];
static float SpecularHardness = -1.0f;

static void BuildSpecularTable()
{
    if (SpecularHardness == Hardness)
        return;
    for (int i = 0; i < BUMPMAP_SPECULAR_SIZE; i++)
        SpecularTable[i] = (int)(255.0 * pow(i / 4096.0, (double)Hardness));
    SpecularHardness = Hardness;
}

// Normals depend only on the two height differences and the height scale; each distinct pair is
// computed once for as long as the scale stays (the sign of a component follows its difference
// exactly).
struct NormalCache {
    double dz = 0;
    std::vector<uint8_t> known;   // 256 x 256, by |dx| and |dy|
    std::vector<int16_t> values;  // 3 per entry: |nx|, |ny|, nz
};
static NormalCache Normals;

static const int16_t *CachedNormal(NormalCache &cache, int adx, int ady)
{
    int key = adx * 256 + ady;
    int16_t *v = &cache.values[3 * key];
    if (!cache.known[key]) {
        double dx = adx, dy = ady, dz = cache.dz;
        double len = sqrt(dx * dx + dy * dy + dz * dz);
        if (len > 0 && std::isfinite(len)) {
            v[0] = (int16_t)(dx / len * 16384);
            v[1] = (int16_t)(dy / len * 16384);
            v[2] = (int16_t)(dz / len * 16384);
        } else {
            // A height scale of zero or less: no relief at all.
            v[0] = v[1] = 0;
            v[2] = 16384;
        }
        cache.known[key] = 1;
    }
    return v;
}

// One static light's unit vectors towards it, by the distance from it along x and along y.
// Both halves of each axis share a value (the sign of a component follows its offset exactly),
// so a light over the middle of the area costs a quarter of its pixels in square roots.
struct LightField {
    const TStaticLight *light;
    int64_t minX, minY;      // smallest |ux| and |uy| over the area
    int64_t spanX, spanY;    // how many of each
    std::vector<int16_t> unit; // 3 per entry: Ux for |ux|, Uy for |uy|, Uz
    bool small;              // every light sum fits 32-bit arithmetic
    // For such lights, (colour * att) >> 8 by att and (colour * highlight) >> 8 by index, per channel.
    std::vector<int> scaled, highlight;
};
// Kept from one recalculation to the next, so their memory is not mapped afresh each time.
static std::vector<LightField> Fields;

// The range of |offset| for offsets from position - (count - 1) to position.
static void OffsetRange(int64_t position, int count, int64_t &least, int64_t &span)
{
    int64_t lo = position - (count - 1), hi = position;
    if (lo <= 0 && hi >= 0) {
        least = 0;
        span = (hi > -lo ? hi : -lo) + 1;
    } else {
        least = lo > 0 ? lo : -hi;
        span = count;
    }
}

static void PrepareLightField(const TStaticLight *light, int W, int H, LightField &f)
{
    f.light = light;
    OffsetRange(light->X, W, f.minX, f.spanX);
    OffsetRange(light->Y, H, f.minY, f.spanY);
    f.unit.assign((size_t)(3 * f.spanX * f.spanY), 0);
    double uz = light->Z;
    for (int64_t j = 0; j < f.spanY; j++)
        for (int64_t i = 0; i < f.spanX; i++) {
            double ux = (double)(f.minX + i), uy = (double)(f.minY + j);
            double len = sqrt(ux * ux + uy * uy + uz * uz);
            int16_t *u = &f.unit[(size_t)(3 * (i + j * f.spanX))];
            // A light lying in the surface at this very pixel has no direction and lights nothing.
            if (len > 0) {
                u[0] = (int16_t)(int)(16384 * ux / len);
                u[1] = (int16_t)(int)(16384 * uy / len);
                u[2] = (int16_t)(int)(16384 * uz / len);
            }
        }
    int64_t farX = f.minX + f.spanX - 1, farY = f.minY + f.spanY - 1, z2 = (int64_t)light->Z * light->Z;
    f.small = z2 * 255 <= INT32_MAX && z2 + farX * farX + farY * farY <= INT32_MAX &&
              light->Red >= 0 && light->Green >= 0 && light->Blue >= 0 && light->Red <= 65535 &&
              light->Green <= 65535 && light->Blue <= 65535;
    if (!f.small)
        return;
    const int colour[3] = { light->Red, light->Green, light->Blue };
    f.scaled.resize(3 * 256);
    f.highlight.resize(3 * BUMPMAP_SPECULAR_SIZE);
    for (int c = 0; c < 3; c++) {
        for (int att = 0; att < 256; att++)
            f.scaled[c * 256 + att] = (colour[c] * att) >> 8;
        for (int i = 0; i < BUMPMAP_SPECULAR_SIZE; i++)
            f.highlight[c * BUMPMAP_SPECULAR_SIZE + i] = (colour[c] * SpecularTable[i]) >> 8;
    }
}

// One row of the relief as the light sums need it: normal components and surface colour.
struct ReliefRow {
    const int16_t *nx, *ny, *nz;
    const uint8_t *pr, *pg, *pb;
};

// Adds one static light to the sums of row y. When every product fits 32 bits (always, in the
// game) the division is done in double precision, which is exact for such operands and cheaper.
static void AddLightRow(const LightField &f, int y, int W, const ReliefRow &row, int64_t *R, int64_t *G, int64_t *B)
{
    const TStaticLight *l = f.light;
    const int64_t uy = (int64_t)l->Y - y, uz = l->Z;
    const int16_t *units = &f.unit[(size_t)(3 * ((uy < 0 ? -uy : uy) - f.minY) * f.spanX)];
    const int64_t minX = f.minX, X = l->X;
    const int ySign = uy < 0 ? -1 : 1;
    const int *T = SpecularTable;
    if (f.small) {
        const int *scaledR = &f.scaled[0], *scaledG = &f.scaled[256], *scaledB = &f.scaled[512];
        const int *lightR = &f.highlight[0], *lightG = lightR + BUMPMAP_SPECULAR_SIZE;
        const int *lightB = lightG + BUMPMAP_SPECULAR_SIZE;
        const double uz2 = (double)(uz * uz), rest = (double)(uz * uz + uy * uy);
        for (int x = 0; x < W; x++) {
            int ux = (int)(X - x);
            const int16_t *u = units + 3 * ((ux < 0 ? -ux : ux) - minX);
            int Ux = ux < 0 ? -u[0] : u[0];
            int dot = Ux * row.nx[x] + ySign * u[1] * row.ny[x] + u[2] * row.nz[x];
            if (dot <= 0)
                continue;
            int s = dot >> 16 > 4096 ? 4096 : dot >> 16;
            int diffuse = dot >> 20 > 255 ? 255 : dot >> 20;
            int att = (int)(uz2 * diffuse / (rest + (double)ux * ux)); // at most diffuse
            R[x] += (scaledR[att] * row.pr[x] >> 8) + lightR[s];
            G[x] += (scaledG[att] * row.pg[x] >> 8) + lightG[s];
            B[x] += (scaledB[att] * row.pb[x] >> 8) + lightB[s];
        }
        return;
    }
    const int64_t red = l->Red, green = l->Green, blue = l->Blue;
    for (int x = 0; x < W; x++) {
        int64_t ux = X - x;
        const int16_t *u = units + 3 * ((ux < 0 ? -ux : ux) - minX);
        int Ux = ux < 0 ? -u[0] : u[0];
        int dot = Ux * row.nx[x] + ySign * u[1] * row.ny[x] + u[2] * row.nz[x];
        if (dot <= 0)
            continue;
        int spec = T[dot >> 16 > 4096 ? 4096 : dot >> 16];
        int diffuse = dot >> 20 > 255 ? 255 : dot >> 20;
        int64_t att = uz * diffuse * uz / (uz * uz + ux * ux + uy * uy);
        R[x] += (((red * att) >> 8) * row.pr[x] >> 8) + ((red * spec) >> 8);
        G[x] += (((green * att) >> 8) * row.pg[x] >> 8) + ((green * spec) >> 8);
        B[x] += (((blue * att) >> 8) * row.pb[x] >> 8) + ((blue * spec) >> 8);
    }
}

static uint8_t ClampPlane(int64_t v) { return (uint8_t)(v > 255 ? 255 : v < 0 ? 0 : v); }

void Bumpmap_RecalculateStatic()
{
    if (!AreaNormals) {
        DDErrorLog("Bumpmap_RecalculateStatic: no lit area (Bumpmap_Init failed or has not run)");
        return;
    }
    const int W = AreaWidth, H = AreaHeight;
    BuildSpecularTable();

    // Without good maps the relief is flat and grey, so the lights still show.
    bool flat = !ColourBitmap || !HeightBitmap;
    int mapW = 1, mapH = 1, colourPitch = 0, heightPitch = 0;
    const uint8_t *colourBits = nullptr, *heightBits = nullptr;
    static const uint8_t flatByte = 0;
    if (flat) {
        DDErrorLog("Bumpmap_RecalculateStatic: no colour and height maps loaded, lighting a flat grey relief");
        ColourPalette[0] = PALETTEENTRY{ 128, 128, 128, 0 };
        colourBits = heightBits = &flatByte;
    } else {
        mapW = ColourWidth;
        mapH = ColourHeight;
        colourBits = (const uint8_t *)ColourBM.bmBits;
        heightBits = (const uint8_t *)HeightBM.bmBits;
        colourPitch = ColourBM.bmWidthBytes;
        heightPitch = HeightBM.bmWidthBytes;
    }

    // Columns of the texture for each area column, with their wrapped neighbours.
    std::vector<int> tx(W), left(W), right(W);
    for (int x = 0; x < W; x++) {
        tx[x] = x % mapW;
        left[x] = (tx[x] + mapW - 1) % mapW;
        right[x] = (tx[x] + 1) % mapW;
    }
    // Single precision, as the scale is: 4 / 0.02f is then exactly 200.
    float dz = 4.0f / AreaHeightScale;
    NormalCache &cache = Normals;
    if (cache.known.empty() || cache.dz != (dz > 0 ? dz : INFINITY)) {
        cache.dz = dz > 0 ? dz : INFINITY;
        cache.known.assign(256 * 256, 0);
        cache.values.assign(3 * 256 * 256, 0);
    }

    size_t lightCount = 0;
    for (TStaticLight *l = StaticLights; l; l = l->Next)
        lightCount++;
    if (Fields.size() < lightCount)
        Fields.resize(lightCount);
    std::vector<LightField *> fields;
    for (TStaticLight *l = StaticLights; l; l = l->Next) {
        fields.push_back(&Fields[fields.size()]);
        PrepareLightField(l, W, H, *fields.back());
    }
    std::vector<int64_t> sums(3 * (size_t)W);
    int64_t *R = sums.data(), *G = R + W, *B = G + W;
    std::vector<uint8_t> colours(3 * (size_t)W);
    PALETTEENTRY palette[256];
    memcpy(palette, ColourPalette, sizeof palette);
    const int ambientRed = AmbientRed, ambientGreen = AmbientGreen, ambientBlue = AmbientBlue;
    int16_t *normals = AreaNormals, *normX = AreaNormX, *normY = AreaNormY, *normZ = AreaNormZ;
    uint8_t *colIdx = AreaColIdx, *staticRed = AreaStaticRed, *staticGreen = AreaStaticGreen;
    uint8_t *staticBlue = AreaStaticBlue;

    for (int y = 0; y < H; y++) {
        int ty = y % mapH;
        int up = (ty + mapH - 1) % mapH, down = (ty + 1) % mapH;
        // Texture row v is stored at bits + (height - 1 - v) * pitch.
        const uint8_t *hRow = heightBits + (size_t)(mapH - 1 - ty) * heightPitch;
        const uint8_t *hUp = heightBits + (size_t)(mapH - 1 - up) * heightPitch;
        const uint8_t *hDown = heightBits + (size_t)(mapH - 1 - down) * heightPitch;
        const uint8_t *cRow = colourBits + (size_t)(mapH - 1 - ty) * colourPitch;
        size_t base = (size_t)y * W;
        ReliefRow row = { normX + base, normY + base, normZ + base, colours.data(), colours.data() + W,
                          colours.data() + 2 * W };
        for (int x = 0; x < W; x++) {
            int t = tx[x];
            int dx = hRow[left[x]] - hRow[right[x]];
            int dy = hUp[t] - hDown[t];
            const int16_t *n = CachedNormal(cache, dx < 0 ? -dx : dx, dy < 0 ? -dy : dy);
            int16_t Nx = (int16_t)(dx < 0 ? -n[0] : n[0]), Ny = (int16_t)(dy < 0 ? -n[1] : n[1]), Nz = n[2];
            size_t at = base + x;
            normals[3 * at] = normX[at] = Nx;
            normals[3 * at + 1] = normY[at] = Ny;
            normals[3 * at + 2] = normZ[at] = Nz;
            int c = cRow[t];
            colIdx[at] = (uint8_t)c;
            colours[x] = palette[c].peRed;
            colours[W + x] = palette[c].peGreen;
            colours[2 * W + x] = palette[c].peBlue;
            R[x] = ((int64_t)palette[c].peRed * ambientRed) >> 8;
            G[x] = ((int64_t)palette[c].peGreen * ambientGreen) >> 8;
            B[x] = ((int64_t)palette[c].peBlue * ambientBlue) >> 8;
        }
        for (const LightField *f : fields)
            AddLightRow(*f, y, W, row, R, G, B);
        for (int x = 0; x < W; x++) {
            staticRed[base + x] = ClampPlane(R[x]);
            staticGreen[base + x] = ClampPlane(G[x]);
            staticBlue[base + x] = ClampPlane(B[x]);
        }
    }
    AreaColoursStale = true;

    if (!StaticImage)
        return;
    if (StaticImage->IsLost() == DDERR_SURFACELOST)
        StaticImage->Restore();
    if (!PaintStaticImage()) {
        StaticImageStale = true;
        DDErrorLog("Bumpmap_RecalculateStatic: can't lock the static image, it will be painted when restored");
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
    if (!PaintStaticImage())
        StaticImageStale = true;
}

void Bumpmap_RepaintIfStale()
{
    if (StaticImageStale)
        Bumpmap_RestoreSurfaces();
}
