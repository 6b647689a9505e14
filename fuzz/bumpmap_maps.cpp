// Fuzz target: colour and height map files as the lit background loads, lights and draws them.
#include "bumpmap.h"
#include "dd.h"
#include "fuzz_scratch.h"

#include <cstdio>
#include <string>
#include <unistd.h>

// The display's log goes into the scratch folder too, not wherever the fuzzer runs.
static const char *ScratchDir()
{
    const std::string &dir = FuzzScratchDir("kx_fuzz_maps", { "fuzzed.bmp", "good.bmp", "dderrors.log" });
    return dir.empty() ? "/tmp" : dir.c_str();
}

// A valid 8 x 8 map of 8 bits per pixel, colour index = height = a small pattern.
static const uint8_t *GoodMap(size_t *size)
{
    static std::vector<uint8_t> file;
    if (file.empty()) {
        file = KxBmpFile(8, 8, 8, 256);
        for (int i = 0; i < 256; i++) {
            file[54 + 4 * i] = (uint8_t)i;
            file[54 + 4 * i + 1] = (uint8_t)(255 - i);
            file[54 + 4 * i + 2] = (uint8_t)(i * 3);
        }
        for (int i = 0; i < 64; i++)
            file[54 + 1024 + i] = (uint8_t)(i * 37);
    }
    *size = file.size();
    return file.data();
}

// The first byte chooses the fuzzed file's role: colour map, height map or both.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static bool ready = false;
    if (!ready) {
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
    if (!KxSaveBytes(fuzzed, data + 1, size - 1) || !KxSaveBytes(good, goodMap, goodSize))
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
