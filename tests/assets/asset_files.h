// Readers for the generated files (BMP headers and pixels, WAV and Ogg headers, sprite definitions).
#pragma once

#include "kx_test.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

struct AssetBmp {
    bool ok = false;
    int width = 0, height = 0, bpp = 0, colours = 0;
    std::vector<uint32_t> pixels; // 0xRRGGBB per pixel, rows top to bottom (24-bit files only)
    std::vector<uint8_t> indices; // one per pixel, rows top to bottom (8-bit and 1-bit files)
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

inline uint32_t AssetU32(const std::string &d, size_t o)
{
    return uint32_t(uint8_t(d[o])) | uint32_t(uint8_t(d[o + 1])) << 8 | uint32_t(uint8_t(d[o + 2])) << 16 |
           uint32_t(uint8_t(d[o + 3])) << 24;
}
inline uint16_t AssetU16(const std::string &d, size_t o) { return uint16_t(uint8_t(d[o]) | uint8_t(d[o + 1]) << 8); }

// Reads a BMP as Windows writes it: 14-byte file header, 40-byte info header, bottom-up rows.
inline AssetBmp AssetReadBmp(const std::string &path)
{
    AssetBmp b;
    std::string d = KxReadFile(path);
    if (d.size() < 54 || d[0] != 'B' || d[1] != 'M' || AssetU32(d, 14) != 40 || AssetU32(d, 2) != d.size())
        return b;
    uint32_t offset = AssetU32(d, 10);
    b.width = int(AssetU32(d, 18));
    b.height = int(AssetU32(d, 22));
    b.bpp = AssetU16(d, 28);
    b.colours = int(AssetU32(d, 46));
    if (AssetU32(d, 30) != 0 || b.width <= 0 || b.height <= 0)
        return b;
    size_t stride = size_t((b.width * b.bpp + 31) / 32) * 4;
    if (offset + stride * b.height > d.size())
        return b;
    for (int y = 0; y < b.height; y++) {
        size_t row = offset + stride * size_t(b.height - 1 - y);
        for (int x = 0; x < b.width; x++) {
            if (b.bpp == 24) {
                size_t p = row + size_t(x) * 3;
                b.pixels.push_back(uint32_t(uint8_t(d[p + 2])) << 16 | uint32_t(uint8_t(d[p + 1])) << 8 | uint8_t(d[p]));
            } else if (b.bpp == 8) {
                b.indices.push_back(uint8_t(d[row + size_t(x)]));
            } else if (b.bpp == 1) {
                b.indices.push_back((uint8_t(d[row + size_t(x / 8)]) >> (7 - x % 8)) & 1);
            }
        }
    }
    b.ok = true;
    return b;
}

// The values a sprite definition file gives, read the simple way (one value line after each marker).
struct AssetSpriteDef {
    bool ok = false;
    std::string image, mask, hitType, handle;
    int frames = -1, frameBlocks = 0;
    struct Rect {
        int l, t, r, b;
    };
    std::vector<Rect> rects;
};

inline AssetSpriteDef AssetReadSpriteDef(const std::string &path)
{
    AssetSpriteDef s;
    std::string text = KxReadFile(path);
    std::vector<std::string> lines;
    size_t p = 0;
    while (p < text.size()) {
        size_t e = text.find('\n', p);
        if (e == std::string::npos)
            e = text.size();
        lines.push_back(text.substr(p, e - p));
        p = e + 1;
    }
    auto unquote = [](const std::string &l) {
        size_t a = l.find('"'), b = l.rfind('"');
        return a == std::string::npos || b <= a ? std::string() : l.substr(a + 1, b - a - 1);
    };
    for (size_t i = 0; i + 1 < lines.size(); i++) {
        const std::string &l = lines[i], &v = lines[i + 1];
        if (l == "[SPRITE_IMAGE]")
            s.image = unquote(v);
        else if (l == "[SPRITE_HIT_MASK]")
            s.mask = unquote(v);
        else if (l == "[SPRITE_FRAMES]")
            s.frames = std::atoi(v.c_str());
        else if (l == "[HIT_TYPE]")
            s.hitType = v;
        else if (l == "[HANDLE]")
            s.handle = v;
        else if (l == "[FRAME]")
            s.frameBlocks++;
        else if (l == "[IMAGE_RECT]") {
            AssetSpriteDef::Rect r{};
            if (std::sscanf(v.c_str(), "(%d, %d) - (%d, %d)", &r.l, &r.t, &r.r, &r.b) == 4)
                s.rects.push_back(r);
        }
    }
    s.ok = !lines.empty() && lines.back() == "[SPRITE_END]";
    return s;
}

// A game file name such as "gfx\kx_font1.bmp" on disk under the run directory.
inline std::string AssetPath(const std::string &gameName)
{
    std::string p = gameName;
    for (char &c : p)
        if (c == '\\')
            c = '/';
    return std::string(KORDAX_RUN_DIR) + "/" + p;
}

// Two colours that a 16-bit (5-6-5) display cannot tell apart.
inline bool AssetSame565(uint32_t a, uint32_t b)
{
    return ((a >> 19) & 31) == ((b >> 19) & 31) && ((a >> 10) & 63) == ((b >> 10) & 63) && ((a >> 3) & 31) == ((b >> 3) & 31);
}
