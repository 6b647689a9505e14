// Benchmark: drawing the title's menu (eight keyed items, two percentages, instructions), beside a
// memcpy of the bytes it covers.
#include "dd_bitmap.h"
#include "kx_bench.h"
#include "kx_bitmap.h"
#include "kx_bmp.h"
#include "kx_menu.h"
#include "kx_state_options.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A 24-bit picture, half of it black (the colour key), as the menu's artwork is.
bool WritePicture(const std::string &path, int w, int h)
{
    std::vector<unsigned char> file = KxBmpFile(w, h);
    size_t row = KxBmpRowBytes(w, 24);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            if ((x / 7 + y / 5) % 2)
                memset(&file[54 + (size_t)y * row + x * 3], 0x80 + (x & 0x3F), 3);
    return KxSaveBytes(path, file);
}

// The menu covers eight items of 399 x 40, two percentages and two instruction lines.
const size_t MenuBytes = (8 * 399 * 40 + 2 * 68 * 27 + 288 * 20 + 256 * 20) * 4;

void BM_TitleMenuDraw32(benchmark::State &state)
{
    BenchArtDir art("kx_bench_title");
    if (!art.made) {
        state.SkipWithError("no scratch folder");
        return;
    }
    const struct {
        const char *name;
        int w, h;
    } pictures[] = { { "start.bmp", 399, 83 },     { "gamemode.bmp", 399, 247 }, { "p1_input.bmp", 399, 165 },
                     { "p2_input.bmp", 399, 165 }, { "sound_vol.bmp", 399, 83 }, { "music_vol.bmp", 399, 83 },
                     { "credits.bmp", 399, 83 },   { "exit.bmp", 399, 83 },      { "instr1.bmp", 288, 140 },
                     { "instr2.bmp", 256, 20 },    { "opt_numbers.bmp", 173, 54 } };
    bool ok = true;
    for (const auto &p : pictures)
        ok = ok && WritePicture(art.Gfx(p.name), p.w, p.h);
    if (!ok || !art.Open()) {
        state.SkipWithError("no artwork or display");
        return;
    }
    KX_BITMAP_Initialise();
    CurrentOption = KX_MENU_SOUND_VOL;
    double yardstick = BenchMemcpyTime(MenuBytes);
    double best = 1e9;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        DrawOptions();
        benchmark::ClobberMemory();
        best = std::min(best, BenchSeconds(std::chrono::steady_clock::now() - t0));
    }
    state.counters["ratio_to_memcpy"] = best / yardstick;
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)MenuBytes);
    KX_BITMAP_Cleanup();
    DDClose();
}
BENCHMARK(BM_TitleMenuDraw32)->Unit(benchmark::kMicrosecond);

} // namespace
