// The flipped frames: the picture on show, kept for screenshots and shots, counted for the time demo, handed to the source.
#include "sys_source.h"

#include <chrono>
#include <cstdio>

static long framesShown = 0;
static std::chrono::steady_clock::time_point demoStart = std::chrono::steady_clock::now();
static bool havePicture = false;
static SysPicture shown;

static void CountFrame()
{
    if (framesShown++ == 0)
        demoStart = std::chrono::steady_clock::now();
}

void Sys_SetPicture(const SysPicture *picture)
{
    havePicture = picture != nullptr;
    if (picture)
        shown = *picture;
}

void Sys_FrameShown(const SysPicture &picture)
{
    Sys_SetPicture(&picture);
    CountFrame();
    sys_source.frameShown(picture);
}

// One pixel of the picture as R, G, B.
static void PixelRGB(const SysPicture &p, const BYTE *at, BYTE *rgb)
{
    switch (p.depth) {
    case 32:
    case 24:
        rgb[0] = at[2]; rgb[1] = at[1]; rgb[2] = at[0];
        return;
    case 16: {
        uint32_t c = Sys_Rgb16(at[0] | at[1] << 8, p.rgb555);
        rgb[0] = (BYTE)(c >> 16); rgb[1] = (BYTE)(c >> 8); rgb[2] = (BYTE)c;
        return;
    }
    case 8: {
        // The start-up palette's ramps: red, green, blue, grey.
        unsigned i = at[0], ramp = 4 * (i & 63);
        rgb[0] = i < 64 || i >= 192 ? (BYTE)ramp : 0;
        rgb[1] = (i >= 64 && i < 128) || i >= 192 ? (BYTE)ramp : 0;
        rgb[2] = i >= 128 ? (BYTE)ramp : 0;
        return;
    }
    default:
        rgb[0] = rgb[1] = rgb[2] = 0;
    }
}

bool Sys_PictureRGB(std::vector<BYTE> &rgb, int &width, int &height)
{
    if (!havePicture)
        return false;
    width = shown.width;
    height = shown.height;
    rgb.assign((size_t)width * height * 3, 0);
    int bytes = shown.depth / 8;
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            PixelRGB(shown, shown.pixels + (size_t)y * shown.pitch + (size_t)x * bytes, &rgb[((size_t)y * width + x) * 3]);
    return true;
}

void Sys_ReportTimedemo()
{
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - demoStart).count();
    printf("timedemo: %ld frames in %.2f s: %.1f frames per second\n", framesShown, seconds,
           seconds > 0 ? framesShown / seconds : 0.0);
}
