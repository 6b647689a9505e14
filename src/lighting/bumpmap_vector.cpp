// The frame's light squares eight pixels at a time, over the planar copies.
#include "bumpmap_local.h"
#include "dd.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>

static inline uint8_t AddClamped(int a) { return (uint8_t)(a > 255 ? 255 : a); }

// The same frame in one sweep per light, eight pixels at a time over the planar copies. Products
// stay below 65536, so 16-bit lanes hold them exactly, and the saturating pack is the clamp to
// 255. A row starts from the static planes where no earlier light has touched it, which is what
// the reset pass would have left there, and goes to the back buffer as soon as it is lit: a pixel
// under several lights is written last by the last of them, with its final value.

// Surface colour planes from the colour indices, remade when the palette or indices changed.
static void RefreshColourPlanes()
{
    if (!AreaColoursStale && memcmp(AreaColoursPalette, ColourPalette, sizeof ColourPalette) == 0)
        return;
    size_t n = (size_t)AreaWidth * AreaHeight;
    for (size_t i = 0; i < n; i++) {
        const PALETTEENTRY &p = ColourPalette[AreaColIdx[i]];
        AreaPalRed[i] = p.peRed;
        AreaPalGreen[i] = p.peGreen;
        AreaPalBlue[i] = p.peBlue;
    }
    memcpy(AreaColoursPalette, ColourPalette, sizeof ColourPalette);
    AreaColoursStale = false;
}

static inline __m128i Load8(const uint8_t *p)
{
    return _mm_unpacklo_epi8(_mm_loadl_epi64((const __m128i *)p), _mm_setzero_si128());
}

static inline void Store8(uint8_t *p, __m128i v) { _mm_storel_epi64((__m128i *)p, _mm_packus_epi16(v, v)); }

// base + ((colour * ((map * diffuse) >> 8)) >> 8) + highlight
static inline __m128i LightChannel(__m128i base, __m128i map, __m128i colour, __m128i diffuse, __m128i highlight)
{
    __m128i t = _mm_srli_epi16(_mm_mullo_epi16(map, diffuse), 8);
    t = _mm_srli_epi16(_mm_mullo_epi16(colour, t), 8);
    return _mm_add_epi16(_mm_add_epi16(base, t), highlight);
}

static inline __m128i Highlight8(const uint8_t *table, const int16_t *index)
{
    return _mm_setr_epi16(table[index[0]], table[index[1]], table[index[2]], table[index[3]], table[index[4]],
                          table[index[5]], table[index[6]], table[index[7]]);
}

