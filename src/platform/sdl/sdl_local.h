// What the SDL files share: the window and renderer, the desktop's event drain, the live joysticks.
#pragma once

#include "sys_source.h"

struct SDL_Window;
struct SDL_Renderer;

extern SDL_Window *sdl_window;
extern SDL_Renderer *sdl_renderer;

// The run's desktop set-up (sys_video.h), as handed over at start.
bool Sdl_Headless();
bool Sdl_VideoStarted();
bool Sdl_IntegerScale();
// Full screen and back, as Alt+Enter asks; the choice is remembered.
void Sdl_ToggleFullscreen();
// The player sized or moved the window (not the game placing it, nor full screen).
void Sdl_WindowPlaced();
// A desktop that places windows itself and does not say where (Wayland).
bool Sdl_PlacesWindows();
// Shows a flipped picture held back for what the game draws on it after the flip.
void Sdl_PresentPending();
// The screenshot notice over the picture at x, y (w x h) in the window, while it lasts.
void Sdl_DrawNotice(int x, int y, int w, int h);

int Sys_LiveJoysticks(SysJoystickInfo *out, int max);
bool Sys_LiveJoystickOpen(int id);
void Sys_LiveJoystickClose(int id);
bool Sys_LiveJoystickRead(int id, SysJoystickInput &input);
void Sys_LiveJoystickRumble(int id, int strength, int ms);
