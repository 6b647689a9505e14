// The live and scripted sources: SDL's clock and joysticks, or a virtual clock that flips and sleeps move.
#include "sys_source.h"
#include "sys_local.h"

#include <SDL.h>

enum { HEADLESS_FRAME_MS = 16 };

DWORD sys_virtualNow = 0;
bool sys_virtualClock = false;

static DWORD LiveClock() { return (DWORD)SDL_GetTicks(); }
static void LiveSleep(DWORD ms) { SDL_Delay(ms); }
static bool LiveEvent(SysEvent &e) { return Sys_DesktopEvent(LiveClock(), e); }
static void LiveFrame(const IDirectDrawSurface *) {}
static int OwnAnswer(SysQuestion, int live) { return live; }

static DWORD VirtualClock() { return sys_virtualNow; }
static void VirtualSleep(DWORD ms) { sys_virtualNow += ms; }
static bool ScriptedEvent(SysEvent &e) { return Sys_DesktopEvent(sys_virtualNow, e); }
static void VirtualFrame(const IDirectDrawSurface *) { sys_virtualNow += HEADLESS_FRAME_MS; }

static constexpr SysSource live = { LiveClock, LiveSleep, LiveEvent, LiveFrame, OwnAnswer,
                                Sys_LiveJoysticks, Sys_LiveJoystickOpen, Sys_LiveJoystickClose, Sys_LiveJoystickRead };
static constexpr SysSource scripted = { VirtualClock, VirtualSleep, ScriptedEvent, VirtualFrame, OwnAnswer,
                                    Sys_FakeJoysticks, Sys_FakeJoystickOpen, Sys_FakeJoystickClose, Sys_FakeJoystickRead };

// Live from the start, before any constructor could ask.
SysSource sys_source = live;

void Sys_UseLiveSource()
{
    sys_source = live;
    sys_virtualClock = false;
}

void Sys_UseScriptedSource()
{
    sys_source = scripted;
    sys_virtualClock = true;
}
