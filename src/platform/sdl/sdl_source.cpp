// The live and scripted sources: SDL's clock, events and joysticks, or a virtual clock, the script's input and fake joysticks.
#include "sdl_local.h"
#include "sys_fake.h"
#include "sys_harness.h"
#include "sys_video.h"

#include <SDL.h>

static DWORD LiveClock() { return (DWORD)SDL_GetTicks(); }
static void LiveSleep(DWORD ms) { SDL_Delay(ms); }
static bool LiveEvent(SysEvent &e) { return Sys_DesktopEvent(LiveClock(), e); }
static void LiveFrame(const SysPicture &) {}
static int OwnAnswer(SysQuestion, int live) { return live; }

// Tests plug fakes into a live run, and a script with pad lines plays its own pads: then only the
// fakes are listed, and real pads are never looked at.
static bool FakesOnly() { return Sys_FakeJoysticksOn() || Sys_ScriptHasPads(); }
static int LiveJoysticks(SysJoystickInfo *out, int max)
{
    return FakesOnly() ? Sys_FakeJoysticks(out, max) : Sys_LiveJoysticks(out, max);
}
static bool LiveJoystickOpen(int id) { return FakesOnly() ? Sys_FakeJoystickOpen(id) : Sys_LiveJoystickOpen(id); }
static void LiveJoystickClose(int id)
{
    if (!FakesOnly())
        Sys_LiveJoystickClose(id);
}
static bool LiveJoystickRead(int id, SysJoystickInput &in)
{
    return FakesOnly() ? Sys_FakeJoystickRead(id, in) : Sys_LiveJoystickRead(id, in);
}
static void LiveJoystickRumble(int id, int strength, int ms)
{
    if (FakesOnly())
        Sys_FakeJoystickRumble(id, strength, ms);
    else
        Sys_LiveJoystickRumble(id, strength, ms);
}

static DWORD VirtualClock() { return Sys_VirtualNow(); }
static void VirtualSleep(DWORD ms) { Sys_SetVirtualNow(Sys_VirtualNow() + ms); }
static bool ScriptedEvent(SysEvent &e) { return Sys_DesktopEvent(Sys_VirtualNow(), e); }
static void VirtualFrame(const SysPicture &) { Sys_SetVirtualNow(Sys_VirtualNow() + SYS_VIRTUAL_FRAME_MS); }

static constexpr SysSource live = { LiveClock, LiveSleep, LiveEvent, LiveFrame, OwnAnswer,
                                    LiveJoysticks, LiveJoystickOpen, LiveJoystickClose, LiveJoystickRead, LiveJoystickRumble };
static constexpr SysSource scripted = { VirtualClock, VirtualSleep, ScriptedEvent, VirtualFrame, OwnAnswer,
                                        Sys_FakeJoysticks, Sys_FakeJoystickOpen, Sys_FakeJoystickClose, Sys_FakeJoystickRead,
                                        Sys_FakeJoystickRumble };

// Live from the start, before any constructor could ask.
SysSource sys_source = live;

void Sys_UseLiveSource() { sys_source = live; }

void Sys_UseScriptedSource() { sys_source = scripted; }
