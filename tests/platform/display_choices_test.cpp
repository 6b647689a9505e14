// The display choices file: what its reader takes and leaves, where a window may reopen, and a choice kept to the next start.
#include "sys_display.h"
#include "sys_file.h"
#include "sys_harness.h"
#include "sys_screenshot.h"
#include "kx_test.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

struct ReadCase {
    const char *text;
    bool fullscreen;
    int width, height;
    bool placed;
    int x, y;
    bool integerScale;
    const char *problem; // the start of the message, or "" when every line was read
    SysRenderer renderer = SysRenderer::AUTO;
    bool rumble = true;
    const char *pads = ""; // the pad lines written back
};

const ReadCase readCases[] = {
    { "", true, 0, 0, false, 0, 0, false, "" },
    { "# note\nmode = window\nwindow_width = 900\nwindow_height = 700\nwindow_x = -20\nwindow_y = 40\ninteger_scale = yes\n",
      false, 900, 700, true, -20, 40, true, "" },
    { "mode=fullscreen\r\n  integer_scale =  1  \r\n", true, 0, 0, false, 0, 0, true, "" },
    { "mode = window\nzoom = 2\n", false, 0, 0, false, 0, 0, false, "line 2 'zoom = 2' ignored (unknown name)" },
    { "mode = tiny\nwindow_width = 80\nwindow_height = 20000\n", true, 0, 0, false, 0, 0, false,
      "line 1 'mode = tiny' ignored (bad value), and 2 more" },
    { "window_width = 12abc\nwindow_height = 500\n", true, 0, 0, false, 0, 0, false, "line 1 " }, // a size needs both sides
    { "window_x = 5\n", true, 0, 0, false, 0, 0, false, "" },                                    // a place needs both
    { "window_x = 99999999999\nwindow_y = 3\n", true, 0, 0, false, 0, 0, false, "line 1 " },
    { "integer_scale\n\x01\xff = 2\n", true, 0, 0, false, 0, 0, false, "line 1 'integer_scale' ignored (not name = value), and 1 more" },
    { "mode =\nwindow_width = 640\nwindow_height = 480\n", true, 640, 480, false, 0, 0, false, "line 1 'mode =' ignored (bad value)" },
    { "renderer = software\n", true, 0, 0, false, 0, 0, false, "", SysRenderer::SOFTWARE },
    { "renderer = gl\nrenderer = metal\n", true, 0, 0, false, 0, 0, false, "line 2 'renderer = metal' ignored (bad value)",
      SysRenderer::GL },
    { "rumble = no\npad2 = 00112233445566778899AABBCCDDEEFF\n", true, 0, 0, false, 0, 0, false, "", SysRenderer::AUTO,
      false, "pad2 = 00112233445566778899aabbccddeeff\n" },
    { "rumble = yes\npad1 = 0011\npad2 = 00112233445566778899aabbccddeefg\n", true, 0, 0, false, 0, 0, false,
      "line 2 'pad1 = 0011' ignored (bad value), and 1 more" },
    { "pad1 = ffffffffffffffffffffffffffffffff\npad3 = ffffffffffffffffffffffffffffffff\n", true, 0, 0, false, 0, 0, false,
      "line 2 'pad3 = ffffffffffffffffffffffffffffffff' ignored (unknown name)", SysRenderer::AUTO, true,
      "pad1 = ffffffffffffffffffffffffffffffff\n" },
};

TEST(DisplayChoices, ReaderTakesGoodLinesAndNamesTheFirstBadOne)
{
    for (const ReadCase &c : readCases) {
        SysDisplayChoices got;
        std::string problems;
        Sys_ParseDisplayChoices(c.text, got, problems);
        EXPECT_EQ(got.fullscreen, c.fullscreen) << c.text;
        EXPECT_EQ(got.width, c.width) << c.text;
        EXPECT_EQ(got.height, c.height) << c.text;
        EXPECT_EQ(got.placed, c.placed) << c.text;
        EXPECT_EQ(got.x, c.x) << c.text;
        EXPECT_EQ(got.y, c.y) << c.text;
        EXPECT_EQ(got.integerScale, c.integerScale) << c.text;
        EXPECT_EQ(got.renderer, c.renderer) << c.text;
        EXPECT_EQ(got.rumble, c.rumble) << c.text;
        std::string written = Sys_FormatDisplayChoices(got);
        EXPECT_EQ(written.substr(std::min(written.find("pad"), written.size())), c.pads) << c.text;
        EXPECT_EQ(problems.compare(0, strlen(c.problem), c.problem), 0) << c.text << " gave: " << problems;
        EXPECT_EQ(problems.empty(), c.problem[0] == '\0') << c.text;
        // What is read is written back and read again unchanged.
        SysDisplayChoices again;
        Sys_ParseDisplayChoices(Sys_FormatDisplayChoices(got), again, problems);
        EXPECT_EQ(Sys_FormatDisplayChoices(again), Sys_FormatDisplayChoices(got));
        EXPECT_TRUE(problems.empty());
    }
}

