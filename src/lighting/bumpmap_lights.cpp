// The moving lights: precomputed light footprints, light slots and the per-frame composite.
#include "bumpmap_local.h"
#include "dd.h"
#include "dd_log.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>


// Footprints beyond this radius would not fit the screen, let alone the lit area.
enum { BUMPMAP_MAX_RADIUS = 2048 };

// Precomputed lights live until the program ends; held here so they stay reachable.
struct LightSpecStore {
    std::unique_ptr<TLightSpec> spec;
    std::unique_ptr<int16_t[]> directions;
    std::unique_ptr<uint8_t[]> maps;
    std::unique_ptr<int16_t[]> planes;
};
static std::vector<LightSpecStore> LightSpecs;

static int ClampByte(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

TLightSpec *Bumpmap_CreateLightSpec(int z, int red, int green, int blue, int radius)
{
    if (radius < 0 || radius > BUMPMAP_MAX_RADIUS) {
        char text[96];
        snprintf(text, sizeof text, "Bumpmap_CreateLightSpec: radius %d out of range 0 to %d", radius,
                 (int)BUMPMAP_MAX_RADIUS);
        DDErrorLog(text);
        return nullptr;
    }
    // Intensities and highlight tables are bytes: colours beyond 0..255 are held at the ends.
    // Heights are held within a million pixels, so that colour * z^2 cannot overflow.
    z = z < -1000000 ? -1000000 : z > 1000000 ? 1000000 : z;
    red = ClampByte(red);
    green = ClampByte(green);
    blue = ClampByte(blue);
    int size = 2 * radius + 1;
    size_t cells = (size_t)size * size;
    LightSpecStore store;
    store.spec.reset(new (std::nothrow) TLightSpec);
    store.directions.reset(new (std::nothrow) int16_t[3 * cells]);
    store.maps.reset(new (std::nothrow) uint8_t[3 * cells]);
    store.planes.reset(new (std::nothrow) int16_t[3 * cells]);
    if (!store.spec || !store.directions || !store.maps || !store.planes) {
        DDErrorLog("Bumpmap_CreateLightSpec: out of memory");
        return nullptr;
    }
    TLightSpec *s = store.spec.get();
    s->Red = red;
    s->Green = green;
    s->Blue = blue;
    s->Z = z;
    s->Radius = radius;
    s->Size = size;
    s->Directions = store.directions.get();
    s->RedMap = store.maps.get();
    s->GreenMap = s->RedMap + cells;
    s->BlueMap = s->GreenMap + cells;
    s->DirX = store.planes.get();
    s->DirY = s->DirX + cells;
    s->DirZ = s->DirY + cells;

    for (int i = 0; i < BUMPMAP_SPECULAR_SIZE; i++) {
        double p = pow(i / 4096.0, (double)Hardness);
        s->RedSpecular[i] = (uint8_t)(int)(p * red);
        s->GreenSpecular[i] = (uint8_t)(int)(p * green);
        s->BlueSpecular[i] = (uint8_t)(int)(p * blue);
    }
    s->SpecularStart = 0;
    while (s->SpecularStart < BUMPMAP_SPECULAR_SIZE &&
           !(s->RedSpecular[s->SpecularStart] | s->GreenSpecular[s->SpecularStart] | s->BlueSpecular[s->SpecularStart]))
        s->SpecularStart++;

    int inner = radius * 60 / 100;
    int64_t z2 = (int64_t)z * z, inner2 = (int64_t)inner * inner;
    const int colour[3] = { red, green, blue };
    uint8_t *maps[3] = { s->RedMap, s->GreenMap, s->BlueMap };
    int64_t edge[3];
    for (int c = 0; c < 3; c++)
        edge[c] = z2 + inner2 > 0 ? colour[c] * z2 / (z2 + inner2) : 0;

    for (int j = 0; j < size; j++)
        for (int i = 0; i < size; i++) {
            int ox = radius - i, oy = radius - j;
            int64_t d2 = (int64_t)ox * ox + (int64_t)oy * oy;
            size_t cell = (size_t)i + (size_t)j * size;
            double len = sqrt((double)d2 + (double)z2);
            int16_t *dir = s->Directions + 3 * cell;
            if (len > 0) {
                dir[0] = (int16_t)(16384.0 * ox / len);
                dir[1] = (int16_t)(16384.0 * oy / len);
                dir[2] = (int16_t)(16384.0 * z / len);
            } else {
                // A light of height 0 over its own centre has no direction: it lights nothing there.
                dir[0] = dir[1] = dir[2] = 0;
            }
            s->DirX[cell] = dir[0];
            s->DirY[cell] = dir[1];
            s->DirZ[cell] = dir[2];
            for (int c = 0; c < 3; c++) {
                int value = 0;
                if (d2 <= inner2) {
                    value = z2 + d2 > 0 ? (int)(colour[c] * z2 / (z2 + d2)) : 0;
                } else {
                    int dist = (int)sqrt((double)d2);
                    if (dist <= radius) {
                        double f = 1.0 - (double)(radius - dist) / (double)(radius - inner);
                        value = (int)((double)edge[c] - (double)edge[c] * f);
                    }
                }
                maps[c][cell] = (uint8_t)ClampByte(value);
            }
        }
    LightSpecs.push_back(std::move(store));
    return s;
}

void Bumpmap_FreeLightSpec(TLightSpec *spec)
{
    // Slots may still point at it: precomputed lights are kept until the program ends.
}

static TLightSlot *Slot(int slot)
{
    if (!Lights || slot < 0 || slot >= BumpMaxLights)
        return nullptr;
    return &Lights[slot];
}

void Bumpmap_ActivateLight(int slot, TLightSpec *spec)
{
    TLightSlot *s = Slot(slot);
    if (!s)
        return;
    s->Spec = spec;
    s->Active = spec != nullptr;
}

void Bumpmap_DeactivateLight(int slot)
{
    TLightSlot *s = Slot(slot);
    if (!s)
        return;
    s->Active = false;
    s->Spec = nullptr;
}

void Bumpmap_SetLightPos(int slot, int x, int y)
{
    TLightSlot *s = Slot(slot);
    if (!s)
        return;
    s->X = x;
    s->Y = y;
}

// Clips to the area and to the back buffer; false when nothing is left.
static bool ClipSquare(const TLightSlot &slot, int screenW, int screenH, LightSquare &sq)
{
    const TLightSpec *S = slot.Spec;
    int64_t x0 = (int64_t)slot.X - S->Radius, y0 = (int64_t)slot.Y - S->Radius;
    int64_t x1 = x0 + S->Size, y1 = y0 + S->Size;
    int64_t left = AreaLeft > 0 ? AreaLeft : 0, top = AreaTop > 0 ? AreaTop : 0;
    int64_t right = AreaRight < screenW ? AreaRight : screenW;
    int64_t bottom = AreaBottom < screenH ? AreaBottom : screenH;
    int64_t cx0 = x0 < left ? left : x0, cy0 = y0 < top ? top : y0;
    int64_t cx1 = x1 > right ? right : x1, cy1 = y1 > bottom ? bottom : y1;
    if (cx1 <= cx0 || cy1 <= cy0)
        return false;
    sq.spec = S;
    sq.ax = (int)(cx0 - AreaLeft);
    sq.ay = (int)(cy0 - AreaTop);
    sq.w = (int)(cx1 - cx0);
    sq.h = (int)(cy1 - cy0);
    sq.cx = (int)(cx0 - x0);
    sq.cy = (int)(cy0 - y0);
    return true;
}

static inline uint8_t AddClamped(int a) { return (uint8_t)(a > 255 ? 255 : a); }

// The plain three passes, over the data as the lighting model states it: reset every square
// from the static planes, add each light in slot order, then write every square out.

static void ResetSquare(const LightSquare &sq)
{
    for (int row = 0; row < sq.h; row++) {
        size_t at = (size_t)sq.ax + (size_t)(sq.ay + row) * AreaWidth;
        memcpy(AreaRed + at, AreaStaticRed + at, sq.w);
        memcpy(AreaGreen + at, AreaStaticGreen + at, sq.w);
        memcpy(AreaBlue + at, AreaStaticBlue + at, sq.w);
    }
}

// Full lighting: diffuse through the per-pixel normal, modulated by the surface colour, plus highlight.
static void AccumulateFull(const LightSquare &sq)
{
    const TLightSpec *S = sq.spec;
    for (int row = 0; row < sq.h; row++) {
        size_t at = (size_t)sq.ax + (size_t)(sq.ay + row) * AreaWidth;
        size_t cell = (size_t)sq.cx + (size_t)(sq.cy + row) * S->Size;
        const int16_t *n = AreaNormals + 3 * at;
        const int16_t *d = S->Directions + 3 * cell;
        const uint8_t *ci = AreaColIdx + at;
        const uint8_t *rm = S->RedMap + cell, *gm = S->GreenMap + cell, *bm = S->BlueMap + cell;
        uint8_t *wr = AreaRed + at, *wg = AreaGreen + at, *wb = AreaBlue + at;
        for (int i = 0; i < sq.w; i++) {
            int dot = n[3 * i] * d[3 * i] + n[3 * i + 1] * d[3 * i + 1] + n[3 * i + 2] * d[3 * i + 2];
            dot = dot < 0 ? 0 : dot;
            int diffuse = dot >> 20;
            diffuse = diffuse > 255 ? 255 : diffuse;
            int s = dot >> 16;
            s = s > 4096 ? 4096 : s;
            const PALETTEENTRY p = ColourPalette[ci[i]];
            wr[i] = AddClamped(wr[i] + ((p.peRed * ((rm[i] * diffuse) >> 8)) >> 8) + S->RedSpecular[s]);
            wg[i] = AddClamped(wg[i] + ((p.peGreen * ((gm[i] * diffuse) >> 8)) >> 8) + S->GreenSpecular[s]);
            wb[i] = AddClamped(wb[i] + ((p.peBlue * ((bm[i] * diffuse) >> 8)) >> 8) + S->BlueSpecular[s]);
        }
    }
}

// Fast lighting: the light's intensity times the surface colour, no normals and no highlight.
static void AccumulateFast(const LightSquare &sq)
{
    const TLightSpec *S = sq.spec;
    for (int row = 0; row < sq.h; row++) {
        size_t at = (size_t)sq.ax + (size_t)(sq.ay + row) * AreaWidth;
        size_t cell = (size_t)sq.cx + (size_t)(sq.cy + row) * S->Size;
        const uint8_t *ci = AreaColIdx + at;
        const uint8_t *rm = S->RedMap + cell, *gm = S->GreenMap + cell, *bm = S->BlueMap + cell;
        uint8_t *wr = AreaRed + at, *wg = AreaGreen + at, *wb = AreaBlue + at;
        for (int i = 0; i < sq.w; i++) {
            const PALETTEENTRY p = ColourPalette[ci[i]];
            wr[i] = AddClamped(wr[i] + ((rm[i] * p.peRed) >> 8));
            wg[i] = AddClamped(wg[i] + ((gm[i] * p.peGreen) >> 8));
            wb[i] = AddClamped(wb[i] + ((bm[i] * p.peBlue) >> 8));
        }
    }
}

static void WriteSquare(const LightSquare &sq, Bumpmap_RowWriter write, uint8_t *bits, int pitch, int bytes)
{
    for (int row = 0; row < sq.h; row++) {
        size_t at = (size_t)sq.ax + (size_t)(sq.ay + row) * AreaWidth;
        uint8_t *dest = bits + (size_t)(AreaTop + sq.ay + row) * pitch + (size_t)(AreaLeft + sq.ax) * bytes;
        write(dest, AreaRed + at, AreaGreen + at, AreaBlue + at, sq.w);
    }
}

static void DrawLightsPlain(const LightSquare *list, int count, Bumpmap_RowWriter write, int bytes)
{
    for (int i = 0; i < count; i++)
        ResetSquare(list[i]);
    for (int i = 0; i < count; i++) {
        if (CurrentLighting == BUMPMAP_LIGHTING_FAST)
            AccumulateFast(list[i]);
        else
            AccumulateFull(list[i]);
    }
    // A caller that already holds the lock keeps it; otherwise the lock covers this pass only.
    bool heldBefore = g_BackBuffer != nullptr;
    uint8_t *bits = DDLockBackSurface();
    if (!bits)
        return;
    for (int i = 0; i < count; i++)
        WriteSquare(list[i], write, bits, g_BackLpitch, bytes);
    if (!heldBefore)
        DDUnlockBackSurface();
}

// Copies the static image onto the back buffer, clipped to it.
static void CopyStaticImage(int screenW, int screenH)
{
    Bumpmap_RepaintIfStale();
    int64_t dx = AreaLeft, dy = AreaTop;
    RECT src = { 0, 0, AreaWidth, AreaHeight };
    if (dx < 0) {
        src.left = (LONG)-dx;
        dx = 0;
    }
    if (dy < 0) {
        src.top = (LONG)-dy;
        dy = 0;
    }
    if (dx + (src.right - src.left) > screenW)
        src.right = (LONG)(src.left + (screenW - dx));
    if (dy + (src.bottom - src.top) > screenH)
        src.bottom = (LONG)(src.top + (screenH - dy));
    if (src.right <= src.left || src.bottom <= src.top)
        return;
    DWORD flags = DDBLTFAST_NOCOLORKEY | DDBLTFAST_WAIT;
    HRESULT result = g_pDDSBack->BltFast((DWORD)dx, (DWORD)dy, StaticImage, &src, flags);
    if (result == DDERR_SURFACELOST) {
        Bumpmap_RestoreSurfaces();
        result = g_pDDSBack->BltFast((DWORD)dx, (DWORD)dy, StaticImage, &src, flags);
        DDFailCheck(result, "Bumpmap_Draw");
    }
}

void Bumpmap_Draw()
{
    if (!g_pDDSBack)
        return;
    DDSURFACEDESC desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    if (g_pDDSBack->GetSurfaceDesc(&desc) != DD_OK)
        return;
    int screenW = (int)desc.dwWidth, screenH = (int)desc.dwHeight;
    int depth = (int)desc.ddpfPixelFormat.dwRGBBitCount;
    if (StaticImage)
        CopyStaticImage(screenW, screenH);
    if (CurrentLighting == BUMPMAP_LIGHTING_OFF || !Lights || !AreaNormals)
        return;

    // The game has four slots; a larger table costs an allocation per frame.
    enum { SLOTS_ON_STACK = 16 };
    LightSquare squares[SLOTS_ON_STACK];
    Span spanRoom[SLOTS_ON_STACK];
    std::vector<LightSquare> moreSquares;
    std::vector<Span> moreSpans;
    LightSquare *list = squares;
    Span *spans = spanRoom;
    if (BumpMaxLights > SLOTS_ON_STACK) {
        moreSquares.resize(BumpMaxLights);
        moreSpans.resize(BumpMaxLights);
        list = moreSquares.data();
        spans = moreSpans.data();
    }
    int count = 0;
    for (int i = 0; i < BumpMaxLights; i++)
        if (Lights[i].Active && Lights[i].Spec && ClipSquare(Lights[i], screenW, screenH, list[count]))
            count++;
    if (count == 0)
        return;

    Bumpmap_RowWriter write = Bumpmap_SelectRowWriter(depth);
    if (!write)
        return;
#if defined(__SSE2__)
    if (BumpmapVectorLoops) {
        Bumpmap_DrawLightsVector(list, count, spans, write, depth / 8);
        return;
    }
#endif
    (void)spans;
    DrawLightsPlain(list, count, write, depth / 8);
}
