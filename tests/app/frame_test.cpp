// The command line, the quantised update time, the minimum frame and the refresh measurement.
#include "dd_log.h"
#include "kordax.h"
#include "kx_test.h"
#include "win_time.h"

#include <gtest/gtest.h>

namespace {

std::string LogOf(const char *line)
{
    KxTempDir dir;
    DDOpenErrorLog();
    KX_ReadCommandLine(line);
    DDCloseErrorLog();
    return KxReadFile("dderrors.log");
}

void ResetFrame()
{
    FirstFrame = true;
    DeterminedRefresh = 0;
    QuantizeFactor = 1;
    Frame = 0;
    MinTime = 1000;
    MaxTime = 0;
    FPS = MeanTime = DMinTime = DMaxTime = 0;
}

} // namespace

TEST(CommandLine, SwitchesAndWhereReadingStops)
{
    EXPECT_EQ(LogOf(""), "");
    EXPECT_EQ(ScreenDepthRequest, 32);
    EXPECT_EQ(LightingRequest, 0);
    EXPECT_EQ(LogOf("x -2"), "");
    EXPECT_EQ(ScreenDepthRequest, 32);

    EXPECT_EQ(LogOf("-2 -n"), "ErrorLog: 16 BPP mode selected\nErrorLog: Lighting = off\n");
    EXPECT_EQ(ScreenDepthRequest, 16);
    EXPECT_EQ(LightingRequest, 2);

    EXPECT_EQ(LogOf("-2n"), "ErrorLog: 16 BPP mode selected\n");
    EXPECT_EQ(LightingRequest, 0);

    EXPECT_EQ(LogOf("-n x -2"), "ErrorLog: Lighting = off\n");
    EXPECT_EQ(ScreenDepthRequest, 32);

    LogOf("-3 -f -4 -q -n");
    EXPECT_EQ(ScreenDepthRequest, 32);
    EXPECT_EQ(LightingRequest, 2);
    LogOf("-3   -f");
    EXPECT_EQ(ScreenDepthRequest, 24);
    EXPECT_EQ(LightingRequest, 1);
    LogOf("-");
    EXPECT_EQ(ScreenDepthRequest, 32);
}

TEST(UpdateTime, QuantisesAndStaysNearTheFrameClock)
{
    QuantizeFactor = 16;
    FrameTime = 100000;
    UpdateTime = 100000 - 16;
    DeltaTime = 33;
    EXPECT_EQ(KX_AdvanceUpdateTime(), 32);
    DeltaTime = 10;
    UpdateTime = FrameTime - 16;
    EXPECT_EQ(KX_AdvanceUpdateTime(), 16);
    EXPECT_EQ(DeltaTime, 16);

    // After the move: 1010 stays and creeps to 1009, 1020 and 995 snap to 1000.
    FrameTime = 1000;
    struct { DWORD before; DWORD after; } cases[] = { { 994, 1009 }, { 1004, 1000 }, { 979, 1000 } };
    for (auto c : cases) {
        UpdateTime = c.before;
        DeltaTime = 16;
        KX_AdvanceUpdateTime();
        EXPECT_EQ(UpdateTime, c.after) << c.before;
    }
}

TEST(FrameLength, ShortFramesSleepToTenMilliseconds)
{
    ResetFrame();
    Sys_UseVirtualClock(true);
    Sys_SetClock(5000);
    FirstFrame = false;
    LastFrameTime = 5000;
    LastFPSTime = 5000;
    Sys_AdvanceClock(4);
    KX_EndFrame();
    EXPECT_EQ(LastFrameTime, 5004u); // the reading before the sleep
    EXPECT_EQ(FrameTime, 5010u);
    EXPECT_EQ(DeltaTime, 6);
    EXPECT_EQ(GetClock(), 5010u);
    Sys_AdvanceClock(12);
    KX_EndFrame();
    EXPECT_EQ(DeltaTime, 18); // measured from the reading before the sleep
    EXPECT_EQ(FrameTime, 5022u);
    Sys_UseVirtualClock(false);
}

TEST(FrameLength, TwoMeasuringWindowsSetTheQuantum)
{
    KxTempDir dir;
    DDOpenErrorLog();
    ResetFrame();
    Sys_UseVirtualClock(true);
    Sys_SetClock(0);
    FrameTime = LastFrameTime = LastFPSTime = 0;
    for (int i = 0; i < 200 && DeterminedRefresh < 2; i++) {
        Sys_AdvanceClock(16);
        KX_EndFrame();
    }
    EXPECT_EQ(DeterminedRefresh, 2);
    EXPECT_EQ(QuantizeFactor, 16);
    EXPECT_EQ(MeanTime, 16);
    EXPECT_EQ(DMinTime, 16);
    DDCloseErrorLog();
    std::string log = KxReadFile("dderrors.log");
    size_t first = log.find("Refresh rate determined: ");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(log.find("Refresh rate determined: ", first + 1), std::string::npos);
    EXPECT_NE(log.find("(16 ms)"), std::string::npos);
    Sys_UseVirtualClock(false);
}
