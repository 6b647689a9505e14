// Benchmark: the questions one headless frame asks of the source, plain and recorded, beside a memcpy of the picture.
#include "kx_bench.h"
#include "sys_journal.h"
#include "sys_source.h"
#include "win_ddraw.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// state.range(0): 0 the scripted source alone, 1 with the recorder around it. A frame reads the
// clock twice, drains the events and flips, as the game's loop does; the recording's file and
// compression are the writer thread's, off the frame.
void BM_FrameQuestions(benchmark::State &state)
{
    BenchQuietLog();
    if (!DDInit((HWND)1) || !DDCreateSurfaces(640, 480, 32)) {
        state.SkipWithError("no display");
        return;
    }
    Sys_UseScriptedSource();
    char name[] = "/tmp/kx_bench_journal_XXXXXX";
    int fd = mkstemp(name);
    if (fd >= 0)
        close(fd);
    std::string error;
    if (state.range(0) && !Sys_StartRecording(name, "", error))
        state.SkipWithError(error.c_str());
    SysEvent e;
    SysPicture picture;
    picture.pixels = g_pDDSPrimary->pixels.data();
    picture.size = g_pDDSPrimary->pixels.size();
    picture.width = 640;
    picture.height = 480;
    picture.pitch = g_pDDSPrimary->pitch;
    picture.depth = 32;
    for (auto _ : state) {
        benchmark::DoNotOptimize(sys_source.clock());
        while (sys_source.nextEvent(e))
            ;
        benchmark::DoNotOptimize(sys_source.clock());
        sys_source.frameShown(picture);
    }
    Sys_FinishJournal(0, 0, 0);
    Sys_UseLiveSource();
    unlink(name);
    state.counters["memcpy_us"] = BenchMemcpyTime(640 * 480 * 4) * 1e6;
    DDClose();
}

} // namespace

BENCHMARK(BM_FrameQuestions)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
