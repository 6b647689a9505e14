// One-pass scaling of the game's picture for the software presenting path.
#include "sys_scale.h"

#include <algorithm>
#include <cstring>

static std::vector<SysScaleTap> tapsX, tapsY;
static int tapsFor[5]; // srcW, srcH, w, h, multiple the taps were made for
static std::vector<uint32_t> converted, blended;

void Sys_ScaleTaps(int srcSize, int dstSize, int multiple, std::vector<SysScaleTap> &taps)
{
    taps.assign(std::max(dstSize, 0), SysScaleTap{ 0, 0 });
    if (srcSize <= 0 || dstSize <= 0)
        return;
    long long whole = (long long)srcSize * std::max(multiple, 1), twice = 2LL * dstSize;
    for (int d = 0; d < dstSize; d++) {
        // The output pixel's centre in enlarged pixels, less half a pixel, in units of 1 / twice.
        long long at = (2LL * d + 1) * whole - dstSize;
        at = std::max(0LL, std::min(at, (whole - 1) * twice));
        long long k = at / twice, frac = at % twice;
        int first = (int)(k * srcSize / whole), next = (int)(std::min(k + 1, whole - 1) * srcSize / whole);
        int weight = (int)((frac * 256 + dstSize) / twice);
        if (next == first || weight == 0)
            taps[d] = { first, 0 };
        else if (weight >= 256)
            taps[d] = { next, 0 };
        else
            taps[d] = { first, weight };
    }
}

static inline uint32_t Mix(uint32_t a, uint32_t b, unsigned w)
{
    uint32_t rb = (((a & 0xFF00FF) * (256 - w) + (b & 0xFF00FF) * w) >> 8) & 0xFF00FF;
    uint32_t g = (((a & 0x00FF00) * (256 - w) + (b & 0x00FF00) * w) >> 8) & 0x00FF00;
    return rb | g;
}

// The picture as 0x00RRGGBB words, 16 bpp rounded as screenshots are.
static bool Convert(const SysPicture &p)
{
    converted.resize((size_t)p.width * p.height);
    for (int y = 0; y < p.height; y++) {
        const BYTE *row = p.pixels + (size_t)y * p.pitch;
        uint32_t *out = converted.data() + (size_t)y * p.width;
        switch (p.depth) {
        case 32:
            for (int x = 0; x < p.width; x++)
                out[x] = (row[4 * x] | row[4 * x + 1] << 8 | (uint32_t)row[4 * x + 2] << 16);
            break;
        case 24:
            for (int x = 0; x < p.width; x++)
                out[x] = (row[3 * x] | row[3 * x + 1] << 8 | (uint32_t)row[3 * x + 2] << 16);
            break;
        case 16:
            for (int x = 0; x < p.width; x++)
                out[x] = Sys_Rgb16(row[2 * x] | row[2 * x + 1] << 8, p.rgb555);
            break;
        default:
            return false;
        }
    }
    return true;
}

bool Sys_ScalePicture(const SysPicture &p, uint32_t *dst, int pitch, int w, int h, int multiple)
{
    if (w <= 0 || h <= 0 || p.width <= 0 || p.height <= 0)
        return true;
    if (!Convert(p))
        return false;
    int key[5] = { p.width, p.height, w, h, multiple };
    if (!std::equal(key, key + 5, tapsFor)) {
        Sys_ScaleTaps(p.width, w, multiple, tapsX);
        Sys_ScaleTaps(p.height, h, multiple, tapsY);
        std::copy(key, key + 5, tapsFor);
    }
    blended.resize(p.width);
    const SysScaleTap *tx = tapsX.data();
    uint32_t *previous = nullptr;
    for (int y = 0; y < h; y++) {
        uint32_t *out = (uint32_t *)((BYTE *)dst + (size_t)y * pitch);
        const SysScaleTap &ty = tapsY[y];
        // Rows inside one enlarged pixel repeat the row above.
        if (previous && ty.first == tapsY[y - 1].first && ty.weight == tapsY[y - 1].weight) {
            memcpy(out, previous, (size_t)w * 4);
            previous = out;
            continue;
        }
        const uint32_t *row = converted.data() + (size_t)ty.first * p.width;
        if (ty.weight) {
            const uint32_t *below = row + p.width;
            for (int x = 0; x < p.width; x++)
                blended[x] = Mix(row[x], below[x], ty.weight);
            row = blended.data();
        }
        for (int x = 0; x < w; x++) {
            uint32_t c = row[tx[x].first];
            if (tx[x].weight)
                c = Mix(c, row[tx[x].first + 1], tx[x].weight);
            out[x] = c | 0xFF000000u;
        }
        previous = out;
    }
    return true;
}
