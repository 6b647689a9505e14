// Run options of the executable: headless runs, input scripts, time demos, windowed mode.
#pragma once

#include "sys_display.h"

#include <string>
#include <vector>

struct SysScriptAction {
    unsigned ms;
    enum Kind { PRESS, DOWN, UP, SHOT, QUIT } kind;
    int vk;
    std::string name;
};

struct SysOptions {
    bool headless = false;
    bool windowed = false;
    bool timedemo = false;
    bool integerScale = false; // whole multiples only when enlarging the picture
    bool fullscreen = false;   // said on the command line, against a remembered window
    bool noIntegerScale = false;  // said on the command line, against remembered whole multiples
    bool help = false;    // print the help and leave
    bool version = false; // print the version and leave
    bool noRecord = false; // installed: do not keep this run among the replays
    bool showFps = false;  // start with the frame statistics shown
    SysRenderer renderer = SysRenderer::AUTO; // --renderer: this run only, over the display choices
    std::string script;
    std::string record; // journal this run into this file
    std::string replay; // play this journal back
};

// Splits argv into the game's own command line (its switches, which come first) and the run's
// options, read once here. Returns false with a message in error for an unknown or incomplete option.
bool Sys_ParseArgs(int argc, char **argv, SysOptions &options, std::string &gameCommandLine, std::string &error);
// The usage lines shown with a bad option, and the whole help that --help prints.
const char *Sys_Usage();
const char *Sys_Help();
// "kordax <version>".
const char *Sys_VersionLine();

// Reads a script file; false with the offending line named in error (one that cannot be read, or
// one earlier in time than the action before it).
bool Sys_LoadScript(const char *path, std::vector<SysScriptAction> &actions, std::string &error);
bool Sys_ParseScriptLine(const std::string &line, SysScriptAction &action, bool &isAction);

// Starts feeding the loaded script; actions fall due as the clock passes their time.
void Sys_StartScript(const std::vector<SysScriptAction> &actions);
struct SysEvent;
// Called while events are drained: the next action fallen due as an event (shots are taken on
// the way); false once none is due.
bool Sys_NextScriptEvent(unsigned now, SysEvent &e);

