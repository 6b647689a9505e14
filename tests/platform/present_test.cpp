// Where the 640x480 picture lands on screens and windows of every common size, the --window size, the presenting path chosen, the one-pass scaling and a remembered window fitted to the desktop.
#include "win_ddraw.h"
#include "sys_display.h"
#include "sys_scale.h"
#include "win_user.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

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

TEST(Present, PathChosenByTheGlRendererUnlessAsked)
{
    using R = SysRenderer;
    struct {
        R asked;
        const char *gl;
        R path;
        const char *why; // the start of the log's reason
    } cases[] = {
        { R::AUTO, "llvmpipe (LLVM 15.0.6, 256 bits)", R::SOFTWARE, "GL renders in software (llvmpipe" },
        { R::AUTO, "softpipe", R::SOFTWARE, "GL renders in software" },
        { R::AUTO, "Mesa DRI swrast", R::SOFTWARE, "GL renders in software" },
        { R::AUTO, "LLVMPIPE", R::SOFTWARE, "GL renders in software" },
        { R::AUTO, "", R::SOFTWARE, "no GL renderer" },
        // "Mesa" and "LLVM" also name real GPUs' drivers.
        { R::AUTO, "Mesa Intel(R) UHD Graphics 620 (KBL GT2)", R::GL, "GL renders on Mesa Intel" },
        { R::AUTO, "AMD Radeon RX 580 Series (polaris10, LLVM 15.0.6, DRM 3.49)", R::GL, "GL renders on AMD" },
        { R::AUTO, "NVIDIA GeForce GTX 1060/PCIe/SSE2", R::GL, "GL renders on NVIDIA" },
        { R::GL, "llvmpipe (LLVM 15.0.6, 256 bits)", R::GL, "asked for" },
        { R::SOFTWARE, "NVIDIA GeForce GTX 1060/PCIe/SSE2", R::SOFTWARE, "asked for" },
        { R::GL, "", R::GL, "asked for" },
    };
    for (const auto &c : cases) {
        std::string why;
        EXPECT_EQ(Sys_ChooseRenderer(c.asked, c.gl, why), c.path) << c.gl;
        EXPECT_EQ(why.compare(0, strlen(c.why), c.why), 0) << c.gl << " gave: " << why;
    }
    // The names the option and the file take, and nothing else.
    for (const char *name : { "auto", "gl", "software", "GL", "opengl", "", "soft" }) {
        SysRenderer r = R::GL;
        bool known = Sys_ParseRenderer(name, r);
        EXPECT_EQ(known, !strcmp(name, "auto") || !strcmp(name, "gl") || !strcmp(name, "software")) << name;
        if (known) {
            EXPECT_STREQ(Sys_RendererName(r), name);
        }
    }
}

TEST(Present, RememberedWindowFitsTheUsableArea)
{
    struct {
        SysScreenRect window;
        bool placed;
        SysScreenRect usable, want;
    } cases[] = {
        { { 0, 0, 5000, 4000 }, false, { 0, 0, 1280, 770 }, { 0, 0, 962, 770 } },      // too big: shape kept
        { { 100, 50, 5000, 4000 }, true, { 0, 30, 1280, 770 }, { 100, 30, 962, 770 } }, // and moved inside
        { { 0, 0, 4000, 900 }, false, { 0, 0, 1280, 800 }, { 0, 0, 1280, 288 } },      // wide: width limits
        { { 900, 600, 800, 600 }, true, { 0, 0, 1280, 800 }, { 480, 200, 800, 600 } }, // fits, moved in
        { { 1300, 10, 800, 600 }, true, { 1280, 0, 1920, 1080 }, { 1300, 10, 800, 600 } }, // second screen: as is
        { { -300, -40, 800, 600 }, true, { 0, 0, 1280, 800 }, { 0, 0, 800, 600 } },
        { { 20, 20, 800, 600 }, false, { 0, 0, 1280, 800 }, { 20, 20, 800, 600 } },   // not placed: place untouched
        { { 0, 0, 16000, 200 }, false, { 0, 0, 1280, 800 }, { 0, 0, 1280, 160 } },    // never below 160
        { { 5, 5, 5000, 4000 }, true, { 0, 0, 0, 0 }, { 5, 5, 5000, 4000 } },         // no usable area known
    };
    for (const auto &c : cases) {
        SysScreenRect got = Sys_FitWindow(c.window, c.placed, c.usable);
        EXPECT_EQ(got.x, c.want.x) << c.window.w << "x" << c.window.h;
        EXPECT_EQ(got.y, c.want.y) << c.window.w << "x" << c.window.h;
        EXPECT_EQ(got.w, c.want.w) << c.window.w << "x" << c.window.h;
        EXPECT_EQ(got.h, c.want.h) << c.window.w << "x" << c.window.h;
    }
}

