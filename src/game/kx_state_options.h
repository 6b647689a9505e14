// The title state: the lit title relief, the options menu, its credits and input screens, its keys.
#pragma once

// The menu items, by their place from the top.
enum KX_MenuItemType {
    KX_MENU_START = 0,
    KX_MENU_GAMEMODE = 1,
    KX_MENU_P1_INPUT = 2,
    KX_MENU_P2_INPUT = 3,
    KX_MENU_SOUND_VOL = 4,
    KX_MENU_MUSIC_VOL = 5,
    KX_MENU_CREDITS = 6,
    KX_MENU_EXIT = 7,
    KX_MENU_ITEMS = 8
};

enum {
    KX_MENU_MAX_DEVICE = 2,     // the highest device a player may choose, joysticks allowing
    KX_QMARK_FRAMES = 36,
    KX_QMARK_FRAME_TIME = 50,   // ms a question-mark frame shows
    KX_MAX_START_LEVEL = 9,
    KX_VOLUME_STEP = 10
};

extern int CurrentOption;     // highlighted menu item; kept between visits
extern int KX_MaxPlayerInput; // highest device number a player may choose
extern float OptionPhase;     // degrees, 45 per second
extern float OptionPhase2;    // degrees, 14.4 per second
extern int LastOptionTime;
extern bool ShowingCredits;
extern bool ShowingInput;
extern bool InputWaitingKey;  // the input screen waits for the new key of InputAction
extern int InputPlayer;       // 0 player 1, 1 player 2
extern int InputAction;       // 0 to 7, as the key tables
extern int QMarkFrame;
extern int QMarkFrameTime;

void KX_STATE_OPTIONS_Start();
void KX_STATE_OPTIONS_Update(int time);
void KX_STATE_OPTIONS_HandleKey(int key);
