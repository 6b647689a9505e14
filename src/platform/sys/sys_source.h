// The one seam for what differs between runs: the clock, the desktop's events, joysticks, the sound results the game reads.
#pragma once

#include "win_types.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

// Raw input as a device reports it: axes -32768..32767 in the order X, Y, Z, Rx, Ry, Rz,
// slider 0, slider 1; hats as SYS_HAT_ bits; buttons as a bit mask.
enum { SYS_HAT_CENTRED = 0, SYS_HAT_UP = 1, SYS_HAT_RIGHT = 2, SYS_HAT_DOWN = 4, SYS_HAT_LEFT = 8 };
struct SysJoystickInput {
    SHORT axes[8];
    BYTE hats[4];
    DWORD buttons;
};

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
// The pads the players chose last are kept in the player's display file, which a replay does not
// read: asked as answers, whether a pad was chosen and then its identity in four 32-bit words.
enum SysQuestion : uint8_t { SYS_Q_SOUND_STARTED, SYS_Q_CHANNEL_ENDED, SYS_Q_REMEMBERED_PAD, SYS_Q_COUNT };

// A joystick attached now, as the enumeration lists it.
struct SysJoystickInfo {
    int id;            // this connection's; a reconnected device gets a new one
    uint8_t product[16]; // the same for every connection of one device
    char name[260];    // as DirectInput gives it
};
enum { SYS_MAX_JOYSTICK_INFOS = 16 };

// A frame as it was flipped: the game's pixels in the display's format.
struct SysPicture {
    const uint8_t *pixels = nullptr;
    size_t size = 0; // pitch * height
    int width = 0, height = 0, pitch = 0;
    int depth = 0;       // bits per pixel
    bool rgb555 = false; // 16 bpp as 5-5-5 rather than 5-6-5
};

// A 16 bpp pixel value as 0x00RRGGBB: its 5- and 6-bit fields scaled to full range and rounded
// down, as the window's texture conversion does, so a saved or scaled frame is the frame shown.
inline uint32_t Sys_Rgb16(unsigned v, bool rgb555)
{
    unsigned r = rgb555 ? (v >> 10) & 31 : (v >> 11) & 31;
    unsigned g = rgb555 ? ((v >> 5) & 31) * 255 / 31 : ((v >> 5) & 63) * 255 / 63;
    return (r * 255 / 31) << 16 | g << 8 | (v & 31) * 255 / 31;
}

// A joystick's name as the enumeration keeps it: cut to fit, always terminated.
inline void Sys_CopyJoystickName(char (&dest)[260], const char *name)
{
    snprintf(dest, sizeof dest, "%s", name ? name : "");
}

struct SysSource {
    DWORD (*clock)();                      // milliseconds
    void (*sleep)(DWORD ms);
    bool (*nextEvent)(SysEvent &event);    // false once nothing more is pending
    void (*frameShown)(const SysPicture &picture); // each flip, with the game's picture
    int (*answer)(SysQuestion question, int live); // the stand-in's own answer, or the journal's
    int (*joysticks)(SysJoystickInfo *out, int max); // attached devices, at most max of them
    bool (*joystickOpen)(int id);          // false when it cannot be opened
    void (*joystickClose)(int id);
    bool (*joystickRead)(int id, SysJoystickInput &input); // false once it is detached
    void (*joystickRumble)(int id, int strength, int ms); // strength 0..100; nothing on a device without motors
};

// A mapped pad's buttons as SysJoystickInput::buttons bits: face buttons by position (A south,
// B east, X west, Y north), whatever the maker prints on them.
enum {
    SYS_PAD_A, SYS_PAD_B, SYS_PAD_X, SYS_PAD_Y, SYS_PAD_LEFTSHOULDER, SYS_PAD_RIGHTSHOULDER,
    SYS_PAD_BACK, SYS_PAD_START, SYS_PAD_LEFTSTICK, SYS_PAD_RIGHTSTICK, SYS_PAD_GUIDE
};
// Whose names a pad's face buttons carry, for hints: worked out from its product identity.
enum SysPadStyle { SYS_PAD_GENERIC, SYS_PAD_XBOX, SYS_PAD_PLAYSTATION, SYS_PAD_NINTENDO };
SysPadStyle Sys_PadStyle(const uint8_t (&product)[16]);
// Fakes' products (the stand-in's marker 53 4A 58 4B first) carry their style in this byte.
enum { SYS_FAKE_STYLE_BYTE = 12 };
// The style a pad's name says (PlayStation, DualShock, DualSense, PS4, PS5; Nintendo, Switch,
// Joy-Con; Xbox, X-Box; in any case), or otherwise.
SysPadStyle Sys_PadStyleNamed(const char *name, SysPadStyle otherwise);

// The source the stand-ins ask. Starts live; headless runs and tests choose the scripted one.
extern SysSource sys_source;
void Sys_UseLiveSource();     // the desktop's clock, events and joysticks
void Sys_UseScriptedSource(); // a virtual clock moved by flips and sleeps, the script's input, fake joysticks

// The scripted source's clock: each flip moves it one 16 ms frame, each sleep by its length.
enum { SYS_VIRTUAL_FRAME_MS = 16 };
DWORD Sys_VirtualNow();
void Sys_SetVirtualNow(DWORD ms);

// Each flip passes here: the picture is kept for screenshots, counted, and handed to the source.
void Sys_FrameShown(const SysPicture &picture);
// The picture on show without a flip (a new display, blank), or none once its surface is released.
void Sys_SetPicture(const SysPicture *picture);
// The last picture as R,G,B bytes; false when there is none.
bool Sys_PictureRGB(std::vector<BYTE> &rgb, int &width, int &height);
// --timedemo's report: the frames flipped and the frames per second of wall time since the first.
void Sys_ReportTimedemo();
