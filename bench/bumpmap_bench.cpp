// Benchmarks of the lit background, each timed against a memcpy of the same bytes.
#include "../tests/lighting/bumpmap_reference.h"
#include "dd.h"
#include "kx_bmp.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Processor time of this thread: the machine is shared, and waiting for a core is not our cost.
double CpuSeconds()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

// An 8-bit BMP of w x h indices (rows top first) with a palette.
bool WriteMap(const std::string &path, int w, int h, const std::vector<uint8_t> &px, const PALETTEENTRY *pal)
{
    std::vector<uint8_t> f = KxBmpFile(w, h, 8, 256);
    for (int i = 0; i < 256; i++) {
        f[54 + 4 * i] = pal[i].peBlue;
        f[55 + 4 * i] = pal[i].peGreen;
        f[56 + 4 * i] = pal[i].peRed;
    }
    size_t rowBytes = KxBmpRowBytes(w, 8);
    for (int y = 0; y < h; y++)
        memcpy(&f[KxBmpOffset(256) + (size_t)(h - 1 - y) * rowBytes], &px[(size_t)y * w], (size_t)w);
    return KxSaveBytes(path, f);
}

// The game's set-up: a 440 x 440 area, a 220 x 220 relief, the grey static light, the four lights.
struct Scene {
    std::string home, dir;
    bool ok = false;

    Scene(int depth, BumpmapLightingType type)
    {
        char cwd[4096];
        home = getcwd(cwd, sizeof cwd) ? cwd : ".";
        char pattern[] = "/tmp/kx_bumpbench_XXXXXX";
        if (!mkdtemp(pattern))
            return;
        dir = pattern;
        if (chdir(dir.c_str()) != 0)
            return;
        int W = 220, H = 220;
        std::vector<uint8_t> heights(W * H), colours(W * H);
        PALETTEENTRY pal[256], grey[256];
        for (int i = 0; i < 256; i++) {
            pal[i] = PALETTEENTRY{ (BYTE)(i * 7), (BYTE)(90 + i / 2), (BYTE)(255 - i), 0 };
            grey[i] = PALETTEENTRY{ (BYTE)i, (BYTE)i, (BYTE)i, 0 };
        }
        unsigned seed = 12345;
        for (int i = 0; i < W * H; i++) {
            seed = seed * 1103515245 + 12345;
            int x = i % W, y = i / W;
            heights[i] = (uint8_t)(128 + 60 * ((x / 11 + y / 13) % 2) + (seed >> 28));
            colours[i] = (uint8_t)(seed >> 24);
        }
        if (!WriteMap("c.bmp", W, H, colours, pal) || !WriteMap("h.bmp", W, H, heights, grey))
            return;
        if (!DDInit((HWND)1) || !DDCreateSurfaces(640, 480, depth))
            return;
        Bumpmap_Init(0, 0, 440, 440, 4, 0.02f);
        Bumpmap_LoadTextures("c.bmp", "h.bmp");
        Bumpmap_SetAmbient(0, 0, 0);
        Bumpmap_AddStaticLight(220, 220, 600, 64, 64, 64);
        Bumpmap_RecalculateStatic();
        TLightSpec *specs[4] = { Bumpmap_CreateLightSpec(20, 255, 64, 64, 50),
                                 Bumpmap_CreateLightSpec(20, 255, 255, 64, 50),
                                 Bumpmap_CreateLightSpec(20, 64, 255, 64, 50),
                                 Bumpmap_CreateLightSpec(20, 64, 255, 255, 50) };
        const int at[4][2] = { { 110, 120 }, { 330, 100 }, { 120, 330 }, { 300, 300 } };
        for (int i = 0; i < 4; i++) {
            Bumpmap_SetLightPos(i, at[i][0], at[i][1]);
            Bumpmap_ActivateLight(i, specs[i]);
        }
        BumpMap_SetLightingType(type);
        ok = ColourBitmap != nullptr && StaticImage != nullptr;
    }

    ~Scene()
    {
        Bumpmap_Close();
        BumpMap_SetLightingType(BUMPMAP_LIGHTING_FULL);
        DDClose();
        if (!dir.empty()) {
            unlink((dir + "/c.bmp").c_str());
            unlink((dir + "/h.bmp").c_str());
            unlink((dir + "/dderrors.log").c_str());
            if (chdir(home.c_str()) == 0)
                rmdir(dir.c_str());
        }
    }
};

