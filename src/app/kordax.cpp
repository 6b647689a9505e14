// Start-up, the window procedure, the main loop and the timed frame.
#include "kordax.h"
#include "dd.h"
#include "dd_draw.h"
#include "dd_log.h"
#include "dd_bitmap.h"
#include "dd_sprites.h"
#include "dd_input.h"
#include "bumpmap.h"
#include "kx_config.h"
#include "kx_game.h"
#include "kx_pad.h"
#include "kx_pause.h"
#include "kx_sound.h"
#include "win_time.h"
#include "win_user.h"

#include <cctype>
#include <cstdio>
#include <string>

HWND main_window_handle = nullptr;
HINSTANCE main_instance = nullptr;
DDBitmap *SplashHandle = nullptr;
bool ShowingSplash = false;
bool ShownSplash = false;
DWORD SplashStartTime = 0;
int DeterminedRefresh = 0;
bool FirstFrame = true;
DWORD FrameTime = 0;
DWORD LastFrameTime = 0;
int DeltaTime = 0;
DWORD UpdateTime = 0;
int QuantizeFactor = 1;
int Frame = 0;
DWORD LastFPSTime = 0;
int FPSTime = 0;
int MinTime = 1000, MaxTime = 0;
int DMinTime = 0, DMaxTime = 0, MeanTime = 0, FPS = 0;
int DebugLevel = 0;
int ScreenDepthRequest = 32;
int LightingRequest = BUMPMAP_LIGHTING_FULL;

enum { KX_SPLASH_TIME = 5000, KX_MIN_FRAME = 10 };

static bool InitialisationFailed = false;

void KX_ReadCommandLine(const char *line)
{
    ScreenDepthRequest = 32;
    LightingRequest = BUMPMAP_LIGHTING_FULL;
    if (!line || *line != '-')
        return;
    const char *p = line;
    while (*p == '-') {
        p++;
        char sw = *p;
        if (sw == '\0')
            break;
        p++;
        switch (sw) {
        case '2': ScreenDepthRequest = 16; DDErrorLog("16 BPP mode selected"); break;
        case '3': ScreenDepthRequest = 24; DDErrorLog("24 BPP mode selected"); break;
        case '4': ScreenDepthRequest = 32; DDErrorLog("32 BPP mode selected"); break;
        case 'f': LightingRequest = BUMPMAP_LIGHTING_FAST; DDErrorLog("Lighting = fast"); break;
        case 'n': LightingRequest = BUMPMAP_LIGHTING_OFF; DDErrorLog("Lighting = off"); break;
        default: break;
        }
        while (isspace((unsigned char)*p))
            p++;
    }
}

LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        DDCheckSurfaces();
        return 0;
    case WM_KEYDOWN:
        if (!KX_PAUSE_HandleKey((int)wParam))
            KX_HandleKey((int)wParam);
        return 0;
    case WM_ACTIVATEAPP:
        if (!wParam)
            KX_PAUSE_Away();
        return 0;
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED)
            KX_PAUSE_Away();
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

int KX_AdvanceUpdateTime()
{
    if (DeltaTime < QuantizeFactor)
        DeltaTime = QuantizeFactor;
    int move = (DeltaTime / QuantizeFactor) * QuantizeFactor;
    UpdateTime += move;
    if ((DWORD)(UpdateTime - FrameTime) > (DWORD)QuantizeFactor)
        UpdateTime = FrameTime;
    if (UpdateTime > FrameTime)
        UpdateTime--;
    else if (UpdateTime < FrameTime)
        UpdateTime++;
    return move;
}

