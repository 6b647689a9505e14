// The display device: mode fallbacks, locks, flips, lost surfaces, the 8 bpp palette.
#include "dd.h"
#include "dd_draw.h"
#include "dd_log.h"
#include "kx_test.h"
#include "sys_fake.h"

#include <gtest/gtest.h>

namespace {

class Display : public ::testing::Test {
protected:
    KxTempDir dir;
    void TearDown() override
    {
        DDClose();
        for (int d : { 8, 16, 24, 32 })
            Sys_RefuseDisplayDepth(d, false);
        Sys_SetBusyLocks(0);
        Sys_FailFlips(0);
        Sys_SetDisplayAvailable(true);
        Sys_SetPixelFormat16(2);
        PixelFormat = -1;
    }
    std::string Log()
    {
        if (ErrorLog)
            fflush(ErrorLog);
        return KxReadFile("dderrors.log");
    }
};

} // namespace

TEST_F(Display, FallsBackFrom32To24AndOnlyOnce)
{
    Sys_RefuseDisplayDepth(32, true);
    ASSERT_TRUE(DDInit((HWND)1));
    ASSERT_TRUE(DDCreateSurfaces(640, 480, 32));
    EXPECT_EQ(g_ScreenDepth, 24);
    std::string log = Log();
    EXPECT_NE(log.find("SetDisplayMode (DDERR_UNSUPPORTEDMODE)\n"), std::string::npos);
    EXPECT_NE(log.find("ErrorLog: 32 BPP unsupported, trying 24 BPP\n"), std::string::npos);
    // Every writer now uses three bytes a pixel.
    ASSERT_NE(DDLockBackSurface(), nullptr);
    EXPECT_EQ(g_BackLpitch, 640 * 3);
    DDhline(0, 2, 0, 0x010203, g_BackBuffer, g_BackLpitch);
    EXPECT_EQ(g_BackBuffer[3], 0x03);
    EXPECT_EQ(g_BackBuffer[5], 0x01);
    DDUnlockBackSurface();
    DDClose();

    Sys_RefuseDisplayDepth(24, true);
    ASSERT_TRUE(DDInit((HWND)1));
    EXPECT_FALSE(DDCreateSurfaces(640, 480, 32));
    EXPECT_EQ(g_pDDSPrimary, nullptr);
}

TEST_F(Display, Refused16HasNoFallback)
{
    Sys_RefuseDisplayDepth(16, true);
    ASSERT_TRUE(DDInit((HWND)1));
    EXPECT_FALSE(DDCreateSurfaces(640, 480, 16));
    std::string log = Log();
    EXPECT_EQ(log.find("unsupported, trying"), std::string::npos);
    EXPECT_NE(log.find("SetDisplayMode ("), std::string::npos);
}

TEST_F(Display, DeviceFailureAndCloseWithNothingOpen)
{
    Sys_SetDisplayAvailable(false);
    EXPECT_FALSE(DDInit((HWND)1));
    EXPECT_NE(Log().find("DirectDrawCreate failed ("), std::string::npos);
    EXPECT_TRUE(DDClose());
    EXPECT_EQ(ErrorLog, nullptr);
    EXPECT_TRUE(DDClose());
}

TEST_F(Display, LockIsTakenOnceAndUnlockNeedsALock)
{
    ASSERT_TRUE(DDInit((HWND)1));
    ASSERT_TRUE(DDCreateSurfaces(640, 480, 32));
    EXPECT_FALSE(DDUnlockBackSurface());
    EXPECT_EQ(g_BackLpitch, 0);
    unsigned char *first = DDLockBackSurface();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(DDLockBackSurface(), first);
    EXPECT_EQ(g_BackLpitch, 640 * 4);
    EXPECT_TRUE(DDUnlockBackSurface());
    EXPECT_EQ(g_BackBuffer, nullptr);
    EXPECT_EQ(g_BackLpitch, 0);
    EXPECT_FALSE(DDUnlockBackSurface());

    // A surface busy with a lock elsewhere yields no pointer; the caller must not draw.
    Sys_SetBusyLocks(1);
    EXPECT_EQ(DDLockPrimarySurface(), nullptr);
    EXPECT_EQ(g_PrimaryLpitch, 0);
    EXPECT_NE(DDLockPrimarySurface(), nullptr);
    DDUnlockPrimarySurface();
}

TEST_F(Display, FlipWithALockedBufferShowsNothingNew)
{
    ASSERT_TRUE(DDInit((HWND)1));
    ASSERT_TRUE(DDCreateSurfaces(640, 480, 32));
    DDFillSurface(g_pDDSBack, 0x00FF0000);
    DDLockBackSurface();
    DDFlip();
    std::vector<BYTE> rgb;
    int w, h;
    ASSERT_TRUE(Sys_PresentedImage(rgb, w, h));
    EXPECT_EQ(rgb[0], 0);
    EXPECT_NE(Log().find("Error: Attempt to flip with locked buffer (UNKNOWN ERROR)\n"), std::string::npos);
    DDUnlockBackSurface();
    DDFlip();
    ASSERT_TRUE(Sys_PresentedImage(rgb, w, h));
    EXPECT_EQ(rgb[0], 255);
}

