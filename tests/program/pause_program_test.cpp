// The whole program headless: no keys before the title, and a pause in play that freezes the
// field under the paused picture and goes on exactly where it stopped.
#include "kx_run.h"
#include "assets/asset_files.h"

#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> Shot(const std::string &name)
{
    std::vector<uint8_t> rgb;
    int w = 0, h = 0;
    EXPECT_TRUE(KxReadPNG(name, rgb, w, h)) << name;
    EXPECT_EQ(w * h, 640 * 480) << name;
    return rgb;
}

uint32_t At(const std::vector<uint8_t> &rgb, int x, int y)
{
    const uint8_t *p = &rgb[((size_t)y * 640 + x) * 3];
    return (uint32_t)p[0] << 16 | p[1] << 8 | p[2];
}

void NoErrors(const KxRun &r)
{
    EXPECT_EQ(r.exitCode, 0) << r.out;
    for (const char *bad : { "ErrorLog: Error", "failed (", "Quitting" })
        EXPECT_EQ(r.log.find(bad), std::string::npos) << bad << "\n" << r.log;
}

} // namespace

TEST(PauseProgram, ReturnDuringTheSplashStillLeadsToTheTitle)
{
    KxTempDir dir;
    KxRun key = KxRunGame("3000 press 13\n9500 shot key.png\n9600 quit\n");
    NoErrors(key);
    KxRun none = KxRunGame("9500 shot none.png\n9600 quit\n");
    NoErrors(none);
    std::vector<uint8_t> a = Shot("key.png"), b = Shot("none.png");
    EXPECT_TRUE(a == b) << "the title with its high-score panel, as without the key";
    EXPECT_NE(At(a, 560, 240), 0u);
}

TEST(PauseProgram, PauseFreezesTheFieldUnderThePausedPictureAndPlayGoesOn)
{
    KxTempDir dir;
    KxRun r = KxRunGame("9000 press 13\n11000 down 32\n15000 press 19\n15600 shot p1.png\n19000 shot p2.png\n"
                        "19100 press 19\n19800 shot p3.png\n20000 quit\n");
    NoErrors(r);
    std::vector<uint8_t> p1 = Shot("p1.png"), p2 = Shot("p2.png"), p3 = Shot("p3.png");
    EXPECT_TRUE(p1 == p2) << "nothing moved in 3.4 s";

    AssetBmp paused = AssetReadBmp(AssetPath("gfx\\kx_paused.bmp"));
    ASSERT_TRUE(paused.ok);
    int x0 = (440 - paused.width) / 2, y0 = (440 - paused.height) / 2, shown = 0, gone = 0;
    for (int y = 0; y < paused.height; y++)
        for (int x = 0; x < paused.width; x++)
            if (paused.At(x, y) != 0) { // black is its colour key
                shown += At(p1, x0 + x, y0 + y) == paused.At(x, y);
                gone += At(p3, x0 + x, y0 + y) != paused.At(x, y);
            }
    EXPECT_GT(shown, 1000) << "the paused picture, centred over the field";
    EXPECT_GT(gone, 1000) << "and gone once play resumes";
    EXPECT_FALSE(p1 == p3);

    // The frame after the pause is a frame of the same game unpaused, some 700 ms of play on.
    std::string shots;
    for (int ms = 15500; ms <= 16000; ms += 8)
        shots += std::to_string(ms) + " shot u" + std::to_string(ms) + ".png\n";
    KxRun plain = KxRunGame("9000 press 13\n11000 down 32\n" + shots + "16100 quit\n");
    NoErrors(plain);
    bool found = false;
    for (int ms = 15500; ms <= 16000 && !found; ms += 8)
        found = Shot("u" + std::to_string(ms) + ".png") == p3;
    EXPECT_TRUE(found) << "play went on from where it stopped";
}
