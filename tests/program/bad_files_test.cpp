// Whole runs with the player's files or the game's own gone wrong: nothing lost, nothing locked.
#include "kx_run.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

// The run folder's data as links, one per file, so a test can take files away or replace them.
void LinkData()
{
    std::string cmd = std::string("cp -rs '") + KORDAX_RUN_DIR + "/gfx' '" + KORDAX_RUN_DIR + "/sound' .";
    ASSERT_EQ(system(cmd.c_str()), 0);
}

std::string Line(const std::string &text, int number)
{
    size_t at = 0;
    for (int i = 1; i < number && at != std::string::npos; i++)
        at = text.find('\n', at) == std::string::npos ? std::string::npos : text.find('\n', at) + 1;
    return at == std::string::npos ? "" : text.substr(at, text.find('\n', at) - at);
}

// Return once the title shows (keys before it are ignored), then fire held through the ready banner.
const char StartGameHoldingFire[] = "9000 press 13\n11000 down 32\n14000 up 32\n15000 quit\n";
const std::string P2Custom = "[P2_INPUT]\n1\n2\n3\n4\n5\n6\n7\n8\n";

struct IniRun {
    const char *name;
    std::string fireLine; // player 1's seventh key line
    const char *script;
    int line;             // a line of the file written at exit
    const char *expect;
};

} // namespace

// A bad key line costs that one key: the game can still be started with the default fire key,
// and player 2's keys, read after it, are written back unchanged.
TEST(BadFiles, BadKeyLinesLoseOnlyThatKey)
{
    const IniRun runs[] = {
        { "no number", "abc", StartGameHoldingFire, 9, "32" },
        { "999", "999", "3000 quit\n", 9, "32" },
    };
    for (const IniRun &run : runs) {
        SCOPED_TRACE(run.name);
        KxTempDir dir;
        KxWriteFile("kordax.ini", "[KORDAX]\n[P1_INPUT]\n65\n68\n87\n88\n69\n90\n" + run.fireLine + "\n9\n" + P2Custom +
                                      "[END_KORDAX]\n");
        KxRun r = KxRunGame(run.script);
        EXPECT_EQ(r.exitCode, 0) << r.out;
        std::string ini = KxReadFile("kordax.ini");
        EXPECT_EQ(Line(ini, run.line), run.expect) << ini;
        EXPECT_NE(ini.find(P2Custom), std::string::npos) << ini;
        EXPECT_NE(r.log.find("[P1_INPUT]"), std::string::npos) << r.log;
    }
}

TEST(BadFiles, MissingFontKeepsTheLogSmall)
{
    KxTempDir dir;
    LinkData();
    ASSERT_EQ(unlink("gfx/kx_font1.txt"), 0);
    KxRun r = KxRunGame("60000 quit\n");
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_LT(r.log.size(), 200u * 1024);
    EXPECT_NE(r.log.find("ErrorLog: Error: Failed to open font metrics\nErrorLog:   file: gfx\\kx_font1.txt (missing)\n"),
              std::string::npos)
        << r.log.substr(0, 4000);
    EXPECT_NE(r.log.find("last message repeated"), std::string::npos);
}

TEST(BadFiles, HugeSplashIsRefusedUnreadAndMissingMusicIsNamed)
{
    KxTempDir dir;
    LinkData();
    ASSERT_EQ(unlink("gfx/splash640x480.bmp"), 0);
    KxWriteFile("gfx/splash640x480.bmp", "BM");
    ASSERT_EQ(truncate("gfx/splash640x480.bmp", 40LL << 30), 0); // sparse: no disk used
    ASSERT_EQ(unlink("sound/cyberloop.ogg"), 0);
    KxRun r = KxRunGame(StartGameHoldingFire);
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.log.find("ErrorLog: Couldn't open bitmap file\nErrorLog: gfx\\splash640x480.bmp\n"
                         "ErrorLog:   file: gfx\\splash640x480.bmp (too large)\n"),
              std::string::npos)
        << r.log;
    EXPECT_NE(r.log.find("ErrorLog: LoadMusic failed\nErrorLog:   file: sound\\cyberloop.ogg (missing)\n"),
              std::string::npos)
        << r.log;
}

// A game file that stops the start-up is named on screen (stderr when headless), with the log.
TEST(BadFiles, StartUpFailureSaysWhichFileAndWhereToLook)
{
    KxTempDir dir;
    LinkData();
    ASSERT_EQ(unlink("gfx/ammonite.txt"), 0);
    KxRun r = KxRunGame("20000 quit\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("File: gfx\\ammonite.txt (missing)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"dderrors.log\""), std::string::npos) << r.out;
}
