// Run options of the executable: headless runs, input scripts, time demos, windowed mode.
#pragma once

#include "sys_display.h"
#include "sys_source.h"

#include <string>
#include <vector>

struct SysScriptAction {
    unsigned ms;
    enum Kind { PRESS, DOWN, UP, SHOT, QUIT, PAD_CONNECT, PAD_DISCONNECT, PAD_PRESS, PAD_DOWN, PAD_UP, PAD_AXIS } kind;
    int vk;
    std::string name; // a shot's file, a pad's name
    int pad = 0;      // pad lines: 1 to SYS_SCRIPT_PADS
    int control = 0;  // a pad's button or axis, as the harness numbers them
    int value = 0;    // an axis's, -32768..32767
};
enum { SYS_SCRIPT_PADS = 4 };

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
    bool noRumble = false; // said on the command line: pads do not rumble (remembered)
    bool rumble = false;   // said on the command line, against a remembered --no-rumble
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

// Reads a script file; false with the offending line named in error (one that cannot be read, one
// earlier in time than the action before it, a pad line for a pad not connected there, the
// connection of a pad connected already).
bool Sys_LoadScript(const char *path, std::vector<SysScriptAction> &actions, std::string &error);
// The same over a script's text; name is the file's, for error.
bool Sys_ParseScript(const std::string &text, const std::string &name, std::vector<SysScriptAction> &actions,
                     std::string &error);
bool Sys_ParseScriptLine(const std::string &line, SysScriptAction &action, bool &isAction);

// Starts feeding the loaded script; actions fall due as the clock passes their time.
void Sys_StartScript(const std::vector<SysScriptAction> &actions);
// Whether the script started has pad lines: then its pads are the only ones a run sees.
bool Sys_ScriptHasPads();
// The device number the script's pad (1 to SYS_SCRIPT_PADS) is plugged as now (the fake's, for
// Sys_FakeRumbles and the like); -1 while it is not connected.
int Sys_ScriptPadDevice(int pad);

// Where the script's pads are plugged (the fake joysticks): handed over by the layer that holds
// them, which the services cannot reach themselves.
struct SysScriptPads {
    int (*plug)(const char *name, SysPadStyle style); // a new device: its number
    int (*replug)(int device);                        // the same device connected again: its new number
    void (*unplug)(int device);
    void (*set)(int device, const SysJoystickInput &input);
};
// Called while events are drained: the next action fallen due as an event (shots are taken and pad
// buttons and axes set on the way; a pad connected or disconnected is JOYSTICKS_CHANGED); false once
// none is due. A pad's press lets go at the first drain with a later clock.
bool Sys_NextScriptEvent(unsigned now, SysEvent &e, const SysScriptPads *pads = nullptr);

