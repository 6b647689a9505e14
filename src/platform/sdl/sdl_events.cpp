// The desktop's events for the live and scripted sources: window events, keys read by layout, Alt+Enter, then the script.
#include "sdl_local.h"
#include "sys_display.h"
#include "sys_fake.h"
#include "sys_harness.h"
#include "sys_screenshot.h"
#include "sys_video.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <iterator>

static bool latinLayout = true; // the desktop's letter keys give Latin letters
static bool altDown[2];         // left and right Alt, as the desktop's keys went
static bool hiddenNoted = false; // the game's side holds the window hidden
static bool layoutWatched = false; // read once video has started, and again when the desktop changes it

bool Sys_LatinLayout(const int letterPlaceKeycodes[26])
{
    int latin = 0;
    for (int i = 0; i < 26; i++)
        latin += letterPlaceKeycodes[i] >= 'a' && letterPlaceKeycodes[i] <= 'z';
    return latin > 26 / 2;
}

static void ReadLayout()
{
    int keycodes[26];
    for (int i = 0; i < 26; i++)
        keycodes[i] = (int)SDL_GetKeyFromScancode((SDL_Scancode)(SDL_SCANCODE_A + i));
    latinLayout = Sys_LatinLayout(keycodes);
}

// Sees every event as it is queued, so the layout is read again before the keys that follow it.
static int LayoutWatch(void *, SDL_Event *e)
{
    if (e->type == SDL_KEYMAPCHANGED)
        ReadLayout();
    return 0;
}

// The US meaning of a key by its place: 'A' to 'Z' for the letter places, the desktop's OEM code
// for the punctuation places; 0 for any other key.
static int UsPlaceCode(SDL_Scancode sc)
{
    if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z)
        return 'A' + (sc - SDL_SCANCODE_A);
    switch (sc) {
    case SDL_SCANCODE_SEMICOLON: return VK_OEM_1;
    case SDL_SCANCODE_EQUALS: return VK_OEM_PLUS;
    case SDL_SCANCODE_COMMA: return VK_OEM_COMMA;
    case SDL_SCANCODE_MINUS: return VK_OEM_MINUS;
    case SDL_SCANCODE_PERIOD: return VK_OEM_PERIOD;
    case SDL_SCANCODE_SLASH: return VK_OEM_2;
    case SDL_SCANCODE_GRAVE: return VK_OEM_3;
    case SDL_SCANCODE_LEFTBRACKET: return VK_OEM_4;
    case SDL_SCANCODE_BACKSLASH: return VK_OEM_5;
    case SDL_SCANCODE_RIGHTBRACKET: return VK_OEM_6;
    case SDL_SCANCODE_APOSTROPHE: return VK_OEM_7;
    default: return 0;
    }
}

// Codes of their own, so that no two keys of a Latin layout meet: ASCII punctuation that no US key
// gives unshifted (AZERTY's '!', QWERTZ's '+'), from 0xC1 in this order; and keys whose symbol has
// no code (QWERTZ's ß, AZERTY's ², dead keys), from 0xE9 by their US place in this order.
enum { VK_FIRST_UNNAMED = 0xE9 };
static const SDL_Scancode UnnamedPlaces[] = {
    SDL_SCANCODE_SEMICOLON, SDL_SCANCODE_EQUALS, SDL_SCANCODE_COMMA, SDL_SCANCODE_MINUS,
    SDL_SCANCODE_PERIOD, SDL_SCANCODE_SLASH, SDL_SCANCODE_GRAVE, SDL_SCANCODE_LEFTBRACKET,
    SDL_SCANCODE_BACKSLASH, SDL_SCANCODE_RIGHTBRACKET, SDL_SCANCODE_APOSTROPHE,
};

