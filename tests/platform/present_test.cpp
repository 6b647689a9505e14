// Where the 640x480 picture lands on screens and windows of every common size, and the --window size.
#include "win_ddraw.h"
#include "sys_display.h"
#include "win_user.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

struct ScaleCase {
    int outW, outH;
    SysScaleRect fill;    // default: fills the limiting side
    SysScaleRect integer; // --integer-scale
};

// x, y, w, h, nearest-neighbour multiple before the smooth stretch.
const ScaleCase scaleCases[] = {
    { 1366, 768, { 171, 0, 1024, 768, 1 }, { 363, 144, 640, 480, 1 } },
    { 1280, 800, { 106, 0, 1067, 800, 1 }, { 320, 160, 640, 480, 1 } },
    { 1920, 1080, { 240, 0, 1440, 1080, 2 }, { 320, 60, 1280, 960, 2 } },
    { 2560, 1440, { 320, 0, 1920, 1440, 3 }, { 320, 0, 1920, 1440, 3 } },
    { 3840, 2160, { 480, 0, 2880, 2160, 4 }, { 640, 120, 2560, 1920, 4 } },
    { 1024, 768, { 0, 0, 1024, 768, 1 }, { 192, 144, 640, 480, 1 } },
    { 800, 600, { 0, 0, 800, 600, 1 }, { 80, 60, 640, 480, 1 } },
    { 640, 480, { 0, 0, 640, 480, 1 }, { 0, 0, 640, 480, 1 } },
    { 500, 400, { 0, 12, 500, 375, 1 }, { 0, 12, 500, 375, 1 } }, // too small for whole scales: shrinks
    { 1100, 700, { 83, 0, 933, 700, 1 }, { 230, 110, 640, 480, 1 } },
    { 50, 30, { 5, 0, 40, 30, 1 }, { 5, 0, 40, 30, 1 } },
};

void ExpectRect(const SysScaleRect &got, const SysScaleRect &want, const char *mode, int w, int h)
{
    EXPECT_EQ(got.x, want.x) << mode << " " << w << "x" << h;
    EXPECT_EQ(got.y, want.y) << mode << " " << w << "x" << h;
    EXPECT_EQ(got.w, want.w) << mode << " " << w << "x" << h;
    EXPECT_EQ(got.h, want.h) << mode << " " << w << "x" << h;
    EXPECT_EQ(got.multiple, want.multiple) << mode << " " << w << "x" << h;
}

TEST(Present, ScaleRectangleForCommonOutputs)
{
    for (const ScaleCase &c : scaleCases) {
        SysScaleRect fill = Sys_ScaleRect(c.outW, c.outH, 640, 480, false);
        ExpectRect(fill, c.fill, "fill", c.outW, c.outH);
        ExpectRect(Sys_ScaleRect(c.outW, c.outH, 640, 480, true), c.integer, "integer", c.outW, c.outH);
        // Filling: one side touches the edges, the picture stays 4:3 within a pixel and centred.
        EXPECT_TRUE(fill.w == c.outW || fill.h == c.outH);
        EXPECT_LE(std::abs(fill.w * 3 - fill.h * 4), 4);
        EXPECT_LE(std::abs((c.outW - fill.w) - 2 * fill.x), 1);
        EXPECT_LE(std::abs((c.outH - fill.h) - 2 * fill.y), 1);
    }
}

TEST(Present, EmptyOrNegativeOutputShowsNothing)
{
    for (int w : { 0, -5, 700 })
        for (int h : { 0, -1 }) {
            SysScaleRect r = Sys_ScaleRect(w, h, 640, 480, false);
            EXPECT_EQ(r.w, 0);
            EXPECT_EQ(r.h, 0);
            EXPECT_EQ(r.multiple, 1);
        }
    EXPECT_EQ(Sys_ScaleRect(0, 700, 640, 480, true).w, 0);
    EXPECT_EQ(Sys_ScaleRect(1, 1, 640, 480, false).w, 1); // one pixel: tiny, but no division by zero
}

TEST(Present, WindowedSizeIsNinetyPercentAtFourToThree)
{
    struct {
        int usableW, usableH, w, h;
    } cases[] = {
        { 1920, 1080, 1296, 972 }, { 1366, 768, 912, 684 },   { 1366, 740, 888, 666 },
        { 3840, 2160, 2592, 1944 }, { 800, 600, 720, 540 },   { 1080, 1920, 972, 729 }, // portrait
        { 640, 480, 640, 480 },     { 0, 0, 640, 480 },       { -1, 500, 640, 480 },
    };
    for (const auto &c : cases) {
        int w = 0, h = 0;
        Sys_WindowedSize(c.usableW, c.usableH, w, h);
        EXPECT_EQ(w, c.w) << c.usableW << "x" << c.usableH;
        EXPECT_EQ(h, c.h) << c.usableW << "x" << c.usableH;
    }
}

} // namespace
