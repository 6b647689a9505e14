// The platform's warnings: once on standard error at once, once in the log as soon as it takes them, never more.
#include "sys_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> logged;
bool logOpen = false;

bool Log(const char *line)
{
    if (!logOpen)
        return false;
    logged.push_back(line);
    return true;
}

TEST(Report, AWarningReachesStderrAtOnceAndTheLogOnceItOpens)
{
    logged.clear();
    logOpen = false;
    Sys_SetReportLog(Log);
    bool said = false;
    testing::internal::CaptureStderr();
    Sys_Warn("cannot open %s (%d)", "x", 5);
    Sys_WarnOnce(said, "device lost");
    Sys_WarnOnce(said, "device lost");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "kordax: cannot open x (5)\nkordax: device lost\n");
    EXPECT_TRUE(logged.empty()) << "the log is not open yet";

    logOpen = true;
    Sys_FlushReports();
    Sys_FlushReports();
    EXPECT_EQ(logged, (std::vector<std::string>{ "cannot open x (5)", "device lost" }));

    // A log that never opens holds a bounded number of lines, the first ones.
    logged.clear();
    logOpen = false;
    testing::internal::CaptureStderr();
    for (int i = 0; i < 200; i++)
        Sys_Warn("line %d", i);
    testing::internal::GetCapturedStderr();
    logOpen = true;
    Sys_FlushReports();
    ASSERT_FALSE(logged.empty());
    EXPECT_LT(logged.size(), 200u);
    EXPECT_EQ(logged.front(), "line 0");
    Sys_SetReportLog(nullptr);
}

} // namespace
