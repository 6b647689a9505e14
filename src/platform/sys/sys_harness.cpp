// Long options and input scripts for unattended runs.
#include "sys_harness.h"
#include "sys_png.h"
#include "sys_report.h"
#include "sys_source.h"
#include "sys_util.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cerrno>
#include <sstream>

static const size_t MaxScriptBytes = 16u << 20;

static std::vector<SysScriptAction> script;
static size_t nextAction = 0;
static bool draining = false; // between a drain's first call and the one that finds nothing due
static bool hasPads = false;

// A scripted pad as the script has left it.
struct ScriptPad {
    bool connected = false;
    int device = -1; // the holder's number for it; kept while disconnected, to bring the same device back
    SysJoystickInput input = {};
    uint32_t pressed = 0; // buttons (PadButtons bits) pressed for a frame
    unsigned pressedAt = 0;
};
static ScriptPad pads[SYS_SCRIPT_PADS];

// "--name FILE" or "--name=FILE": true when arg is this option (error set if the file is missing).
static bool FileOption(const std::string &arg, const char *name, int argc, char **argv, int &i, std::string &value,
                       std::string &error)
{
    size_t n = strlen(name);
    if (arg == name) {
        if (i + 1 >= argc)
            error = std::string(name) + " needs a file name";
        else
            value = argv[++i];
        return true;
    }
    if (arg.compare(0, n, name) == 0 && arg.size() > n && arg[n] == '=') {
        value = arg.substr(n + 1);
        return true;
    }
    return false;
}

bool Sys_ParseArgs(int argc, char **argv, SysOptions &options, std::string &gameCommandLine, std::string &error)
{
    options = SysOptions();
    gameCommandLine.clear();
    int i = 1;
    for (; i < argc && strncmp(argv[i], "--", 2) != 0; i++) {
        if (!gameCommandLine.empty())
            gameCommandLine += ' ';
        gameCommandLine += argv[i];
    }
    for (; i < argc; i++) {
        std::string arg = argv[i];
        if (arg == "--headless") {
            options.headless = true;
        } else if (arg == "--window" || arg == "--fullscreen") {
            options.windowed = arg == "--window";
            options.fullscreen = !options.windowed;
        } else if (arg == "--integer-scale" || arg == "--no-integer-scale") {
            options.integerScale = arg == "--integer-scale";
            options.noIntegerScale = !options.integerScale;
        } else if (arg == "--rumble" || arg == "--no-rumble") {
            options.rumble = arg == "--rumble";
            options.noRumble = !options.rumble;
        } else if (arg == "--timedemo") {
            options.timedemo = true;
        } else if (arg == "--help") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--no-record") {
            options.noRecord = true;
        } else if (arg == "--show-fps") {
            options.showFps = true;
        } else if (arg.compare(0, 11, "--renderer=") == 0) {
            if (!Sys_ParseRenderer(arg.substr(11), options.renderer)) {
                error = "unknown renderer '" + Sys_Escape(arg.substr(11), 40) + "' (gl, software or auto)";
                return false;
            }
        } else if (FileOption(arg, "--script", argc, argv, i, options.script, error) ||
                   FileOption(arg, "--record", argc, argv, i, options.record, error) ||
                   FileOption(arg, "--replay", argc, argv, i, options.replay, error)) {
            if (!error.empty())
                return false;
        } else {
            error = "unknown option '" + arg + "' (the game's own switches come first)";
            return false;
        }
    }
    if (!options.replay.empty() && (!options.script.empty() || !options.record.empty())) {
        error = "--replay plays a journal alone: it takes neither --script nor --record";
        return false;
    }
    return true;
}

const char *Sys_Usage()
{
    return "usage: kordax [-2|-3|-4] [-f|-n] [--window|--fullscreen] [--integer-scale|--no-integer-scale]\n"
           "              [--headless] [--script FILE] [--timedemo] [--record FILE | --no-record] [--show-fps]\n"
           "              [--renderer=gl|software] [--rumble|--no-rumble]\n"
           "       kordax [--window | --headless] [--timedemo] --replay FILE\n"
           "       kordax --help | --version\n";
}

