// Shared by the benchmarks: a timer, a memcpy yardstick, and a scratch folder of artwork with a display.
#pragma once

#include "dd.h"
#include "dd_log.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

inline double BenchSeconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// The time of one memcpy of `bytes`, the best of many.
inline double BenchMemcpyTime(size_t bytes)
{
    std::vector<unsigned char> a(bytes, 1), b(bytes, 2);
    double best = 1e9;
    for (int i = 0; i < 200; i++) {
        auto t0 = std::chrono::steady_clock::now();
        memcpy(b.data(), a.data(), a.size());
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
        best = std::min(best, BenchSeconds(std::chrono::steady_clock::now() - t0));
    }
    return best;
}

// The log goes nowhere, so that no dderrors.log is left where the benchmarks run.
inline void BenchQuietLog()
{
    if (!ErrorLog)
        ErrorLog = fopen("/dev/null", "w");
}

// A scratch folder holding gfx/ for the artwork; Open() makes it the working folder and brings up a
// 640x480 display at 32 bpp. The caller closes the display; the folder goes with the object.
struct BenchArtDir {
    std::string dir, gfx, home;
    bool made = false, entered = false;

    explicit BenchArtDir(const char *prefix)
    {
        BenchQuietLog();
        std::string pattern = std::string("/tmp/") + prefix + "_XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        made = mkdtemp(name.data()) != nullptr;
        if (!made)
            return;
        dir = name.data();
        gfx = dir + "/gfx";
        mkdir(gfx.c_str(), 0755);
    }
    ~BenchArtDir()
    {
        if (entered && chdir(home.c_str()) != 0)
            perror("chdir");
        if (!made)
            return;
        std::string command = "rm -rf '" + dir + "'";
        if (system(command.c_str()) != 0)
            perror("rm");
    }
    std::string Gfx(const char *name) const { return gfx + "/" + name; }
    bool Open()
    {
        char *cwd = getcwd(nullptr, 0);
        home = cwd ? cwd : ".";
        free(cwd);
        entered = chdir(dir.c_str()) == 0;
        return entered && DDInit((HWND)1) && DDCreateSurfaces(640, 480, 32);
    }
};
