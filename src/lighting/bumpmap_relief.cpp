// The static relief: per-pixel normals, colour indices and the statically lit planes and image.
#include "bumpmap_local.h"
#include "dd_log.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
struct NormalEntry {
    int16_t x, y, z; // |nx|, |ny|, nz
    int16_t known;
};
struct NormalCache {
    double dz = 0;
    std::vector<NormalEntry> entries; // 256 x 256, by |dx| and |dy|
};
static NormalCache Normals;

static void ComputeNormal(const NormalCache &cache, NormalEntry &e, int adx, int ady)
{
    double dx = adx, dy = ady, dz = cache.dz;
    double len = sqrt(dx * dx + dy * dy + dz * dz);
    if (len > 0 && std::isfinite(len)) {
        e.x = (int16_t)(dx / len * 16384);
        e.y = (int16_t)(dy / len * 16384);
        e.z = (int16_t)(dz / len * 16384);
    } else {
        // A height scale of zero or less: no relief at all.
        e.x = e.y = 0;
        e.z = 16384;
    }
    e.known = 1;
}

static inline const NormalEntry &CachedNormal(NormalCache &cache, int adx, int ady)
{
    NormalEntry &e = cache.entries[adx * 256 + ady];
    if (!e.known)
        ComputeNormal(cache, e, adx, ady);
    return e;
}

// One static light's unit vectors towards it, by the distance from it along x and along y.
// Both halves of each axis share a value (the sign of a component follows its offset exactly),
// so a light over the middle of the area costs a quarter of its pixels in square roots.
struct LightField {
    const TStaticLight *light;
    int64_t minX, minY;      // smallest |ux| and |uy| over the area
    int64_t spanX, spanY;    // how many of each
    // Per entry (|ux| - minX) + (|uy| - minY) * spanX: Ux for |ux|, Uy for |uy| and Uz, and for
    // small lights d2 = ux^2 + uy^2 + uz^2 (1 where it is 0: nothing is lit there) and 1 / d2.
    std::vector<int16_t> unitX, unitY, unitZ;
    std::vector<double> dist2, inverse;
    bool small;              // every light sum fits 32-bit arithmetic
    // For such lights, (colour * att) >> 8 by att and (colour * highlight) >> 8 by index, per channel.
    std::vector<int> scaled, highlight;
    int highlightStart;      // below this index all three highlight values are 0
    bool vector;             // small, with colours of 0 to 256: the eight-lane loop applies
    // The current row spelled out per area column, for the eight-lane loop.
    std::vector<int16_t> rowX, rowY, rowZ;
    std::vector<double> rowD2, rowInverse;
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
    f.vector = false;
    OffsetRange(light->X, W, f.minX, f.spanX);
    OffsetRange(light->Y, H, f.minY, f.spanY);
    size_t entries = (size_t)(f.spanX * f.spanY);
    f.unitX.assign(entries, 0);
    f.unitY.assign(entries, 0);
    f.unitZ.assign(entries, 0);
    double uz = light->Z;
    for (int64_t j = 0; j < f.spanY; j++)
        for (int64_t i = 0; i < f.spanX; i++) {
            double ux = (double)(f.minX + i), uy = (double)(f.minY + j);
            double len = sqrt(ux * ux + uy * uy + uz * uz);
            size_t e = (size_t)(i + j * f.spanX);
            // A light lying in the surface at this very pixel has no direction and lights nothing.
            if (len > 0) {
                f.unitX[e] = (int16_t)(int)(16384 * ux / len);
                f.unitY[e] = (int16_t)(int)(16384 * uy / len);
                f.unitZ[e] = (int16_t)(int)(16384 * uz / len);
            }
        }
    int64_t farX = f.minX + f.spanX - 1, farY = f.minY + f.spanY - 1, z2 = (int64_t)light->Z * light->Z;
    f.small = z2 * 255 <= INT32_MAX && z2 + farX * farX + farY * farY <= INT32_MAX &&
              light->Red >= 0 && light->Green >= 0 && light->Blue >= 0 && light->Red <= 65535 &&
              light->Green <= 65535 && light->Blue <= 65535;
    if (!f.small)
        return;
    f.dist2.resize(entries);
    f.inverse.resize(entries);
    for (int64_t j = 0; j < f.spanY; j++)
        for (int64_t i = 0; i < f.spanX; i++) {
            int64_t ux = f.minX + i, uy = f.minY + j;
            int64_t d2 = ux * ux + uy * uy + z2;
            size_t e = (size_t)(i + j * f.spanX);
            f.dist2[e] = d2 > 0 ? (double)d2 : 1.0;
            f.inverse[e] = 1.0 / f.dist2[e];
        }
    const int colour[3] = { light->Red, light->Green, light->Blue };
    f.scaled.resize(3 * 256);
    f.highlight.resize(3 * BUMPMAP_SPECULAR_SIZE);
    for (int c = 0; c < 3; c++) {
        for (int att = 0; att < 256; att++)
            f.scaled[c * 256 + att] = (colour[c] * att) >> 8;
        for (int i = 0; i < BUMPMAP_SPECULAR_SIZE; i++)
            f.highlight[c * BUMPMAP_SPECULAR_SIZE + i] = (colour[c] * SpecularTable[i]) >> 8;
    }
    f.highlightStart = 0;
    while (f.highlightStart < BUMPMAP_SPECULAR_SIZE && !f.highlight[f.highlightStart] &&
           !f.highlight[BUMPMAP_SPECULAR_SIZE + f.highlightStart] &&
           !f.highlight[2 * BUMPMAP_SPECULAR_SIZE + f.highlightStart])
        f.highlightStart++;
    f.vector = BumpmapVectorLoops;
    for (int c = 0; c < 3; c++)
        f.vector = f.vector && colour[c] >= 0 && colour[c] <= 256;
    if (f.vector) {
        f.rowX.resize(W);
        f.rowY.resize(W);
        f.rowZ.resize(W);
        f.rowD2.resize(W);
        f.rowInverse.resize(W);
    }
}

