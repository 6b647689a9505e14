// Tests of bitmap fonts: the metrics reader, its layouts and messages, measuring and drawing text.
#include "bitmap_fixture.h"
#include "dd_font.h"

#include <sys/stat.h>

namespace {

const char *const FixedHead = "[FONT]\n[FIXED]\n1\n[FIRST_CHAR]\n32\n[LAST_CHAR]\n95\n";
const char *const VariableHead = "[FONT]\n[FIXED]\n0\n[FIRST_CHAR]\n65\n[LAST_CHAR]\n67\n";
const char *const Failed = "DDBITMAP_LoadFont: Error reading font specification.";

class FontTest : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        // Every pixel tells where it came from: red is its x, green its y.
        ASSERT_TRUE(WriteBMP24(Path("font.bmp"), 128, 32, [](int x, int y) { return RGB(x, y, 77); }));
    }
    DDBitmap *Load(const std::string &metrics)
    {
        WriteText(Path("font.txt"), metrics);
        return DDBITMAP_LoadFont(Path("font.bmp").c_str(), Path("font.txt").c_str());
    }
    // The source position of the pixel drawn at (x, y) of the back buffer, or -1, -1 for background.
    POINT SourceAt(const SurfacePixels &back, int x, int y)
    {
        DWORD v = back.Value(x, y);
        if ((v & 0xFF) != 77)
            return { -1, -1 };
        return { (LONG)((v >> 16) & 0xFF), (LONG)((v >> 8) & 0xFF) };
    }
};

TEST_F(FontTest, FixedFontByRowsAndByColumns)
{
    DDBitmap *rows = Load(std::string(FixedHead) + "[SIZE]\n(8, 8)\n[MATRIX]\n(16, 4)\n[ROWS]\n[FONT_END]\n");
    ASSERT_NE(rows, nullptr);
    ASSERT_NE(rows->Font, nullptr);
    const DDFontMetrics &f = *rows->Font;
    EXPECT_EQ(f.Height, 8);
    EXPECT_EQ(f.CharX[32], 0);
    EXPECT_EQ(f.CharY[32], 0);
    EXPECT_EQ(f.CharX[47], 120);
    EXPECT_EQ(f.CharY[47], 0);
    EXPECT_EQ(f.CharX[48], 0);
    EXPECT_EQ(f.CharY[48], 8);
    EXPECT_EQ(f.CharX[95], 120);
    EXPECT_EQ(f.CharY[95], 24);
    for (int c = 0; c < 256; c++) {
        EXPECT_EQ(f.Defined[c], c >= 32 && c <= 95) << c;
        EXPECT_EQ(f.CharWidth[c], f.Defined[c] ? 8 : 0) << c;
    }
    EXPECT_EQ(BitmapTail, rows);

    DDBitmap *cols = Load(std::string(FixedHead) + "[SIZE]\n(8, 8)\n[MATRIX]\n(16, 4)\n[COLUMNS]\n[FONT_END]\n");
    ASSERT_NE(cols, nullptr);
    const DDFontMetrics &g = *cols->Font;
    EXPECT_EQ(g.CharX[32], 0);
    EXPECT_EQ(g.CharY[32], 0);
    EXPECT_EQ(g.CharX[35], 0);
    EXPECT_EQ(g.CharY[35], 24);
    EXPECT_EQ(g.CharX[36], 8);
    EXPECT_EQ(g.CharY[36], 0);
    EXPECT_EQ(g.CharX[95], 120);
    EXPECT_EQ(g.CharY[95], 24);
    EXPECT_EQ(g.Height, 8);

    // Both layouts given: the later one wins.
    DDBitmap *both =
        Load(std::string(FixedHead) + "[SIZE]\n(8, 8)\n[MATRIX]\n(16, 4)\n[ROWS]\n[COLUMNS]\n[FONT_END]\n");
    ASSERT_NE(both, nullptr);
    EXPECT_EQ(both->Font->CharX[36], 8);
    EXPECT_EQ(both->Font->CharY[36], 0);
}

