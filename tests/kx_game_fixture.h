// Shared by the screen tests: a 32 bpp display over a scratch folder holding gfx/, and the back
// buffer read back as coded pixels.
#pragma once

#include "kx_test.h"
#include "bitmaps/bitmap_fixture.h"
#include "kx_bitmap.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

inline std::string Gfx(const char *name) { return std::string("gfx/") + name; }

// The back buffer as 0x00RRGGBB values.
struct Back {
    SurfacePixels p;
    DWORD At(int x, int y) const { return p.Value(x, y) & 0xFFFFFF; }
    int Tag(int x, int y) const { return (int)(At(x, y) & 0xFF); }
    int Red(int x, int y) const { return (int)(At(x, y) >> 16 & 0xFF); }
    int Green(int x, int y) const { return (int)(At(x, y) >> 8 & 0xFF); }
};
inline Back ReadBack() { return Back{ ReadSurface(g_pDDSBack) }; }

// A 32 bpp display, a scratch folder as the working directory, a log capture.
class GameScreenTest : public ::testing::Test {
protected:
    KxTempDir tmp;
    LogCapture log;

    void SetUp() override
    {
        mkdir("gfx", 0755);
        DDBitmap_SetClip(0, 0, 640, 480);
        ASSERT_TRUE(DDInit((HWND)1));
        ASSERT_TRUE(DDCreateSurfaces(640, 480, 32));
    }
    void TearDown() override
    {
        KX_BITMAP_Cleanup();
        DDBitmap_ReleaseAll();
        DDClose();
    }
};
