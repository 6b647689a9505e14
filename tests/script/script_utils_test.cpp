// Tests of the script value readers and the block-marker rule.
#include "log_capture.h"
#include "script_utils.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>

namespace {

// A stream holding text, positioned at its start.
struct Stream {
    FILE *f;
    explicit Stream(const std::string &text) : f(tmpfile())
    {
        fwrite(text.data(), 1, text.size(), f);
        rewind(f);
    }
    ~Stream() { fclose(f); }
    std::string Rest()
    {
        std::string rest;
        int c;
        while ((c = fgetc(f)) != EOF)
            rest += (char)c;
        return rest;
    }
};

struct IntCase {
    const char *line;
    bool ok;
    int value;
};

TEST(ScriptReadInt, ValuesBasesAndLimits)
{
    const IntCase cases[] = {
        { "   42", true, 42 },
        { "12 frames", true, 12 },
        { "-7", true, -7 },
        { "0x1F", true, 31 },
        { "colour 0x1f", true, 31 },
        { "-0x10", true, 16 },
        { "0X1F", true, 0 },
        { "abc", false, 0 },
        { "12 0xZZ", false, 0 },
        { "frames 12", false, 0 },
        { "", false, 0 },
        { "99999999999", true, INT_MAX },
        { "-99999999999", true, INT_MIN },
        { "0xFFFFFFFF", true, INT_MAX },
        { "2147483647", true, INT_MAX },
        { "-2147483648", true, INT_MIN },
    };
    for (const IntCase &c : cases) {
        Stream s(std::string(c.line) + "\n999\n");
        int value = 12345;
        EXPECT_EQ(SCRIPT_ReadInt(s.f, &value), c.ok) << c.line;
        EXPECT_EQ(value, c.value) << c.line;
        EXPECT_EQ(s.Rest(), "999\n") << "one line consumed for " << c.line;
    }
}

TEST(ScriptReadInt, EndOfStreamFailsAndLeavesValue)
{
    Stream s("");
    int value = 77;
    EXPECT_FALSE(SCRIPT_ReadInt(s.f, &value));
    EXPECT_EQ(value, 77);
}

TEST(ScriptReadString, QuotesAndNulls)
{
    struct {
        const char *line;
        const char *want; // null: no string
    } cases[] = {
        { "\"gfx\\font.bmp\"", "gfx\\font.bmp" },
        { "name = \"a b\" trailing", "a b" },
        { "\"only one", nullptr },
        { "\"\"", nullptr },
        { "no quotes", nullptr },
        { "\"a\"b\"c\"", "a\"b\"c" },
    };
    for (const auto &c : cases) {
        Stream s(std::string(c.line) + "\nnext\n");
        std::unique_ptr<char[]> got(SCRIPT_ReadString(s.f));
        if (c.want)
            EXPECT_STREQ(got.get(), c.want) << c.line;
        else
            EXPECT_EQ(got.get(), nullptr) << c.line;
        EXPECT_EQ(s.Rest(), "next\n") << c.line;
    }
    Stream empty("");
    EXPECT_EQ(SCRIPT_ReadString(empty.f), nullptr);
}

TEST(ScriptReadString, LongLineIsReadInPiecesAndNeverJoined)
{
    // The closing quote lies beyond the first 255 characters: the first read must not see it.
    std::string line = "\"" + std::string(300, 'a') + "\"\n";
    Stream s(line);
    EXPECT_EQ(SCRIPT_ReadString(s.f), nullptr);
    EXPECT_EQ(s.Rest(), line.substr(255));

    // The longest string a line can hold: 253 characters between two quotes and the line end.
    std::string most = "\"" + std::string(253, 'b') + "\"\n";
    Stream m(most);
    std::unique_ptr<char[]> got(SCRIPT_ReadString(m.f));
    ASSERT_NE(got.get(), nullptr);
    EXPECT_EQ(std::string(got.get()), std::string(253, 'b'));
}

TEST(ScriptReadPoint, FormsAndMessages)
{
    struct {
        const char *line;
        bool ok;
        int x, y;
        const char *message; // logged line, or null for none
    } cases[] = {
        { "(10, 20)", true, 10, 20, nullptr },
        { "( -5 ,7 )", true, -5, 7, nullptr },
        { "(10 apples, 20 pears)", true, 10, 20, nullptr },
        { "size (3,4) more", true, 3, 4, nullptr },
        { "10, 20)", false, 99, 99, "SCRIPT_GetPoint: Failed to find '(' reading point." },
        { "(10, 20", false, 10, 20, "SCRIPT_GetPoint: Failed to find ')' reading point." },
        { "(x, 1)", false, 0, 99, nullptr },
        { "(4, y)", false, 4, 0, nullptr },
        { "(10 20)", false, 10, 99, "SCRIPT_GetPoint: Failed to find ',' reading point." },
    };
    for (const auto &c : cases) {
        LogCapture log;
        Stream s(std::string(c.line) + "\nnext\n");
        POINT p = { 99, 99 };
        EXPECT_EQ(SCRIPT_ReadPoint(s.f, &p), c.ok) << c.line;
        EXPECT_EQ(p.x, c.x) << c.line;
        EXPECT_EQ(p.y, c.y) << c.line;
        if (c.message)
            EXPECT_TRUE(log.Has(c.message)) << c.line << ": " << log.Text();
        else
            EXPECT_TRUE(log.Empty()) << c.line << ": " << log.Text();
        EXPECT_EQ(s.Rest(), "next\n") << c.line;
    }
}

TEST(ScriptGetPoint, MovesCursorPastParenthesis)
{
    char line[] = "(1,2)(3,4) tail";
    char *cursor = line;
    POINT p;
    ASSERT_TRUE(SCRIPT_GetPoint(&cursor, &p));
    EXPECT_EQ(cursor, line + 5);
    ASSERT_TRUE(SCRIPT_GetPoint(&cursor, &p));
    EXPECT_EQ(p.x, 3);
    EXPECT_EQ(p.y, 4);
    EXPECT_STREQ(cursor, " tail");
    char *before = cursor;
    LogCapture log;
    EXPECT_FALSE(SCRIPT_GetPoint(&cursor, &p));
    EXPECT_EQ(cursor, before);
}

TEST(ScriptGetPoint, StopsAtTheEndOfTheLineRead)
{
    // ')' only beyond the 255 characters of the first read: the point must fail, not reach it.
    std::string line = "(1, 2" + std::string(260, ' ') + ")\n";
    Stream s(line);
    LogCapture log;
    POINT p;
    EXPECT_FALSE(SCRIPT_ReadPoint(s.f, &p));
    EXPECT_TRUE(log.Has("SCRIPT_GetPoint: Failed to find ')' reading point."));
}

TEST(ScriptReadRect, FormsAndPartialWrites)
{
    struct {
        const char *line;
        bool ok;
        RECT want;
    } cases[] = {
        { "(0,0)-(16,16)", true, { 0, 0, 16, 16 } },
        { "(0, 0) - (-4, 3)", true, { 0, 0, -4, 3 } },
        { "(-2, -3) - (-4, -5)", true, { -2, -3, -4, -5 } },
        { "(0, 0) (16, 16)", false, { 0, 0, 9, 9 } },
        { "(5, 6) - (16 16)", false, { 5, 6, 9, 9 } },
        { "(5 6) - (7 8)", false, { 9, 9, 9, 9 } },
        { "", false, { 9, 9, 9, 9 } },
    };
    for (const auto &c : cases) {
        LogCapture log;
        Stream s(std::string(c.line) + "\nnext\n");
        RECT r = { 9, 9, 9, 9 };
        EXPECT_EQ(SCRIPT_ReadRect(s.f, &r), c.ok) << c.line;
        EXPECT_EQ(r.left, c.want.left) << c.line;
        EXPECT_EQ(r.top, c.want.top) << c.line;
        EXPECT_EQ(r.right, c.want.right) << c.line;
        EXPECT_EQ(r.bottom, c.want.bottom) << c.line;
        EXPECT_EQ(s.Rest(), "next\n") << c.line;
    }
}

TEST(ScriptReadRect, NullRectReadsNothing)
{
    LogCapture log;
    Stream s("(0,0)-(1,1)\n");
    EXPECT_FALSE(SCRIPT_ReadRect(s.f, nullptr));
    EXPECT_TRUE(log.Has("SCRIPT_ReadRect: Null rect pointer"));
    EXPECT_EQ(s.Rest(), "(0,0)-(1,1)\n");
}

TEST(ScriptReaders, EndOfStreamFails)
{
    Stream s("");
    POINT p = { 1, 2 };
    RECT r = { 1, 2, 3, 4 };
    EXPECT_FALSE(SCRIPT_ReadPoint(s.f, &p));
    EXPECT_FALSE(SCRIPT_ReadRect(s.f, &r));
    EXPECT_EQ(p.x, 1);
    EXPECT_EQ(r.bottom, 4);
}

const char *const Table[] = { "", "[FONT]", "[P2_INPUT]", "[FONT_END]" };

int Marker(const char *text, std::string *cut = nullptr)
{
    char line[SCRIPT_LINE_SIZE];
    snprintf(line, sizeof line, "%s", text);
    int n = SCRIPT_GetBlockMarker(line, Table, 4);
    if (cut)
        *cut = line;
    return n;
}

TEST(ScriptBlockMarker, Rule)
{
    std::string cut;
    EXPECT_EQ(Marker("[P2_INPUT]   \n", &cut), 2);
    EXPECT_EQ(cut, "[P2_INPUT]");
    EXPECT_EQ(Marker("  [FONT] other words\n", &cut), 1);
    EXPECT_EQ(cut, "  [FONT]");
    EXPECT_EQ(Marker("[FONT_END]"), 3);
    EXPECT_EQ(Marker("[P2_INPUT\n"), 0);
    EXPECT_EQ(Marker("[[FONT]\n", &cut), 0);
    EXPECT_EQ(cut, "[[FONT]");
    EXPECT_EQ(Marker("[font]\n"), 0);
    EXPECT_EQ(Marker("[ FONT]\n"), 0);
    EXPECT_EQ(Marker("[]\n"), 0);
    EXPECT_EQ(Marker("\n"), 0);
    EXPECT_EQ(Marker(""), 0);
}

} // namespace
