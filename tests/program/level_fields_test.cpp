// The whole program headless: every level's lit field reads clearly and looks unlike the others.
#include "kx_run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

struct Mean {
    double r, g, b;
    double Luma() const { return 0.299 * r + 0.587 * g + 0.114 * b; }
};

// Chooses the start level on the credits screen with Page Up, starts a game, presses fire once the
// ready banner has settled and saves the frame 500 ms after play starts.
std::string StartLevelScript(int level)
{
    std::string s = "9000 press 38\n9100 press 38\n9200 press 13\n"; // up twice to credits, open
    int t = 9300;
    for (int i = 0; i < level; i++, t += 50)
        s += std::to_string(t) + " press 33\n";
    s += std::to_string(t + 100) + " press 27\n" + std::to_string(t + 200) + " press 40\n" +
         std::to_string(t + 300) + " press 40\n" + std::to_string(t + 400) + " press 13\n";
    int fire = t + 4400;
    s += std::to_string(fire) + " press 32\n" + std::to_string(fire + 500) + " shot play.png\n" +
         std::to_string(fire + 600) + " quit\n";
    return s;
}

} // namespace

TEST(Program, EveryLevelsLitFieldIsBrightAndItsOwnColour)
{
    KxTempDir dir;
    const int levels[] = { 0, 2, 4, 6, 8 };
    Mean means[5];
    for (int n = 0; n < 5; n++) {
        KxRun r = KxRunGame(StartLevelScript(levels[n]));
        ASSERT_EQ(r.exitCode, 0) << r.out;
        std::vector<uint8_t> rgb;
        int w = 0, h = 0;
        ASSERT_TRUE(KxReadPNG("play.png", rgb, w, h)) << "level " << levels[n];
        ASSERT_EQ(w, 640);
        double sum[3] = { 0, 0, 0 };
        for (int y = 0; y < 400; y++)
            for (int x = 0; x < 400; x++)
                for (int c = 0; c < 3; c++)
                    sum[c] += rgb[size_t(y * w + x) * 3 + c];
        means[n] = { sum[0] / 160000, sum[1] / 160000, sum[2] / 160000 };
        EXPECT_GE(means[n].Luma(), 70.0) << "start level " << levels[n];
    }
    for (int a = 0; a < 5; a++)
        for (int b = a + 1; b < 5; b++) {
            double d = std::sqrt(std::pow(means[a].r - means[b].r, 2) + std::pow(means[a].g - means[b].g, 2) +
                                 std::pow(means[a].b - means[b].b, 2));
            EXPECT_GE(d, 20.0) << "start levels " << levels[a] << " and " << levels[b];
        }
}