void KX_EndFrame()
{
    DWORD now = GetClock();
    DeltaTime = (int)(now - LastFrameTime);
    FrameTime = LastFrameTime = now;
    if (DeltaTime <= KX_MIN_FRAME - 1) {
        Sleep(KX_MIN_FRAME - DeltaTime);
        FrameTime = GetClock();
        DeltaTime = (int)(FrameTime - LastFrameTime);
    }
    if (DeltaTime < MinTime)
        MinTime = DeltaTime;
    if (DeltaTime > MaxTime)
        MaxTime = DeltaTime;
    Frame++;
    FPSTime = (int)(FrameTime - LastFPSTime);
    if (FirstFrame) {
        Frame = 0;
        MinTime = 1000;
        MaxTime = 0;
        LastFPSTime = FrameTime;
        FirstFrame = false;
    }
    if (FPSTime >= 1000 && Frame > 0) {
        FPS = Frame;
        MeanTime = FPSTime / Frame;
        DMinTime = MinTime;
        DMaxTime = MaxTime;
        LastFPSTime = FrameTime;
        Frame = 0;
        MinTime = 1000;
        MaxTime = 0;
        if (DeterminedRefresh <= 1) {
            // A zero mean would divide the update time by zero; keep at least 1 ms.
            QuantizeFactor = MeanTime > 0 ? MeanTime : 1;
            DeterminedRefresh++;
            char text[80];
            snprintf(text, sizeof text, "Refresh rate determined: %d FPS (%d ms)", FPS, MeanTime);
            DDErrorLog(text);
        }
    }
}

// Without this the window would just vanish: say which file stopped the game, and where to look.
static void KX_ReportStartFailure()
{
    std::string text = "Kordax could not load its game files and has to stop.";
    if (*DDLastFileProblem())
        text += std::string("\n\nFile: ") + DDLastFileProblem();
    text += "\n\nThe details are in \"dderrors.log\".";
    MessageBoxA(main_window_handle, text.c_str(), "Kordax", MB_OK);
}

static void KX_SplashOrGame()
{
    if (!ShownSplash) {
        if (SplashHandle)
            DDBitmap_Draw(g_pDDSBack, SplashHandle, 0, 0);
        if (!ShowingSplash) {
            SplashStartTime = GetClock();
            ShowingSplash = true;
        } else if (UpdateTime > SplashStartTime + KX_SPLASH_TIME) {
            ShownSplash = true;
            if (SplashHandle) {
                DDBitmap_Release(SplashHandle);
                SplashHandle = nullptr;
            }
            if (!KX_Initialise()) {
                InitialisationFailed = true;
                DDErrorLog("Error detected during initialisation.");
                DDErrorLog("Quitting Kordax");
                KX_ReportStartFailure();
                GameState = KX_STATE_QUIT;
            }
        }
    } else {
        KX_PAD_Update((int)UpdateTime);
        KX_PAUSE_Update((int)UpdateTime);
    }
}

bool GameMain(void *)
{
    if (GameState == KX_STATE_QUIT) {
        DDErrorLog("Game Exit selected");
        PostMessageA(main_window_handle, WM_DESTROY, 0, 0);
    }
    int restored = DDCheckSurfaces();
    if ((g_pDDSPrimary && g_pDDSPrimary->IsLost() == DDERR_SURFACELOST) ||
        (g_pDDSBack && g_pDDSBack->IsLost() == DDERR_SURFACELOST)) {
        // Nothing to draw on: give the processor back rather than spin while minimised, and hold
        // the game's time, so that the time away is not played out unseen on return.
        HoldClock(DDCLOCK_AWAY);
        Sleep(KX_MIN_FRAME);
        return false;
    }
    ReleaseClock(DDCLOCK_AWAY);
    if (restored) {
        DDSPRITE_RestoreSurfaces();
        Bumpmap_RestoreSurfaces();
    }
    int move = 0;
    if (FirstFrame) {
        FrameTime = LastFrameTime = LastFPSTime = GetClock();
        UpdateTime = FrameTime;
    } else if (!ClockHeld(DDCLOCK_PAUSED)) {
        move = KX_AdvanceUpdateTime(); // paused, the update time waits with the clock
    }
    if (DeterminedRefresh > 1)
        KX_SplashOrGame();
    DDFlip();
    KX_EndFrame();
    if (DebugLevel > 0) {
        DDFillRect(g_pDDSPrimary, 0, 10, 10, 320, 30);
        char text[128];
        snprintf(text, sizeof text, "FPS: %d, Min: %d Max: %d, Mean: %d Move: %d", FPS, DMinTime, DMaxTime,
                 MeanTime, move);
        PALETTEENTRY green = { 0, 255, 0, 0 };
        DrawTextGDI(text, 10, 10, green, g_pDDSPrimary);
    }
    return true;
}

