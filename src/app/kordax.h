// The entry, the window procedure and the per-frame routine that drives the game.
#pragma once

#include "win_types.h"
#include "win_user.h"

struct DDBitmap;

extern HWND main_window_handle;
extern HINSTANCE main_instance;
extern DDBitmap *SplashHandle;
extern bool ShowingSplash;
extern bool ShownSplash;
extern DWORD SplashStartTime;
extern int DeterminedRefresh;
extern bool FirstFrame;
extern DWORD FrameTime;
extern DWORD LastFrameTime;
extern int DeltaTime;
extern DWORD UpdateTime;
extern int QuantizeFactor;
extern int Frame;
extern DWORD LastFPSTime;
extern int FPSTime;
extern int MinTime, MaxTime;
extern int DMinTime, DMaxTime, MeanTime, FPS;
extern int DebugLevel;
extern int ScreenDepthRequest; // the depth the command line chose
extern int LightingRequest;    // the lighting type the command line chose

int WinMain(HINSTANCE instance, HINSTANCE previous, char *commandLine, int showCommand);
LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
bool GameMain(void *unused);
// One turn of the main loop: at most one message, then one frame. False on the quit message.
bool KX_MainLoopTurn(MSG *msg);

// The pieces of the frame, open to tests.
void KX_ReadCommandLine(const char *line);
int KX_AdvanceUpdateTime(); // step 3 of the frame: returns the Move
void KX_EndFrame();         // steps 6 to 8: frame length, minimum frame, statistics
