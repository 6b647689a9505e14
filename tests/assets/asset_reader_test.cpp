// Every generated BMP loads through the game's own bitmap loader, with the size, depth and
// pixels its file gives.
#include "asset_files.h"
#include "win_gdi.h"

#include <dirent.h>
#include <gtest/gtest.h>

namespace {

TEST(AssetReader, EveryBitmapLoadsThroughTheGamesLoaderAsWritten)
{
    std::string dir = std::string(KORDAX_RUN_DIR) + "/gfx";
    std::vector<std::string> names;
    if (DIR *d = opendir(dir.c_str())) {
        while (dirent *e = readdir(d)) {
            std::string n = e->d_name;
            if (n.size() > 4 && n.substr(n.size() - 4) == ".bmp")
                names.push_back(n);
        }
        closedir(d);
    }
    if (names.empty())
        GTEST_SKIP() << "no generated artwork in " << dir;
    std::sort(names.begin(), names.end());
    for (const std::string &n : names) {
        std::string path = dir + "/" + n;
        AssetBmp ours = AssetReadBmp(path);
        ASSERT_TRUE(ours.ok) << n;
        HANDLE h = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
        ASSERT_NE(h, nullptr) << n << " is refused by the game's loader";
        BITMAP bm{};
        ASSERT_NE(GetObjectA(h, sizeof bm, &bm), 0) << n;
        EXPECT_EQ(bm.bmWidth, ours.width) << n;
        EXPECT_EQ(bm.bmHeight, ours.height) << n;
        EXPECT_EQ(bm.bmBitsPixel, ours.bpp) << n;
        if (ours.bpp == 24) {
            // Corners and the centre read the same both ways (COLORREF is 0x00BBGGRR).
            const int xs[3] = {0, ours.width / 2, ours.width - 1}, ys[3] = {0, ours.height / 2, ours.height - 1};
            for (int x : xs)
                for (int y : ys) {
                    uint32_t c = ours.At(x, y);
                    COLORREF ref = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
                    EXPECT_EQ(Sys_BitmapPixel(HBITMAP(h), x, y), ref) << n << " at " << x << ", " << y;
                }
        }
        if (ours.bpp == 8 || ours.bpp == 1) {
            const BYTE *quads = nullptr;
            EXPECT_EQ(Sys_BitmapColours(HBITMAP(h), &quads), ours.bpp == 8 ? 256 : 2) << n;
        }
        DeleteObject(h);
    }
}

} // namespace