int Sys_VirtualKeyOf(int scancode, int keycode, bool latinLayout)
{
    SDL_Scancode sc = (SDL_Scancode)scancode;
    SDL_Keycode k = (SDL_Keycode)keycode;
    // Keypad keys by position, whatever Num Lock says.
    if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9)
        return VK_NUMPAD0 + 1 + (sc - SDL_SCANCODE_KP_1);
    switch (sc) {
    case SDL_SCANCODE_KP_0: return VK_NUMPAD0;
    case SDL_SCANCODE_KP_PERIOD: return VK_DECIMAL;
    case SDL_SCANCODE_KP_PLUS: return VK_ADD;
    case SDL_SCANCODE_KP_MINUS: return VK_SUBTRACT;
    case SDL_SCANCODE_KP_MULTIPLY: return VK_MULTIPLY;
    case SDL_SCANCODE_KP_DIVIDE: return VK_DIVIDE;
    case SDL_SCANCODE_KP_ENTER: return VK_RETURN;
    case SDL_SCANCODE_NONUSBACKSLASH: return VK_OEM_102;
    default: break;
    }
    // The main-row digits by position: AZERTY puts symbols there.
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9)
        return '1' + (sc - SDL_SCANCODE_1);
    if (sc == SDL_SCANCODE_0)
        return '0';
    // Letters of another script (Cyrillic, Greek, Hebrew): every letter and punctuation key is the
    // key of its US place, whatever it prints, so every key can be chosen and none meets another.
    if (!latinLayout && UsPlaceCode(sc))
        return UsPlaceCode(sc);
    // A Latin layout: each key by its symbol (AZERTY's A is A, its ',' is ',').
    if (k >= 'a' && k <= 'z')
        return (int)(k - 'a' + 'A');
    if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12)
        return VK_F1 + (sc - SDL_SCANCODE_F1);
    switch (k) {
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_RETURN: return VK_RETURN;
    case SDLK_LSHIFT: return VK_LSHIFT;
    case SDLK_RSHIFT: return VK_RSHIFT;
    case SDLK_LCTRL: return VK_LCONTROL;
    case SDLK_RCTRL: return VK_RCONTROL;
    case SDLK_LALT: return VK_LMENU;
    case SDLK_RALT: return VK_RMENU;
    case SDLK_PAUSE: return VK_PAUSE;
    case SDLK_CAPSLOCK: return VK_CAPITAL;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_END: return VK_END;
    case SDLK_HOME: return VK_HOME;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_PRINTSCREEN: return VK_SNAPSHOT;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_LGUI: return VK_LWIN;
    case SDLK_RGUI: return VK_RWIN;
    case SDLK_APPLICATION: return VK_APPS;
    case SDLK_NUMLOCKCLEAR: return VK_NUMLOCK;
    case SDLK_SCROLLLOCK: return VK_SCROLL;
    case SDLK_SEMICOLON: return VK_OEM_1;
    case SDLK_EQUALS: return VK_OEM_PLUS;
    case SDLK_COMMA: return VK_OEM_COMMA;
    case SDLK_MINUS: return VK_OEM_MINUS;
    case SDLK_PERIOD: return VK_OEM_PERIOD;
    case SDLK_SLASH: return VK_OEM_2;
    case SDLK_BACKQUOTE: return VK_OEM_3;
    case SDLK_LEFTBRACKET: return VK_OEM_4;
    case SDLK_BACKSLASH: return VK_OEM_5;
    case SDLK_RIGHTBRACKET: return VK_OEM_6;
    case SDLK_QUOTE: return VK_OEM_7;
    default: break;
    }
    if (k > 0 && k < 128)
        if (const char *p = strchr(Sys_OtherPunctuation, (int)k))
            return VK_FIRST_OTHER_PUNCTUATION + (int)(p - Sys_OtherPunctuation);
    // A letter place whose symbol is no Latin letter (Turkish ı) is left without a code: its
    // letter is elsewhere on the layout, and would be met twice.
    const SDL_Scancode *place = std::find(std::begin(UnnamedPlaces), std::end(UnnamedPlaces), sc);
    if (place != std::end(UnnamedPlaces))
        return VK_FIRST_UNNAMED + (int)(place - UnnamedPlaces);
    return 0;
}

