// Process entry: reads the long options, finds the game's files and display choices, sets the harness and journal up, runs WinMain.
#include "sys_display.h"
#include "sys_file.h"
#include "sys_harness.h"
#include "sys_journal.h"
#include "sys_screenshot.h"
#include "win_time.h"
#include "kordax.h"
#include "dd_input.h"
#include "kx_state_options.h"
#include "kx_world.h"

#include <algorithm>
#include <cstdio>
#include <vector>

// A key the game wants: one of the players' keys, or any key while the title's key screen waits for one.
static bool GameWantsKey(int vk)
{
    auto has = [vk](const int *keys) { return std::find(keys, keys + DDINPUT_NUM_ACTIONS, vk) != keys + DDINPUT_NUM_ACTIONS; };
    return (ShowingInput && InputWaitingKey) || has(P1InputKeys) || has(P2InputKeys);
}

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
    Sys_LoadDisplayChoices();
    Sys_SetKeyTaken(GameWantsKey);
    Sys_UseVirtualClock(sys_options.headless);
    if (!sys_options.replay.empty()) {
        if (!Sys_StartPlayback(sys_options.replay, !sys_options.headless, gameLine, error)) {
            fprintf(stderr, "kordax: %s\n", error.c_str());
            return 1;
        }
    } else {
        // Installed, every run is kept among the last replays; in place only when asked.
        std::string record = sys_options.record;
        if (record.empty() && !sys_options.noRecord && !Sys_StateFolder().empty())
            record = Sys_NewReplayPath(Sys_StateFolder() + "/replays", 20);
        if (!record.empty() && !Sys_StartRecording(record, gameLine, error))
            fprintf(stderr, "kordax: %s\n", error.c_str());
    }
    Sys_StartScript(actions);
    if (sys_options.showFps)
        DebugLevel = 1;
    int result = WinMain(nullptr, nullptr, const_cast<char *>(gameLine.c_str()), SW_SHOWDEFAULT);
    if (sys_options.timedemo)
        Sys_ReportTimedemo();
    return Sys_FinishJournal(result, ScoreP1, ScoreP2);
}
