// Colour values in every depth, colour matching through GDI, lines, bitmap copies and palette files.
#include "dd.h"
#include "dd_draw.h"
#include "dd_log.h"
#include "kx_test.h"

#include <gtest/gtest.h>

#include <vector>

#include <cstring>

namespace {

class Colour : public ::testing::Test {
protected:
    KxTempDir dir;
    void Open(int depth, int format = 2)
    {
        Sys_SetPixelFormat16(format);
        PixelFormat = -1;
        ASSERT_TRUE(DDInit((HWND)1));
        ASSERT_TRUE(DDCreateSurfaces(640, 480, depth));
    }
    void TearDown() override
    {
        DDClose();
        Sys_SetPixelFormat16(2);
        PixelFormat = -1;
    }
};

std::string PaletteBmp(int bits, int used, int entries)
{
    std::string s(14 + 40, '\0');
    s[0] = 'B';
    s[1] = 'M';
    s[14] = 40;
    s[14 + 14] = (char)bits;
    s[14 + 32] = (char)used;
    for (int i = 0; i < entries; i++) {
        s += (char)i;        // blue
        s += (char)(i + 1);  // green
        s += (char)(100 + i); // red
        s += '\0';
    }
    return s;
}

} // namespace

TEST_F(Colour, SixteenBitFormats)
{
    Open(16, 2);
    EXPECT_EQ(RGBToColourValue(255, 255, 255), 0xFFFF);
    EXPECT_EQ(RGBToColourValue(255, 0, 0), 0xF800);
    EXPECT_EQ(RGBToColourValue(7, 3, 7), 0); // the dropped low bits
    EXPECT_EQ(RGBToColourValue(0, 4, 0), 0x20);
    EXPECT_EQ(PixelFormat, 2);
    DDClose();
    Open(16, 1);
    EXPECT_EQ(RGBToColourValue(255, 255, 255), 0x7FFF);
    EXPECT_EQ(RGBToColourValue(0, 255, 0), 0x03E0);
    EXPECT_EQ(RGBToColourValue(0, 4, 0), 0);
    EXPECT_EQ(PixelFormat, 1);
}

TEST_F(Colour, TrueColourDepths)
{
    for (int depth : { 24, 32 }) {
        Open(depth);
        EXPECT_EQ(RGBToColourValue(1, 2, 3), 0x010203);
        DDClose();
    }
}

TEST_F(Colour, GDIColourMatchReadsTheRawValueAndPutsThePixelBack)
{
    Open(16);
    DDFillRect(g_pDDSBack, 0x1234, 0, 0, 1, 1);
    unsigned long v = DDGDIColorMatch(g_pDDSBack, RGB(255, 0, 255));
    EXPECT_LE(v, 0xFFFFul);
    EXPECT_EQ(v, (unsigned long)RGBToColourValue(255, 0, 255));
    DDLockBackSurface();
    EXPECT_EQ(g_BackBuffer[0] | g_BackBuffer[1] << 8, 0x1234);
    DDUnlockBackSurface();
    EXPECT_EQ(DDGDIColorMatch(g_pDDSBack, CLR_INVALID), 0x1234ul);
    DDClose();

    Open(32);
    EXPECT_EQ(DDGDIColorMatch(g_pDDSBack, RGB(1, 2, 3)), 0x010203ul);
    // A surface the colour match cannot draw on.
    Sys_LoseSurface(g_pDDSBack);
    EXPECT_EQ(DDGDIColorMatch(g_pDDSBack, RGB(1, 2, 3)), CLR_INVALID);
}

TEST_F(Colour, HorizontalLinesKeepTheFourthByte)
{
    Open(32);
    unsigned char *buffer = DDLockBackSurface();
    ASSERT_NE(buffer, nullptr);
    memset(buffer, 0xAA, 16);
    DDhline(5, 5, 0, 0x112233, buffer, g_BackLpitch);
    EXPECT_EQ(buffer[20], 0);
    DDhline(1, 3, 0, 0x112233, buffer, g_BackLpitch);
    EXPECT_EQ(buffer[0], 0xAA);
    EXPECT_EQ(buffer[4], 0x33);
    EXPECT_EQ(buffer[5], 0x22);
    EXPECT_EQ(buffer[6], 0x11);
    EXPECT_EQ(buffer[7], 0xAA);
    EXPECT_EQ(buffer[12], 0xAA);
    DDUnlockBackSurface();
}

