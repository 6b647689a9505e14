// Display choices kept between runs: full screen or window, the window's size and place, whole-multiple scaling, the presenting path, rumble, the players' pads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The file, beside "kordax.ini" in either layout.
#define SYS_DISPLAY_FILE "kordax-display.ini"

// How the picture reaches the screen: chosen at start, or GL textures (a real GPU), or SDL's
// software renderer on the window surface (no GPU: Mesa's software rasterisers).
enum class SysRenderer { AUTO, GL, SOFTWARE };
// "auto", "gl", "software"; false for any other name.
bool Sys_ParseRenderer(const std::string &name, SysRenderer &renderer);
const char *Sys_RendererName(SysRenderer renderer);
// Whether a GL renderer's name is a software rasteriser (llvmpipe, softpipe, swrast); "Mesa" alone
// also drives real GPUs and is not one.
bool Sys_SoftwareRasteriser(const char *glRenderer);
// The path to present by: the one asked for, else software when GL rasterises in software or
// cannot be had (glRenderer empty); why says which and why, for the log.
SysRenderer Sys_ChooseRenderer(SysRenderer asked, const char *glRenderer, std::string &why);

struct SysDisplayChoices {
    bool fullscreen = true;
    int width = 0, height = 0; // the window's size; 0 while the player has not sized it
    bool placed = false;       // the window's position is known; otherwise it opens centred
    int x = 0, y = 0;
    bool integerScale = false;
    SysRenderer renderer = SysRenderer::AUTO; // written only when not AUTO
    bool rumble = true;
    bool padChosen[2] = { false, false }; // a player's last choice was a pad, this product
    uint8_t pad[2][16] = {};
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

// A remembered window made to fit a desktop's usable area: shrunk within it keeping its shape (never
// below 160 pixels a side), then, when placed, moved so that it lies inside.
SysScreenRect Sys_FitWindow(const SysScreenRect &window, bool placed, const SysScreenRect &usable);

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
// placeKnown false (a desktop that does not tell programs where their windows are): only the size
// is kept, and the place remembered before stays as it was.
void Sys_NoteWindowPlace(int x, int y, int w, int h, bool placeKnown = true);
void Sys_DisplayTick(unsigned now);
// The pad each player (0, 1) chose last, by product identity; false when it was the keyboard.
bool Sys_RememberedPad(int player, uint8_t (&product)[16]);
void Sys_RememberPad(int player, const uint8_t *product); // nullptr: the keyboard
// Whether pads may rumble: not with --no-rumble or "rumble = no".
bool Sys_RumbleOn();
void Sys_FlushDisplayChoices();
// For tests: forget the choices read (as at a new start).
void Sys_ResetDisplayChoices();