const char *Sys_Help()
{
    static const std::string help = std::string(Sys_Usage()) +
        "\n"
        "Kordax, a 2D arcade shooter for one or two players.\n"
        "\n"
        "The game's own switches come first:\n"
        "  -2, -3, -4        draw at 16, 24 or 32 bits per pixel (32 is the default)\n"
        "  -f                fast dynamic lighting (flat lights, no bump mapping of the moving lights)\n"
        "  -n                no dynamic lighting\n"
        "Then the long options:\n"
        "  --window          start in a window instead of full screen\n"
        "  --fullscreen      start full screen (the default, until --window or Alt+Enter is remembered)\n"
        "  --integer-scale   scale by whole multiples only\n"
        "  --no-integer-scale  fill the screen's limiting side (the default, until --integer-scale is remembered)\n"
        "  --headless        no window and no sound; a virtual clock that advances 16 ms a frame\n"
        "  --script FILE     feed input from FILE, one action a line (keys, shots, pads: see kordax(6))\n"
        "  --timedemo        print the frames drawn and the frames per second at exit\n"
        "  --record FILE     record this run into FILE, to be played back with --replay\n"
        "  --replay FILE     play a recorded run back (at its own pace, or as fast as possible with\n"
        "                    --headless) and check that it comes out the same; Escape stops it\n"
        "  --no-record       installed, do not keep this run among the last 20 replays\n"
        "  --show-fps        show the frame statistics from the start\n"
        "  --renderer=gl|software  present through GL or SDL's software renderer (chosen by the GPU\n"
        "                    unless said here or as renderer = in kordax-display.ini)\n"
        "  --no-rumble       pads do not rumble; --rumble lets them again (the default)\n"
        "  --help            print this help and exit\n"
        "  --version         print the version and exit\n"
        "\n"
        "Run from a folder that holds gfx/, the game reads and writes there. Otherwise it reads its\n"
        "data from ../share/kordax beside the program and keeps kordax.ini in $XDG_CONFIG_HOME/kordax,\n"
        "kx_scores.dat in $XDG_DATA_HOME/kordax and dderrors.log in $XDG_STATE_HOME/kordax; the last 20\n"
        "runs are kept as replays in $XDG_STATE_HOME/kordax/replays.\n"
        "--window, --fullscreen, the scaling and rumble options, Alt+Enter, the window's size and place\n"
        "and the pads the players chose are remembered in kordax-display.ini beside kordax.ini; pad\n"
        "mappings of your own go into gamecontrollerdb.txt there. F12 saves a screenshot into\n"
        "screenshots/ (in place) or kordax/ in the pictures folder.\n";
    return help.c_str();
}

const char *Sys_VersionLine()
{
    static const std::string line = std::string("kordax ") + Sys_Version() + "\n";
    return line.c_str();
}

// A scripted pad's buttons by SDL's controller names: a mapped pad's button bit, or a d-pad
// direction on its first hat.
static const struct {
    const char *name;
    int button; // -1: a d-pad direction
    BYTE hat;
} PadButtons[] = {
    { "a", SYS_PAD_A, 0 },
    { "b", SYS_PAD_B, 0 },
    { "x", SYS_PAD_X, 0 },
    { "y", SYS_PAD_Y, 0 },
    { "back", SYS_PAD_BACK, 0 },
    { "guide", SYS_PAD_GUIDE, 0 },
    { "start", SYS_PAD_START, 0 },
    { "leftstick", SYS_PAD_LEFTSTICK, 0 },
    { "rightstick", SYS_PAD_RIGHTSTICK, 0 },
    { "leftshoulder", SYS_PAD_LEFTSHOULDER, 0 },
    { "rightshoulder", SYS_PAD_RIGHTSHOULDER, 0 },
    { "dpup", -1, SYS_HAT_UP },
    { "dpdown", -1, SYS_HAT_DOWN },
    { "dpleft", -1, SYS_HAT_LEFT },
    { "dpright", -1, SYS_HAT_RIGHT },
};
// Its axes, in the places a mapped pad's are read into.
static const char *const PadAxes[] = { "leftx", "lefty", "lefttrigger", "rightx", "righty", "righttrigger" };
static const char *const DefaultPadName = "Scripted Pad";

static int FindAxis(const std::string &word)
{
    for (size_t i = 0; i < sizeof PadAxes / sizeof PadAxes[0]; i++)
        if (word == PadAxes[i])
            return (int)i;
    return -1;
}

static int FindButton(const std::string &word)
{
    for (size_t i = 0; i < sizeof PadButtons / sizeof PadButtons[0]; i++)
        if (word == PadButtons[i].name)
            return (int)i;
    return -1;
}

static bool ReadLong(const std::string &word, long low, long high, long &out)
{
    char *end;
    errno = 0;
    out = strtol(word.c_str(), &end, 10);
    return !word.empty() && *end == '\0' && errno == 0 && out >= low && out <= high;
}

