// A plain, per-pixel reading of the lighting algorithm, the yardstick for the optimised module.
#pragma once

#include "bumpmap.h"
#include "dd_draw.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace ref {

struct StaticResult {
    std::vector<int16_t> normals;
    std::vector<uint8_t> colIdx, red, green, blue;
};

inline uint8_t MapByte(const BITMAP &bm, int u, int v)
{
    const uint8_t *bits = (const uint8_t *)bm.bmBits;
    return bits[(bm.bmHeight - 1 - v) * bm.bmWidthBytes + u];
}

// The static relief from the module's inputs (maps, palette, ambient, static lights, scale).
inline StaticResult RecalculateStatic(int W, int H)
{
    StaticResult out;
    size_t n = (size_t)W * H;
    out.normals.resize(3 * n);
    out.colIdx.resize(n);
    out.red.resize(n);
    out.green.resize(n);
    out.blue.resize(n);
    int T[4097];
    for (int i = 0; i <= 4096; i++)
        T[i] = (int)(255.0 * pow(i / 4096.0, (double)Hardness));
    int CW = ColourWidth, CH = ColourHeight;
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++) {
            int tx = x % CW, ty = y % CH;
            int dx = MapByte(HeightBM, (tx - 1 + CW) % CW, ty) - MapByte(HeightBM, (tx + 1) % CW, ty);
            int dy = MapByte(HeightBM, tx, (ty - 1 + CH) % CH) - MapByte(HeightBM, tx, (ty + 1) % CH);
            double dz = 4.0f / AreaHeightScale;
            double len = sqrt((double)dx * dx + (double)dy * dy + dz * dz);
            double nx = dx / len, ny = dy / len, nz = dz / len;
            int Nx = (int16_t)(int)(nx * 16384), Ny = (int16_t)(int)(ny * 16384), Nz = (int16_t)(int)(nz * 16384);
            size_t idx = (size_t)x + (size_t)y * W;
            out.normals[3 * idx] = (int16_t)Nx;
            out.normals[3 * idx + 1] = (int16_t)Ny;
            out.normals[3 * idx + 2] = (int16_t)Nz;
            int c = MapByte(ColourBM, tx, ty);
            out.colIdx[idx] = (uint8_t)c;
            int pr = ColourPalette[c].peRed, pg = ColourPalette[c].peGreen, pb = ColourPalette[c].peBlue;
            int R = (pr * AmbientRed) >> 8, G = (pg * AmbientGreen) >> 8, B = (pb * AmbientBlue) >> 8;
            for (const TStaticLight *l = StaticLights; l; l = l->Next) {
                int ux = l->X - x, uy = l->Y - y, uz = l->Z;
                double llen = sqrt((double)ux * ux + (double)uy * uy + (double)uz * uz);
                int Ux = (int)(16384 * ux / llen), Uy = (int)(16384 * uy / llen), Uz = (int)(16384 * uz / llen);
                int dot = Ux * Nx + Uy * Ny + Uz * Nz;
                if (dot < 0)
                    dot = 0;
                int shine = T[dot >> 16];
                int diffuse = dot >> 20;
                if (diffuse > 255)
                    diffuse = 255;
                int att = (uz * diffuse * uz) / (uz * uz + ux * ux + uy * uy);
                R = R + ((((l->Red * att) >> 8) * pr) >> 8) + ((l->Red * shine) >> 8);
                G = G + ((((l->Green * att) >> 8) * pg) >> 8) + ((l->Green * shine) >> 8);
                B = B + ((((l->Blue * att) >> 8) * pb) >> 8) + ((l->Blue * shine) >> 8);
            }
            out.red[idx] = (uint8_t)(R > 255 ? 255 : R);
            out.green[idx] = (uint8_t)(G > 255 ? 255 : G);
            out.blue[idx] = (uint8_t)(B > 255 ? 255 : B);
        }
    return out;
}