TEST_F(FontTest, VariableFontRectanglesCommentsAndHighCodes)
{
    DDBitmap *b = Load("# a comment before the font\n"
                       "  [FONT]   trailing words\n"
                       "[FIXED]\n2\n"
                       "#another\n"
                       "[FIRST_CHAR]\n0xC8\n[LAST_CHAR]\n202\n"
                       "[CHAR_RECTS]\n(0, 0) - (5, 10)\n(5, 2)-(12, 9)\n(20,0)-(20,16)\n"
                       "[FONT_END]\n");
    ASSERT_NE(b, nullptr);
    const DDFontMetrics &f = *b->Font;
    EXPECT_EQ(f.Height, 16);
    EXPECT_TRUE(f.Defined[200] && f.Defined[201] && f.Defined[202]);
    EXPECT_FALSE(f.Defined[199] || f.Defined[203] || f.Defined[200 - 128]);
    EXPECT_EQ(f.CharWidth[200], 5);
    EXPECT_EQ(f.CharX[201], 5);
    EXPECT_EQ(f.CharY[201], 2);
    EXPECT_EQ(f.CharWidth[201], 7);
    EXPECT_EQ(f.CharWidth[202], 0);
    int w = -1, h = -1;
    DDBitmap_TextSize(b, "\xC8\xC9\xCA\xC9", &w, &h);
    EXPECT_EQ(w, 5 + 7 + 0 + 7);
    EXPECT_EQ(h, 16);
}

TEST_F(FontTest, FirstAfterLastLoadsAnEmptyFont)
{
    DDBitmap *b = Load("[FONT]\n[FIXED]\n1\n[FIRST_CHAR]\n90\n[LAST_CHAR]\n80\n"
                       "[SIZE]\n(8, 8)\n[MATRIX]\n(16, 4)\n[ROWS]\n[FONT_END]\n");
    ASSERT_NE(b, nullptr);
    for (int c = 0; c < 256; c++)
        ASSERT_FALSE(b->Font->Defined[c]) << c;
    int w = -1, h = -1;
    DDBitmap_TextSize(b, "PQRSTUVWXYZ", &w, &h);
    EXPECT_EQ(w, 0);
    ClearBack();
    SurfacePixels before = ReadSurface(g_pDDSBack);
    DDBitmap_DrawText(g_pDDSBack, b, "PQRSTUVWXYZ", 0, 0);
    EXPECT_EQ(ReadSurface(g_pDDSBack).bytes, before.bytes);
}

TEST_F(FontTest, DrawingPlacesEachCharacterAndSkipsUndefinedOnesWithoutGaps)
{
    DDBitmap *b = Load(std::string(VariableHead) + "[CHAR_RECTS]\n(0,0)-(5,10)\n(10,0)-(17,6)\n(30,4)-(33,14)\n[FONT_END]\n");
    ASSERT_NE(b, nullptr);
    int w, h;
    DDBitmap_TextSize(b, "A\nBxC\x01", &w, &h);
    EXPECT_EQ(w, 5 + 7 + 3);
    EXPECT_EQ(h, 10);

    ClearBack();
    DDBitmap_DrawText(g_pDDSBack, b, "A\nBxC\x01", 100, 50);
    SurfacePixels back = ReadSurface(g_pDDSBack);
    // Every character is drawn as a cell of its own width and the font's height, side by side.
    struct {
        int penX, sourceX, sourceY, width;
    } cells[] = { { 100, 0, 0, 5 }, { 105, 10, 0, 7 }, { 112, 30, 4, 3 } };
    for (const auto &c : cells)
        for (int dy = 0; dy < 10; dy++)
            for (int dx = 0; dx < c.width; dx++) {
                POINT s = SourceAt(back, c.penX + dx, 50 + dy);
                ASSERT_EQ(s.x, c.sourceX + dx) << c.penX << " " << dx << "," << dy;
                ASSERT_EQ(s.y, c.sourceY + dy) << c.penX << " " << dx << "," << dy;
            }
    // Nothing beyond the measured width or below the height.
    for (int y = 45; y < 65; y++) {
        EXPECT_EQ(SourceAt(back, 115, y).x, -1);
        EXPECT_EQ(SourceAt(back, 99, y).x, -1);
    }
    for (int x = 95; x < 120; x++)
        EXPECT_EQ(SourceAt(back, x, 60).x, -1);

    // The same text without the undefined characters draws the very same pixels.
    ClearBack();
    DDBitmap_DrawText(g_pDDSBack, b, "ABC", 100, 50);
    EXPECT_EQ(ReadSurface(g_pDDSBack).bytes, back.bytes);
}