// One row of the relief as the light sums need it: normal components and surface colour.
struct ReliefRow {
    const int16_t *nx, *ny, *nz;
    const uint8_t *pr, *pg, *pb;
};

// Adds one static light to the sums of row y. A small light (every light in the game) divides by
// multiplying with the inverse and correcting; any other is summed in 64 bits as it stands.
template <typename Sum>
static void AddLightRow(const LightField &f, int y, int W, const ReliefRow &row, Sum *R, Sum *G, Sum *B)
{
    const TStaticLight *l = f.light;
    const int64_t uy = (int64_t)l->Y - y, uz = l->Z;
    const size_t first = (size_t)(((uy < 0 ? -uy : uy) - f.minY) * f.spanX);
    const int16_t *unitX = &f.unitX[first], *unitY = &f.unitY[first], *unitZ = &f.unitZ[first];
    const int64_t minX = f.minX, X = l->X;
    const int ySign = uy < 0 ? -1 : 1;
    if (f.small) {
        const int *scaledR = &f.scaled[0], *scaledG = &f.scaled[256], *scaledB = &f.scaled[512];
        const int *lightR = &f.highlight[0], *lightG = lightR + BUMPMAP_SPECULAR_SIZE;
        const int *lightB = lightG + BUMPMAP_SPECULAR_SIZE;
        const double *dist2 = &f.dist2[first], *inverse = &f.inverse[first];
        const int uz2 = (int)(uz * uz);
        for (int x = 0; x < W; x++) {
            int ux = (int)(X - x);
            int64_t e = (ux < 0 ? -ux : ux) - minX;
            int Ux = ux < 0 ? -unitX[e] : unitX[e];
            int dot = Ux * row.nx[x] + ySign * unitY[e] * row.ny[x] + unitZ[e] * row.nz[x];
            if (dot <= 0)
                continue;
            int s = dot >> 16 > 4096 ? 4096 : dot >> 16;
            int diffuse = dot >> 20 > 255 ? 255 : dot >> 20;
            // att = uz2 * diffuse / d2 by a multiplication; the product is within a hair of
            // the quotient, so one step of correction makes it exact.
            int64_t num = (int64_t)uz2 * diffuse, d2 = (int64_t)dist2[e];
            int att = (int)((double)num * inverse[e]);
            int64_t r = num - (int64_t)att * d2;
            att += (r >= d2) - (r < 0); // at most diffuse
            R[x] += (scaledR[att] * row.pr[x] >> 8) + lightR[s];
            G[x] += (scaledG[att] * row.pg[x] >> 8) + lightG[s];
            B[x] += (scaledB[att] * row.pb[x] >> 8) + lightB[s];
        }
        return;
    }
    if constexpr (sizeof(Sum) == sizeof(int64_t)) {
        const int *T = SpecularTable;
        const int64_t red = l->Red, green = l->Green, blue = l->Blue;
        for (int x = 0; x < W; x++) {
            int64_t ux = X - x;
            int64_t e = (ux < 0 ? -ux : ux) - minX;
            int Ux = ux < 0 ? -unitX[e] : unitX[e];
            int dot = Ux * row.nx[x] + ySign * unitY[e] * row.ny[x] + unitZ[e] * row.nz[x];
            if (dot <= 0)
                continue;
            int shine = T[dot >> 16 > 4096 ? 4096 : dot >> 16];
            int diffuse = dot >> 20 > 255 ? 255 : dot >> 20;
            int64_t att = uz * diffuse * uz / (uz * uz + ux * ux + uy * uy);
            R[x] += (((red * att) >> 8) * row.pr[x] >> 8) + ((red * shine) >> 8);
            G[x] += (((green * att) >> 8) * row.pg[x] >> 8) + ((green * shine) >> 8);
            B[x] += (((blue * att) >> 8) * row.pb[x] >> 8) + ((blue * shine) >> 8);
        }
    }
}

