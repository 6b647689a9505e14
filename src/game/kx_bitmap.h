// The game's screen bitmaps, the runways with their animated portals, and the stage numbers.
#pragma once

struct DDBitmap;

enum KX_BitmapType {
    KX_BITMAP_FONT1 = 0,
    KX_BITMAP_FONT2,
    KX_BITMAP_PANEL_GAME,
    KX_BITMAP_PANEL_SCORE,
    KX_BITMAP_RUNWAY_X,
    KX_BITMAP_RUNWAY_Y,
    KX_BITMAP_RUNWAY_C,
    KX_BITMAP_RUNWAY_T,
    KX_BITMAP_PORTAL_LEFT,
    KX_BITMAP_PORTAL_RIGHT,
    KX_BITMAP_PORTAL_TOP,
    KX_BITMAP_PORTAL_BOTTOM,
    KX_BITMAP_LEVEL,
    KX_BITMAP_PHASE,
    KX_BITMAP_LVLNUM,
    KX_BITMAP_LOADING,
    KX_BITMAP_PLAYER1,
    KX_BITMAP_PLAYER2,
    KX_BITMAP_READY,
    KX_BITMAP_PAUSED,
    KX_BITMAP_COMPLETE,
    KX_BITMAP_GAMEOVER,
    KX_BITMAP_LIFE,
    KX_BITMAP_ELECTRO,
    KX_BITMAP_THRESHOLD_BAR,
    KX_BITMAP_START,
    KX_BITMAP_GAMEMODE,
    KX_BITMAP_P1_INPUT,
    KX_BITMAP_P2_INPUT,
    KX_BITMAP_MUSIC_VOL,
    KX_BITMAP_SOUND_VOL,
    KX_BITMAP_CREDITS,
    KX_BITMAP_EXIT,
    KX_BITMAP_INSTR1,
    KX_BITMAP_INSTR2,
    KX_BITMAP_OPT_NUMBERS,
    KX_NUM_BITMAPS
};

// Portal strips hold eight frames of 10 by 57 (left, right) or 57 by 10 (top, bottom) pixels;
// the stage number strip holds cells of 36 by 35.
enum {
    KX_PORTAL_FRAMES = 8,
    KX_PORTAL_FRAME_TIME = 50,
    KX_PORTAL_THICKNESS = 10,
    KX_PORTAL_LENGTH = 57,
    KX_STAGENUM_WIDTH = 36,
    KX_STAGENUM_HEIGHT = 35
};

extern DDBitmap *KX_Bitmaps[KX_NUM_BITMAPS];
extern const char *const KX_BitmapFilename[KX_NUM_BITMAPS];
extern const int KX_TransparentColour[KX_NUM_BITMAPS]; // 0xRRGGBB, or -1 for no colour key
extern int PortalFrame;
extern int PortalFrameTime;

bool KX_BITMAP_Initialise();
void KX_BITMAP_Cleanup();
void KX_DrawRunways1();
void KX_DrawRunways2();
void KX_SetPortalTime(int time);
void KX_UpdatePortalFrame(int time);
void KX_DrawStageNum(int x, int y, int n);
// The playfield as the states around play show it: lit relief, portals advanced to time,
// runways, sprites, crossing piece.
void KX_DrawPlayfield(int time);
// Whose turn, and the level and phase of GameLevel.
void KX_DrawStageCaption();
