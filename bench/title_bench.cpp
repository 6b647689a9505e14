// Benchmark: drawing the title's menu (eight keyed items, two percentages, instructions), beside a
// memcpy of the bytes it covers.
#include "dd.h"
#include "dd_bitmap.h"
#include "dd_log.h"
#include "kx_bitmap.h"
#include "kx_menu.h"
#include "kx_state_options.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// A 24-bit picture, half of it black (the colour key), as the menu's artwork is.
bool WritePicture(const std::string &path, int w, int h)
{
    int row = (w * 3 + 3) & ~3;
    std::vector<unsigned char> file(54 + (size_t)row * h, 0);
    auto put32 = [&](size_t at, unsigned v) {
        for (int i = 0; i < 4; i++)
            file[at + i] = (unsigned char)(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, (unsigned)file.size());
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    file[26] = 1;
    file[28] = 24;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            if ((x / 7 + y / 5) % 2)
                memset(&file[54 + (size_t)y * row + x * 3], 0x80 + (x & 0x3F), 3);
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(file.data(), 1, file.size(), f) == file.size();
    return fclose(f) == 0 && ok;
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The menu covers eight items of 399 x 40, two percentages and two instruction lines.
const size_t MenuBytes = (8 * 399 * 40 + 2 * 68 * 27 + 288 * 20 + 256 * 20) * 4;

double MemcpyTime()
{
    std::vector<unsigned char> a(MenuBytes, 1), b(MenuBytes, 2);
    double best = 1e9;
    for (int i = 0; i < 200; i++) {
        auto t0 = std::chrono::steady_clock::now();
        memcpy(b.data(), a.data(), a.size());
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
        best = std::min(best, Seconds(std::chrono::steady_clock::now() - t0));
    }
    return best;
}

void BM_TitleMenuDraw32(benchmark::State &state)
{
    if (!ErrorLog)
        ErrorLog = fopen("/dev/null", "w");
    char dir[] = "/tmp/kx_bench_title_XXXXXX";
    if (!mkdtemp(dir)) {
        state.SkipWithError("no scratch folder");
        return;
    }
    std::string gfx = std::string(dir) + "/gfx";
    mkdir(gfx.c_str(), 0755);
    const struct {
        const char *name;
        int w, h;
    } pictures[] = { { "start.bmp", 399, 83 },     { "gamemode.bmp", 399, 247 }, { "p1_input.bmp", 399, 165 },
                     { "p2_input.bmp", 399, 165 }, { "sound_vol.bmp", 399, 83 }, { "music_vol.bmp", 399, 83 },
                     { "credits.bmp", 399, 83 },   { "exit.bmp", 399, 83 },      { "instr1.bmp", 288, 140 },
                     { "instr2.bmp", 256, 20 },    { "opt_numbers.bmp", 173, 54 } };
    bool ok = true;
    for (const auto &p : pictures)
        ok = ok && WritePicture(gfx + "/" + p.name, p.w, p.h);
    char *old = getcwd(nullptr, 0);
    if (!ok || chdir(dir) != 0 || !DDInit((HWND)1) || !DDCreateSurfaces(640, 480, 32)) {
        state.SkipWithError("no artwork or display");
        free(old);
        return;
    }
    KX_BITMAP_Initialise();
    CurrentOption = KX_MENU_SOUND_VOL;
    double yardstick = MemcpyTime();
    double best = 1e9;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        DrawOptions();
        benchmark::ClobberMemory();
        best = std::min(best, Seconds(std::chrono::steady_clock::now() - t0));
    }
    state.counters["ratio_to_memcpy"] = best / yardstick;
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)MenuBytes);
    KX_BITMAP_Cleanup();
    DDClose();
    if (old && chdir(old) != 0)
        perror("chdir");
    free(old);
    std::string rm = std::string("rm -rf '") + dir + "'";
    if (system(rm.c_str()) != 0)
        perror("rm");
}
BENCHMARK(BM_TitleMenuDraw32)->Unit(benchmark::kMicrosecond);

} // namespace