#if defined(__SSE2__)
// A small light with colours of 0 to 256 in eight lanes: every product of the colour sums then
// fits 16 bits. The quotient att = uz^2 * diffuse / d2 is taken in double precision by the
// inverse and corrected by one step, exactly as in the scalar loop.
static void AddLightRowVector(LightField &f, int y, int W, const ReliefRow &row, int32_t *R, int32_t *G, int32_t *B)
{
    const TStaticLight *l = f.light;
    const int64_t uy = (int64_t)l->Y - y, uz = l->Z, X = l->X;
    const size_t first = (size_t)(((uy < 0 ? -uy : uy) - f.minY) * f.spanX);
    const int16_t *unitX = &f.unitX[first], *unitY = &f.unitY[first], *unitZ = &f.unitZ[first];
    const double *dist2 = &f.dist2[first], *inverse = &f.inverse[first];
    const int16_t ySign = uy < 0 ? -1 : 1;
    int16_t *rx = f.rowX.data(), *ry = f.rowY.data(), *rz = f.rowZ.data();
    double *rd2 = f.rowD2.data(), *rinv = f.rowInverse.data();
    // Spelled out per column: left of the light the entries run backwards, right of it forwards.
    int64_t split = X + 1 < 0 ? 0 : X + 1 > W ? W : X + 1;
    for (int x = 0; x < (int)split; x++) {
        int64_t e = X - x - f.minX;
        rx[x] = unitX[e];
        ry[x] = (int16_t)(ySign * unitY[e]);
        rz[x] = unitZ[e];
        rd2[x] = dist2[e];
        rinv[x] = inverse[e];
    }
    for (int x = (int)split; x < W; x++) {
        int64_t e = x - X - f.minX;
        rx[x] = (int16_t)-unitX[e];
        ry[x] = (int16_t)(ySign * unitY[e]);
        rz[x] = unitZ[e];
        rd2[x] = dist2[e];
        rinv[x] = inverse[e];
    }

    const __m128i zero = _mm_setzero_si128(), max255 = _mm_set1_epi16(255), top = _mm_set1_epi16(4096);
    const __m128i below = _mm_set1_epi16((short)(f.highlightStart - 1));
    const __m128i red = _mm_set1_epi16((short)l->Red), green = _mm_set1_epi16((short)l->Green);
    const __m128i blue = _mm_set1_epi16((short)l->Blue);
    const __m128d uz2 = _mm_set1_pd((double)(uz * uz)), one = _mm_set1_pd(1.0), none = _mm_setzero_pd();
    const int *lightR = &f.highlight[0], *lightG = lightR + BUMPMAP_SPECULAR_SIZE;
    const int *lightB = lightG + BUMPMAP_SPECULAR_SIZE;
    alignas(16) int16_t index[8];
    int x = 0;
    for (; x + 8 <= W; x += 8) {
        __m128i Nx = _mm_loadu_si128((const __m128i *)(row.nx + x)), Ny = _mm_loadu_si128((const __m128i *)(row.ny + x));
        __m128i Nz = _mm_loadu_si128((const __m128i *)(row.nz + x));
        __m128i Ux = _mm_loadu_si128((const __m128i *)(rx + x)), Uy = _mm_loadu_si128((const __m128i *)(ry + x));
        __m128i Uz = _mm_loadu_si128((const __m128i *)(rz + x));
        __m128i lo = _mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(Ux, Uy), _mm_unpacklo_epi16(Nx, Ny)),
                                   _mm_madd_epi16(_mm_unpacklo_epi16(Uz, zero), _mm_unpacklo_epi16(Nz, zero)));
        __m128i hi = _mm_add_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(Ux, Uy), _mm_unpackhi_epi16(Nx, Ny)),
                                   _mm_madd_epi16(_mm_unpackhi_epi16(Uz, zero), _mm_unpackhi_epi16(Nz, zero)));
        lo = _mm_andnot_si128(_mm_srai_epi32(lo, 31), lo);
        hi = _mm_andnot_si128(_mm_srai_epi32(hi, 31), hi);
        __m128i diffLo = _mm_srai_epi32(lo, 20), diffHi = _mm_srai_epi32(hi, 20); // 0..256
        __m128i s = _mm_min_epi16(_mm_packs_epi32(_mm_srai_epi32(lo, 16), _mm_srai_epi32(hi, 16)), top);
        __m128i diffuse = _mm_min_epi16(_mm_packs_epi32(diffLo, diffHi), max255);
        diffLo = _mm_unpacklo_epi16(diffuse, zero);
        diffHi = _mm_unpackhi_epi16(diffuse, zero);

        // att, two pixels per double-precision step.
        __m128i att32[4];
        const __m128i parts[4] = { diffLo, _mm_shuffle_epi32(diffLo, 0xEE), diffHi, _mm_shuffle_epi32(diffHi, 0xEE) };
        for (int k = 0; k < 4; k++) {
            __m128d num = _mm_mul_pd(_mm_cvtepi32_pd(parts[k]), uz2);
            __m128d d2 = _mm_loadu_pd(rd2 + x + 2 * k);
            __m128d att = _mm_cvtepi32_pd(_mm_cvttpd_epi32(_mm_mul_pd(num, _mm_loadu_pd(rinv + x + 2 * k))));
            __m128d r = _mm_sub_pd(num, _mm_mul_pd(att, d2));
            att = _mm_add_pd(att, _mm_and_pd(_mm_cmpge_pd(r, d2), one));
            att = _mm_sub_pd(att, _mm_and_pd(_mm_cmplt_pd(r, none), one));
            att32[k] = _mm_cvttpd_epi32(att);
        }
        __m128i att = _mm_packs_epi32(_mm_unpacklo_epi64(att32[0], att32[1]), _mm_unpacklo_epi64(att32[2], att32[3]));

        __m128i hr = zero, hg = zero, hb = zero;
        if (_mm_movemask_epi8(_mm_cmpgt_epi16(s, below))) {
            _mm_store_si128((__m128i *)index, s);
            hr = _mm_setr_epi16((short)lightR[index[0]], (short)lightR[index[1]], (short)lightR[index[2]],
                                (short)lightR[index[3]], (short)lightR[index[4]], (short)lightR[index[5]],
                                (short)lightR[index[6]], (short)lightR[index[7]]);
            hg = _mm_setr_epi16((short)lightG[index[0]], (short)lightG[index[1]], (short)lightG[index[2]],
                                (short)lightG[index[3]], (short)lightG[index[4]], (short)lightG[index[5]],
                                (short)lightG[index[6]], (short)lightG[index[7]]);
            hb = _mm_setr_epi16((short)lightB[index[0]], (short)lightB[index[1]], (short)lightB[index[2]],
                                (short)lightB[index[3]], (short)lightB[index[4]], (short)lightB[index[5]],
                                (short)lightB[index[6]], (short)lightB[index[7]]);
        }
        // ((((colour * att) >> 8) * surface) >> 8) + highlight, then into the 32-bit sums.
        const __m128i colours[3] = { red, green, blue }, highlights[3] = { hr, hg, hb };
        const uint8_t *surfaces[3] = { row.pr, row.pg, row.pb };
        int32_t *sums[3] = { R, G, B };
        for (int c = 0; c < 3; c++) {
            __m128i surface = _mm_unpacklo_epi8(_mm_loadl_epi64((const __m128i *)(surfaces[c] + x)), zero);
            __m128i t = _mm_srli_epi16(_mm_mullo_epi16(colours[c], att), 8);
            t = _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(t, surface), 8), highlights[c]);
            __m128i *at = (__m128i *)(sums[c] + x);
            _mm_storeu_si128(at, _mm_add_epi32(_mm_loadu_si128(at), _mm_unpacklo_epi16(t, zero)));
            _mm_storeu_si128(at + 1, _mm_add_epi32(_mm_loadu_si128(at + 1), _mm_unpackhi_epi16(t, zero)));
        }
    }
    // The last few columns the plain way.
    const int *scaledR = &f.scaled[0], *scaledG = &f.scaled[256], *scaledB = &f.scaled[512];
    for (; x < W; x++) {
        int dot = rx[x] * row.nx[x] + ry[x] * row.ny[x] + rz[x] * row.nz[x];
        if (dot <= 0)
            continue;
        int s = dot >> 16 > 4096 ? 4096 : dot >> 16;
        int diffuse = dot >> 20 > 255 ? 255 : dot >> 20;
        int64_t num = (int64_t)(uz * uz) * diffuse, d2 = (int64_t)rd2[x];
        int att = (int)(num / d2);
        R[x] += (scaledR[att] * row.pr[x] >> 8) + lightR[s];
        G[x] += (scaledG[att] * row.pg[x] >> 8) + lightG[s];
        B[x] += (scaledB[att] * row.pb[x] >> 8) + lightB[s];
    }
}
#endif

