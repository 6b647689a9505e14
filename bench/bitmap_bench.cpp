// Benchmark: drawing a whole-screen bitmap onto the back buffer, beside a memcpy of the same bytes.
#include "dd_bitmap.h"
#include "kx_bench.h"
#include "kx_bmp.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// A 640x480 24-bit picture written to a temporary file and loaded as a bitmap.
DDBitmap *LoadScreenBitmap(std::string &path)
{
    std::vector<unsigned char> file = KxBmpFile(640, 480);
    for (size_t i = 54; i < file.size(); i++)
        file[i] = (unsigned char)(i * 13 >> 3);
    char name[] = "/tmp/kx_bench_bitmap_XXXXXX";
    int fd = mkstemp(name);
    if (fd < 0)
        return nullptr;
    bool ok = write(fd, file.data(), file.size()) == (ssize_t)file.size();
    close(fd);
    path = name;
    return ok ? DDBITMAP_Load(name) : nullptr;
}

// state.range(0): 0 a plain copy, 1 a copy keyed on a transparent colour.
void BM_BitmapDraw640x480x32(benchmark::State &state)
{
    BenchQuietLog();
    if (!DDInit((HWND)1) || !DDCreateSurfaces(640, 480, 32)) {
        state.SkipWithError("no display");
        return;
    }
    std::string path;
    DDBitmap *bitmap = LoadScreenBitmap(path);
    if (!bitmap) {
        state.SkipWithError("bitmap did not load");
        DDClose();
        return;
    }
    if (state.range(0))
        DDBitmap_SetTransparent(bitmap, 0x00FF00FF);
    double yardstick = BenchMemcpyTime(640 * 480 * 4);
    double best = 1e9;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        DDBitmap_Draw(g_pDDSBack, bitmap, 0, 0);
        benchmark::ClobberMemory();
        best = std::min(best, BenchSeconds(std::chrono::steady_clock::now() - t0));
    }
    state.counters["ratio_to_memcpy"] = best / yardstick;
    state.SetBytesProcessed((int64_t)state.iterations() * 640 * 480 * 4);
    DDBitmap_Release(bitmap);
    unlink(path.c_str());
    DDClose();
}
BENCHMARK(BM_BitmapDraw640x480x32)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_Memcpy640x480x32(benchmark::State &state)
{
    std::vector<unsigned char> a(640 * 480 * 4, 1), b(640 * 480 * 4, 2);
    for (auto _ : state) {
        memcpy(b.data(), a.data(), a.size());
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)a.size());
}
BENCHMARK(BM_Memcpy640x480x32)->Unit(benchmark::kMicrosecond);

} // namespace