// A 640x480 picture whose every pixel differs from its neighbours, at the given depth.
std::vector<BYTE> TestPicture(SysPicture &p, int depth, bool rgb555)
{
    p.width = 640;
    p.height = 480;
    p.depth = depth;
    p.rgb555 = rgb555;
    p.pitch = 640 * depth / 8;
    std::vector<BYTE> pixels((size_t)p.pitch * 480);
    for (size_t i = 0; i < pixels.size(); i++)
        pixels[i] = (BYTE)(i * 37 + (i / p.pitch) * 11);
    p.pixels = pixels.data();
    p.size = pixels.size();
    return pixels;
}

TEST(Present, OnePassScalingIsSharpAndShowsTheScreenshotsColours)
{
    struct {
        int depth;
        bool rgb555;
        int outW, outH;
    } cases[] = {
        { 32, false, 1920, 1080 }, { 32, false, 1366, 768 }, { 32, false, 2560, 1440 }, { 16, false, 1920, 1080 },
        { 16, true, 1280, 960 },   { 24, false, 1024, 768 }, { 32, false, 500, 400 },   { 32, false, 640, 480 },
    };
    for (const auto &c : cases) {
        SysPicture p;
        std::vector<BYTE> pixels = TestPicture(p, c.depth, c.rgb555);
        Sys_SetPicture(&p);
        std::vector<BYTE> rgb;
        int w, h;
        ASSERT_TRUE(Sys_PictureRGB(rgb, w, h));
        auto colour = [&](int x, int y) {
            const BYTE *at = &rgb[((size_t)y * 640 + x) * 3];
            return 0xFF000000u | at[0] << 16 | at[1] << 8 | at[2];
        };
        SysScaleRect r = Sys_ScaleRect(c.outW, c.outH, 640, 480, false);
        std::vector<uint32_t> out((size_t)r.w * r.h);
        ASSERT_TRUE(Sys_ScalePicture(p, out.data(), r.w * 4, r.w, r.h, r.multiple));
        std::vector<SysScaleTap> tx, ty;
        Sys_ScaleTaps(640, r.w, r.multiple, tx);
        Sys_ScaleTaps(480, r.h, r.multiple, ty);
        int blended = 0;
        for (int x = 0; x < r.w; x++) {
            // Blends only across an enlarged pixel's edge: when enlarging, within one enlarged pixel of it.
            blended += tx[x].weight != 0;
            EXPECT_TRUE(tx[x].first >= 0 && tx[x].first + (tx[x].weight != 0) < 640) << x;
            if (x > 0) {
                EXPECT_GE(tx[x].first, tx[x - 1].first) << x;
            }
        }
        if (r.multiple > 1) {
            int whole = 640 * r.multiple;
            EXPECT_LE(blended, 639 * ((r.w + whole - 1) / whole)) << c.outW;
        }
        if (r.w == 640 * r.multiple) {
            EXPECT_EQ(blended, 0) << c.outW; // whole multiples: nearest only
        }
        for (int y = 0; y < r.h; y += 7)
            for (int x = 0; x < r.w; x += 5) {
                uint32_t got = out[(size_t)y * r.w + x];
                if (!tx[x].weight && !ty[y].weight) {
                    ASSERT_EQ(got, colour(tx[x].first, ty[y].first)) << c.outW << " " << x << "," << y;
                    continue;
                }
                // A blend lies between the four pixels it is made of, channel by channel.
                int x1 = tx[x].first + (tx[x].weight != 0), y1 = ty[y].first + (ty[y].weight != 0);
                for (int shift : { 0, 8, 16 }) {
                    int v = (got >> shift) & 255, lo = 255, hi = 0;
                    for (uint32_t n : { colour(tx[x].first, ty[y].first), colour(x1, ty[y].first),
                                        colour(tx[x].first, y1), colour(x1, y1) }) {
                        lo = std::min(lo, (int)(n >> shift & 255));
                        hi = std::max(hi, (int)(n >> shift & 255));
                    }
                    ASSERT_TRUE(v >= lo && v <= hi) << c.outW << " " << x << "," << y;
                }
            }
        Sys_SetPicture(nullptr);
    }
    SysPicture eight;
    std::vector<BYTE> pixels = TestPicture(eight, 8, false);
    uint32_t one;
    EXPECT_FALSE(Sys_ScalePicture(eight, &one, 4, 1, 1, 1)); // a depth the window cannot show
}

} // namespace
