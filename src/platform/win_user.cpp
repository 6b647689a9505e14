// USER32 stand-in over SDL: one window, a message queue fed from SDL events, held keys.
#include "sys_local.h"
#include "sys_display.h"
#include "sys_screenshot.h"
#include "sys_harness.h"
#include "sys_source.h"
#include "win_user.h"
#include "win_dinput.h"
#include "win_fsound.h"
#include "win_time.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <iterator>
#include <string>

SDL_Window *sys_window = nullptr;
SDL_Renderer *sys_renderer = nullptr;
bool sys_windowHidden = false;

struct HWND__ {
    int id;
};

// A handle value that stays the same from run to run, so logs compare.
static HWND const mainWindow = (HWND)(uintptr_t)0x00010042;
static bool windowExists = false;
static WNDCLASSA windowClass;
static bool classRegistered = false;
static std::deque<MSG> queue;
static bool keyDown[256];
static int releaseAfterPump[256]; // keys pressed by a script for one frame
static bool videoStarted = false;
static bool closeRequested = false;
static Uint32 placedAt = 0; // when the game last placed the window itself

static bool latinLayout = true; // the desktop's letter keys give Latin letters

// Latin when the US letter places mostly give 'a' to 'z' (Dvorak moves four of them to punctuation).
static void Sys_ReadLayout()
{
    int latin = 0;
    for (int sc = SDL_SCANCODE_A; sc <= SDL_SCANCODE_Z; sc++) {
        SDL_Keycode k = SDL_GetKeyFromScancode((SDL_Scancode)sc);
        latin += k >= 'a' && k <= 'z';
    }
    latinLayout = latin > (SDL_SCANCODE_Z - SDL_SCANCODE_A + 1) / 2;
}

// Sees every event as it is queued, so the layout is read again before the keys that follow it.
static int Sys_LayoutWatch(void *, SDL_Event *e)
{
    if (e->type == SDL_KEYMAPCHANGED)
        Sys_ReadLayout();
    return 0;
}

bool Sys_InitVideo()
{
    if (videoStarted)
        return true;
    if (sys_options.headless) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
        SDL_setenv("SDL_VIDEODRIVER", "dummy", 1);
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        fprintf(stderr, "kordax: cannot start video: %s\n", SDL_GetError());
        return false;
    }
    videoStarted = true;
    Sys_ReadLayout();
    SDL_AddEventWatch(Sys_LayoutWatch, nullptr);
    return true;
}

HANDLE LoadIconA(HINSTANCE, const char *) { return nullptr; }
HANDLE LoadCursorA(HINSTANCE, const char *) { return nullptr; }
HANDLE GetStockObject(int) { return nullptr; }

ATOM RegisterClassA(const WNDCLASSA *wc)
{
    if (!wc || !wc->lpfnWndProc || !wc->lpszClassName)
        return 0;
    windowClass = *wc;
    classRegistered = true;
    return 1;
}

static LRESULT SendToWindow(UINT message, WPARAM wParam, LPARAM lParam)
{
    return windowClass.lpfnWndProc(mainWindow, message, wParam, lParam);
}

int GetSystemMetrics(int index)
{
    if (sys_options.headless || !Sys_InitVideo())
        return index == SM_CXSCREEN ? 640 : 480;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0)
        return index == SM_CXSCREEN ? 640 : 480;
    return index == SM_CXSCREEN ? mode.w : mode.h;
}

void Sys_WindowedSize(int usableW, int usableH, int &w, int &h)
{
    int roomW = usableW / 10 * 9, roomH = usableH / 10 * 9;
    if ((long long)roomW * 3 <= (long long)roomH * 4) {
        w = roomW / 4 * 4;
        h = w / 4 * 3;
    } else {
        h = roomH / 3 * 3;
        w = h / 3 * 4;
    }
    if (w < 640 || h < 480) {
        w = 640;
        h = 480;
    }
}

// The window's size on the desktop it is on (or will open on).
static void WindowedSize(int &w, int &h)
{
    int display = sys_window ? SDL_GetWindowDisplayIndex(sys_window) : 0;
    SDL_Rect usable;
    if (display < 0 || SDL_GetDisplayUsableBounds(display, &usable) != 0)
        usable.w = usable.h = 0;
    Sys_WindowedSize(usable.w, usable.h, w, h);
}

