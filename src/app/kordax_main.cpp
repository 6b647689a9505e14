// Process entry: reads the run's options once, finds the game's files and display choices, sets the desktop, harness and journal up, runs WinMain.
#include "sys_display.h"
#include "sys_file.h"
#include "sys_harness.h"
#include "sys_journal.h"
#include "sys_report.h"
#include "sys_screenshot.h"
#include "sys_video.h"
#include "win_time.h"
#include "dd_log.h"
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

// The platform's warnings join the game's own lines once the log is open. Written as they come:
// they are said once already, and counting repeats would read the game's clock, which a replay
// must see asked exactly as it was when recorded.
static bool LogPlatformLine(const char *line)
{
    if (!ErrorLog)
        return false;
    fprintf(ErrorLog, "ErrorLog: %s\n", line);
    fflush(ErrorLog);
    return true;
}

int main(int argc, char **argv)
{
    std::string gameLine, error;
    SysOptions options;
    if (!Sys_ParseArgs(argc, argv, options, gameLine, error)) {
        fprintf(stderr, "kordax: %s\n%s", error.c_str(), Sys_Usage());
        return 2;
    }
    if (options.help || options.version) {
        fputs(options.help ? Sys_Help() : Sys_VersionLine(), stdout);
        return 0;
    }
    std::vector<SysScriptAction> actions;
    if (!options.script.empty()) {
        if (!Sys_LoadScript(options.script.c_str(), actions, error)) {
            fprintf(stderr, "kordax: %s\n", error.c_str());
            return 2;
        }
    }
    std::vector<std::string> messages;
    bool located = Sys_LocateFiles(Sys_ExecutablePath(argv[0]), messages);
    Sys_SetReportLog(LogPlatformLine);
    for (const std::string &m : messages)
        Sys_Warn("%s", m.c_str());
    if (!located)
        return 1;
    // A replay writes nothing of the player's, the display choices included: served from the start.
    if (!options.replay.empty())
        Sys_ServePlayerFiles(true);
    SysDisplayChoices display = Sys_LoadDisplayChoices(options);
    SysDesktopSetup desktop;
    desktop.headless = options.headless;
    desktop.windowed = !display.fullscreen;
    desktop.integerScale = display.integerScale;
    desktop.renderer = options.renderer != SysRenderer::AUTO ? options.renderer : display.renderer;
    Sys_SetupDesktop(desktop);
    Sys_SetKeyTaken(GameWantsKey);
    Sys_UseVirtualClock(options.headless);
    if (!options.replay.empty()) {
        std::string asked = gameLine;
        if (!Sys_StartPlayback(options.replay, !options.headless, gameLine, error)) {
            fprintf(stderr, "kordax: %s\n", error.c_str());
            return 1;
        }
        // Said on standard error only: a replay keeps no log, and a line logged would read the clock.
        if (!asked.empty())
            fprintf(stderr, "kordax: the replay uses the journal's own switches (%s), not \"%s\"\n",
                    gameLine.empty() ? "none" : ("\"" + gameLine + "\"").c_str(), asked.c_str());
    } else {
        // Installed, every run is kept among the last replays; in place only when asked.
        std::string record = options.record;
        if (record.empty() && !options.noRecord && !Sys_StateFolder().empty())
            record = Sys_NewReplayPath(Sys_StateFolder() + "/replays", 20);
        if (!record.empty() && !Sys_StartRecording(record, gameLine, error))
            Sys_Warn("%s", error.c_str());
    }
    Sys_StartScript(actions);
    if (options.showFps)
        DebugLevel = 1;
    int result = WinMain(nullptr, nullptr, const_cast<char *>(gameLine.c_str()), SW_SHOWDEFAULT);
    Sys_ScreenshotsDone(true);
    if (options.timedemo)
        Sys_ReportTimedemo();
    return Sys_FinishJournal(result, ScoreP1, ScoreP2);
}
