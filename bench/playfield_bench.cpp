// Benchmark: the per-frame runways, portals and status panel, beside a memcpy of the bytes they cover.
#include "dd_bitmap.h"
#include "kx_bench.h"
#include "kx_bitmap.h"
#include "kx_bmp.h"
#include "kx_panel_game.h"
#include "kx_world.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// A 24-bit picture; keyed pictures get a quarter of magenta or black, as the artwork has.
bool WritePicture(const std::string &path, int w, int h, unsigned key)
{
    std::vector<unsigned char> file = KxBmpFile(w, h);
    size_t row = KxBmpRowBytes(w, 24);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            unsigned char *p = &file[54 + (size_t)y * row + x * 3];
            bool hole = (x / 6 + y / 4) % 4 == 0;
            unsigned c = hole ? key : 0x405060u + (unsigned)(x & 0x3F);
            p[0] = (unsigned char)(c & 0xFF);
            p[1] = (unsigned char)(c >> 8);
            p[2] = (unsigned char)(c >> 16);
        }
    return KxSaveBytes(path, file);
}

struct Picture {
    const char *name;
    int w, h;
    unsigned key;
};
const Picture Pictures[] = {
    { "runway_x.bmp", 440, 40, 0xFF00FF },    { "runway_y.bmp", 40, 440, 0xFF00FF },
    { "runway_c.bmp", 85, 85, 0xFF00FF },     { "runway_t.bmp", 30, 30, 0xFF00FF },
    { "portal_left.bmp", 80, 57, 0 },         { "portal_right.bmp", 80, 57, 0 },
    { "portal_top.bmp", 57, 80, 0 },          { "portal_bottom.bmp", 57, 80, 0 },
    { "kx_panel_game.bmp", 160, 480, 0x123456 }, { "kx_life.bmp", 16, 16, 0xFF00FF },
    { "kx_electro.bmp", 16, 16, 0xFF00FF },   { "threshold_bar.bmp", 130, 18, 0 },
    { "kx_font1.bmp", 26 * 12, 16, 0 },
};

// What one frame covers: the runways, four portal cells, the crossing, the panel, ten lives,
// five zaps, the bar and twelve characters.
const size_t FrameBytes =
    (size_t)(440 * 40 + 40 * 440 + 85 * 85 + 30 * 30 + 4 * 10 * 57 + 160 * 480 + 15 * 16 * 16 + 130 * 18 +
             12 * 12 * 16) * 4;

void BM_PlayfieldArtAndPanel32(benchmark::State &state)
{
    BenchArtDir art("kx_bench_playfield");
    if (!art.made) {
        state.SkipWithError("no scratch folder");
        return;
    }
    bool ok = true;
    for (const Picture &p : Pictures)
        ok = ok && WritePicture(art.Gfx(p.name), p.w, p.h, p.key);
    FILE *metrics = fopen(art.Gfx("kx_font1.txt").c_str(), "w");
    if (metrics) {
        fputs("[FONT]\n[FIXED]\n1\n[FIRST_CHAR]\n32\n[LAST_CHAR]\n57\n[SIZE]\n(12, 16)\n[MATRIX]\n(26, 1)\n"
              "[ROWS]\n[FONT_END]\n", metrics);
        fclose(metrics);
    }
    if (!ok || !art.Open()) {
        state.SkipWithError("no display or artwork");
        return;
    }
    KX_BITMAP_Initialise();
    LivesP1 = LivesP2 = 5;
    ElectroZapCount = 5;
    GameLevel = 0;
    Threshold = LevelData[0].Threshold;
    ScoreP1 = 123456;
    ScoreP2 = 654321;
    double yardstick = BenchMemcpyTime(FrameBytes);
    double best = 1e9;
    int time = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        KX_UpdatePortalFrame(time += 16);
        KX_DrawRunways1();
        KX_DrawRunways2();
        KX_PANEL_GAME_Draw();
        benchmark::ClobberMemory();
        best = std::min(best, BenchSeconds(std::chrono::steady_clock::now() - t0));
    }
    state.counters["ratio_to_memcpy"] = best / yardstick;
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)FrameBytes);
    KX_BITMAP_Cleanup();
    DDClose();
}
BENCHMARK(BM_PlayfieldArtAndPanel32)->Unit(benchmark::kMicrosecond);

} // namespace