TEST(DisplayChoices, WindowReopensWhereItWasOnlyWhileOnAScreen)
{
    const std::vector<SysScreenRect> two = { { 0, 0, 1366, 768 }, { 1366, 0, 1920, 1080 } };
    const struct {
        int x, y, w, h;
        bool on;
    } cases[] = {
        { 100, 50, 900, 700, true },   { 3000, 900, 900, 700, true }, // on the second screen
        { 3222, 0, 900, 700, true },   { 3223, 0, 900, 700, false },  // 64 pixels left in view, then 63
        { -850, 0, 900, 700, false },  { 100, 740, 900, 700, false }, { 5000, 50, 900, 700, false },
        { 100, -636, 900, 700, true }, { 100, -637, 900, 700, false },
        { 1330, 700, 100, 100, true }, // 64 pixels of it on the second screen
        { 1340, 700, 20, 20, true },   { 1370, 1080, 20, 20, false },
    };
    for (const auto &c : cases)
        EXPECT_EQ(Sys_WindowOnScreens(c.x, c.y, c.w, c.h, two), c.on) << c.x << "," << c.y;
    EXPECT_FALSE(Sys_WindowOnScreens(0, 0, 640, 480, {}));
}

TEST(DisplayChoices, PicturesFolderFromUserDirs)
{
    EXPECT_EQ(Sys_PicturesFromUserDirs("XDG_PICTURES_DIR=\"$HOME/Bilder\"\n", "/h"), "/h/Bilder");
    EXPECT_EQ(Sys_PicturesFromUserDirs("# x\nXDG_PICTURES_DIR=\"/srv/pics/\"\r\n", "/h"), "/srv/pics");
    for (const char *none : { "", "XDG_PICTURES_DIR=\"$HOME/\"\n", "XDG_PICTURES_DIR=Pictures\n",
                              "XDG_PICTURES_DIR=\"relative\"\n", "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n" })
        EXPECT_EQ(Sys_PicturesFromUserDirs(none, "/h"), "") << none;
    Sys_UseWorkingFolder();
    EXPECT_EQ(Sys_ScreenshotFolder(), "screenshots");
}

// Starts as the program does, with the given long options; what the window would open as.
bool StartWindowed(bool windowOption, bool fullscreenOption = false)
{
    Sys_ResetDisplayChoices();
    SysOptions options;
    options.windowed = windowOption;
    options.fullscreen = fullscreenOption;
    return !Sys_LoadDisplayChoices(options).fullscreen;
}

TEST(DisplayChoices, AChoiceComesBackAtTheNextStartAndNothingElseIsWritten)
{
    KxTempDir dir;
    Sys_UseWorkingFolder();
    EXPECT_FALSE(StartWindowed(false));
    Sys_FlushDisplayChoices();
    struct stat st;
    EXPECT_NE(stat(SYS_DISPLAY_FILE, &st), 0) << "nothing chosen, nothing written";

    Sys_ChooseFullscreen(false); // as Alt+Enter does
    EXPECT_TRUE(StartWindowed(false));
    Sys_ChooseFullscreen(true);
    EXPECT_FALSE(StartWindowed(false));
    EXPECT_TRUE(StartWindowed(true)); // the option wins and is kept
    EXPECT_TRUE(StartWindowed(false));
    EXPECT_FALSE(StartWindowed(false, true)); // and so does --fullscreen
    EXPECT_FALSE(StartWindowed(false));

    // A pad chosen is found again at the next start, and so is the keyboard; --no-rumble is kept
    // until --rumble.
    const uint8_t chosen[16] = { 0x03, 0, 0, 0, 0x5e, 0x04, 0, 0, 0x8e, 0x02, 0, 0, 0x14, 0x01, 0, 0 };
    uint8_t found[16];
    for (const uint8_t *pad : { chosen, (const uint8_t *)nullptr }) {
        Sys_RememberPad(1, pad);
        StartWindowed(false);
        EXPECT_EQ(Sys_RememberedPad(1, found), pad != nullptr);
        EXPECT_TRUE(!pad || memcmp(found, chosen, 16) == 0);
        EXPECT_FALSE(Sys_RememberedPad(0, found));
    }
    const struct {
        bool noRumble, rumble, on;
    } starts[] = { { false, false, true }, { true, false, false }, { false, false, false }, { false, true, true },
                   { false, false, true } };
    for (const auto &start : starts) {
        Sys_ResetDisplayChoices();
        SysOptions options;
        options.noRumble = start.noRumble;
        options.rumble = start.rumble;
        Sys_LoadDisplayChoices(options);
        EXPECT_EQ(Sys_RumbleOn(), start.on) << &start - starts;
    }

    // A file that cannot be read gives the defaults and is never replaced.
    unlink(SYS_DISPLAY_FILE);
    mkdir(SYS_DISPLAY_FILE, 0755);
    EXPECT_FALSE(StartWindowed(false));
    Sys_ChooseFullscreen(false);
    EXPECT_EQ(stat(SYS_DISPLAY_FILE, &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    Sys_ResetDisplayChoices();
}

} // namespace
