// Benchmark: processor time per presented frame on each presenting path, full screen at the X
// server's size (bench/present_bench.sh runs it under Xvfb at 1366x768, 1920x1080 and 2560x1440),
// with the X server's share when its pid is given in KX_XSERVER_PID. Skipped without DISPLAY.
#include "kx_bench.h"
#include "sys_video.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <fstream>
#include <string>
#include <vector>

namespace {

double ProcessSeconds()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

// The X server's user and system time so far, or 0 when its pid is not given.
double ServerSeconds()
{
    const char *pid = getenv("KX_XSERVER_PID");
    if (!pid)
        return 0;
    std::ifstream stat(std::string("/proc/") + pid + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    size_t at = text.rfind(')');
    if (at == std::string::npos)
        return 0;
    std::vector<std::string> fields;
    std::string f;
    for (char c : text.substr(at + 2) + " ") {
        if (c == ' ') {
            fields.push_back(f);
            f.clear();
        } else {
            f += c;
        }
    }
    // utime and stime are the 14th and 15th fields; the 3rd (state) is fields[0].
    if (fields.size() < 13)
        return 0;
    return (atof(fields[11].c_str()) + atof(fields[12].c_str())) / sysconf(_SC_CLK_TCK);
}

void BM_Present(benchmark::State &state)
{
    if (!getenv("DISPLAY")) {
        state.SkipWithError("needs an X server (DISPLAY)");
        return;
    }
    SysDesktopSetup setup;
    setup.renderer = state.range(0) ? SysRenderer::SOFTWARE : SysRenderer::GL;
    Sys_SetupDesktop(setup);
    if (!Sys_OpenWindow("kordax bench", 640, 480)) {
        state.SkipWithError("no window");
        return;
    }
    Sys_ShowWindow();
    // A moving picture, as the title's is, so that nothing can be skipped for being the same.
    std::vector<BYTE> pixels(640 * 480 * 4);
    SysPicture p;
    p.pixels = pixels.data();
    p.size = pixels.size();
    p.width = 640;
    p.height = 480;
    p.pitch = 640 * 4;
    p.depth = 32;
    unsigned frame = 0;
    auto draw = [&] {
        frame++;
        for (size_t i = 0; i < pixels.size(); i += 4)
            pixels[i] = pixels[i + 1] = (BYTE)(i / 2560 + frame);
    };
    for (int i = 0; i < 10; i++) { // the window mapped and sized
        draw();
        Sys_PresentFrame(p);
    }
    double cpu = 0, server = 0;
    long frames = 0;
    for (auto _ : state) {
        draw();
        double c0 = ProcessSeconds(), s0 = ServerSeconds();
        Sys_PresentFrame(p);
        cpu += ProcessSeconds() - c0;
        server += ServerSeconds() - s0;
        frames++;
    }
    int w, h;
    Sys_DesktopSize(w, h);
    state.SetLabel(std::string(state.range(0) ? "software " : "gl ") + std::to_string(w) + "x" + std::to_string(h));
    state.counters["cpu_ms_per_frame"] = frames ? cpu * 1000 / frames : 0;
    state.counters["xserver_ms_per_frame"] = frames ? server * 1000 / frames : 0;
    Sys_CloseWindow();
}
BENCHMARK(BM_Present)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(3);

} // namespace