// One row of one light in full mode: from the base planes into the working planes at at.
static void FullRow(const TLightSpec *S, size_t at, size_t cell, int w, const uint8_t *br, const uint8_t *bg,
                    const uint8_t *bb)
{
    const __m128i zero = _mm_setzero_si128(), max255 = _mm_set1_epi16(255), top = _mm_set1_epi16(4096);
    const __m128i below = _mm_set1_epi16((short)(S->SpecularStart - 1));
    alignas(16) int16_t index[8];
    const int16_t *nx = AreaNormX + at, *ny = AreaNormY + at, *nz = AreaNormZ + at;
    const int16_t *dx = S->DirX + cell, *dy = S->DirY + cell, *dz = S->DirZ + cell;
    const uint8_t *pr = AreaPalRed + at, *pg = AreaPalGreen + at, *pb = AreaPalBlue + at;
    const uint8_t *rm = S->RedMap + cell, *gm = S->GreenMap + cell, *bm = S->BlueMap + cell;
    uint8_t *wr = AreaRed + at, *wg = AreaGreen + at, *wb = AreaBlue + at;
    // A row that starts from the static planes may end with a group overlapping the one before:
    // its pixels come out the same again. A row lit in place ends the plain way instead.
    const bool redo = br != wr && w >= 8;
    int i = 0;
    for (; i + 8 <= w || (redo && i < w); i += 8) {
        if (i + 8 > w)
            i = w - 8;
        __m128i Nx = _mm_loadu_si128((const __m128i *)(nx + i)), Ny = _mm_loadu_si128((const __m128i *)(ny + i));
        __m128i Nz = _mm_loadu_si128((const __m128i *)(nz + i));
        __m128i Dx = _mm_loadu_si128((const __m128i *)(dx + i)), Dy = _mm_loadu_si128((const __m128i *)(dy + i));
        __m128i Dz = _mm_loadu_si128((const __m128i *)(dz + i));
        __m128i lo = _mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(Nx, Ny), _mm_unpacklo_epi16(Dx, Dy)),
                                   _mm_madd_epi16(_mm_unpacklo_epi16(Nz, zero), _mm_unpacklo_epi16(Dz, zero)));
        __m128i hi = _mm_add_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(Nx, Ny), _mm_unpackhi_epi16(Dx, Dy)),
                                   _mm_madd_epi16(_mm_unpackhi_epi16(Nz, zero), _mm_unpackhi_epi16(Dz, zero)));
        lo = _mm_andnot_si128(_mm_srai_epi32(lo, 31), lo); // a negative dot product is 0
        hi = _mm_andnot_si128(_mm_srai_epi32(hi, 31), hi);
        __m128i diffuse = _mm_min_epi16(_mm_packs_epi32(_mm_srai_epi32(lo, 20), _mm_srai_epi32(hi, 20)), max255);
        __m128i s = _mm_min_epi16(_mm_packs_epi32(_mm_srai_epi32(lo, 16), _mm_srai_epi32(hi, 16)), top);
        __m128i hr = zero, hg = zero, hb = zero;
        // The highlight is a small disc: most groups of eight have none and skip the look-ups.
        if (_mm_movemask_epi8(_mm_cmpgt_epi16(s, below))) {
            _mm_store_si128((__m128i *)index, s);
            hr = Highlight8(S->RedSpecular, index);
            hg = Highlight8(S->GreenSpecular, index);
            hb = Highlight8(S->BlueSpecular, index);
        }
        Store8(wr + i, LightChannel(Load8(br + i), Load8(rm + i), Load8(pr + i), diffuse, hr));
        Store8(wg + i, LightChannel(Load8(bg + i), Load8(gm + i), Load8(pg + i), diffuse, hg));
        Store8(wb + i, LightChannel(Load8(bb + i), Load8(bm + i), Load8(pb + i), diffuse, hb));
    }
    for (; i < w; i++) {
        int dot = nx[i] * dx[i] + ny[i] * dy[i] + nz[i] * dz[i];
        dot = dot < 0 ? 0 : dot;
        int diffuse = dot >> 20 > 255 ? 255 : dot >> 20;
        int s = dot >> 16 > 4096 ? 4096 : dot >> 16;
        wr[i] = AddClamped(br[i] + ((pr[i] * ((rm[i] * diffuse) >> 8)) >> 8) + S->RedSpecular[s]);
        wg[i] = AddClamped(bg[i] + ((pg[i] * ((gm[i] * diffuse) >> 8)) >> 8) + S->GreenSpecular[s]);
        wb[i] = AddClamped(bb[i] + ((pb[i] * ((bm[i] * diffuse) >> 8)) >> 8) + S->BlueSpecular[s]);
    }
}

// base + ((map * colour) >> 8)
static inline __m128i FastChannel(__m128i base, __m128i map, __m128i colour)
{
    return _mm_add_epi16(base, _mm_srli_epi16(_mm_mullo_epi16(map, colour), 8));
}

static void FastRow(const TLightSpec *S, size_t at, size_t cell, int w, const uint8_t *br, const uint8_t *bg,
                    const uint8_t *bb)
{
    const uint8_t *pr = AreaPalRed + at, *pg = AreaPalGreen + at, *pb = AreaPalBlue + at;
    const uint8_t *rm = S->RedMap + cell, *gm = S->GreenMap + cell, *bm = S->BlueMap + cell;
    uint8_t *wr = AreaRed + at, *wg = AreaGreen + at, *wb = AreaBlue + at;
    const bool redo = br != wr && w >= 8; // as in the full row
    int i = 0;
    for (; i + 8 <= w || (redo && i < w); i += 8) {
        if (i + 8 > w)
            i = w - 8;
        Store8(wr + i, FastChannel(Load8(br + i), Load8(rm + i), Load8(pr + i)));
        Store8(wg + i, FastChannel(Load8(bg + i), Load8(gm + i), Load8(pg + i)));
        Store8(wb + i, FastChannel(Load8(bb + i), Load8(bm + i), Load8(pb + i)));
    }
    for (; i < w; i++) {
        wr[i] = AddClamped(br[i] + ((rm[i] * pr[i]) >> 8));
        wg[i] = AddClamped(bg[i] + ((gm[i] * pg[i]) >> 8));
        wb[i] = AddClamped(bb[i] + ((bm[i] * pb[i]) >> 8));
    }
}

// Area columns [from, to) of row ay that an earlier light of the list has lit, as a sorted
// list of disjoint spans; returns how many.
static int EarlierSpans(const LightSquare *list, int k, int ay, int from, int to, Span *spans)
{
    int n = 0;
    for (int j = 0; j < k; j++) {
        const LightSquare &o = list[j];
        if (ay < o.ay || ay >= o.ay + o.h)
            continue;
        int a = o.ax > from ? o.ax : from, b = o.ax + o.w < to ? o.ax + o.w : to;
        if (a >= b)
            continue;
        int at = n++;
        while (at > 0 && spans[at - 1].a > a) { // insertion by start
            spans[at] = spans[at - 1];
            at--;
        }
        spans[at] = Span{ a, b };
    }
    return n;
}

