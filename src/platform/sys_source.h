// The one seam for what differs between runs: the clock, the desktop's events, joysticks, the sound results the game reads.
#pragma once

#include "win_types.h"

#include <cstdint>

struct IDirectDrawSurface;
struct SysJoystickInput;

// A desktop event in platform-neutral form: keys carry the virtual-key code already worked out
// from the keyboard layout, so a journal never depends on one.
struct SysEvent {
    enum Kind : uint8_t {
        NONE,                  // nothing pending
        KEY_DOWN, KEY_UP,      // a desktop key: sided modifiers, Alt gives WM_SYSKEYDOWN
        SCRIPT_DOWN, SCRIPT_UP, SCRIPT_PRESS, // a script's key, as given; a press is held one frame
        HIDDEN, SHOWN, EXPOSED, FOCUS_LOST, FOCUS_GAINED, CLOSE,
        JOYSTICKS_CHANGED,     // a joystick was connected or disconnected
        COUNT
    };
    Kind kind = NONE;
    int vk = 0;
};

// Answers the stand-ins work out from state the game cannot see (the mixer thread, the device).
enum SysQuestion : uint8_t { SYS_Q_SOUND_STARTED, SYS_Q_CHANNEL_ENDED, SYS_Q_COUNT };

// A joystick attached now, as the enumeration lists it.
struct SysJoystickInfo {
    int id;            // this connection's; a reconnected device gets a new one
    uint8_t product[16]; // the same for every connection of one device
    char name[260];    // as DirectInput gives it
};
enum { SYS_MAX_JOYSTICK_INFOS = 16 };

struct SysSource {
    DWORD (*clock)();                      // milliseconds
    void (*sleep)(DWORD ms);
    bool (*nextEvent)(SysEvent &event);    // false once nothing more is pending
    void (*frameShown)(const IDirectDrawSurface *picture); // each flip, with the game's picture
    int (*answer)(SysQuestion question, int live); // the stand-in's own answer, or the journal's
    int (*joysticks)(SysJoystickInfo *out, int max); // attached devices, at most max of them
    bool (*joystickOpen)(int id);          // false when it cannot be opened
    void (*joystickClose)(int id);
    bool (*joystickRead)(int id, SysJoystickInput &input); // false once it is detached
};

// The source the stand-ins ask. Starts live; headless runs and tests choose the scripted one.
extern SysSource sys_source;
void Sys_UseLiveSource();     // SDL's clock, events and joysticks
void Sys_UseScriptedSource(); // a virtual clock moved by flips and sleeps; no real joysticks
