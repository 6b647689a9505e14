// Fuzz target: the sprite frame definition reader, given the input as a file.
#include "dd_sprite_file.h"
#include "kx_bmp.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string path = "/tmp/kx_fuzz_sprite_frames_" + std::to_string(getpid()) + ".txt";
    if (!KxSaveBytes(path, data, size))
        return 0;
    DDSPRITE_FrameDataType *d = DDSPRITE_ReadFrameData(path.c_str());
    if (d) {
        // What the reader accepts, the sprite definition relies on.
        bool sound = d->SpriteImage && d->NFrames >= 1 && d->NFrames <= DDSPRITE_MAX_FRAMES && d->ImageRect &&
                     (d->HitType != DDSPRITE_COLLIDE_RECT || d->HitRect) &&
                     (d->HitType != DDSPRITE_COLLIDE_HOTSPOT || d->HotSpot) &&
                     (d->Handle != DDSPRITE_HANDLE_POINT || d->HandlePoint);
        if (!sound)
            abort();
        // Touch every frame so that a short array shows up under the address sanitiser.
        long sum = 0;
        for (int i = 0; i < d->NFrames; i++) {
            sum += d->ImageRect[i].right;
            if (d->HitRect)
                sum += d->HitRect[i].bottom;
            if (d->HotSpot)
                sum += d->HotSpot[i].x;
            if (d->HandlePoint)
                sum += d->HandlePoint[i].y;
        }
        if (sum == 1234567)
            fputc(' ', stderr);
    }
    DDSPRITE_FreeFrameData(d);
    remove(path.c_str());
    return 0;
}
