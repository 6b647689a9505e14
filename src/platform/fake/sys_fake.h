// Test fakes and fault hooks: joysticks that need no hardware, and failures the stand-ins can be made to give.
#pragma once

#include "sys_source.h"

// Fake joysticks. In fake mode the live source lists only the fakes (real joysticks are never
// looked at); the scripted source of headless runs has only fakes.
enum SysJoystickStep {
    SYS_JOY_OK,
    SYS_JOY_FAIL_CREATE,
    SYS_JOY_FAIL_QUERY,
    SYS_JOY_FAIL_COOPERATIVE,
    SYS_JOY_FAIL_FORMAT,
    SYS_JOY_FAIL_RANGE,
    SYS_JOY_FAIL_ACQUIRE
};
void Sys_UseFakeJoysticks(bool on);            // on or off, either way with no fakes plugged
bool Sys_FakeJoysticksOn();
// Returns the fake's number. Its style (SysPadStyle, in its product) is what its name says, or generic.
int Sys_PlugJoystick(const char *productName);
// A script's pad: a mapped pad of this style, whose plugs and unplugs the script's own events
// report (Sys_FakePlugs does not count them, so a replay sees the same changes).
int Sys_PlugScriptedPad(const char *name, SysPadStyle style);
void Sys_UnplugJoystick(int fake);
// The same device connected again, as a new connection (a new fake number, the same product).
int Sys_ReplugJoystick(int fake);
void Sys_SetJoystickInput(int fake, const SysJoystickInput &input);
void Sys_FailJoystickStep(int fake, SysJoystickStep step);
// The step a fake with this id was set to fail at (SYS_JOY_OK for any other id).
SysJoystickStep Sys_FakeJoystickFails(int id);
// The fakes as a source's joysticks.
int Sys_FakeJoysticks(SysJoystickInfo *out, int max);
bool Sys_FakeJoystickOpen(int id);
void Sys_FakeJoystickClose(int id);
bool Sys_FakeJoystickRead(int id, SysJoystickInput &input);
void Sys_FakeJoystickRumble(int id, int strength, int ms);
// The rumbles a fake was given while plugged, and the strength (0..100) of the last; 0 for none.
int Sys_FakeRumbles(int fake);
int Sys_FakeRumbleStrength(int fake);

// The DirectInput stand-in's hooks and counts.
void Sys_SetDirectInputAvailable(bool available); // false: DirectInputCreateA fails
int Sys_OpenJoystickDevices();                    // devices created and not yet released
int Sys_JoystickCreateAttempts();                 // CreateDevice calls for an identity it knows
int Sys_FakePlugs(); // fakes plugged, unplugged and plugged again, as the platform's reports count them

// The DirectDraw stand-in's failures.
void Sys_RefuseDisplayDepth(int depth, bool refuse);
void Sys_SetBusyLocks(int count); // the next count locks answer DDERR_WASSTILLDRAWING
void Sys_FailFlips(int count);    // the next count flips fail with DDERR_GENERIC (-1: all)
void Sys_SetDisplayAvailable(bool available); // false: DirectDrawCreate fails
