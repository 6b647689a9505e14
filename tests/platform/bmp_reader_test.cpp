// The BMP reader: well-formed files of every depth load right; malformed ones are refused cleanly.
#include "win_gdi.h"
#include "sys_file.h"
#include "kx_test.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct BmpSpec {
    int32_t width = 2;
    int32_t height = 2;
    uint16_t bits = 24;
    uint32_t compression = 0;
    uint32_t coloursUsed = 0;
    int tableEntries = 0;      // entries actually written
    int32_t offsetDelta = 0;   // added to the honest pixel offset
    int64_t pixelBytes = -1;   // -1: exactly what the size needs
    uint32_t headerSize = 40;
};

void Put16(std::string &s, uint16_t v) { s += (char)(v & 0xFF); s += (char)(v >> 8); }
void Put32(std::string &s, uint32_t v) { for (int i = 0; i < 4; i++) s += (char)((v >> (8 * i)) & 0xFF); }

std::string MakeBmp(const BmpSpec &b, const std::string &pixels = std::string())
{
    uint64_t rows = b.height < 0 ? -(int64_t)b.height : b.height;
    uint64_t rowBytes = (((uint64_t)(b.width > 0 ? b.width : 0) * b.bits + 31) / 32) * 4;
    uint64_t need = b.pixelBytes >= 0 ? (uint64_t)b.pixelBytes : rowBytes * rows;
    if (need > (1u << 20))
        need = 1u << 10; // a file that claims far more than it holds
    uint32_t offset = 14 + b.headerSize + 4 * b.tableEntries + b.offsetDelta;
    std::string s = "BM";
    Put32(s, (uint32_t)(offset + need));
    Put32(s, 0);
    Put32(s, offset);
    Put32(s, b.headerSize);
    Put32(s, (uint32_t)b.width);
    Put32(s, (uint32_t)b.height);
    Put16(s, 1);
    Put16(s, b.bits);
    Put32(s, b.compression);
    Put32(s, (uint32_t)need);
    Put32(s, 2835);
    Put32(s, 2835);
    Put32(s, b.coloursUsed);
    Put32(s, 0);
    s.resize(14 + b.headerSize, '\0');
    for (int i = 0; i < b.tableEntries; i++) {
        s += (char)(i * 10); // blue
        s += (char)(i * 20); // green
        s += (char)(i * 30); // red
        s += '\0';
    }
    if (b.offsetDelta > 0)
        s.append(b.offsetDelta, '\0');
    std::string body = pixels;
    body.resize(need, '\0');
    if (offset < s.size())
        s.resize(offset);
    return s + body;
}

HBITMAP Read(const std::string &file, const char **why = nullptr)
{
    return Sys_ReadBMP((const BYTE *)file.data(), file.size(), why);
}

} // namespace