// The window as the player last left it: its size when known, its place when still on a screen.
static void RememberedWindow(SDL_Rect &r)
{
    const SysDisplayChoices &c = Sys_DisplayChoices();
    r.x = r.y = SDL_WINDOWPOS_CENTERED;
    if (c.width > 0 && c.height > 0) {
        r.w = c.width;
        r.h = c.height;
    } else {
        WindowedSize(r.w, r.h);
    }
    std::vector<SysScreenRect> screens;
    for (int i = 0; i < SDL_GetNumVideoDisplays(); i++) {
        SDL_Rect b;
        if (SDL_GetDisplayBounds(i, &b) == 0)
            screens.push_back({ b.x, b.y, b.w, b.h });
    }
    if (c.placed && Sys_WindowOnScreens(c.x, c.y, r.w, r.h, screens)) {
        r.x = c.x;
        r.y = c.y;
    }
}

HWND CreateWindowExA(DWORD, const char *className, const char *title, DWORD, int, int, int width, int height, HWND,
                     HANDLE, HINSTANCE, void *)
{
    if (!classRegistered || !className || strcmp(className, windowClass.lpszClassName) != 0)
        return nullptr;
    if (!Sys_InitVideo())
        return nullptr;
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    SDL_Rect place = { SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height };
    if (sys_options.headless) {
        place.w = 640;
        place.h = 480;
    } else if (sys_options.windowed) {
        RememberedWindow(place);
    } else {
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    }
    sys_window = SDL_CreateWindow(title, place.x, place.y, place.w, place.h, flags);
    placedAt = SDL_GetTicks();
    if (!sys_window)
        return nullptr;
    if (!sys_options.headless) {
        sys_renderer = SDL_CreateRenderer(sys_window, -1, SDL_RENDERER_PRESENTVSYNC);
        if (!sys_renderer)
            sys_renderer = SDL_CreateRenderer(sys_window, -1, SDL_RENDERER_SOFTWARE);
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    }
    windowExists = true;
    SendToWindow(WM_CREATE, 0, 0);
    return mainWindow;
}

BOOL ShowWindow(HWND window, int)
{
    if (window != mainWindow || !sys_window)
        return FALSE;
    SDL_ShowWindow(sys_window);
    return TRUE;
}

BOOL UpdateWindow(HWND window) { return window == mainWindow; }

HWND SetFocus(HWND window)
{
    if (window == mainWindow && sys_window)
        SDL_RaiseWindow(sys_window);
    return window;
}

BOOL DestroyWindow(HWND window)
{
    if (window != mainWindow || !windowExists)
        return FALSE;
    windowExists = false;
    Sys_FlushDisplayChoices();
    SendToWindow(WM_DESTROY, 0, 0);
    return TRUE;
}

