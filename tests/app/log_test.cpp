// The diagnostic log, the failure check, result names and the timer resolution.
#include "dd_log.h"
#include "kx_test.h"
#include "win_ddraw.h"
#include "win_time.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>
#include <vector>

TEST(Log, LinesAndFailureChecks)
{
    KxTempDir dir;
    KxWriteFile("dderrors.log", "an earlier run\n");
    DDOpenErrorLog();
    DDOpenErrorLog(); // already open: nothing happens
    DDErrorLog("hello");
    EXPECT_FALSE(DDFailCheck(0, "fine"));
    EXPECT_FALSE(DDFailCheck(5, "fine too"));
    EXPECT_TRUE(DDFailCheck(DDERR_SURFACELOST, "Lock"));
    EXPECT_EQ(KxReadFile("dderrors.log"), "ErrorLog: hello\nLock (DDERR_SURFACELOST)\n"); // flushed at once
    DDCloseErrorLog();
    EXPECT_TRUE(DDFailCheck(E_FAIL, "closed"));
    DDErrorLog("not written");
    EXPECT_EQ(KxReadFile("dderrors.log"), "ErrorLog: hello\nLock (DDERR_SURFACELOST)\n");
}

TEST(Log, ResultNames)
{
    EXPECT_EQ(DDErrorCount(), 100);
    EXPECT_STREQ(DDErrorString(0x80004005), "DDERR_GENERIC");
    EXPECT_STREQ(DDErrorString(0), "UNKNOWN ERROR");
    EXPECT_STREQ(DDErrorString((long)0x887601C2), "DDERR_SURFACELOST");
    EXPECT_STREQ(DDErrorString((long)0x88760001), "UNKNOWN ERROR");
    EXPECT_STREQ(DDErrorString((long)0x887602A8), "DDERR_NOTPAGELOCKED");
    EXPECT_STREQ(DDErrorString(-1), "UNKNOWN ERROR");
}

TEST(Log, TimerResolutionWithinTheCapabilities)
{
    KxTempDir dir;
    DDOpenErrorLog();
    Sys_SetTimerCaps(true, 0, 1000);
    DDSetTimerResolution();
    EXPECT_EQ(TimerRes, 1u);
    EXPECT_EQ(Sys_TimerPeriod(), 1u);
    DDEndTimerResolution();
    EXPECT_EQ(Sys_TimerPeriod(), 0u);
    EXPECT_FALSE(TimerResSet);
    Sys_SetTimerCaps(true, 5, 3);
    DDSetTimerResolution();
    EXPECT_EQ(TimerRes, 3u);
    DDEndTimerResolution();
    Sys_SetTimerCaps(false, 1, 1000);
    DDSetTimerResolution();
    EXPECT_FALSE(TimerResSet);
    Sys_SetTimerCaps(true, 1, 1000000);
    DDCloseErrorLog();
    EXPECT_NE(KxReadFile("dderrors.log").find("ErrorLog: Couldn't get time device caps\n"), std::string::npos);
}

namespace {
struct RepeatCase {
    const char *name;
    std::vector<const char *> cycle; // logged in turn, rounds times
    int rounds;
    int written;                     // lines of the cycle written out (not counted)
};
} // namespace

// A line that keeps coming back is written ten times, then counted; the count is summarised at
// most once a minute and when the log closes. Lines that come a few times are untouched.
TEST(Log, RepeatedLinesAreCounted)
{
    const RepeatCase cases[] = {
        { "in a row", { "Error: draw" }, 500, 10 },
        { "alternating", { "Error: a", "Error: b" }, 300, 20 },
        { "a few times", { "Refresh rate: 60", "Another" }, 10, 20 },
    };
    Sys_UseVirtualClock(true);
    for (const RepeatCase &c : cases) {
        SCOPED_TRACE(c.name);
        KxTempDir dir;
        Sys_SetClock(1000);
        DDOpenErrorLog();
        for (int i = 0; i < c.rounds; i++)
            for (const char *line : c.cycle)
                DDErrorLog(line);
        std::string text = KxReadFile("dderrors.log");
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), c.written);
        EXPECT_EQ(text.find("repeated"), std::string::npos); // not before a minute has passed
        Sys_AdvanceClock(60000);
        DDErrorLog(c.cycle[0]); // counted, and brings the summary out
        DDErrorLog(c.cycle[0]); // counted after it
        DDCloseErrorLog();
        text = KxReadFile("dderrors.log");
        // Held copies are summarised by the first line after the minute; the two lines after that
        // are counted too (every cycle line is past its ten copies) and summarised at close.
        int held = c.rounds > 10 ? c.rounds - 10 : 0;
        for (const char *line : c.cycle)
            if (held) {
                EXPECT_NE(text.find("ErrorLog: last message repeated " + std::to_string(held) + " times: " +
                                    line + "\n"),
                          std::string::npos)
                    << text;
            }
        std::string closing = "ErrorLog: last message repeated 2 times: " + std::string(c.cycle[0]) + "\n";
        EXPECT_EQ(text.substr(text.size() - closing.size()), closing);
        EXPECT_LT(text.size(), 2000u);
    }
    Sys_UseVirtualClock(false);
}

TEST(Log, ReadLinesAreEscapedAndFilesNamed)
{
    KxTempDir dir;
    KxWriteFile("damaged.txt", "x");
    mkdir("folder", 0755);
    DDOpenErrorLog();
    DDErrorLogRead("tab\there \x7f\x80 end\r\n");
    DDLogFile("gfx\\nothing.bmp");
    DDLogFile("folder");
    DDLogFile("damaged.txt");
    DDLogFile("damaged.txt", 0);
    DDCloseErrorLog();
    EXPECT_EQ(KxReadFile("dderrors.log"), "ErrorLog: tab\\x09here \\x7F\\x80 end\n"
                                          "ErrorLog:   file: gfx\\nothing.bmp (missing)\n"
                                          "ErrorLog:   file: folder (a folder)\n"
                                          "ErrorLog:   file: damaged.txt (damaged)\n"
                                          "ErrorLog:   file: damaged.txt (too large)\n");
}