// One pixel in the display's layout.
inline void PutPixel(uint8_t *row, int x, int depth, int r, int g, int b)
{
    if (depth == 24) {
        row[3 * x] = (uint8_t)b;
        row[3 * x + 1] = (uint8_t)g;
        row[3 * x + 2] = (uint8_t)r;
    } else if (depth == 32) {
        row[4 * x] = (uint8_t)b;
        row[4 * x + 1] = (uint8_t)g;
        row[4 * x + 2] = (uint8_t)r;
    } else {
        int v = RGBToColourValue(r, g, b);
        row[2 * x] = (uint8_t)v;
        row[2 * x + 1] = (uint8_t)(v >> 8);
    }
}

// The static image as the display would hold it, from the result above.
inline std::vector<uint8_t> StaticImageBytes(const StaticResult &s, int W, int H, int pitch, int depth)
{
    std::vector<uint8_t> image((size_t)pitch * H, 0);
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++) {
            size_t idx = (size_t)x + (size_t)y * W;
            PutPixel(&image[(size_t)y * pitch], x, depth, s.red[idx], s.green[idx], s.blue[idx]);
        }
    return image;
}

// A precomputed light as the plain algorithm builds it.
struct Spec {
    int size = 0;
    std::vector<int16_t> directions;
    std::vector<uint8_t> maps[3];
    uint8_t specular[3][4097];
};

inline Spec CreateLightSpec(int z, int red, int green, int blue, int radius)
{
    Spec s;
    s.size = 2 * radius + 1;
    int colour[3] = { red, green, blue };
    for (int i = 0; i <= 4096; i++) {
        double p = pow(i / 4096.0, (double)Hardness);
        for (int c = 0; c < 3; c++)
            s.specular[c][i] = (uint8_t)(int)(p * colour[c]);
    }
    int inner = (radius * 60) / 100;
    int edge[3];
    for (int c = 0; c < 3; c++)
        edge[c] = (colour[c] * z * z) / (z * z + inner * inner);
    s.directions.resize(3 * s.size * s.size);
    for (int c = 0; c < 3; c++)
        s.maps[c].resize(s.size * s.size);
    for (int j = 0; j < s.size; j++)
        for (int i = 0; i < s.size; i++) {
            int ox = radius - i, oy = radius - j, d2 = ox * ox + oy * oy;
            int cell = i + j * s.size;
            double len = sqrt((double)(ox * ox + oy * oy + z * z));
            s.directions[3 * cell] = (int16_t)(int)(16384 * ox / len);
            s.directions[3 * cell + 1] = (int16_t)(int)(16384 * oy / len);
            s.directions[3 * cell + 2] = (int16_t)(int)(16384 * z / len);
            for (int c = 0; c < 3; c++) {
                int v = 0;
                if (d2 <= inner * inner) {
                    v = (colour[c] * z * z) / (z * z + d2);
                } else {
                    int dist = (int)sqrt((double)d2);
                    if (dist <= radius) {
                        double f = 1.0 - (double)(radius - dist) / (double)(radius - inner);
                        v = (int)(edge[c] - edge[c] * f);
                    }
                }
                s.maps[c][cell] = (uint8_t)v;
            }
        }
    return s;
}

// The frame: back is the back buffer before the call (bytes, pitch); staticImage the static
// image's bytes. Returns the back buffer after the call and fills the working planes.
struct Frame {
    std::vector<uint8_t> back;
    std::vector<uint8_t> red, green, blue;
};