TEST_F(Display, FlipGivesUpOnABackendThatFailsForGood)
{
    ASSERT_TRUE(DDInit((HWND)1));
    ASSERT_TRUE(DDCreateSurfaces(640, 480, 32));
    Sys_FailFlips(-1);
    DDFlip(); // must return
    EXPECT_NE(Log().find("Flip keeps failing"), std::string::npos);
    Sys_FailFlips(3);
    DDFillSurface(g_pDDSBack, 0x0000FF00);
    DDFlip(); // a few failures are retried
    std::vector<BYTE> rgb;
    int w, h;
    Sys_PresentedImage(rgb, w, h);
    EXPECT_EQ(rgb[1], 255);
}

TEST_F(Display, CheckSurfacesReportsWhatWasLost)
{
    ASSERT_TRUE(DDInit((HWND)1));
    ASSERT_TRUE(DDCreateSurfaces(640, 480, 16));
    EXPECT_EQ(DDCheckSurfaces(), 0);
    Sys_LoseSurface(g_pDDSBack);
    EXPECT_EQ(DDCheckSurfaces(), 2);
    EXPECT_EQ(DDCheckSurfaces(), 0);
    Sys_LoseAllSurfaces();
    EXPECT_EQ(g_pDDSBack->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(DDLockBackSurface(), nullptr);
    EXPECT_EQ(DDCheckSurfaces(), 3);
    EXPECT_EQ(g_pDDSPrimary->IsLost(), DD_OK);
}

TEST_F(Display, EightBitPaletteRamps)
{
    ASSERT_TRUE(DDInit((HWND)1));
    ASSERT_TRUE(DDCreateSurfaces(640, 480, 8));
    ASSERT_NE(g_pDDPalette, nullptr);
    EXPECT_EQ(palette[40].peRed, 160);
    EXPECT_EQ(palette[40].peGreen, 0);
    EXPECT_EQ(palette[100].peGreen, 144);
    EXPECT_EQ(palette[100].peRed, 0);
    EXPECT_EQ(palette[255].peRed, 252);
    EXPECT_EQ(palette[255].peBlue, 252);
    EXPECT_EQ(palette[130].peBlue, 8);
    EXPECT_EQ(palette[7].peFlags, PC_NOCOLLAPSE);
    PALETTEENTRY set = { 1, 2, 3, 0 };
    SetPaletteEntry(5, &set);
    PALETTEENTRY got;
    g_pDDPalette->GetEntries(0, 5, 1, &got);
    EXPECT_EQ(got.peBlue, 3);
    EXPECT_EQ(palette[5].peGreen, 2);
}

TEST_F(Display, PresentedImageMatchesAPatternAtEveryDepth)
{
    struct Probe {
        int x, y, r, g, b;
    };
    const Probe probes[] = { { 0, 0, 255, 0, 0 }, { 639, 0, 0, 255, 0 }, { 0, 479, 0, 0, 255 },
                             { 639, 479, 255, 255, 255 }, { 320, 240, 200, 100, 48 } };
    for (int depth : { 16, 24, 32 }) {
        for (int format : { 1, 2 }) {
            if (depth != 16 && format == 1)
                continue;
            Sys_SetPixelFormat16(format);
            PixelFormat = -1;
            ASSERT_TRUE(DDInit((HWND)1));
            ASSERT_TRUE(DDCreateSurfaces(640, 480, depth));
            for (const Probe &p : probes)
                DDFillRect(g_pDDSBack, RGBToColourValue(p.r, p.g, p.b), p.x, p.y, p.x + 1, p.y + 1);
            DDFlip();
            std::vector<BYTE> rgb;
            int w, h;
            ASSERT_TRUE(Sys_PresentedImage(rgb, w, h));
            ASSERT_EQ(w, 640);
            ASSERT_EQ(h, 480);
            for (const Probe &p : probes) {
                const BYTE *px = &rgb[(p.y * 640 + p.x) * 3];
                // 16 bpp keeps the top five or six bits of each component.
                int tolerance = depth == 16 ? 8 : 0;
                EXPECT_NEAR(px[0], p.r, tolerance) << depth << " bpp at " << p.x << "," << p.y;
                EXPECT_NEAR(px[1], p.g, tolerance) << depth << " bpp at " << p.x << "," << p.y;
                EXPECT_NEAR(px[2], p.b, tolerance) << depth << " bpp at " << p.x << "," << p.y;
            }
            EXPECT_EQ(rgb[(1 * 640 + 1) * 3], 0);
            DDClose();
        }
    }
}
