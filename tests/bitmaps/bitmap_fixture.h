// Shared by the bitmap and font tests: BMP files written on the fly, a display, surface pixels.
#pragma once

#include "dd.h"
#include "dd_bitmap.h"
#include "dd_draw.h"
#include "dd_log.h"
#include "kx_bmp.h"
#include "script/log_capture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

// A 24-bit bottom-up BMP of the given size; colour(x, y) gives 0x00BBGGRR.
inline bool WriteBMP24(const std::string &path, int w, int h, const std::function<COLORREF(int, int)> &colour)
{
    size_t rowBytes = KxBmpRowBytes(w, 24);
    std::vector<BYTE> file = KxBmpFile(w, h);
    for (int i = 0; i < 4; i++) // the image size, which the other writers leave zero
        file[34 + i] = (BYTE)((rowBytes * h) >> (8 * i));
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            COLORREF c = colour(x, y);
            BYTE *p = &file[54 + (size_t)(h - 1 - y) * rowBytes + (size_t)x * 3];
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    return KxSaveBytes(path, file);
}

inline void WriteText(const std::string &path, const std::string &text)
{
    FILE *f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
}

// A surface's pixels, row by row, with its pitch and bytes per pixel.
struct SurfacePixels {
    std::vector<BYTE> bytes;
    int width = 0, height = 0, pitch = 0, bpp = 0;
    const BYTE *At(int x, int y) const { return &bytes[(size_t)y * pitch + (size_t)x * bpp]; }
    // The bytes that hold colour: 32 bpp leaves its fourth byte unwritten.
    int ColourBytes() const { return bpp == 4 ? 3 : bpp; }
    bool Same(int x, int y, const SurfacePixels &o, int ox, int oy) const
    {
        return memcmp(At(x, y), o.At(ox, oy), ColourBytes()) == 0;
    }
    DWORD Value(int x, int y) const
    {
        DWORD v = 0;
        memcpy(&v, At(x, y), ColourBytes());
        return v;
    }
};

inline SurfacePixels ReadSurface(IDirectDrawSurface *s)
{
    SurfacePixels out;
    DDSURFACEDESC ddsd;
    memset(&ddsd, 0, sizeof ddsd);
    ddsd.dwSize = sizeof ddsd;
    if (FAILED(s->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr)))
        return out;
    out.width = (int)ddsd.dwWidth;
    out.height = (int)ddsd.dwHeight;
    out.pitch = ddsd.lPitch;
    out.bpp = (int)ddsd.ddpfPixelFormat.dwRGBBitCount / 8;
    const BYTE *p = (const BYTE *)ddsd.lpSurface;
    out.bytes.assign(p, p + (size_t)out.pitch * out.height);
    s->Unlock(nullptr);
    return out;
}

// A display at the chosen depth, a temporary folder for files, and no bitmap left behind.
class DisplayTest : public ::testing::Test {
protected:
    int depth = 32;
    std::string dir;

    void SetUpDisplay(int bitsPerPixel)
    {
        depth = bitsPerPixel;
        // A sink for the log so that no dderrors.log is written where the tests run.
        if (!ErrorLog)
            ErrorLog = tmpfile();
        ASSERT_TRUE(DDInit((HWND)1));
        ASSERT_TRUE(DDCreateSurfaces(640, 480, depth));
        ASSERT_EQ(g_ScreenDepth, depth);
    }
    void SetUp() override
    {
        char name[] = "/tmp/kx_bitmaps_XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
        DDBitmap_SetClip(0, 0, 640, 480);
        SetUpDisplay(32);
    }
    void TearDown() override
    {
        DDBitmap_ReleaseAll();
        DDBitmap_SetClip(0, 0, 640, 480);
        DDClose();
        std::string command = "rm -rf '" + dir + "'";
        if (system(command.c_str()) != 0)
            ADD_FAILURE() << "could not remove " << dir;
    }
    std::string Path(const char *name) const { return dir + "/" + name; }
    // Clears the back buffer to one recognisable colour.
    void ClearBack() { DDFillSurface(g_pDDSBack, (int)(0x00123456u & ((1u << (depth >= 32 ? 24 : depth)) - 1))); }
};