// "N connect [NAME]", "N disconnect", "N press|down|up BUTTON", "N axis AXIS VALUE".
static bool ParsePadLine(const std::string &rest, SysScriptAction &action)
{
    std::istringstream in(rest);
    std::string number, op, first, second, extra;
    long pad;
    if (!(in >> number >> op) || !ReadLong(number, 1, SYS_SCRIPT_PADS, pad))
        return false;
    action.pad = (int)pad;
    if (op == "connect") {
        std::string name;
        std::getline(in, name);
        name = Sys_Trim(name);
        action.name = name.empty() ? DefaultPadName : name;
        action.kind = SysScriptAction::PAD_CONNECT;
        return true;
    }
    in >> first >> second >> extra;
    if (op == "disconnect") {
        action.kind = SysScriptAction::PAD_DISCONNECT;
        return first.empty();
    }
    if (op == "press" || op == "down" || op == "up") {
        action.kind = op == "press" ? SysScriptAction::PAD_PRESS : op == "down" ? SysScriptAction::PAD_DOWN : SysScriptAction::PAD_UP;
        action.control = FindButton(first);
        return action.control >= 0 && second.empty();
    }
    long value;
    if (op == "axis" && ReadLong(second, -32768, 32767, value)) {
        action.kind = SysScriptAction::PAD_AXIS;
        action.control = FindAxis(first);
        action.value = (int)value;
        return action.control >= 0 && extra.empty();
    }
    return false;
}

bool Sys_ParseScriptLine(const std::string &line, SysScriptAction &action, bool &isAction)
{
    isAction = false;
    size_t start = line.find_first_not_of(" \t\r");
    if (start == std::string::npos || line[start] == '#')
        return true;
    char word[32], extra[2];
    char arg[512];
    unsigned long ms;
    int used = 0;
    arg[0] = '\0';
    // The clock wraps at 2^32 ms and due times are compared across half of it: a later time would fall due at once.
    if (sscanf(line.c_str() + start, "%lu %31s%n", &ms, word, &used) != 2 || ms > 0x7FFFFFFFul)
        return false;
    action = SysScriptAction();
    action.ms = (unsigned)ms;
    std::string w = word;
    if (w == "pad") {
        if (!ParsePadLine(line.substr(start + used), action))
            return false;
        isAction = true;
        return true;
    }
    int n = sscanf(line.c_str() + start, "%lu %31s %511s %1s", &ms, word, arg, extra);
    if (n < 2 || n > 3)
        return false;
    if (w == "press" || w == "down" || w == "up") {
        if (n != 3)
            return false;
        char *end;
        long vk = strtol(arg, &end, 0);
        if (*end != '\0' || vk < 1 || vk > 255)
            return false;
        action.vk = (int)vk;
        action.kind = w == "press" ? SysScriptAction::PRESS : w == "down" ? SysScriptAction::DOWN : SysScriptAction::UP;
    } else if (w == "shot") {
        if (n != 3)
            return false;
        action.kind = SysScriptAction::SHOT;
        action.name = arg;
    } else if (w == "quit") {
        if (n != 2)
            return false;
        action.kind = SysScriptAction::QUIT;
    } else {
        return false;
    }
    isAction = true;
    return true;
}

bool Sys_LoadScript(const char *path, std::vector<SysScriptAction> &actions, std::string &error)
{
    actions.clear();
    FILE *f = fopen(path, "rb");
    if (!f) {
        error = std::string("cannot open script ") + path + " (" + strerror(errno) + ")";
        return false;
    }
    // A folder opens, and reading it fails: refused, not read as an empty script that never ends.
    std::string text;
    bool tooLarge;
    errno = 0;
    bool read = Sys_ReadAll(f, MaxScriptBytes, text, tooLarge);
    int readError = errno;
    fclose(f);
    if (!read) {
        error = std::string(path) + ":1: cannot read script (" + (tooLarge ? "too large" : strerror(readError)) + ")";
        return false;
    }
    return Sys_ParseScript(text, path, actions, error);
}

bool Sys_ParseScript(const std::string &text, const std::string &name, std::vector<SysScriptAction> &actions,
                     std::string &error)
{
    actions.clear();
    bool connected[SYS_SCRIPT_PADS + 1] = {};
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        number++;
        SysScriptAction action;
        bool isAction;
        std::string where = name + ":" + std::to_string(number) + ": ";
        if (!Sys_ParseScriptLine(line, action, isAction)) {
            error = where + "cannot read script line '" + line + "'";
            return false;
        }
        if (!isAction)
            continue;
        // Actions fall due in order; one out of order would silently run late.
        if (!actions.empty() && action.ms < actions.back().ms) {
            error = where + "script line earlier than the one before it '" + line + "'";
            return false;
        }
        // A pad is connected before it is used, and once at a time, as a real one is.
        bool &on = connected[action.pad];
        if (action.pad && on == (action.kind == SysScriptAction::PAD_CONNECT)) {
            error = where + "pad " + std::to_string(action.pad) + (on ? " is connected already" : " is not connected here") +
                    " '" + line + "'";
            return false;
        }
        if (action.pad)
            on = action.kind != SysScriptAction::PAD_DISCONNECT;
        actions.push_back(action);
    }
    return true;
}

