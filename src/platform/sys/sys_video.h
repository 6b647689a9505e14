// The desktop under the stand-ins: the window and what it shows, the pointer, the message box, the desktop's events and keys.
#pragma once

#include "sys_display.h"
#include "sys_source.h"

// How this run meets the desktop, worked out once at start from the options and display choices.
struct SysDesktopSetup {
    bool headless = false;     // dummy video and audio drivers, no window on screen
    bool windowed = false;     // a window rather than full screen
    bool integerScale = false; // whole multiples only when enlarging the picture
    SysRenderer renderer = SysRenderer::AUTO; // the presenting path asked for (AUTO: by the GPU)
};
void Sys_SetupDesktop(const SysDesktopSetup &setup);

bool Sys_InitVideo();
// The desktop's size in pixels (640x480 headless or without one).
void Sys_DesktopSize(int &width, int &height);
// Opens the game's window, hidden: full screen, or as a window as the player last left it.
bool Sys_OpenWindow(const char *title, int width, int height);
void Sys_ShowWindow();
// Closes the window and what presents to it (benchmarks open one for each path).
void Sys_CloseWindow();
void Sys_RaiseWindow();
// Shows a flipped picture in the window, scaled to fit.
void Sys_PresentFrame(const SysPicture &picture);
// The game drew on the shown picture after its flip: it reaches the screen at the next drain of
// events, and later flips wait for it while the game keeps doing so.
void Sys_ShownPictureDrawn();
// Lets go of what presenting holds (the display object is released).
void Sys_ReleasePresenter();
void Sys_ErrorBox(const char *caption, const char *text);
void Sys_ShowPointer(bool show);

// The desktop's next event and then the script's actions due at now; false once none is left.
bool Sys_DesktopEvent(DWORD now, SysEvent &e);
// The game's side took the window as hidden or shown: a hidden window found on screen after all
// is then reported shown.
void Sys_NoteWindowHidden(bool hidden);
// A desktop key as the event the game's side sees; false for a key it never sees (Alt+Enter,
// which the window takes, the screenshot key, a key without a code).
bool Sys_TranslateDesktopKey(bool down, int scancode, int keycode, bool repeat, SysEvent &e);
// Forgets which Alt keys are held (tests start afresh).
void Sys_ResetDesktopKeys();
// Virtual-key code of a key from its USB HID position (scancode) and the layout's symbol for it
// (its Unicode character, or the scancode with bit 30 set for keys without one); 0 if none.
// latinLayout: the layout's letter keys give Latin letters; each key is then read by its symbol,
// otherwise the letter and punctuation keys by their US place. Digits and the keypad go by place.
// Shift, Ctrl and Alt give their sided codes (160 to 165).
int Sys_VirtualKeyOf(int scancode, int keycode, bool latinLayout);
// Whether a layout is Latin, from the keycodes its 26 US letter places (A to Z) give: Latin when
// most of them give 'a' to 'z' (Dvorak moves four of them to punctuation; Cyrillic, Greek and
// Hebrew give none).
bool Sys_LatinLayout(const int letterPlaceKeycodes[26]);