bool KX_MainLoopTurn(MSG *msg)
{
    if (PeekMessageA(msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg->message == WM_QUIT)
            return false;
        TranslateMessage(msg);
        DispatchMessageA(msg);
    }
    GameMain(nullptr);
    return true;
}

static bool KX_CreateMainWindow(HINSTANCE instance, int showCommand)
{
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = GetStockObject(BLACK_BRUSH);
    wc.lpszClassName = "KX_WINXCLASS";
    if (!RegisterClassA(&wc))
        return false;
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "KX_WINXCLASS", "Kordax", WS_POPUP, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                  instance, nullptr);
    if (!window) {
        DDErrorLog("Create Main window failed");
        return false;
    }
    char text[64];
    DDErrorLog("Main window created");
    snprintf(text, sizeof text, "Hwnd = %d\n", (int)(intptr_t)window);
    DDErrorLog(text);
    ShowWindow(window, showCommand);
    DDErrorLog("Main window shown");
    UpdateWindow(window);
    DDErrorLog("Main window updated");
    SetFocus(window);
    DDErrorLog("Main window set focus");
    DDErrorLog("Main window shown and updated");
    main_window_handle = window;
    main_instance = instance;
    return true;
}

int WinMain(HINSTANCE instance, HINSTANCE, char *commandLine, int showCommand)
{
    DDOpenErrorLog();
    KX_ReadCommandLine(commandLine);
    // Start-up failures end the run with 1: a shell or a launcher must not read them as success.
    if (!KX_CreateMainWindow(instance, showCommand))
        return 1;
    if (!DDInit(main_window_handle)) {
        DDErrorLog("Failed to initialise DirectDraw");
        MessageBoxA(main_window_handle, "Failed to initialise DirectDraw", "Error", MB_OK);
        DDClose();
        return 1;
    }
    DDErrorLog("Initialised DirectDraw");
    if (!DDCreateSurfaces(640, 480, ScreenDepthRequest)) {
        DDErrorLog("Failed to create surfaces");
        DDClose();
        MessageBoxA(main_window_handle, "Failed to create surfaces", "Error", MB_OK);
        return 1;
    }
    DDErrorLog("Direct Draw surfaces created");
    DDInput_Initialise(instance, main_window_handle);
    DDErrorLog("Direct Input initialised");
    KX_SOUND_Initialise();
    DDErrorLog("FSound initialised");
    ReadIniFile();
    DDErrorLog("Read config options");
    BumpMap_SetLightingType((BumpmapLightingType)LightingRequest);
    ShowCursor(FALSE);
    SplashHandle = DDBITMAP_Load("gfx\\splash640x480.bmp");
    if (!SplashHandle)
        DDErrorLog("Error: Failed to load splash screen");

    MSG msg = {};
    while (GameState != KX_STATE_QUIT && KX_MainLoopTurn(&msg))
        ;

    WriteIniFile();
    if (SplashHandle) { // closed during the splash
        DDBitmap_Release(SplashHandle);
        SplashHandle = nullptr;
    }
    KX_CleanUp();
    KX_SOUND_Cleanup();
    ShowCursor(TRUE);
    DDInput_Close();
    DDClose();
    if (InitialisationFailed)
        return 1;
    // Leaving by the quit state is a normal end: report success, not the last key's code.
    return msg.message == WM_QUIT ? (int)msg.wParam : 0;
}
