// Entry of the asset generator: writes every picture, sprite, font, map and sound the game reads.
//
// Usage: assetgen [--quiet] [--sheet FILE.png] <rundir>
//   Writes <rundir>/gfx/ and <rundir>/sound/. With --sheet, also writes a PNG contact sheet of
//   every sprite frame with its index, for review. The output is the same bytes on every run.
#include "ag_assets.h"
#include "ag_io.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

static const char AG_Usage[] =
    "usage: assetgen [--quiet] [--sheet FILE.png] <rundir>\n"
    "  Writes every picture, sprite, font, map and sound the game reads into <rundir>/gfx/ and\n"
    "  <rundir>/sound/ (the folder itself is created if its parent exists).\n"
    "  --sheet FILE.png  also write a contact sheet of every sprite frame, for review\n"
    "  --quiet           do not print the time each step took\n"
    "  --help            print this and exit\n";

int main(int argc, char **argv)
{
    std::string sheet, runDir;
    bool quiet = false, bad = argc < 2;
    for (int i = 1; i < argc; i++) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(AG_Usage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--sheet") == 0 && i + 1 < argc)
            sheet = argv[++i];
        else if (std::strcmp(argv[i], "--quiet") == 0)
            quiet = true;
        else if (argv[i][0] == '-' || !runDir.empty())
            bad = true;
        else
            runDir = argv[i];
    }
    if (bad || runDir.empty()) {
        std::fputs(AG_Usage, stderr);
        return 2;
    }
    AG_SetRunDir(runDir);
    std::string dirError = AG_MakeDirs();
    if (!dirError.empty())
        AG_Fail(dirError);

    struct Step {
        const char *name;
        void (*run)();
        double seconds;
    };
    // Pictures on this thread; sound, which shares nothing with them, on a second one.
    Step pictures[] = {
        {"fonts", AG_GenFonts, 0},
        {"menus", AG_GenMenus, 0},
        {"captions", AG_GenCaptions, 0},
        {"panels", AG_GenPanels, 0},
        {"runways", AG_GenRunways, 0},
        {"input screens", AG_GenInputScreens, 0},
        {"credits", AG_GenCredits, 0},
        {"turrets and shots", AG_GenTurretsAndShots, 0},
        {"explosions", AG_GenExplosions, 0},
        {"enemies", AG_GenEnemies, 0},
        {"maps", AG_GenMaps, 0},
        {"splash", AG_GenSplash, 0},
        {"icons", AG_GenIcons, 0},
    };
    Step sounds[] = {
        {"music", AG_GenMusic, 0},
        {"effects", AG_GenEffects, 0},
    };
    auto runAll = [](Step *steps, size_t n) {
        for (size_t i = 0; i < n; i++) {
            auto t0 = std::chrono::steady_clock::now();
            steps[i].run();
            steps[i].seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        }
    };
    auto start = std::chrono::steady_clock::now();
    std::thread audio(runAll, sounds, sizeof sounds / sizeof sounds[0]);
    runAll(pictures, sizeof pictures / sizeof pictures[0]);
    audio.join();
    if (!quiet) {
        for (const Step &s : pictures)
            std::printf("assetgen: %-18s %6.2f s\n", s.name, s.seconds);
        for (const Step &s : sounds)
            std::printf("assetgen: %-18s %6.2f s (alongside)\n", s.name, s.seconds);
    }
    if (!sheet.empty() && !AG_WriteSheet(sheet))
        AG_Fail("cannot write sheet " + sheet);
    if (!quiet)
        std::printf("assetgen: done in %.2f s\n",
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return 0;
}
