// Process entry: reads the long options, finds the game's files, sets the harness up and hands over to WinMain.
#include "sys_file.h"
#include "sys_harness.h"
#include "win_time.h"
#include "kordax.h"

#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    std::string gameLine, error;
    if (!Sys_ParseArgs(argc, argv, gameLine, error)) {
        fprintf(stderr, "kordax: %s\n%s", error.c_str(), Sys_Usage());
        return 2;
    }
    if (sys_options.help || sys_options.version) {
        fputs(sys_options.help ? Sys_Help() : Sys_VersionLine(), stdout);
        return 0;
    }
    std::vector<SysScriptAction> actions;
    if (!sys_options.script.empty()) {
        if (!Sys_LoadScript(sys_options.script.c_str(), actions, error)) {
            fprintf(stderr, "kordax: %s\n", error.c_str());
            return 2;
        }
    }
    std::vector<std::string> messages;
    bool located = Sys_LocateFiles(Sys_ExecutablePath(argv[0]), messages);
    for (const std::string &m : messages)
        fprintf(stderr, "kordax: %s\n", m.c_str());
    if (!located)
        return 1;
    Sys_UseVirtualClock(sys_options.headless);
    Sys_StartScript(actions);
    int result = WinMain(nullptr, nullptr, const_cast<char *>(gameLine.c_str()), SW_SHOWDEFAULT);
    if (sys_options.timedemo)
        Sys_ReportTimedemo();
    return result;
}