void Sys_StartScript(const std::vector<SysScriptAction> &actions)
{
    script = actions;
    nextAction = 0;
    draining = false;
    hasPads = false;
    for (const SysScriptAction &a : script)
        hasPads = hasPads || a.pad != 0;
    for (ScriptPad &p : pads)
        p = ScriptPad();
}

bool Sys_ScriptHasPads() { return hasPads; }

int Sys_ScriptPadDevice(int pad)
{
    return pad >= 1 && pad <= SYS_SCRIPT_PADS && pads[pad - 1].connected ? pads[pad - 1].device : -1;
}

static void Sys_SaveShot(const std::string &name)
{
    std::vector<BYTE> rgb;
    int w, h;
    if (!Sys_PictureRGB(rgb, w, h) || !Sys_WritePNG(name.c_str(), rgb.data(), w, h))
        Sys_Warn("could not save %s", name.c_str());
}

static void SetControl(SysJoystickInput &in, int control, bool down)
{
    if (PadButtons[control].button >= 0) {
        DWORD bit = 1u << PadButtons[control].button;
        in.buttons = down ? in.buttons | bit : in.buttons & ~bit;
    } else {
        BYTE bit = PadButtons[control].hat;
        in.hats[0] = (BYTE)(down ? in.hats[0] | bit : in.hats[0] & ~bit);
    }
}

// Buttons pressed in an earlier drain let go, as a key pressed is held for one frame.
static void EndPresses(unsigned now, const SysScriptPads &holder)
{
    for (ScriptPad &p : pads) {
        if (!p.connected || !p.pressed || (int)(now - p.pressedAt) <= 0)
            continue;
        for (int c = 0; c < (int)(sizeof PadButtons / sizeof PadButtons[0]); c++)
            if (p.pressed & 1u << c)
                SetControl(p.input, c, false);
        p.pressed = 0;
        holder.set(p.device, p.input);
    }
}

// Carries a pad line out; true when it connected or disconnected the pad.
static bool PadAction(const SysScriptAction &a, unsigned now, const SysScriptPads &holder)
{
    ScriptPad &p = pads[a.pad - 1];
    // Lines are checked in order when read; actions handed over otherwise are taken only when they make sense.
    if (p.connected != (a.kind != SysScriptAction::PAD_CONNECT))
        return false;
    if (a.kind == SysScriptAction::PAD_CONNECT || a.kind == SysScriptAction::PAD_DISCONNECT) {
        if (a.kind == SysScriptAction::PAD_DISCONNECT)
            holder.unplug(p.device);
        else
            p.device = p.device < 0 ? holder.plug(a.name.c_str(), Sys_PadStyleNamed(a.name.c_str(), SYS_PAD_XBOX))
                                    : holder.replug(p.device); // the same device back
        p.connected = a.kind == SysScriptAction::PAD_CONNECT;
        p.input = SysJoystickInput();
        p.pressed = 0;
        return true;
    }
    uint32_t bit = 1u << a.control;
    if (a.kind == SysScriptAction::PAD_AXIS) {
        p.input.axes[a.control] = (SHORT)a.value;
    } else {
        SetControl(p.input, a.control, a.kind != SysScriptAction::PAD_UP);
        p.pressed = a.kind == SysScriptAction::PAD_PRESS ? p.pressed | bit : p.pressed & ~bit;
        if (a.kind == SysScriptAction::PAD_PRESS)
            p.pressedAt = now;
    }
    holder.set(p.device, p.input);
    return false;
}

bool Sys_NextScriptEvent(unsigned now, SysEvent &e, const SysScriptPads *holder)
{
    if (!draining && holder)
        EndPresses(now, *holder);
    draining = true;
    // Actions keep file order; each waits for its time.
    while (nextAction < script.size() && (int)(now - script[nextAction].ms) >= 0) {
        const SysScriptAction &a = script[nextAction++];
        e.vk = a.vk;
        switch (a.kind) {
        case SysScriptAction::PRESS: e.kind = SysEvent::SCRIPT_PRESS; return true;
        case SysScriptAction::DOWN: e.kind = SysEvent::SCRIPT_DOWN; return true;
        case SysScriptAction::UP: e.kind = SysEvent::SCRIPT_UP; return true;
        case SysScriptAction::SHOT: Sys_SaveShot(a.name); break; // the harness's own, not the game's input
        case SysScriptAction::QUIT: e.kind = SysEvent::CLOSE; e.vk = 0; return true;
        default:
            if (holder && PadAction(a, now, *holder)) {
                e.kind = SysEvent::JOYSTICKS_CHANGED;
                e.vk = 0;
                return true;
            }
            break;
        }
    }
    draining = false;
    return false;
}