// Processor seconds per memcpy of n bytes (the yardstick of every ratio), over about as many
// copies as a benchmark makes calls.
double MemcpySeconds(size_t n)
{
    std::vector<uint8_t> a(n, 1), b(n, 2);
    const int copies = 2000;
    double t0 = CpuSeconds();
    for (int i = 0; i < copies; i++) {
        memcpy(b.data(), a.data(), n);
        benchmark::ClobberMemory();
    }
    return (CpuSeconds() - t0) / copies;
}

void BM_Memcpy(benchmark::State &state)
{
    size_t n = (size_t)state.range(0);
    std::vector<uint8_t> a(n, 1), b(n, 2);
    for (auto _ : state) {
        memcpy(b.data(), a.data(), n);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)n);
}
BENCHMARK(BM_Memcpy)->Arg(440 * 440 * 2)->Arg(440 * 440 * 3)->Arg(440 * 440 * 4);

void DrawBenchmark(benchmark::State &state, BumpmapLightingType type)
{
    int depth = (int)state.range(0);
    Scene scene(depth, type);
    if (!scene.ok) {
        state.SkipWithError("could not set up the display and maps");
        return;
    }
    std::vector<uint8_t> before = g_pDDSBack->pixels;
    ref::Frame want = ref::Draw(before, g_pDDSBack->pitch, depth, StaticImage->pixels, StaticImage->pitch);
    size_t areaBytes = (size_t)AreaWidth * AreaHeight * (depth / 8);
    double yardstick = MemcpySeconds(areaBytes);

    double t0 = CpuSeconds();
    for (auto _ : state) {
        Bumpmap_Draw();
        benchmark::ClobberMemory();
    }
    double perDraw = (CpuSeconds() - t0) / (double)state.iterations();

    const std::vector<uint8_t> &got = g_pDDSBack->pixels;
    if (ref::Checksum(got.data(), got.size()) != ref::Checksum(want.back.data(), want.back.size())) {
        state.SkipWithError("the frame differs from the plain algorithm");
        return;
    }
    state.counters["ratio_to_memcpy"] = perDraw / yardstick;
    state.counters["memcpy_cpu_us"] = yardstick * 1e6;
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)areaBytes);
}

void BM_DrawFull(benchmark::State &state) { DrawBenchmark(state, BUMPMAP_LIGHTING_FULL); }
void BM_DrawFast(benchmark::State &state) { DrawBenchmark(state, BUMPMAP_LIGHTING_FAST); }
void BM_DrawOff(benchmark::State &state) { DrawBenchmark(state, BUMPMAP_LIGHTING_OFF); }
BENCHMARK(BM_DrawFull)->Arg(16)->Arg(24)->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawFast)->Arg(16)->Arg(24)->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawOff)->Arg(32)->Unit(benchmark::kMicrosecond);

void BM_RecalculateStatic(benchmark::State &state)
{
    Scene scene(32, BUMPMAP_LIGHTING_FULL);
    if (!scene.ok) {
        state.SkipWithError("could not set up the display and maps");
        return;
    }
    ref::StaticResult want = ref::RecalculateStatic(AreaWidth, AreaHeight);
    size_t areaBytes = (size_t)AreaWidth * AreaHeight * 4;
    double yardstick = MemcpySeconds(areaBytes);

    double t0 = CpuSeconds();
    for (auto _ : state) {
        Bumpmap_RecalculateStatic();
        benchmark::ClobberMemory();
    }
    double perCall = (CpuSeconds() - t0) / (double)state.iterations();

    size_t n = (size_t)AreaWidth * AreaHeight;
    uint64_t got = ref::Checksum(AreaStaticRed, n) ^ ref::Checksum(AreaStaticGreen, n) * 3 ^
                   ref::Checksum(AreaStaticBlue, n) * 5 ^ ref::Checksum((const uint8_t *)AreaNormals, 6 * n) * 7;
    uint64_t expected = ref::Checksum(want.red.data(), n) ^ ref::Checksum(want.green.data(), n) * 3 ^
                        ref::Checksum(want.blue.data(), n) * 5 ^
                        ref::Checksum((const uint8_t *)want.normals.data(), 6 * n) * 7;
    if (got != expected) {
        state.SkipWithError("the relief differs from the plain algorithm");
        return;
    }
    state.counters["ratio_to_memcpy"] = perCall / yardstick;
    state.counters["cpu_ms"] = perCall * 1e3;
}
BENCHMARK(BM_RecalculateStatic)->Unit(benchmark::kMillisecond);

} // namespace