TEST_F(FontTest, MeasuringAndDrawingWithoutAFont)
{
    LogCapture log;
    int w = 5, h = 5;
    DDBitmap_TextSize(nullptr, "A", &w, &h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    ASSERT_TRUE(WriteBMP24(Path("plain.bmp"), 4, 4, [](int, int) { return RGB(1, 2, 3); }));
    DDBitmap *plain = DDBITMAP_Load(Path("plain.bmp").c_str());
    ASSERT_NE(plain, nullptr);
    w = h = 5;
    DDBitmap_TextSize(plain, "A", &w, &h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    DDBitmap_DrawText(g_pDDSBack, nullptr, "A", 0, 0);
    DDBitmap_DrawText(g_pDDSBack, plain, "A", 0, 0);
    EXPECT_EQ(log.Text(), "ErrorLog: Error: Attempt to get text size for null bitmap\n"
                          "ErrorLog: Error: Attempt to get text size for bitmap with no font data\n"
                          "ErrorLog: Error: Attempt to draw text for null bitmap\n"
                          "ErrorLog: Error: Attempt to draw text for bitmap with no font data\n");
}

struct BadFont {
    std::string metrics;
    const char *message;
};

TEST_F(FontTest, EachFileFaultHasItsMessageAndLeavesNothingLoaded)
{
    const std::string fixed = FixedHead;
    const std::string variable = VariableHead;
    const std::string grid = fixed + "[SIZE]\n(8, 8)\n[MATRIX]\n(16, 4)\n";
    const std::string rects = "[CHAR_RECTS]\n(0,0)-(5,10)\n(10,0)-(17,6)\n(30,4)-(33,14)\n";
    const BadFont cases[] = {
        { "[FONT]\n[FONT]\n", "DDBITMAP_LoadFont: [FONT] respecified." },
        { "[FIXED]\n1\n", "DDBITMAP_LoadFont: [FIXED] found before [FONT]." },
        { "[FONT]\n[FIXED]\n1\n[FIXED]\n1\n", "DDBITMAP_LoadFont: [FIXED] respecified." },
        { "[FONT]\n[FIXED]\nyes\n", "DDBITMAP_LoadFont: Failed to read [FIXED]." },
        { "[FIRST_CHAR]\n32\n", "DDBITMAP_LoadFont: [FIRST_CHAR] found before [FONT]." },
        { "[FONT]\n[FIRST_CHAR]\n32\n[FIRST_CHAR]\n32\n", "DDBITMAP_LoadFont: [FIRST_CHAR] respecified." },
        { "[FONT]\n[FIRST_CHAR]\nspace\n", "DDBITMAP_LoadFont: Failed to read [FIRST_CHAR]." },
        { "[LAST_CHAR]\n32\n", "DDBITMAP_LoadFont: [LAST_CHAR] found before [FONT]." },
        { "[FONT]\n[LAST_CHAR]\n32\n[LAST_CHAR]\n32\n", "DDBITMAP_LoadFont: [LAST_CHAR] respecified." },
        { "[FONT]\n[LAST_CHAR]\n", "DDBITMAP_LoadFont: Failed to read [Last_CHAR]." },
        { "[FONT]\n[FIRST_CHAR]\n256\n", "DDBITMAP_LoadFont: [FIRST_CHAR] must be from 0 to 255." },
        { "[FONT]\n[FIRST_CHAR]\n-1\n", "DDBITMAP_LoadFont: [FIRST_CHAR] must be from 0 to 255." },
        { "[FONT]\n[LAST_CHAR]\n0x7FFFFFFF\n", "DDBITMAP_LoadFont: [LAST_CHAR] must be from 0 to 255." },
        { "[FONT]\n[FIRST_CHAR]\n1\n[LAST_CHAR]\n2\n" + rects, "DDBITMAP_LoadFont: [CHAR_RECTS] found before [FIXED]." },
        { "[FONT]\n[FIXED]\n0\n[LAST_CHAR]\n2\n" + rects, "DDBITMAP_LoadFont: [CHAR_RECTS] found before [FIRST_CHAR]." },
        { "[FONT]\n[FIXED]\n0\n[FIRST_CHAR]\n2\n" + rects, "DDBITMAP_LoadFont: [CHAR_RECTS] found before [LAST_CHAR]." },
        { fixed + rects, "DDBITMAP_LoadFont: [CHAR_RECTS] must only be specified for variable width fonts." },
        { variable + rects + rects, "DDBITMAP_LoadFont: [CHAR_RECTS] respecified." },
        { variable + "[CHAR_RECTS]\n(0,0)-(5,10)\n(10,0)-(17,6)\n[FONT_END]\n", "DDBITMAP_LoadFont: Error reading [CHAR_RECTS]" },
        { variable + "[CHAR_RECTS]\n(0,0)-(5,10)\n(120,0)-(129,6)\n(0,0)-(1,1)\n[FONT_END]\n",
          "DDBITMAP_LoadFont: character 66 lies outside the font bitmap." },
        { variable + "[CHAR_RECTS]\n(0,0)-(5,10)\n(0,0)-(1,1)\n(0,30)-(1,33)\n[FONT_END]\n",
          "DDBITMAP_LoadFont: character 67 lies outside the font bitmap." },
        { variable + "[CHAR_RECTS]\n(-1,0)-(5,10)\n(0,0)-(1,1)\n(0,0)-(1,1)\n[FONT_END]\n",
          "DDBITMAP_LoadFont: character 65 lies outside the font bitmap." },
        { variable + "[CHAR_RECTS]\n(6,0)-(5,10)\n(0,0)-(1,1)\n(0,0)-(1,1)\n[FONT_END]\n",
          "DDBITMAP_LoadFont: character 65 lies outside the font bitmap." },
        { "[FONT]\n[FIRST_CHAR]\n1\n[LAST_CHAR]\n2\n[SIZE]\n(8,8)\n", "DDBITMAP_LoadFont: [SIZE] found before [FIXED]." },
        { "[FONT]\n[FIXED]\n1\n[LAST_CHAR]\n2\n[SIZE]\n(8,8)\n", "DDBITMAP_LoadFont: [SIZE] found before [FIRST_CHAR]." },
        { "[FONT]\n[FIXED]\n1\n[FIRST_CHAR]\n2\n[SIZE]\n(8,8)\n", "DDBITMAP_LoadFont: [SIZE] found before [LAST_CHAR]." },
        { variable + "[SIZE]\n(8,8)\n", "DDBITMAP_LoadFont: [SIZE] must only be specified for fixed width fonts." },
        { fixed + "[SIZE]\n(8,8)\n[SIZE]\n(8,8)\n", "DDBITMAP_LoadFont: [SIZE] respecified." },
        { fixed + "[SIZE]\n8 by 8\n", "DDBITMAP_LoadFont: Error reading [SIZE]." },
        { fixed + "[MATRIX]\n(16,4)\n", "DDBITMAP_LoadFont: [MATRIX] found before [SIZE]." },
        { grid + "[MATRIX]\n(16,4)\n", "DDBITMAP_LoadFont: [MATRIX] respecified." },
        { fixed + "[SIZE]\n(8,8)\n[MATRIX]\n(16)\n", "DDBITMAP_LoadFont: Error reading [MATRIX]." },
        { fixed + "[SIZE]\n(8,8)\n[ROWS]\n", "DDBITMAP_LoadFont: [MATRIX] must be specified before [ROWS]." },
        { fixed + "[SIZE]\n(8,8)\n[COLUMNS]\n", "DDBITMAP_LoadFont: [MATRIX] must be specified before [COLUMNS]." },
        { grid + "[ROWS]\n[ROWS]\n", "DDBITMAP_LoadFont: [ROWS] respecified." },
        { grid + "[COLUMNS]\n[COLUMNS]\n", "DDBITMAP_LoadFont: [COLUMNS] respecified." },
        { fixed + "[SIZE]\n(8,8)\n[MATRIX]\n(17,4)\n[ROWS]\n[FONT_END]\n",
          "DDBITMAP_LoadFont: character 48 lies outside the font bitmap." },
        { fixed + "[SIZE]\n(8,8)\n[MATRIX]\n(16,3)\n[COLUMNS]\n[FONT_END]\n",
          "DDBITMAP_LoadFont: character 80 lies outside the font bitmap." },
        // No columns: every character on the one row, which runs past the bitmap at the 17th.
        { fixed + "[SIZE]\n(8,8)\n[MATRIX]\n(0,4)\n[ROWS]\n[FONT_END]\n",
          "DDBITMAP_LoadFont: character 48 lies outside the font bitmap." },
        { fixed + "[SIZE]\n(-8,8)\n[MATRIX]\n(16,4)\n[COLUMNS]\n[FONT_END]\n",
          "DDBITMAP_LoadFont: [SIZE] and [MATRIX] do not make a grid for [COLUMNS]." },
        { fixed + "[SIZE]\n(2147483647,8)\n[MATRIX]\n(16,4)\n[ROWS]\n[FONT_END]\n",
          "DDBITMAP_LoadFont: character 32 lies outside the font bitmap." },
        { grid + "[FONT_END]\n", "DDBITMAP_LoadFont: [ROWS] or [COLUMNS] must be specified for a fixed width font." },
        { variable + "[FONT_END]\n", "DDBITMAP_LoadFont: [CHAR_RECTS] must be specified for a variable width font." },
        { "[FONT]\n[FONT_END]\n", "DDBITMAP_LoadFont: [CHAR_RECTS] must be specified for a variable width font." },
        { grid + "[ROWS]\n", Failed },
        { grid + "[ROWS]\n\n[FONT_END]\n", "DDBITMAP_LoadFont: Block marker not found." },
        { "[FONT]\n[FIXED] 1\n[FIRST_CHAR]\n", "DDBITMAP_LoadFont: Failed to read [FIXED]." },
        { "", Failed },
    };
    for (const BadFont &c : cases) {
        LogCapture log;
        EXPECT_EQ(Load(c.metrics), nullptr) << c.metrics;
        EXPECT_TRUE(log.Has(c.message)) << c.metrics << "\n" << log.Text();
        EXPECT_TRUE(log.Has(Failed)) << c.metrics;
        EXPECT_EQ(BitmapHead, nullptr) << c.metrics;
        EXPECT_EQ(BitmapTail, nullptr) << c.metrics;
    }
}

// A grid with fewer than one column (or row, laid out by columns) puts every character on one line.
TEST_F(FontTest, GridWithNoColumnsIsOneLine)
{
    for (const char *matrix : { "(0, 1)", "(-5, 1)" }) {
        LogCapture log;
        DDBitmap *b = Load(std::string("[FONT]\n[FIXED]\n1\n[FIRST_CHAR]\n65\n[LAST_CHAR]\n80\n[SIZE]\n(8, 8)\n[MATRIX]\n") +
                           matrix + "\n[ROWS]\n[FONT_END]\n");
        ASSERT_NE(b, nullptr) << matrix << "\n" << log.Text();
        for (int c = 65; c <= 80; c++) {
            EXPECT_EQ(b->Font->CharX[c], (c - 65) * 8) << c;
            EXPECT_EQ(b->Font->CharY[c], 0) << c;
        }
        DDBitmap_Release(b);
    }
    LogCapture log;
    DDBitmap *b = Load(std::string("[FONT]\n[FIXED]\n1\n[FIRST_CHAR]\n65\n[LAST_CHAR]\n68\n[SIZE]\n(8, 8)\n[MATRIX]\n(1, 0)\n") +
                       "[COLUMNS]\n[FONT_END]\n");
    ASSERT_NE(b, nullptr) << log.Text();
    EXPECT_EQ(b->Font->CharX[68], 0);
    EXPECT_EQ(b->Font->CharY[68], 24);
    DDBitmap_Release(b);
}

TEST_F(FontTest, LineWithoutAMarkerIsLoggedAsCut)
{
    LogCapture log;
    EXPECT_EQ(Load("[FONT]\n[fixed] lower case\n"), nullptr);
    EXPECT_EQ(log.Text(), "ErrorLog: DDBITMAP_LoadFont: Block marker not found.\n"
                          "ErrorLog: [fixed]\n"
                          "ErrorLog: " + std::string(Failed) + "\n"
                          "ErrorLog:   file: " + Path("font.txt") + " (damaged)\n");
}

TEST_F(FontTest, MissingFilesAreReported)
{
    LogCapture log;
    std::string noBitmap = Path("none.bmp");
    WriteText(Path("font.txt"), std::string(FixedHead));
    EXPECT_EQ(DDBITMAP_LoadFont(noBitmap.c_str(), Path("font.txt").c_str()), nullptr);
    EXPECT_TRUE(log.Has("Error: Failed to load font bitmap."));
    EXPECT_TRUE(log.Has(noBitmap));
    EXPECT_EQ(DDBITMAP_LoadFont(Path("font.bmp").c_str(), Path("none.txt").c_str()), nullptr);
    EXPECT_TRUE(log.Has("Error: Failed to open font metrics"));
    // The metrics file is named once, with the reason, not on a bare line of its own.
    EXPECT_TRUE(log.Has("  file: " + Path("none.txt") + " (missing)")) << log.Text();
    EXPECT_FALSE(log.Has(Path("none.txt")));
    EXPECT_FALSE(log.Has(Failed));
    EXPECT_EQ(BitmapHead, nullptr);
}

TEST_F(FontTest, GameFontsLoadWithoutALoggedError)
{
    const std::string gfx = std::string(KORDAX_RUN_DIR) + "/gfx/";
    struct stat st;
    if (stat((gfx + "kx_font1.txt").c_str(), &st) != 0 || stat((gfx + "kx_font2.txt").c_str(), &st) != 0)
        GTEST_SKIP() << "the generated fonts are not there yet";
    LogCapture log;
    for (const char *name : { "kx_font1", "kx_font2" }) {
        DDBitmap *font = DDBITMAP_LoadFont((gfx + name + ".bmp").c_str(), (gfx + name + ".txt").c_str());
        ASSERT_NE(font, nullptr) << name << "\n" << log.Text();
        int w, h;
        DDBitmap_TextSize(font, "SCORE 0123456789", &w, &h);
        EXPECT_GT(w, 0) << name;
        EXPECT_GT(h, 0) << name;
    }
    EXPECT_TRUE(log.Empty()) << log.Text();
}

} // namespace