inline Frame Draw(const std::vector<uint8_t> &backBefore, int pitch, int depth, const std::vector<uint8_t> &staticImage,
                  int staticPitch)
{
    Frame f;
    f.back = backBefore;
    int W = AreaWidth, H = AreaHeight, bytes = depth / 8;
    for (int y = 0; y < H; y++)
        memcpy(&f.back[(size_t)(AreaTop + y) * pitch + (size_t)AreaLeft * bytes], &staticImage[(size_t)y * staticPitch],
               (size_t)W * bytes);
    size_t n = (size_t)W * H;
    f.red.assign(AreaRed, AreaRed + n);
    f.green.assign(AreaGreen, AreaGreen + n);
    f.blue.assign(AreaBlue, AreaBlue + n);
    if (CurrentLighting == BUMPMAP_LIGHTING_OFF)
        return f;
    struct Sq {
        const TLightSpec *S;
        int x0, y0, x1, y1, cx, cy;
    };
    std::vector<Sq> squares;
    for (int i = 0; i < BumpMaxLights; i++) {
        if (!Lights[i].Active)
            continue;
        const TLightSpec *S = Lights[i].Spec;
        int ux0 = Lights[i].X - S->Radius, uy0 = Lights[i].Y - S->Radius;
        Sq q{ S, ux0, uy0, ux0 + S->Size, uy0 + S->Size, 0, 0 };
        if (q.x0 < AreaLeft)
            q.x0 = AreaLeft;
        if (q.y0 < AreaTop)
            q.y0 = AreaTop;
        if (q.x1 > AreaRight)
            q.x1 = AreaRight;
        if (q.y1 > AreaBottom)
            q.y1 = AreaBottom;
        q.cx = q.x0 - ux0;
        q.cy = q.y0 - uy0;
        if (q.x1 > q.x0 && q.y1 > q.y0)
            squares.push_back(q);
    }
    auto index = [&](int x, int y) { return (size_t)(x - AreaLeft) + (size_t)(y - AreaTop) * W; };
    for (const Sq &q : squares)
        for (int y = q.y0; y < q.y1; y++)
            for (int x = q.x0; x < q.x1; x++) {
                size_t idx = index(x, y);
                f.red[idx] = AreaStaticRed[idx];
                f.green[idx] = AreaStaticGreen[idx];
                f.blue[idx] = AreaStaticBlue[idx];
            }
    for (const Sq &q : squares) {
        const TLightSpec *S = q.S;
        for (int y = q.y0; y < q.y1; y++)
            for (int x = q.x0; x < q.x1; x++) {
                size_t idx = index(x, y);
                int cell = (q.cx + x - q.x0) + (q.cy + y - q.y0) * S->Size;
                int c = AreaColIdx[idx];
                int pr = ColourPalette[c].peRed, pg = ColourPalette[c].peGreen, pb = ColourPalette[c].peBlue;
                int R, G, B;
                if (CurrentLighting == BUMPMAP_LIGHTING_FULL) {
                    const int16_t *N = &AreaNormals[3 * idx];
                    const int16_t *D = &S->Directions[3 * cell];
                    int dot = N[0] * D[0] + N[1] * D[1] + N[2] * D[2];
                    if (dot < 0)
                        dot = 0;
                    int diffuse = dot >> 20;
                    if (diffuse > 255)
                        diffuse = 255;
                    int s = dot >> 16;
                    R = f.red[idx] + ((pr * ((S->RedMap[cell] * diffuse) >> 8)) >> 8) + S->RedSpecular[s];
                    G = f.green[idx] + ((pg * ((S->GreenMap[cell] * diffuse) >> 8)) >> 8) + S->GreenSpecular[s];
                    B = f.blue[idx] + ((pb * ((S->BlueMap[cell] * diffuse) >> 8)) >> 8) + S->BlueSpecular[s];
                } else {
                    R = f.red[idx] + ((S->RedMap[cell] * pr) >> 8);
                    G = f.green[idx] + ((S->GreenMap[cell] * pg) >> 8);
                    B = f.blue[idx] + ((S->BlueMap[cell] * pb) >> 8);
                }
                f.red[idx] = (uint8_t)(R > 255 ? 255 : R);
                f.green[idx] = (uint8_t)(G > 255 ? 255 : G);
                f.blue[idx] = (uint8_t)(B > 255 ? 255 : B);
            }
    }
    for (const Sq &q : squares)
        for (int y = q.y0; y < q.y1; y++)
            for (int x = q.x0; x < q.x1; x++) {
                size_t idx = index(x, y);
                PutPixel(&f.back[(size_t)y * pitch], x, depth, f.red[idx], f.green[idx], f.blue[idx]);
            }
    return f;
}

// FNV-1a over a byte range, for checksums in the benchmark.
inline uint64_t Checksum(const uint8_t *p, size_t n)
{
    uint64_t h = 1469598103934665603ull;
    for (size_t i = 0; i < n; i++)
        h = (h ^ p[i]) * 1099511628211ull;
    return h;
}

} // namespace ref
