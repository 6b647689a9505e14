// The display device: exclusive mode, the page-flipped primary and back buffer, locks and loss.
#pragma once

#include "win_ddraw.h"

extern IDirectDraw *g_pDD;
extern IDirectDrawSurface *g_pDDSPrimary;
extern IDirectDrawSurface *g_pDDSBack;
extern IDirectDrawPalette *g_pDDPalette;
extern HWND g_hWnd;
extern int g_ScreenWidth;
extern int g_ScreenHeight;
extern int g_ScreenDepth;
extern unsigned char *g_PrimaryBuffer;
extern int g_PrimaryLpitch;
extern unsigned char *g_BackBuffer;
extern int g_BackLpitch;
extern PALETTEENTRY palette[256];

bool DDInit(HWND window);
bool DDCreateSurfaces(int width, int height, int depth);
int DDCheckSurfaces();
void DDFlip();
bool DDWaitForVsync();
unsigned char *DDLockPrimarySurface();
bool DDUnlockPrimarySurface();
unsigned char *DDLockBackSurface();
bool DDUnlockBackSurface();
bool DDClose();
