// Fuzz target: colour and height map files as the lit background loads, lights and draws them.
#include "bumpmap.h"
#include "dd.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

static const char *ScratchDir()
{
    static std::string dir;
    if (dir.empty()) {
        char pattern[] = "/tmp/kx_fuzz_maps_XXXXXX";
        dir = mkdtemp(pattern) ? pattern : "/tmp";
    }
    return dir.c_str();
}

static bool Write(const std::string &path, const uint8_t *data, size_t size)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    fwrite(data, 1, size, f);
    return fclose(f) == 0;
}

// A valid 8 x 8 map of 8 bits per pixel, colour index = height = a small pattern.
static const uint8_t *GoodMap(size_t *size)
{
    static uint8_t file[14 + 40 + 1024 + 64];
    static bool made = false;
    if (!made) {
        uint8_t *p = file;
        memset(file, 0, sizeof file);
        p[0] = 'B';
        p[1] = 'M';
        auto put = [](uint8_t *at, unsigned v) { at[0] = v; at[1] = v >> 8; at[2] = v >> 16; at[3] = v >> 24; };
        put(p + 2, sizeof file);
        put(p + 10, 14 + 40 + 1024);
        put(p + 14, 40);
        put(p + 18, 8);
        put(p + 22, 8);
        p[26] = 1;
        p[28] = 8;
        for (int i = 0; i < 256; i++) {
            p[54 + 4 * i] = (uint8_t)i;
            p[54 + 4 * i + 1] = (uint8_t)(255 - i);
            p[54 + 4 * i + 2] = (uint8_t)(i * 3);
        }
        for (int i = 0; i < 64; i++)
            p[54 + 1024 + i] = (uint8_t)(i * 37);
        made = true;
    }
    *size = sizeof file;
    return file;
}

// The first byte chooses the fuzzed file's role: colour map, height map or both.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static bool ready = false;
    if (!ready) {
        // The display's log goes into the scratch directory, not wherever the fuzzer runs.
        char home[4096];
        if (!getcwd(home, sizeof home) || chdir(ScratchDir()) != 0)
            return 0;
        bool display = DDInit((HWND)1) && DDCreateSurfaces(640, 480, 32);
        if (chdir(home) != 0 || !display)
            return 0;
        Bumpmap_Init(600, 440, 664, 496, 2, 0.02f); // crosses the screen's corner on purpose
        Bumpmap_AddStaticLight(32, 32, 40, 200, 200, 200);
        ready = true;
    }
    if (size < 1)
        return 0;
    std::string fuzzed = std::string(ScratchDir()) + "/fuzzed.bmp";
    std::string good = std::string(ScratchDir()) + "/good.bmp";
    size_t goodSize;
    const uint8_t *goodMap = GoodMap(&goodSize);
    if (!Write(fuzzed, data + 1, size - 1) || !Write(good, goodMap, goodSize))
        return 0;
    switch (data[0] % 3) {
    case 0: Bumpmap_LoadTextures(fuzzed.c_str(), good.c_str()); break;
    case 1: Bumpmap_LoadTextures(good.c_str(), fuzzed.c_str()); break;
    default: Bumpmap_LoadTextures(fuzzed.c_str(), fuzzed.c_str()); break;
    }
    Bumpmap_RecalculateStatic();
    static TLightSpec *light = Bumpmap_CreateLightSpec(20, 255, 255, 64, 20);
    Bumpmap_SetLightPos(0, 620, 450);
    Bumpmap_ActivateLight(0, light);
    Bumpmap_Draw();
    return 0;
}
