// Minutes of random play through the real program: it must neither crash nor log an error.
#include "kx_run.h"

#include <gtest/gtest.h>

#include <random>

TEST(Program, RandomPlayRunsCleanThroughSeveralGames)
{
    KxTempDir dir;
    const int keys[] = { 32, 9, 65, 68, 87, 88, 69, 90, 100, 102, 104, 98, 105, 97, 17, 16 };
    const char *actions[] = { "press", "down", "down", "up", "up" };
    std::mt19937 random(20261207);
    std::string script;
    unsigned t = 7000, nextReturn = 7000;
    while (t < 240000) {
        t += 20 + random() % 600;
        if (t >= nextReturn) {
            // Starts a game from the title, or ends the initials after a game over.
            script += std::to_string(t) + " press 13\n";
            nextReturn = t + 15000;
            continue;
        }
        script += std::to_string(t) + " " + actions[random() % 5] + " " + std::to_string(keys[random() % 16]) + "\n";
    }
    script += std::to_string(t + 1000) + " quit\n";
    KxRun r = KxRunGame(script);
    ASSERT_EQ(r.exitCode, 0) << r.out;
    for (const char *bad : { "ErrorLog: Error", "Couldn't", "failed (", "Null Enemy", "Looping error" })
        EXPECT_EQ(r.log.find(bad), std::string::npos) << bad << "\n" << r.log;
    EXPECT_EQ(KxReadFile("kx_scores.dat").size(), 360u);
    EXPECT_NE(KxReadFile("kordax.ini").find("[END_KORDAX]"), std::string::npos);
}