void Sys_ToggleFullscreen()
{
    if (!sys_window)
        return;
    static SDL_Rect windowed = { SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 0, 0 };
    bool full = (SDL_GetWindowFlags(sys_window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    placedAt = SDL_GetTicks();
    Sys_ChooseFullscreen(!full);
    if (full) {
        SDL_SetWindowFullscreen(sys_window, 0);
        if (windowed.w <= 0 || windowed.h <= 0)
            RememberedWindow(windowed);
        SDL_SetWindowSize(sys_window, windowed.w, windowed.h);
        SDL_SetWindowPosition(sys_window, windowed.x, windowed.y);
        return;
    }
    SDL_GetWindowPosition(sys_window, &windowed.x, &windowed.y);
    SDL_GetWindowSize(sys_window, &windowed.w, &windowed.h);
    // Cover the desktop first: without a window manager nobody else resizes the window, and the
    // picture would be drawn for the whole screen into the old, smaller window.
    SDL_Rect screen;
    int display = SDL_GetWindowDisplayIndex(sys_window);
    if (display >= 0 && SDL_GetDisplayBounds(display, &screen) == 0) {
        SDL_SetWindowPosition(sys_window, screen.x, screen.y);
        SDL_SetWindowSize(sys_window, screen.w, screen.h);
    }
    SDL_SetWindowFullscreen(sys_window, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

static void Post(UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG msg = {};
    msg.hwnd = message == WM_QUIT ? nullptr : mainWindow;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = timeGetTime();
    queue.push_back(msg);
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

// A sided modifier's shared code (16, 17, 18), or 0 for any other key.
static int SharedModifier(int vk)
{
    switch (vk) {
    case VK_LSHIFT: case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL: case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU: case VK_RMENU: return VK_MENU;
    default: return 0;
    }
}

// A desktop key as the event the game's side sees; false for Alt+Enter, which the window takes.
static bool Sys_TranslateKey(bool down, int scancode, int keycode, bool repeat, SysEvent &e)
{
    bool alt = keyDown[VK_LMENU] || keyDown[VK_RMENU];
    if (down && keycode == SDLK_RETURN && alt) {
        if (!repeat)
            Sys_ToggleFullscreen();
        return false;
    }
    e.vk = Sys_VirtualKeyOf(scancode, keycode, latinLayout);
    e.kind = down ? SysEvent::KEY_DOWN : SysEvent::KEY_UP;
    return e.vk != 0 && !Sys_ScreenshotKey(e.vk, down, repeat);
}

static void Sys_ApplyKey(bool down, int vk)
{
    keyDown[vk] = down;
    // Either side holds the shared code; the messages carry it, as Windows' do.
    if (int shared = SharedModifier(vk)) {
        int left = VK_LSHIFT + 2 * (shared - VK_SHIFT);
        keyDown[shared] = keyDown[left] || keyDown[left + 1];
        vk = shared;
    }
    bool alt = keyDown[VK_LMENU] || keyDown[VK_RMENU];
    if (down)
        Post(alt ? WM_SYSKEYDOWN : WM_KEYDOWN, (WPARAM)vk, 1);
    else
        Post(WM_KEYUP, (WPARAM)vk, 1);
}

void Sys_KeyEvent(bool down, int scancode, int keycode, bool repeat)
{
    SysEvent e;
    if (Sys_TranslateKey(down, scancode, keycode, repeat, e))
        Sys_ApplyKey(down, e.vk);
}

void Sys_InjectKey(int vk, bool down)
{
    if (vk <= 0 || vk > 255 || Sys_ScreenshotKey(vk, down, false))
        return;
    keyDown[vk] = down;
    Post(down ? WM_KEYDOWN : WM_KEYUP, (WPARAM)vk, 1);
}

// A script's press: key-down message, key held until the next drain but one.
static void Sys_PressKeyForOneFrame(int vk)
{
    if (vk <= 0 || vk > 255)
        return;
    Sys_InjectKey(vk, true);
    releaseAfterPump[vk] = 2; // survives the pump that posted it, released at the next
}

static void Sys_CloseWindowAsUser()
{
    if (closeRequested)
        return;
    closeRequested = true;
    if (windowExists)
        Post(WM_DESTROY, 0, 0);
    else
        Post(WM_QUIT, 0, 0);
}

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
        if (sys_window && SDL_GetTicks() - placedAt > 1000 &&
            !(SDL_GetWindowFlags(sys_window) &
              (SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_MAXIMIZED | SDL_WINDOW_MINIMIZED))) {
            int x, y, w, h;
            SDL_GetWindowPosition(sys_window, &x, &y);
            SDL_GetWindowSize(sys_window, &w, &h);
            Sys_NoteWindowPlace(x, y, w, h);
        }
        return SysEvent::NONE;
    default:
        return SysEvent::NONE;
    }
}

// A window whose flags say it is on screen counts as visible, whatever events were missed.
static bool Sys_RecheckVisibility()
{
    if (sys_options.headless || !sys_window || !sys_windowHidden)
        return false;
    return !(SDL_GetWindowFlags(sys_window) & (SDL_WINDOW_HIDDEN | SDL_WINDOW_MINIMIZED));
}

// Where one drain of the desktop has got to: its events, the visibility check, then the script.
static int drainStep = 0;

bool Sys_DesktopEvent(DWORD now, SysEvent &out)
{
    out = SysEvent();
    if (drainStep == 0 && videoStarted) {
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
                if (Sys_TranslateKey(e.type == SDL_KEYDOWN, e.key.keysym.scancode, e.key.keysym.sym,
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
    if (Sys_NextScriptEvent(now, out))
        return true;
    drainStep = 0;
    return false;
}

static void Sys_ApplyEvent(const SysEvent &e)
{
    switch (e.kind) {
    case SysEvent::KEY_DOWN:
    case SysEvent::KEY_UP: Sys_ApplyKey(e.kind == SysEvent::KEY_DOWN, e.vk); break;
    case SysEvent::SCRIPT_DOWN:
    case SysEvent::SCRIPT_UP: Sys_InjectKey(e.vk, e.kind == SysEvent::SCRIPT_DOWN); break;
    case SysEvent::SCRIPT_PRESS: Sys_PressKeyForOneFrame(e.vk); break;
    case SysEvent::HIDDEN: Sys_SetWindowHidden(true); break;
    case SysEvent::SHOWN: Sys_SetWindowHidden(false); break;
    case SysEvent::EXPOSED:
        Post(WM_PAINT, 0, 0);
        Sys_SetWindowHidden(false);
        break;
    case SysEvent::FOCUS_LOST: Post(WM_ACTIVATEAPP, FALSE, 0); break;
    case SysEvent::FOCUS_GAINED:
        Sys_SetWindowHidden(false);
        Post(WM_ACTIVATEAPP, TRUE, 0);
        break;
    case SysEvent::CLOSE: Sys_CloseWindowAsUser(); break;
    case SysEvent::JOYSTICKS_CHANGED: Sys_JoysticksChanged(); break;
    default: break;
    }
}

void Sys_PumpEvents()
{
    for (int vk = 0; vk < 256; vk++)
        if (releaseAfterPump[vk] && --releaseAfterPump[vk] == 0)
            keyDown[vk] = false;
    SysEvent e;
    while (sys_source.nextEvent(e))
        Sys_ApplyEvent(e);
    if (videoStarted)
        Sys_DisplayTick(SDL_GetTicks());
    Sys_SoundUpdate(SDL_GetTicks()); // an unplugged audio device is looked for again
}

bool Sys_WindowHidden() { return sys_windowHidden; }

void Sys_ResetQueue()
{
    queue.clear();
    memset(keyDown, 0, sizeof keyDown);
    memset(releaseAfterPump, 0, sizeof releaseAfterPump);
    closeRequested = false;
}

BOOL PeekMessageA(MSG *msg, HWND, UINT, UINT, UINT remove)
{
    Sys_PumpEvents();
    if (queue.empty() || !msg)
        return FALSE;
    *msg = queue.front();
    if (remove & PM_REMOVE)
        queue.pop_front();
    return TRUE;
}

static char KeyCharacter(int vk)
{
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
        return (char)vk;
    if (vk == VK_SPACE || vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_BACK || vk == VK_TAB)
        return (char)vk;
    return 0;
}

BOOL TranslateMessage(const MSG *msg)
{
    if (!msg || msg->message != WM_KEYDOWN)
        return FALSE;
    char c = KeyCharacter((int)msg->wParam);
    if (!c)
        return FALSE;
    MSG ch = *msg;
    ch.message = WM_CHAR;
    ch.wParam = (WPARAM)(unsigned char)c;
    queue.push_front(ch);
    return TRUE;
}

LRESULT DispatchMessageA(const MSG *msg)
{
    if (!msg || msg->hwnd != mainWindow || !classRegistered)
        return 0;
    if (msg->message == WM_DESTROY) {
        if (!windowExists)
            return 0;
        windowExists = false;
    }
    return SendToWindow(msg->message, msg->wParam, msg->lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window != mainWindow)
        return FALSE;
    Post(message, wParam, lParam);
    return TRUE;
}

void PostQuitMessage(int exitCode)
{
    Post(WM_QUIT, (WPARAM)exitCode, 0);
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM)
{
    if (message == WM_CLOSE)
        DestroyWindow(window);
    return 0;
}

int MessageBoxA(HWND, const char *text, const char *caption, UINT)
{
    fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    if (!sys_options.headless && videoStarted)
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, sys_window);
    return IDOK;
}

int ShowCursor(BOOL show)
{
    if (!videoStarted)
        return show ? 0 : -1;
    SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
    return show ? 0 : -1;
}

SHORT GetAsyncKeyState(int key)
{
    if (key < 0 || key > 255)
        return 0;
    return keyDown[key] ? (SHORT)0x8000 : 0;
}

void Sys_SetWindowHidden(bool hidden)
{
    if (hidden != sys_windowHidden)
        Post(WM_SIZE, hidden ? SIZE_MINIMIZED : SIZE_RESTORED, 0);
    sys_windowHidden = hidden;
    if (hidden)
        Sys_LoseAllSurfaces();
}