// Everything the rows of the relief are made from.
struct ReliefJob {
    int W, H, mapW, mapH;
    const uint8_t *heightBits;
    int heightPitch;
    const uint8_t *colourBits;
    int colourPitch;
    const int *tx, *left, *right; // texture column of each area column and its neighbours
    NormalCache *cache;
    const std::vector<LightField *> &fields;
};

static void ClampRow(const int64_t *v, uint8_t *out, int n)
{
    for (int i = 0; i < n; i++)
        out[i] = (uint8_t)(v[i] > 255 ? 255 : v[i] < 0 ? 0 : v[i]);
}

static void ClampRow(const int32_t *v, uint8_t *out, int n)
{
    int i = 0;
#if defined(__SSE2__)
    // Saturating packs to 16 bits, then to unsigned bytes: the clamp to 0..255 exactly.
    for (; i + 16 <= n; i += 16) {
        __m128i a = _mm_packs_epi32(_mm_loadu_si128((const __m128i *)(v + i)), _mm_loadu_si128((const __m128i *)(v + i + 4)));
        __m128i b = _mm_packs_epi32(_mm_loadu_si128((const __m128i *)(v + i + 8)), _mm_loadu_si128((const __m128i *)(v + i + 12)));
        _mm_storeu_si128((__m128i *)(out + i), _mm_packus_epi16(a, b));
    }
#endif
    for (; i < n; i++)
        out[i] = (uint8_t)(v[i] > 255 ? 255 : v[i] < 0 ? 0 : v[i]);
}

