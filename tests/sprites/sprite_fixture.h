// Shared by the sprite tests: BMP files written on the fly, frame records, a display, screen pixels.
#pragma once

#include "dd.h"
#include "dd_draw.h"
#include "dd_log.h"
#include "dd_sprites.h"
#include "kx_bmp.h"
#include "kx_test.h"
#include "script/log_capture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

// A bottom-up BMP of 1, 4 or 24 bits per pixel. For 24 bits value(x, y) is 0x00BBGGRR; for the
// palettised depths it is the colour index (the colour table is a grey ramp).
inline bool WriteBMP(const std::string &path, int w, int h, int bits, const std::function<DWORD(int, int)> &value)
{
    int colours = bits <= 8 ? 1 << bits : 0;
    size_t rowBytes = KxBmpRowBytes(w, bits);
    size_t offset = KxBmpOffset(colours);
    std::vector<BYTE> file = KxBmpFile(w, h, bits, colours);
    for (int i = 0; i < colours; i++) {
        BYTE grey = (BYTE)(colours > 1 ? i * 255 / (colours - 1) : 0);
        file[54 + 4 * i] = file[55 + 4 * i] = file[56 + 4 * i] = grey;
    }
    for (int y = 0; y < h; y++) {
        BYTE *row = &file[offset + (size_t)(h - 1 - y) * rowBytes];
        for (int x = 0; x < w; x++) {
            DWORD v = value(x, y);
            if (bits == 24) {
                row[3 * x] = GetBValue(v);
                row[3 * x + 1] = GetGValue(v);
                row[3 * x + 2] = GetRValue(v);
            } else if (bits == 4) {
                row[x / 2] |= (BYTE)((v & 15) << ((x & 1) ? 0 : 4));
            } else if (bits == 1) {
                row[x / 8] |= (BYTE)((v & 1) << (7 - (x & 7)));
            }
        }
    }
    return KxSaveBytes(path, file);
}

inline char *KxCopyString(const std::string &s)
{
    char *copy = new char[s.size() + 1];
    memcpy(copy, s.c_str(), s.size() + 1);
    return copy;
}

const COLORREF KX_MAGENTA = RGB(255, 0, 255);

// A display of the given depth, a scratch directory and a captured log; frame records made here
// are freed after the definitions are gone.
class SpriteDisplayTest : public ::testing::Test {
protected:
    KxTempDir dir;
    LogCapture log;
    std::vector<DDSPRITE_FrameDataType *> records;
    std::vector<TSpriteDef *> failed;

    virtual int Depth() const { return 32; }

    void SetUp() override
    {
        ASSERT_TRUE(DDInit((HWND)1));
        ASSERT_TRUE(DDCreateSurfaces(640, 480, Depth()));
        DDSPRITE_Initialise(20);
        DDSPRITE_SetClipRect(0, 0, 640, 480);
    }

    void TearDown() override
    {
        DDSPRITE_Cleanup();
        for (TSpriteDef *d : failed)
            delete d;
        for (DDSPRITE_FrameDataType *r : records)
            DDSPRITE_FreeFrameData(r);
        DDSPRITE_SetClipRect(0, 0, 640, 480);
        DDClose();
    }

    // An image made from rows of text: '.' is magenta, any other character a solid colour that
    // differs per pixel.
    std::string Picture(const std::string &name, const std::vector<std::string> &rows)
    {
        std::string path = dir.Path() + "/" + name;
        int w = (int)rows[0].size(), h = (int)rows.size();
        EXPECT_TRUE(WriteBMP(path, w, h, 24, [&](int x, int y) -> DWORD {
            return rows[y][x] == '.' ? KX_MAGENTA : RGB(10 + 7 * x, 20 + 9 * y, 100);
        }));
        return path;
    }

    // A record of n frames over the image, the arrays its types call for zeroed.
    DDSPRITE_FrameDataType *Record(const std::string &image, int n, DDSPRITE_CollisionType hit,
                                   DDSPRITE_HandleType handle, int transparent = (int)KX_MAGENTA)
    {
        DDSPRITE_FrameDataType *r = new DDSPRITE_FrameDataType;
        memset(r, 0, sizeof *r);
        r->SpriteImage = KxCopyString(image);
        r->NFrames = n;
        r->ImageRect = new RECT[n]();
        r->HitType = hit;
        r->Transparent = transparent;
        r->Handle = handle;
        if (hit == DDSPRITE_COLLIDE_RECT)
            r->HitRect = new RECT[n]();
        if (hit == DDSPRITE_COLLIDE_HOTSPOT)
            r->HotSpot = new POINT[n]();
        if (handle == DDSPRITE_HANDLE_POINT)
            r->HandlePoint = new POINT[n]();
        records.push_back(r);
        return r;
    }

    // Two 16x8 frames side by side over a 32x8 strip.
    DDSPRITE_FrameDataType *TwoFrameRecord(const std::string &image, DDSPRITE_CollisionType hit,
                                           DDSPRITE_HandleType handle)
    {
        DDSPRITE_FrameDataType *r = Record(image, 2, hit, handle);
        r->ImageRect[0] = { 0, 0, 16, 8 };
        r->ImageRect[1] = { 16, 0, 32, 8 };
        return r;
    }

    // A one-frame record covering the whole picture, its hit rectangle the whole frame.
    DDSPRITE_FrameDataType *Whole(const std::string &image, int w, int h, DDSPRITE_CollisionType hit)
    {
        DDSPRITE_FrameDataType *r = Record(image, 1, hit, DDSPRITE_HANDLE_TOPLEFT);
        r->ImageRect[0] = { 0, 0, w, h };
        if (r->HitRect)
            r->HitRect[0] = { 0, 0, w, h };
        return r;
    }

    TSpriteDef *Def(DDSPRITE_FrameDataType *r)
    {
        TSpriteDef *d = new TSpriteDef(r);
        if (!d->Created())
            failed.push_back(d);
        return d;
    }

    static void ClearBack(COLORREF colour = 0)
    {
        DDFillRect(g_pDDSBack, (int)DDGDIColorMatch(g_pDDSBack, colour), 0, 0, 640, 480);
    }

    // A pixel of the back buffer as 0x00BBGGRR (exact at 24 and 32 bits per pixel).
    static COLORREF BackPixel(int x, int y)
    {
        DDSURFACEDESC d;
        memset(&d, 0, sizeof d);
        d.dwSize = sizeof d;
        if (g_pDDSBack->Lock(nullptr, &d, DDLOCK_WAIT, nullptr) != DD_OK)
            return CLR_INVALID;
        const BYTE *p = (const BYTE *)d.lpSurface + (size_t)y * d.lPitch + (size_t)x * (g_ScreenDepth / 8);
        COLORREF c = RGB(p[2], p[1], p[0]);
        g_pDDSBack->Unlock(nullptr);
        return c;
    }
};
