// The desktop icons: every size is the same picture, on a tile with clear corners.
#include "program/kx_run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sys/stat.h>

namespace {

struct IconLook {
    double cover = 0;      // mean opacity
    double centre[3] = {}; // mean colour of the middle of the tile, where the turret sits
};

IconLook Look(const std::vector<uint8_t> &rgba, int size)
{
    IconLook l;
    int n = 0;
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            const uint8_t *p = &rgba[(size_t(y) * size + x) * 4];
            l.cover += p[3] / 255.0;
            if (x >= size * 3 / 10 && x < size * 7 / 10 && y >= size * 3 / 10 && y < size * 7 / 10) {
                for (int c = 0; c < 3; c++)
                    l.centre[c] += p[c];
                n++;
            }
        }
    l.cover /= double(size) * size;
    for (double &c : l.centre)
        c /= n;
    return l;
}

TEST(AssetIcons, EverySizeShowsTheSameTileWithClearCorners)
{
    struct stat st;
    if (stat(KORDAX_RUN_DIR "/icons/kordax_256.png", &st) != 0)
        GTEST_SKIP() << "no generated icons in " KORDAX_RUN_DIR;
    IconLook large;
    for (int size : {256, 128, 64, 32}) {
        std::vector<uint8_t> rgba;
        int w = 0, h = 0, channels = 0;
        std::string path = std::string(KORDAX_RUN_DIR) + "/icons/kordax_" + std::to_string(size) + ".png";
        ASSERT_TRUE(KxReadPNG(path, rgba, w, h, &channels)) << path;
        ASSERT_EQ(channels, 4) << path;
        ASSERT_EQ(w, size);
        ASSERT_EQ(h, size);
        for (int corner : {0, size - 1, (size - 1) * size, size * size - 1})
            EXPECT_EQ(rgba[size_t(corner) * 4 + 3], 0) << size << " corner " << corner;
        IconLook l = Look(rgba, size);
        if (size == 256)
            large = l;
        EXPECT_GT(l.cover, 0.8) << size;
        EXPECT_NEAR(l.cover, large.cover, 0.02) << size;
        for (int c = 0; c < 3; c++)
            EXPECT_NEAR(l.centre[c], large.centre[c], 12) << size << " channel " << c;
    }
}

} // namespace
