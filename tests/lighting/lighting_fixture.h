// Shared set-up for the lighting tests: a display per depth, a scratch directory, map files.
#pragma once

#include "bumpmap.h"
#include "bumpmap_reference.h"
#include "dd.h"
#include "dd_draw.h"
#include "dd_log.h"
#include "sys_fake.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace lighting_test {

inline void Put16(std::vector<uint8_t> &f, unsigned v)
{
    f.push_back((uint8_t)v);
    f.push_back((uint8_t)(v >> 8));
}

inline void Put32(std::vector<uint8_t> &f, unsigned v)
{
    Put16(f, v & 0xFFFF);
    Put16(f, v >> 16);
}

// An uncompressed BMP file, rows bottom-up; pixels are indices (8 bits) or B,G,R triples (24).
inline std::vector<uint8_t> MakeBMP(int w, int h, int bits, const std::vector<uint8_t> &pixels,
                                    const std::vector<PALETTEENTRY> &palette)
{
    int bpp = bits / 8;
    int rowBytes = ((w * bits + 31) / 32) * 4;
    int colours = bits == 8 ? (int)palette.size() : 0;
    unsigned offset = 14 + 40 + 4 * colours;
    std::vector<uint8_t> f;
    f.push_back('B');
    f.push_back('M');
    Put32(f, offset + rowBytes * h);
    Put32(f, 0);
    Put32(f, offset);
    Put32(f, 40);
    Put32(f, w);
    Put32(f, h);
    Put16(f, 1);
    Put16(f, bits);
    Put32(f, 0);
    Put32(f, rowBytes * h);
    Put32(f, 2835);
    Put32(f, 2835);
    Put32(f, colours);
    Put32(f, 0);
    for (int i = 0; i < colours; i++) {
        f.push_back(palette[i].peBlue);
        f.push_back(palette[i].peGreen);
        f.push_back(palette[i].peRed);
        f.push_back(0);
    }
    for (int y = h - 1; y >= 0; y--) {
        size_t start = f.size();
        f.insert(f.end(), pixels.begin() + (size_t)y * w * bpp, pixels.begin() + (size_t)(y + 1) * w * bpp);
        f.resize(start + rowBytes, 0);
    }
    return f;
}

inline void WriteFile(const std::string &path, const std::vector<uint8_t> &bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write((const char *)bytes.data(), (std::streamsize)bytes.size());
}

inline std::vector<PALETTEENTRY> RandomPalette(unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<PALETTEENTRY> p(256);
    for (auto &e : p)
        e = PALETTEENTRY{ (BYTE)(rng() & 255), (BYTE)(rng() & 255), (BYTE)(rng() & 255), 0 };
    return p;
}

// A relief of ridges and domes with a little noise, and a colour map of patches.
inline std::vector<uint8_t> BumpyHeights(int w, int h, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<uint8_t> m((size_t)w * h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            double v = 128 + 70 * sin(x * 0.21) * cos(y * 0.17) + 30 * sin((x + y) * 0.05) + (int)(rng() % 9) - 4;
            m[(size_t)y * w + x] = (uint8_t)(v < 0 ? 0 : v > 255 ? 255 : v);
        }
    return m;
}

inline std::vector<uint8_t> PatchColours(int w, int h, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<uint8_t> m((size_t)w * h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            m[(size_t)y * w + x] = (uint8_t)(((x / 7) * 31 + (y / 5) * 17 + (rng() % 3)) & 255);
    return m;
}

class LightingTest : public ::testing::TestWithParam<int> {
protected:
    std::string dir, home;

    void SetUp() override
    {
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        home = cwd;
        std::string pattern = ::testing::TempDir() + "kx_lighting_XXXXXX";
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back(0);
        ASSERT_NE(mkdtemp(buf.data()), nullptr);
        dir = buf.data();
        ASSERT_EQ(chdir(dir.c_str()), 0);
        ASSERT_TRUE(DDInit((HWND)1));
        ASSERT_TRUE(DDCreateSurfaces(640, 480, GetParam()));
    }

    void TearDown() override
    {
        Bumpmap_Close();
        BumpMap_SetLightingType(BUMPMAP_LIGHTING_FULL);
        Bumpmap_SetAmbient(0, 0, 0);
        Sys_SetBusyLocks(0);
        DDClose();
        EXPECT_EQ(chdir(home.c_str()), 0);
        std::string command = "rm -rf '" + dir + "'";
        EXPECT_EQ(system(command.c_str()), 0);
    }

    std::string Log()
    {
        std::ifstream in(dir + "/dderrors.log");
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    // Writes an 8-bit colour map and height map into gfx/ and loads them.
    void LoadMaps(int w, int h, const std::vector<uint8_t> &colours, const std::vector<uint8_t> &heights,
                  const std::vector<PALETTEENTRY> &palette)
    {
        WriteMap("c.bmp", MakeBMP(w, h, 8, colours, palette));
        std::vector<PALETTEENTRY> grey(256);
        for (int i = 0; i < 256; i++)
            grey[i] = PALETTEENTRY{ (BYTE)i, (BYTE)i, (BYTE)i, 0 };
        WriteMap("h.bmp", MakeBMP(w, h, 8, heights, grey));
        Bumpmap_LoadTextures("gfx\\c.bmp", "gfx\\h.bmp");
    }

    void WriteMap(const std::string &name, const std::vector<uint8_t> &bytes)
    {
        mkdir((dir + "/gfx").c_str(), 0755);
        WriteFile(dir + "/gfx/" + name, bytes);
    }

    // A flat relief of one colour.
    void LoadFlat(int w, int h, PALETTEENTRY colour)
    {
        std::vector<PALETTEENTRY> palette(256, PALETTEENTRY{ 0, 0, 0, 0 });
        palette[7] = colour;
        LoadMaps(w, h, std::vector<uint8_t>((size_t)w * h, 7), std::vector<uint8_t>((size_t)w * h, 100), palette);
    }

    static std::vector<uint8_t> SurfaceBytes(IDirectDrawSurface *s) { return s->pixels; }

    // Colour of a pixel of a surface in the display's layout, as the display stores it.
    static unsigned Pixel(IDirectDrawSurface *s, int x, int y)
    {
        const uint8_t *p = s->pixels.data() + (size_t)y * s->pitch + (size_t)x * (s->depth / 8);
        if (s->depth == 16)
            return p[0] | p[1] << 8;
        return p[0] | p[1] << 8 | p[2] << 16;
    }

    static unsigned Packed(int r, int g, int b)
    {
        if (g_ScreenDepth == 16)
            return (unsigned)RGBToColourValue(r, g, b) & 0xFFFF;
        return (unsigned)(r << 16 | g << 8 | b);
    }
};

inline std::string DepthName(const ::testing::TestParamInfo<int> &info)
{
    return "bpp" + std::to_string(info.param);
}

} // namespace lighting_test
