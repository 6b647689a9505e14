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
           "              [--renderer=gl|software]\n"
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
        "  --script FILE     feed input from FILE, one action a line (see kordax(6))\n"
        "  --timedemo        print the frames drawn and the frames per second at exit\n"
        "  --record FILE     record this run into FILE, to be played back with --replay\n"
        "  --replay FILE     play a recorded run back (at its own pace, or as fast as possible with\n"
        "                    --headless) and check that it comes out the same; Escape stops it\n"
        "  --no-record       installed, do not keep this run among the last 20 replays\n"
        "  --show-fps        show the frame statistics from the start\n"
        "  --renderer=gl|software  present through GL or SDL's software renderer (chosen by the GPU\n"
        "                    unless said here or as renderer = in kordax-display.ini)\n"
        "  --help            print this help and exit\n"
        "  --version         print the version and exit\n"
        "\n"
        "Run from a folder that holds gfx/, the game reads and writes there. Otherwise it reads its\n"
        "data from ../share/kordax beside the program and keeps kordax.ini in $XDG_CONFIG_HOME/kordax,\n"
        "kx_scores.dat in $XDG_DATA_HOME/kordax and dderrors.log in $XDG_STATE_HOME/kordax; the last 20\n"
        "runs are kept as replays in $XDG_STATE_HOME/kordax/replays.\n"
        "These four, Alt+Enter and the window's size and place are remembered in\n"
        "kordax-display.ini beside kordax.ini. F12 saves a screenshot into screenshots/ (in place)\n"
        "or kordax/ in the pictures folder.\n";
    return help.c_str();
}

const char *Sys_VersionLine()
{
    static const std::string line = std::string("kordax ") + Sys_Version() + "\n";
    return line.c_str();
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
    arg[0] = '\0';
    int n = sscanf(line.c_str() + start, "%lu %31s %511s %1s", &ms, word, arg, extra);
    // The clock wraps at 2^32 ms and due times are compared across half of it: a later time would fall due at once.
    if (n < 2 || n > 3 || ms > 0x7FFFFFFFul)
        return false;
    action = SysScriptAction();
    action.ms = (unsigned)ms;
    std::string w = word;
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
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        number++;
        SysScriptAction action;
        bool isAction;
        if (!Sys_ParseScriptLine(line, action, isAction)) {
            error = std::string(path) + ":" + std::to_string(number) + ": cannot read script line '" + line + "'";
            return false;
        }
        if (!isAction)
            continue;
        // Actions fall due in order; one out of order would silently run late.
        if (!actions.empty() && action.ms < actions.back().ms) {
            error = std::string(path) + ":" + std::to_string(number) + ": script line earlier than the one before it '" +
                    line + "'";
            return false;
        }
        actions.push_back(action);
    }
    return true;
}

void Sys_StartScript(const std::vector<SysScriptAction> &actions)
{
    script = actions;
    nextAction = 0;
}

static void Sys_SaveShot(const std::string &name)
{
    std::vector<BYTE> rgb;
    int w, h;
    if (!Sys_PictureRGB(rgb, w, h) || !Sys_WritePNG(name.c_str(), rgb.data(), w, h))
        Sys_Warn("could not save %s", name.c_str());
}

bool Sys_NextScriptEvent(unsigned now, SysEvent &e)
{
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
        }
    }
    return false;
}
