// What the platform's own files share: the video objects, drawing contexts, bitmap records.
#pragma once

#include "win_ddraw.h"
#include "win_gdi.h"

#include <vector>

struct SDL_Window;
struct SDL_Renderer;
struct SysEvent;
struct SysJoystickInfo;
struct SysJoystickInput;

struct HBITMAP__ {
    BITMAP bm;                // bmBits points into bits
    std::vector<BYTE> bits;   // bottom-up rows
    std::vector<BYTE> quads;  // colour table, B,G,R,0 per entry
    int colours = 0;
    DWORD masks[3] = { 0, 0, 0 }; // bit fields of 16 and 32 bpp files
};

struct HDC__ {
    IDirectDrawSurface *surface = nullptr; // a surface's context
    HBITMAP bitmap = nullptr;              // a memory context's selected bitmap
    COLORREF textColour = 0;
    int bkMode = OPAQUE;
};

extern SDL_Window *sys_window;
extern SDL_Renderer *sys_renderer;
extern bool sys_windowHidden;

bool Sys_InitVideo();
void Sys_ToggleFullscreen();
// Pixel values of the display format and GDI colours.
DWORD Sys_PackColour(int depth, COLORREF colour);
COLORREF Sys_UnpackColour(int depth, DWORD value);
DWORD Sys_ReadPixel(const IDirectDrawSurface *s, int x, int y);
void Sys_WritePixel(IDirectDrawSurface *s, int x, int y, DWORD value);
// Shows the primary surface in the window (not in headless runs).
void Sys_Present(IDirectDrawSurface *primary);

// The sources' parts that live beside the stand-ins they feed (see sys_source.h).
extern DWORD sys_virtualNow;  // the scripted source's clock
extern bool sys_virtualClock; // the scripted source is in use
// The desktop's next event and then the script's actions due at now; false once none is left.
bool Sys_DesktopEvent(DWORD now, SysEvent &e);
int Sys_LiveJoysticks(SysJoystickInfo *out, int max);
bool Sys_LiveJoystickOpen(int id);
void Sys_LiveJoystickClose(int id);
bool Sys_LiveJoystickRead(int id, SysJoystickInput &input);
int Sys_FakeJoysticks(SysJoystickInfo *out, int max);
bool Sys_FakeJoystickOpen(int id);
void Sys_FakeJoystickClose(int id);
bool Sys_FakeJoystickRead(int id, SysJoystickInput &input);