TEST(BmpReader, ReadsEveryDepthBottomUp)
{
    // 24 bpp, 2x2: stored bottom row first.
    std::string px = std::string("\x00\x00\xFF" "\x00\xFF\x00" "\0\0", 8) + std::string("\xFF\x00\x00" "\x10\x20\x30" "\0\0", 8);
    HBITMAP b = Read(MakeBmp(BmpSpec(), px));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(Sys_BitmapPixel(b, 0, 1), RGB(255, 0, 0));
    EXPECT_EQ(Sys_BitmapPixel(b, 1, 1), RGB(0, 255, 0));
    EXPECT_EQ(Sys_BitmapPixel(b, 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(Sys_BitmapPixel(b, 1, 0), RGB(0x30, 0x20, 0x10));
    BITMAP bm;
    ASSERT_EQ(GetObjectA(b, sizeof bm, &bm), (int)sizeof bm);
    EXPECT_EQ(bm.bmWidth, 2);
    EXPECT_EQ(bm.bmHeight, 2);
    EXPECT_EQ(bm.bmWidthBytes, 8);
    EXPECT_EQ(bm.bmBitsPixel, 24);
    DeleteObject(b);

    BmpSpec one;
    one.width = 9;
    one.height = 1;
    one.bits = 1;
    one.tableEntries = 2;
    b = Read(MakeBmp(one, std::string("\x80\x80", 2)));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(Sys_BitmapPixel(b, 0, 0), RGB(30, 20, 10));
    EXPECT_EQ(Sys_BitmapPixel(b, 1, 0), RGB(0, 0, 0));
    EXPECT_EQ(Sys_BitmapPixel(b, 8, 0), RGB(30, 20, 10));
    DeleteObject(b);

    BmpSpec four;
    four.width = 2;
    four.height = 1;
    four.bits = 4;
    four.tableEntries = 16;
    b = Read(MakeBmp(four, std::string("\x2F", 1)));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(Sys_BitmapPixel(b, 0, 0), RGB(60, 40, 20));
    EXPECT_EQ(Sys_BitmapPixel(b, 1, 0), RGB(15 * 30 & 0xFF, 15 * 20 & 0xFF, 15 * 10));
    DeleteObject(b);
}

TEST(BmpReader, TopDownFilesLoadTheRightWayUp)
{
    BmpSpec spec;
    spec.width = 1;
    spec.height = -2;
    spec.bits = 32;
    std::string px("\x01\x02\x03\x00" "\x04\x05\x06\x00", 8); // first stored row is the top
    HBITMAP b = Read(MakeBmp(spec, px));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(Sys_BitmapPixel(b, 0, 0), RGB(3, 2, 1));
    EXPECT_EQ(Sys_BitmapPixel(b, 0, 1), RGB(6, 5, 4));
    BITMAP bm;
    GetObjectA(b, sizeof bm, &bm);
    EXPECT_EQ(bm.bmHeight, 2);
    // The bits are bottom-up like every other bitmap.
    EXPECT_EQ(((BYTE *)bm.bmBits)[0], 4);
    DeleteObject(b);
}

TEST(BmpReader, IndicesPastAShortColourTableReadAsBlack)
{
    BmpSpec spec;
    spec.width = 3;
    spec.height = 1;
    spec.bits = 8;
    spec.coloursUsed = 2;
    spec.tableEntries = 2;
    HBITMAP b = Read(MakeBmp(spec, std::string("\x01\x02\xFF", 3)));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(Sys_BitmapPixel(b, 0, 0), RGB(30, 20, 10));
    EXPECT_EQ(Sys_BitmapPixel(b, 1, 0), RGB(0, 0, 0));
    EXPECT_EQ(Sys_BitmapPixel(b, 2, 0), RGB(0, 0, 0));
    const BYTE *quads;
    EXPECT_EQ(Sys_BitmapColours(b, &quads), 2);
    DeleteObject(b);
}

struct Malformed {
    const char *what;
    BmpSpec spec;
    size_t cut; // bytes cut from the end of the file
};

static std::vector<Malformed> MalformedCases()
{
    std::vector<Malformed> cases;
    auto add = [&](const char *what, BmpSpec s, size_t cut = 0) { cases.push_back({ what, s, cut }); };
    BmpSpec s;
    s = BmpSpec(); s.width = 0x10000; s.height = 0x10000; s.bits = 32; add("size overflows 32 bits", s);
    s = BmpSpec(); s.width = 0; add("zero width", s);
    s = BmpSpec(); s.width = -5; add("negative width", s);
    s = BmpSpec(); s.height = 0; add("zero height", s);
    s = BmpSpec(); s.height = INT32_MIN; add("most negative height", s);
    s = BmpSpec(); s.bits = 8; s.coloursUsed = 257; s.tableEntries = 256; add("colour count above the depth", s);
    s = BmpSpec(); s.bits = 1; s.coloursUsed = 3; s.tableEntries = 3; add("three colours at 1 bpp", s);
    s = BmpSpec(); s.bits = 2; add("2 bpp", s);
    s = BmpSpec(); s.bits = 7; add("7 bpp", s);
    s = BmpSpec(); s.bits = 48; add("48 bpp", s);
    s = BmpSpec(); s.offsetDelta = -20; add("pixel offset inside the header", s);
    s = BmpSpec(); s.pixelBytes = 4; add("truncated rows", s);
    s = BmpSpec(); s.bits = 8; s.tableEntries = 256; add("truncated palette", s, 14 + 40 + 1024 - 100);
    s = BmpSpec(); s.width = 30000; s.height = 30000; s.bits = 24; add("absurd but plausible size", s);
    s = BmpSpec(); s.compression = 1; s.bits = 8; s.tableEntries = 256; add("run-length compressed", s);
    s = BmpSpec(); s.headerSize = 12; add("old core header", s);
    return cases;
}

TEST(BmpReader, RefusesMalformedFiles)
{
    for (const Malformed &m : MalformedCases()) {
        std::string file = MakeBmp(m.spec);
        if (m.cut)
            file.resize(file.size() > m.cut ? file.size() - m.cut : 0);
        const char *why = nullptr;
        HBITMAP b = Read(file, &why);
        EXPECT_EQ(b, nullptr) << m.what;
        EXPECT_NE(why, nullptr) << m.what;
        if (b)
            DeleteObject(b);
    }
    // Offset past the end of the file.
    std::string file = MakeBmp(BmpSpec());
    file[10] = (char)0xF0;
    file[11] = (char)0xFF;
    EXPECT_EQ(Read(file), nullptr);
    // Every prefix of a good file is refused or read without going past it.
    BmpSpec pal;
    pal.bits = 8;
    pal.tableEntries = 256;
    std::string good = MakeBmp(pal, std::string(8, '\x05'));
    for (size_t n = 0; n < good.size(); n++) {
        HBITMAP b = Sys_ReadBMP((const BYTE *)good.data(), n, nullptr);
        EXPECT_EQ(b, nullptr) << n;
    }
    EXPECT_EQ(Read("not a bitmap at all, just words and more words to fill it up"), nullptr);
}

// Through the file loader: a file over the bound is refused before a byte of it is read, however
// good its headers; a file just under it still loads. Sparse files cost no disk.
TEST(BmpReader, FilesOverTheBoundAreRefusedUnread)
{
    KxTempDir dir;
    BmpSpec spec;
    std::string good = MakeBmp(spec, std::string(16, '\x40'));
    struct SizeCase {
        long long size;
        bool loads;
    };
    const SizeCase cases[] = {
        { (long long)good.size(), true },
        { GDI_MAX_IMAGE_BYTES, true },
        { GDI_MAX_IMAGE_BYTES + 1, false },
        { 40LL << 30, false },
    };
    for (const SizeCase &c : cases) {
        SCOPED_TRACE(c.size);
        KxWriteFile("big.bmp", good);
        ASSERT_EQ(truncate("big.bmp", c.size), 0);
        HANDLE h = LoadImageA(nullptr, "big.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
        EXPECT_EQ(h != nullptr, c.loads);
        if (h)
            DeleteObject(h);
        EXPECT_STREQ(Sys_FileProblem("big.bmp", GDI_MAX_IMAGE_BYTES), c.loads ? nullptr : "too large");
    }
    mkdir("folder.bmp", 0755);
    EXPECT_EQ(LoadImageA(nullptr, "folder.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(LoadImageA(nullptr, "none.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
}
