// F12 in a scripted run: the frame on show saved as a compressed PNG, unless a player has F12 among their keys.
#include "kx_run.h"

#include <gtest/gtest.h>

#include <dirent.h>

namespace {

std::vector<std::string> Shots()
{
    std::vector<std::string> names;
    if (DIR *d = opendir("screenshots")) {
        while (dirent *e = readdir(d))
            if (e->d_name[0] != '.')
                names.push_back(std::string("screenshots/") + e->d_name);
        closedir(d);
    }
    return names;
}

} // namespace

TEST(Screenshot, F12SavesTheFrameAShotLineSavesAtTheSameMoment)
{
    KxTempDir dir;
    KxRun r = KxRunGame("6000 press 123\n6000 shot a.png\n6500 quit\n");
    ASSERT_EQ(r.exitCode, 0) << r.out;
    std::vector<std::string> shots = Shots();
    ASSERT_EQ(shots.size(), 1u) << r.out;
    EXPECT_EQ(shots[0].compare(0, 19, "screenshots/kordax-"), 0) << shots[0];
    EXPECT_NE(r.out.find("kordax: screenshot saved: " + shots[0] + "\n"), std::string::npos) << r.out;
    std::vector<uint8_t> key, line;
    int w = 0, h = 0;
    ASSERT_TRUE(KxReadPNG(shots[0], key, w, h));
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    ASSERT_TRUE(KxReadPNG("a.png", line, w, h));
    EXPECT_TRUE(key == line);
    EXPECT_LT(KxReadFile("a.png").size(), 640u * 480 * 3 / 3) << "compressed at least threefold";

    // Fire on F12: the key is the player's, and no shot is taken.
    std::string ini = KxReadFile("kordax.ini");
    size_t fire = ini.find("\n32\n");
    ASSERT_NE(fire, std::string::npos) << ini;
    KxWriteFile("kordax.ini", ini.replace(fire, 4, "\n123\n"));
    r = KxRunGame("6000 press 123\n6500 quit\n");
    EXPECT_EQ(Shots().size(), 1u);
    EXPECT_EQ(r.out.find("screenshot"), std::string::npos) << r.out;
}