TEST_F(Colour, CopyBitmapStretchesToTheSurface)
{
    Open(32);
    // A 2x2 24-bit bitmap: red, green / blue, white (top row first).
    std::string s(14 + 40, '\0');
    s[0] = 'B';
    s[1] = 'M';
    s[10] = 54;
    s[14] = 40;
    s[18] = 2;
    s[22] = 2;
    s[26] = 1;
    s[28] = 24;
    s += std::string("\xFF\x00\x00" "\xFF\xFF\xFF" "\0\0", 8); // bottom row: blue, white
    s += std::string("\x00\x00\xFF" "\x00\xFF\x00" "\0\0", 8); // top row: red, green
    HBITMAP bitmap = Sys_ReadBMP((const BYTE *)s.data(), s.size(), nullptr);
    ASSERT_NE(bitmap, nullptr);
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    desc.dwWidth = 4;
    desc.dwHeight = 4;
    IDirectDrawSurface *surface = nullptr;
    ASSERT_EQ(g_pDD->CreateSurface(&desc, &surface, nullptr), DD_OK);
    EXPECT_EQ(DDCopyBitmap(surface, bitmap, 0, 0, 0, 0), DD_OK);
    HDC dc;
    ASSERT_EQ(surface->GetDC(&dc), DD_OK);
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 2, 1), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(dc, 1, 2), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc, 3, 3), RGB(255, 255, 255));
    surface->ReleaseDC(dc);
    EXPECT_EQ(DDCopyBitmap(nullptr, bitmap, 0, 0, 0, 0), E_FAIL);
    EXPECT_EQ(DDCopyBitmap(surface, nullptr, 0, 0, 0, 0), E_FAIL);
    surface->Release();
    DeleteObject(bitmap);
}

TEST_F(Colour, PaletteFiles)
{
    PALETTEENTRY entries[256];
    memset(entries, 0xEE, sizeof entries);
    int count = 256;
    DDLoadPalette("missing.bmp", entries, &count);
    EXPECT_EQ(count, 256);
    EXPECT_EQ(entries[0].peRed, 0xEE);

    KxWriteFile("pal4.bmp", PaletteBmp(4, 0, 16));
    DDLoadPalette("pal4.bmp", entries, &count);
    EXPECT_EQ(count, 16);
    EXPECT_EQ(entries[3].peRed, 103);
    EXPECT_EQ(entries[3].peGreen, 4);
    EXPECT_EQ(entries[3].peBlue, 3);

    // Only the colours the file holds are swapped; a short table never reads past the file.
    KxWriteFile("used.bmp", PaletteBmp(8, 5, 5));
    count = 256;
    DDLoadPalette("used.bmp", entries, &count);
    EXPECT_EQ(count, 5);
    EXPECT_EQ(entries[4].peRed, 104);

    KxWriteFile("deep.bmp", PaletteBmp(24, 0, 0));
    count = 256;
    DDLoadPalette("deep.bmp", entries, &count);
    EXPECT_EQ(count, 0);
    count = 256;
    KxWriteFile("short.bmp", "BM");
    DDLoadPalette("short.bmp", entries, &count);
    EXPECT_EQ(count, 0);

    // The count never exceeds what the caller's array holds, the file's colours, or 256.
    struct CapCase {
        int capacity, bits, used, expect;
    };
    const CapCase caps[] = { { 4, 8, 0, 4 }, { 16, 4, 0, 16 }, { 256, 8, 0, 256 }, { 256, 8, 7, 7 }, { 200, 8, 0, 200 }, { 0, 8, 0, 0 } };
    for (const CapCase &c : caps) {
        KxWriteFile("cap.bmp", PaletteBmp(c.bits, c.used, 256));
        std::vector<PALETTEENTRY> small((size_t)c.capacity + 1);
        memset(small.data(), 0xEE, small.size() * sizeof small[0]);
        count = c.capacity;
        DDLoadPalette("cap.bmp", small.data(), &count);
        EXPECT_EQ(count, c.expect) << c.capacity;
        EXPECT_EQ(small[(size_t)c.capacity].peRed, 0xEE) << c.capacity; // nothing past the array
    }
}