// A desktop key as the event the game's side sees; false for Alt+Enter, which the window takes.
bool Sys_TranslateDesktopKey(bool down, int scancode, int keycode, bool repeat, SysEvent &e)
{
    bool alt = altDown[0] || altDown[1];
    if (down && keycode == SDLK_RETURN && alt) {
        if (!repeat)
            Sdl_ToggleFullscreen();
        return false;
    }
    e.vk = Sys_VirtualKeyOf(scancode, keycode, latinLayout);
    e.kind = down ? SysEvent::KEY_DOWN : SysEvent::KEY_UP;
    if (e.vk == VK_LMENU || e.vk == VK_RMENU)
        altDown[e.vk - VK_LMENU] = down;
    return e.vk != 0 && !Sys_ScreenshotKey(e.vk, down, repeat);
}

void Sys_ResetDesktopKeys() { altDown[0] = altDown[1] = false; }

static SysEvent::Kind Sys_WindowEvent(const SDL_WindowEvent &e)
{
    switch (e.event) {
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_HIDDEN:
        return SysEvent::HIDDEN;
    // Window managers differ in which of these they send after a minimise; any of them will do.
    case SDL_WINDOWEVENT_EXPOSED:
        return SysEvent::EXPOSED;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_MAXIMIZED:
        return SysEvent::SHOWN;
    // As a desktop tells a program that another one has taken the keyboard, or given it back.
    case SDL_WINDOWEVENT_FOCUS_LOST:
        return SysEvent::FOCUS_LOST;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        return SysEvent::FOCUS_GAINED;
    case SDL_WINDOWEVENT_CLOSE:
        return SysEvent::CLOSE;
    // The player sized or moved the window (not the game placing it, nor full screen): the
    // window's own business, not the game's.
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_MOVED:
        Sdl_WindowPlaced();
        return SysEvent::NONE;
    default:
        return SysEvent::NONE;
    }
}

// A window whose flags say it is on screen counts as visible, whatever events were missed.
static bool Sys_RecheckVisibility()
{
    if (Sdl_Headless() || !sdl_window || !hiddenNoted)
        return false;
    return !(SDL_GetWindowFlags(sdl_window) & (SDL_WINDOW_HIDDEN | SDL_WINDOW_MINIMIZED));
}

// Where one drain of the desktop has got to: its events, the visibility check, then the script.
static int drainStep = 0;

bool Sys_DesktopEvent(DWORD now, SysEvent &out)
{
    out = SysEvent();
    if (drainStep == 0 && Sdl_VideoStarted()) {
        Sdl_PresentPending();
        if (!layoutWatched) {
            layoutWatched = true;
            ReadLayout();
            SDL_AddEventWatch(LayoutWatch, nullptr);
        }
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
            switch (e.type) {
            case SDL_QUIT:
                out.kind = SysEvent::CLOSE;
                return true;
            case SDL_WINDOWEVENT:
                out.kind = Sys_WindowEvent(e.window);
                if (out.kind != SysEvent::NONE)
                    return true;
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                if (Sys_TranslateDesktopKey(e.type == SDL_KEYDOWN, e.key.keysym.scancode, e.key.keysym.sym,
                                            e.key.repeat != 0, out))
                    return true;
                break;
            case SDL_JOYDEVICEADDED:
            case SDL_JOYDEVICEREMOVED:
                out.kind = SysEvent::JOYSTICKS_CHANGED;
                return true;
            default:
                break;
            }
        }
        drainStep = 1;
        if (Sys_RecheckVisibility()) {
            out.kind = SysEvent::SHOWN;
            return true;
        }
    }
    drainStep = 1;
    // The script's pads are fakes, plugged and moved as its lines fall due.
    static const SysScriptPads fakePads = { Sys_PlugScriptedPad, Sys_ReplugJoystick, Sys_UnplugJoystick,
                                            Sys_SetJoystickInput };
    if (Sys_NextScriptEvent(now, out, &fakePads))
        return true;
    drainStep = 0;
    return false;
}

void Sys_NoteWindowHidden(bool hidden) { hiddenNoted = hidden; }
