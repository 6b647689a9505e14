// The diagnostic log, the failure check, result names and the timer resolution.
#include "dd_log.h"
#include "kx_test.h"
#include "win_ddraw.h"
#include "win_time.h"

#include <gtest/gtest.h>

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
