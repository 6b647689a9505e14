// USER32 stand-in: one window, a message queue fed from the source's events, held keys.
#include "sys_display.h"
#include "sys_screenshot.h"
#include "sys_harness.h"
#include "sys_source.h"
#include "win_user.h"
#include "win_dinput.h"
#include "win_fsound.h"
#include "win_time.h"
#include "sys_os.h"
#include "sys_report.h"
#include "sys_video.h"
#include "win_ddraw.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <iterator>
#include <string>

static bool windowHidden = false;

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
static bool closeRequested = false;

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
    int w, h;
    Sys_DesktopSize(w, h);
    return index == SM_CXSCREEN ? w : h;
}

HWND CreateWindowExA(DWORD, const char *className, const char *title, DWORD, int, int, int width, int height, HWND,
                     HANDLE, HINSTANCE, void *)
{
    if (!classRegistered || !className || strcmp(className, windowClass.lpszClassName) != 0)
        return nullptr;
    if (!Sys_OpenWindow(title, width, height))
        return nullptr;
    windowExists = true;
    SendToWindow(WM_CREATE, 0, 0);
    return mainWindow;
}

BOOL ShowWindow(HWND window, int)
{
    if (window != mainWindow || !windowExists)
        return FALSE;
    Sys_ShowWindow();
    return TRUE;
}

BOOL UpdateWindow(HWND window) { return window == mainWindow; }

HWND SetFocus(HWND window)
{
    if (window == mainWindow && windowExists)
        Sys_RaiseWindow();
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
    if (Sys_TranslateDesktopKey(down, scancode, keycode, repeat, e))
        Sys_ApplyKey(down, e.vk);
}

void Sys_InjectKey(int vk, bool down)
{
    if (vk <= 0 || vk > 255 || Sys_ScreenshotKey(vk, down, false, true))
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
    unsigned now = Sys_Milliseconds();
    Sys_FlushReports();
    Sys_DisplayTick(now);
    Sys_SoundUpdate(now); // an unplugged audio device is looked for again
}

bool Sys_WindowHidden() { return windowHidden; }

void Sys_ResetQueue()
{
    queue.clear();
    memset(keyDown, 0, sizeof keyDown);
    memset(releaseAfterPump, 0, sizeof releaseAfterPump);
    closeRequested = false;
    Sys_ResetDesktopKeys();
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
    Sys_ErrorBox(caption, text);
    return IDOK;
}

int ShowCursor(BOOL show)
{
    Sys_ShowPointer(show);
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
    if (hidden != windowHidden)
        Post(WM_SIZE, hidden ? SIZE_MINIMIZED : SIZE_RESTORED, 0);
    windowHidden = hidden;
    Sys_NoteWindowHidden(hidden);
    Sys_DisplayHidden(hidden);
}
