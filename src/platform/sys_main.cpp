// Process entry: reads the long options, sets the harness up and hands over to WinMain.
#include "sys_harness.h"
#include "win_time.h"
#include "kordax.h"

#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    std::string gameLine, error;
    if (!Sys_ParseArgs(argc, argv, gameLine, error)) {
        fprintf(stderr, "kordax: %s\n", error.c_str());
        fprintf(stderr, "usage: kordax [-2|-3|-4] [-f|-n] [--window] [--integer-scale] [--headless] [--script FILE] [--timedemo]\n");
        return 2;
    }
    std::vector<SysScriptAction> actions;
    if (!sys_options.script.empty()) {
        if (!Sys_LoadScript(sys_options.script.c_str(), actions, error)) {
            fprintf(stderr, "kordax: %s\n", error.c_str());
            return 2;
        }
    }
    Sys_UseVirtualClock(sys_options.headless);
    Sys_StartScript(actions);
    int result = WinMain(nullptr, nullptr, const_cast<char *>(gameLine.c_str()), SW_SHOWDEFAULT);
    if (sys_options.timedemo)
        Sys_ReportTimedemo();
    return result;
}
