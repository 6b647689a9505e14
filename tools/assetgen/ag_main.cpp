// Entry of the asset generator: writes every picture, sprite, font, map and sound the game reads.
//
// Usage: assetgen [--sheet FILE.png] <rundir>
//   Writes <rundir>/gfx/ and <rundir>/sound/. With --sheet, also writes a PNG contact sheet of
//   every sprite frame with its index, for review. The output is the same bytes on every run.
#include "ag_assets.h"
#include "ag_io.h"

#include <chrono>
#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    std::string sheet, runDir;
    bool quiet = false;
    for (int i = 1; i < argc; i++) {
        if (std::strcmp(argv[i], "--sheet") == 0 && i + 1 < argc)
            sheet = argv[++i];
        else if (std::strcmp(argv[i], "--quiet") == 0)
            quiet = true;
        else if (runDir.empty())
            runDir = argv[i];
        else
            runDir = "";
    }
    if (runDir.empty()) {
        std::fprintf(stderr, "usage: assetgen [--sheet FILE.png] <rundir>\n");
        return 2;
    }
    AG_SetRunDir(runDir);
    if (!AG_MakeDirs())
        AG_Fail("cannot create " + runDir + "/gfx and /sound");

    struct Step {
        const char *name;
        void (*run)();
    };
    const Step steps[] = {
        {"fonts", AG_GenFonts},
        {"menus", AG_GenMenus},
        {"captions", AG_GenCaptions},
        {"panels", AG_GenPanels},
        {"runways", AG_GenRunways},
        {"input screens", AG_GenInputScreens},
        {"credits", AG_GenCredits},
        {"turrets and shots", AG_GenTurretsAndShots},
        {"explosions", AG_GenExplosions},
        {"enemies", AG_GenEnemies},
        {"maps", AG_GenMaps},
        {"splash", AG_GenSplash},
        {"effects", AG_GenEffects},
        {"music", AG_GenMusic},
    };
    auto start = std::chrono::steady_clock::now();
    for (const Step &s : steps) {
        auto t0 = std::chrono::steady_clock::now();
        s.run();
        auto t1 = std::chrono::steady_clock::now();
        if (!quiet)
            std::printf("assetgen: %-18s %6.2f s\n", s.name, std::chrono::duration<double>(t1 - t0).count());
    }
    if (!sheet.empty() && !AG_WriteSheet(sheet))
        AG_Fail("cannot write sheet " + sheet);
    if (!quiet)
        std::printf("assetgen: done in %.2f s\n",
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return 0;
}
