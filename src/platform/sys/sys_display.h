// Display choices kept between runs: full screen or window, the window's size and place, whole-multiple scaling.
#pragma once

#include <string>
#include <vector>

// The file, beside "kordax.ini" in either layout.
#define SYS_DISPLAY_FILE "kordax-display.ini"

struct SysDisplayChoices {
    bool fullscreen = true;
    int width = 0, height = 0; // the window's size; 0 while the player has not sized it
    bool placed = false;       // the window's position is known; otherwise it opens centred
    int x = 0, y = 0;
    bool integerScale = false;
};

struct SysScreenRect {
    int x, y, w, h;
};

// Reads the file's text over choices: each line that is not `name = value` with a known name and
// a good value is left out, and problems says which (empty when every line was read).
void Sys_ParseDisplayChoices(const std::string &text, SysDisplayChoices &choices, std::string &problems);
std::string Sys_FormatDisplayChoices(const SysDisplayChoices &choices);
// Whether enough of a w x h window at x, y lies on one of the screens to be found and moved.
bool Sys_WindowOnScreens(int x, int y, int w, int h, const std::vector<SysScreenRect> &screens);

// Where a srcW x srcH picture goes on an outW x outH output: centred, 4:3 kept, filling the limiting
// side (or, with integerOnly, the largest whole multiple that fits). multiple is the whole scale the
// picture is first enlarged to, nearest-neighbour, before the smooth stretch to w x h.
struct SysScaleRect {
    int x, y, w, h;
    int multiple;
};
SysScaleRect Sys_ScaleRect(int outW, int outH, int srcW, int srcH, bool integerOnly);

// The --window size for a usable desktop of usableW x usableH: the largest 4:3 size within about
// 90 % of it, and never below 640x480.
void Sys_WindowedSize(int usableW, int usableH, int &w, int &h);

struct SysOptions;
// At start: reads the file (not headless), lets the command-line options win and remembers them,
// and returns the choices the run opens with.
SysDisplayChoices Sys_LoadDisplayChoices(const SysOptions &options);
// The choices in force (what the window opens with).
const SysDisplayChoices &Sys_DisplayChoices();
// A choice changed: the file is written when it differs from what it last held.
void Sys_ChooseFullscreen(bool fullscreen);
// The window was resized or moved by the player: written once it has settled (or at exit).
void Sys_NoteWindowPlace(int x, int y, int w, int h);
void Sys_DisplayTick(unsigned now);
void Sys_FlushDisplayChoices();
// For tests: forget the choices read (as at a new start).
void Sys_ResetDisplayChoices();
