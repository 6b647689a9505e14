// PNG writer: each row filtered the way that suits it best, then deflated by zlib.
#include "sys_png.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

static void Put32(std::vector<uint8_t> &out, uint32_t v)
{
    out.push_back(v >> 24);
    out.push_back(v >> 16);
    out.push_back(v >> 8);
    out.push_back(v);
}

static void Chunk(std::vector<uint8_t> &out, const char *type, const uint8_t *data, size_t size)
{
    Put32(out, (uint32_t)size);
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data, data + size);
    Put32(out, (uint32_t)crc32(0, &out[start], (uInt)(out.size() - start)));
}

static uint8_t Paeth(int a, int b, int c)
{
    int p = a + b - c, pa = abs(p - a), pb = abs(p - b), pc = abs(p - c);
    return (uint8_t)(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Appends one row under the filter (0 none, 1 sub, 2 up, 3 average, 4 Paeth) that leaves the
// smallest sum of bytes read as signed, the usual guess at what deflates best.
static void FilterRow(std::vector<uint8_t> &out, const uint8_t *row, const uint8_t *above, size_t n, int bpp)
{
    uint8_t best[5 * 8192];
    std::vector<uint8_t> big;
    uint8_t *f = best;
    if (n * 5 > sizeof best) {
        big.resize(n * 5);
        f = big.data();
    }
    long bestSum = -1;
    int bestType = 0;
    for (int type = 0; type < 5; type++) {
        uint8_t *t = f + (size_t)type * n;
        long sum = 0;
        for (size_t i = 0; i < n; i++) {
            int a = i >= (size_t)bpp ? row[i - bpp] : 0, b = above ? above[i] : 0;
            int c = above && i >= (size_t)bpp ? above[i - bpp] : 0;
            int predicted = type == 0 ? 0 : type == 1 ? a : type == 2 ? b : type == 3 ? (a + b) / 2 : Paeth(a, b, c);
            t[i] = (uint8_t)(row[i] - predicted);
            sum += t[i] < 128 ? t[i] : 256 - t[i];
        }
        if (bestSum < 0 || sum < bestSum) {
            bestSum = sum;
            bestType = type;
        }
    }
    out.push_back((uint8_t)bestType);
    out.insert(out.end(), f + (size_t)bestType * n, f + (size_t)(bestType + 1) * n);
}

static bool WritePNG(const char *path, const uint8_t *pixels, int width, int height, int channels)
{
    if (width <= 0 || height <= 0)
        return false;
    size_t row = (size_t)width * channels;
    std::vector<uint8_t> raw;
    raw.reserve((row + 1) * height);
    for (int y = 0; y < height; y++)
        FilterRow(raw, pixels + y * row, y > 0 ? pixels + (y - 1) * row : nullptr, row, channels);
    uLongf zSize = compressBound((uLong)raw.size());
    std::vector<uint8_t> z(zSize);
    if (compress2(z.data(), &zSize, raw.data(), (uLong)raw.size(), Z_DEFAULT_COMPRESSION) != Z_OK)
        return false;

    std::vector<uint8_t> out = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    std::vector<uint8_t> ihdr;
    Put32(ihdr, width);
    Put32(ihdr, height);
    ihdr.insert(ihdr.end(), { 8, (uint8_t)(channels == 4 ? 6 : 2), 0, 0, 0 }); // RGBA or RGB
    Chunk(out, "IHDR", ihdr.data(), ihdr.size());
    Chunk(out, "IDAT", z.data(), zSize);
    Chunk(out, "IEND", nullptr, 0);
    FILE *f = fopen(path, "wb");
    if (!f)
        return false;
    bool ok = fwrite(out.data(), 1, out.size(), f) == out.size();
    return (fclose(f) == 0) && ok;
}

bool Sys_WritePNG(const char *path, const uint8_t *rgb, int width, int height)
{
    return WritePNG(path, rgb, width, height, 3);
}

bool Sys_WritePNGAlpha(const char *path, const uint8_t *rgba, int width, int height)
{
    return WritePNG(path, rgba, width, height, 4);
}
