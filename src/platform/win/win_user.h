// USER32 stand-in: the window, its message queue, held keys, message box and cursor.
#pragma once

#include "win_types.h"

typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HANDLE hIcon;
    HANDLE hCursor;
    HANDLE hbrBackground;
    const char *lpszMenuName;
    const char *lpszClassName;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

#define IDI_APPLICATION ((const char *)32512)
#define IDC_ARROW ((const char *)32512)
#define BLACK_BRUSH 4

HANDLE LoadIconA(HINSTANCE instance, const char *name);
HANDLE LoadCursorA(HINSTANCE instance, const char *name);
HANDLE GetStockObject(int object);
ATOM RegisterClassA(const WNDCLASSA *windowClass);
HWND CreateWindowExA(DWORD exStyle, const char *className, const char *title, DWORD style, int x, int y,
                     int width, int height, HWND parent, HANDLE menu, HINSTANCE instance, void *param);
BOOL ShowWindow(HWND window, int command);
BOOL UpdateWindow(HWND window);
HWND SetFocus(HWND window);
BOOL DestroyWindow(HWND window);
int GetSystemMetrics(int index);
BOOL PeekMessageA(MSG *msg, HWND window, UINT first, UINT last, UINT remove);
BOOL TranslateMessage(const MSG *msg);
LRESULT DispatchMessageA(const MSG *msg);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int MessageBoxA(HWND window, const char *text, const char *caption, UINT type);
int ShowCursor(BOOL show);
SHORT GetAsyncKeyState(int key);

// Drain pending desktop events into the queue and the key state; PeekMessageA does it too.
void Sys_PumpEvents();
// Whether the window is minimised or hidden (the display's surfaces count as lost then).
bool Sys_WindowHidden();
void Sys_SetWindowHidden(bool hidden); // as minimising and restoring the window
// For tests: put a key-down (and the matching key state) on the queue as the desktop would.
void Sys_InjectKey(int vk, bool down);
void Sys_ResetQueue();

// A key going down or up as the desktop reports it: held state, messages, Alt+Enter.
void Sys_KeyEvent(bool down, int scancode, int keycode, bool repeat);