// Normals, colour indices and surface colours of every row, then the light sums.
template <typename Sum>
static void ReliefRows(const ReliefJob &job)
{
    const int W = job.W, mapH = job.mapH;
    std::vector<Sum> sums(3 * (size_t)W);
    Sum *R = sums.data(), *G = R + W, *B = G + W;
    // The ambient term depends on the colour index alone.
    Sum ambient[3][256];
    for (int c = 0; c < 256; c++) {
        ambient[0][c] = (Sum)(((int64_t)ColourPalette[c].peRed * AmbientRed) >> 8);
        ambient[1][c] = (Sum)(((int64_t)ColourPalette[c].peGreen * AmbientGreen) >> 8);
        ambient[2][c] = (Sum)(((int64_t)ColourPalette[c].peBlue * AmbientBlue) >> 8);
    }
    PALETTEENTRY palette[256];
    memcpy(palette, ColourPalette, sizeof palette);
    NormalCache &cache = *job.cache;
    int16_t *normals = AreaNormals, *normX = AreaNormX, *normY = AreaNormY, *normZ = AreaNormZ;
    uint8_t *colIdx = AreaColIdx, *palRed = AreaPalRed, *palGreen = AreaPalGreen, *palBlue = AreaPalBlue;

    for (int y = 0; y < job.H; y++) {
        int ty = y % mapH;
        int up = (ty + mapH - 1) % mapH, down = (ty + 1) % mapH;
        // Texture row v is stored at bits + (height - 1 - v) * pitch.
        const uint8_t *hRow = job.heightBits + (size_t)(mapH - 1 - ty) * job.heightPitch;
        const uint8_t *hUp = job.heightBits + (size_t)(mapH - 1 - up) * job.heightPitch;
        const uint8_t *hDown = job.heightBits + (size_t)(mapH - 1 - down) * job.heightPitch;
        const uint8_t *cRow = job.colourBits + (size_t)(mapH - 1 - ty) * job.colourPitch;
        size_t base = (size_t)y * W;
        ReliefRow row = { normX + base, normY + base, normZ + base, palRed + base, palGreen + base, palBlue + base };
        for (int x = 0; x < W; x++) {
            int t = job.tx[x];
            int dx = hRow[job.left[x]] - hRow[job.right[x]];
            int dy = hUp[t] - hDown[t];
            const NormalEntry &n = CachedNormal(cache, dx < 0 ? -dx : dx, dy < 0 ? -dy : dy);
            int16_t Nx = (int16_t)(dx < 0 ? -n.x : n.x), Ny = (int16_t)(dy < 0 ? -n.y : n.y), Nz = n.z;
            size_t at = base + x;
            normals[3 * at] = normX[at] = Nx;
            normals[3 * at + 1] = normY[at] = Ny;
            normals[3 * at + 2] = normZ[at] = Nz;
            int c = cRow[t];
            colIdx[at] = (uint8_t)c;
            palRed[at] = palette[c].peRed;
            palGreen[at] = palette[c].peGreen;
            palBlue[at] = palette[c].peBlue;
            R[x] = ambient[0][c];
            G[x] = ambient[1][c];
            B[x] = ambient[2][c];
        }
        for (LightField *f : job.fields) {
#if defined(__SSE2__)
            if constexpr (sizeof(Sum) == sizeof(int32_t)) {
                if (f->vector) {
                    AddLightRowVector(*f, y, W, row, R, G, B);
                    continue;
                }
            }
#endif
            AddLightRow<Sum>(*f, y, W, row, R, G, B);
        }
        ClampRow(R, AreaStaticRed + base, W);
        ClampRow(G, AreaStaticGreen + base, W);
        ClampRow(B, AreaStaticBlue + base, W);
    }
}

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
    if (cache.entries.empty() || cache.dz != (dz > 0 ? dz : INFINITY)) {
        cache.dz = dz > 0 ? dz : INFINITY;
        cache.entries.assign(256 * 256, NormalEntry{ 0, 0, 0, 0 });
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
    // 32-bit sums whenever no term can overflow them (always, in the game).
    bool small = AmbientRed >= -65535 && AmbientRed <= 65535 && AmbientGreen >= -65535 && AmbientGreen <= 65535 &&
                 AmbientBlue >= -65535 && AmbientBlue <= 65535 && fields.size() <= 4096;
    for (const LightField *f : fields)
        small = small && f->small;
    ReliefJob job = { W, H, mapW, mapH, heightBits, heightPitch, colourBits, colourPitch, tx.data(), left.data(),
                      right.data(), &cache, fields };
    if (small)
        ReliefRows<int32_t>(job);
    else
        ReliefRows<int64_t>(job);
    memcpy(AreaColoursPalette, ColourPalette, sizeof AreaColoursPalette);
    AreaColoursStale = false;

    if (!StaticImage)
        return;
    if (StaticImage->IsLost() == DDERR_SURFACELOST)
        StaticImage->Restore();
    if (!Bumpmap_PaintStaticImage())
        DDErrorLog("Bumpmap_RecalculateStatic: can't lock the static image, it will be painted when restored");
}