// The planes of a light's square are rows of a couple of hundred bytes far apart, which the
// processor does not fetch ahead by itself; a row a few rows down is asked for early.
enum { AHEAD = 3 };

static inline void Prefetch(const void *p, size_t bytes)
{
    const char *c = (const char *)p;
    for (size_t i = 0; i < bytes; i += 64)
        _mm_prefetch(c + i, _MM_HINT_T0);
    _mm_prefetch(c + bytes - 1, _MM_HINT_T0);
}

static void PrefetchRow(const LightSquare &sq, size_t at, size_t cell, const uint8_t *dest, size_t destBytes)
{
    size_t w = (size_t)sq.w;
    const TLightSpec *S = sq.spec;
    if (CurrentLighting != BUMPMAP_LIGHTING_FAST) {
        Prefetch(S->DirX + cell, 2 * w);
        Prefetch(S->DirY + cell, 2 * w);
        Prefetch(S->DirZ + cell, 2 * w);
    }
    Prefetch(S->RedMap + cell, w);
    Prefetch(S->GreenMap + cell, w);
    Prefetch(S->BlueMap + cell, w);
    if (CurrentLighting != BUMPMAP_LIGHTING_FAST) {
        Prefetch(AreaNormX + at, 2 * w);
        Prefetch(AreaNormY + at, 2 * w);
        Prefetch(AreaNormZ + at, 2 * w);
    }
    Prefetch(AreaPalRed + at, w);
    Prefetch(AreaPalGreen + at, w);
    Prefetch(AreaPalBlue + at, w);
    Prefetch(AreaStaticRed + at, w);
    Prefetch(AreaStaticGreen + at, w);
    Prefetch(AreaStaticBlue + at, w);
    Prefetch(AreaRed + at, w);
    Prefetch(AreaGreen + at, w);
    Prefetch(AreaBlue + at, w);
    if (dest)
        Prefetch(dest, destBytes);
}

void Bumpmap_DrawLightsVector(const LightSquare *list, int count, Span *spans, Bumpmap_RowWriter write, int bytes)
{
    RefreshColourPlanes();
    bool heldBefore = g_BackBuffer != nullptr;
    uint8_t *bits = DDLockBackSurface();
    int pitch = g_BackLpitch;
    bool fast = CurrentLighting == BUMPMAP_LIGHTING_FAST;
    for (int k = 0; k < count; k++) {
        const LightSquare &sq = list[k];
        for (int row = 0; row < sq.h; row++) {
            int ay = sq.ay + row;
            size_t at = (size_t)sq.ax + (size_t)ay * AreaWidth;
            size_t cell = (size_t)sq.cx + (size_t)(sq.cy + row) * sq.spec->Size;
            const uint8_t *br = AreaStaticRed + at, *bg = AreaStaticGreen + at, *bb = AreaStaticBlue + at;
            uint8_t *dest = bits ? bits + (size_t)(AreaTop + ay) * pitch + (size_t)(AreaLeft + sq.ax) * bytes : nullptr;
            if (row + AHEAD < sq.h)
                PrefetchRow(sq, at + (size_t)AHEAD * AreaWidth, cell + (size_t)AHEAD * sq.spec->Size,
                            dest ? dest + (size_t)AHEAD * pitch : nullptr, (size_t)sq.w * bytes);
            int n = k > 0 ? EarlierSpans(list, k, ay, sq.ax, sq.ax + sq.w, spans) : 0;
            if (n > 0) {
                // Partly lit already: the rest of the row takes the static colour first.
                int x = sq.ax;
                for (int s = 0; s <= n; s++) {
                    int end = s < n ? spans[s].a : sq.ax + sq.w;
                    if (end > x) {
                        size_t from = (size_t)x + (size_t)ay * AreaWidth;
                        memcpy(AreaRed + from, AreaStaticRed + from, end - x);
                        memcpy(AreaGreen + from, AreaStaticGreen + from, end - x);
                        memcpy(AreaBlue + from, AreaStaticBlue + from, end - x);
                    }
                    if (s < n && spans[s].b > x)
                        x = spans[s].b;
                }
                br = AreaRed + at;
                bg = AreaGreen + at;
                bb = AreaBlue + at;
            }
            if (fast)
                FastRow(sq.spec, at, cell, sq.w, br, bg, bb);
            else
                FullRow(sq.spec, at, cell, sq.w, br, bg, bb);
            if (dest)
                write(dest, AreaRed + at, AreaGreen + at, AreaBlue + at, sq.w);
        }
    }
    if (bits && !heldBefore)
        DDUnlockBackSurface();
}
#endif
