// Rows of lit colour planes written into a surface in the display's pixel format.
#include "bumpmap_local.h"
#include "dd_draw.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

bool BumpmapVectorLoops = true;

// The 16-bit value is the OR of one part per channel, so three tables give it exactly.
static uint16_t Red16[256], Green16[256], Blue16[256];
static int Table16Format = -2;
enum { LAYOUT_TABLES, LAYOUT_565, LAYOUT_555 };
static int Layout16 = LAYOUT_TABLES;

static void WriteRow16(uint8_t *dest, const uint8_t *r, const uint8_t *g, const uint8_t *b, int count)
{
    for (int i = 0; i < count; i++) {
        unsigned v = Red16[r[i]] | Green16[g[i]] | Blue16[b[i]];
        dest[2 * i] = (uint8_t)v;
        dest[2 * i + 1] = (uint8_t)(v >> 8);
    }
}

static void WriteRow24(uint8_t *dest, const uint8_t *r, const uint8_t *g, const uint8_t *b, int count)
{
    // One four-byte store a pixel, whose fourth byte the next pixel overwrites; the last pixel
    // of the row is written byte by byte so that nothing past it is touched.
    int i = 0;
    for (; i + 1 < count; i++) {
        uint32_t v = (uint32_t)b[i] | (uint32_t)g[i] << 8 | (uint32_t)r[i] << 16;
        memcpy(dest + 3 * i, &v, 4);
    }
    for (; i < count; i++) {
        dest[3 * i] = b[i];
        dest[3 * i + 1] = g[i];
        dest[3 * i + 2] = r[i];
    }
}

static void WriteRow32(uint8_t *dest, const uint8_t *r, const uint8_t *g, const uint8_t *b, int count)
{
    for (int i = 0; i < count; i++) {
        dest[4 * i] = b[i];
        dest[4 * i + 1] = g[i];
        dest[4 * i + 2] = r[i];
    }
}

#if defined(__SSE2__)
static void WriteRow32Vector(uint8_t *dest, const uint8_t *r, const uint8_t *g, const uint8_t *b, int count)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i keep = _mm_set1_epi32((int)0xFF000000u);
    // A last group may overlap the one before: writing the same pixels again changes nothing.
    int i = 0;
    for (; i + 16 <= count || (count >= 16 && i < count); i += 16) {
        if (i + 16 > count)
            i = count - 16;
        __m128i R = _mm_loadu_si128((const __m128i *)(r + i));
        __m128i G = _mm_loadu_si128((const __m128i *)(g + i));
        __m128i B = _mm_loadu_si128((const __m128i *)(b + i));
        __m128i bgLo = _mm_unpacklo_epi8(B, G), bgHi = _mm_unpackhi_epi8(B, G);
        __m128i rLo = _mm_unpacklo_epi8(R, zero), rHi = _mm_unpackhi_epi8(R, zero);
        __m128i px[4] = { _mm_unpacklo_epi16(bgLo, rLo), _mm_unpackhi_epi16(bgLo, rLo),
                          _mm_unpacklo_epi16(bgHi, rHi), _mm_unpackhi_epi16(bgHi, rHi) };
        for (int k = 0; k < 4; k++) {
            __m128i *at = (__m128i *)(dest + 4 * i + 16 * k);
            __m128i old = _mm_loadu_si128(at);
            _mm_storeu_si128(at, _mm_or_si128(_mm_and_si128(old, keep), px[k]));
        }
    }
    WriteRow32(dest + 4 * i, r + i, g + i, b + i, count - i);
}

// 5-6-5 and 5-5-5 computed in 16-bit lanes, eight pixels at a time.
template <int LAYOUT>
static void WriteRow16Vector(uint8_t *dest, const uint8_t *r, const uint8_t *g, const uint8_t *b, int count)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i top5 = _mm_set1_epi16(0xF8), top6 = _mm_set1_epi16(0xFC);
    int i = 0;
    for (; i + 8 <= count || (count >= 8 && i < count); i += 8) {
        if (i + 8 > count)
            i = count - 8;
        __m128i R = _mm_unpacklo_epi8(_mm_loadl_epi64((const __m128i *)(r + i)), zero);
        __m128i G = _mm_unpacklo_epi8(_mm_loadl_epi64((const __m128i *)(g + i)), zero);
        __m128i B = _mm_unpacklo_epi8(_mm_loadl_epi64((const __m128i *)(b + i)), zero);
        __m128i v;
        if (LAYOUT == LAYOUT_565)
            v = _mm_or_si128(_mm_or_si128(_mm_slli_epi16(_mm_and_si128(R, top5), 8),
                                          _mm_slli_epi16(_mm_and_si128(G, top6), 3)),
                             _mm_srli_epi16(B, 3));
        else
            v = _mm_or_si128(_mm_or_si128(_mm_slli_epi16(_mm_and_si128(R, top5), 7),
                                          _mm_slli_epi16(_mm_and_si128(G, top5), 2)),
                             _mm_srli_epi16(B, 3));
        _mm_storeu_si128((__m128i *)(dest + 2 * i), v);
    }
    WriteRow16(dest + 2 * i, r + i, g + i, b + i, count - i);
}
#endif

static bool TablesMatch(int layout)
{
    for (int v = 0; v < 256; v++) {
        int r = layout == LAYOUT_565 ? (v & 0xF8) << 8 : (v & 0xF8) << 7;
        int g = layout == LAYOUT_565 ? (v & 0xFC) << 3 : (v & 0xF8) << 2;
        if (Red16[v] != r || Green16[v] != g || Blue16[v] != v >> 3)
            return false;
    }
    return true;
}

Bumpmap_RowWriter Bumpmap_SelectRowWriter(int depth)
{
#if defined(__SSE2__)
    bool vector = BumpmapVectorLoops;
#endif
    if (depth == 24)
        return WriteRow24;
    if (depth == 32) {
#if defined(__SSE2__)
        if (vector)
            return WriteRow32Vector;
#endif
        return WriteRow32;
    }
    if (depth != 16)
        return nullptr;
    RGBToColourValue(0, 0, 0); // settles the display's 16-bit layout
    if (PixelFormat == -1 || PixelFormat != Table16Format) {
        for (int v = 0; v < 256; v++) {
            Red16[v] = (uint16_t)RGBToColourValue(v, 0, 0);
            Green16[v] = (uint16_t)RGBToColourValue(0, v, 0);
            Blue16[v] = (uint16_t)RGBToColourValue(0, 0, v);
        }
        Table16Format = PixelFormat;
        Layout16 = TablesMatch(LAYOUT_565) ? LAYOUT_565 : TablesMatch(LAYOUT_555) ? LAYOUT_555 : LAYOUT_TABLES;
    }
#if defined(__SSE2__)
    if (vector && Layout16 == LAYOUT_565)
        return WriteRow16Vector<LAYOUT_565>;
    if (vector && Layout16 == LAYOUT_555)
        return WriteRow16Vector<LAYOUT_555>;
#endif
    return WriteRow16;
}
