// Drawing the title's options menu, its percentages, and the credits and input screens.
#include "kx_menu.h"
#include "kx_pad.h"
#include "kx_state_options.h"
#include "kx_bitmap.h"
#include "kx_world.h"
#include "dd.h"
#include "dd_bitmap.h"
#include "dd_font.h"
#include "dd_input.h"
#include "kx_sound.h"

#include <cstdio>
#include <cstring>

DDBitmap *CreditsHandle = nullptr;
DDBitmap *InputKeyHandle = nullptr;
DDBitmap *InputPlayerHandle = nullptr;
DDBitmap *InputActionsHandle = nullptr;
DDBitmap *InputQMarkHandle = nullptr;

// Picture layouts: menu items hold 40-pixel variants 41 apart; instruction lines are 20 high.
enum {
    ITEM_X = 20,
    ITEM_Y = 20,
    ITEM_SPACING = 46,
    ITEM_WIDTH = 399,
    ITEM_HEIGHT = 40,
    ITEM_PITCH = 41,
    ITEM_ROW_SELECTED = 1,
    ITEM_ROW_PLAIN = 42,
    GAMEMODE_ROW_PLAIN = 124,
    INPUT_ROW_SELECTED_KEYBOARD = 1,
    INPUT_ROW_SELECTED_JOYSTICK = 42,
    INPUT_ROW_PLAIN_KEYBOARD = 83,
    INPUT_ROW_PLAIN_JOYSTICK = 124,
    JOYSTICK_NAME_X = 240,
    JOYSTICK_NAME_DY = 24,
    JOYSTICK_NAME_CHARS = 15,
    PERCENT_X = 220,
    PERCENT_DY = 4,
    INSTR_X = 72,
    INSTR_Y = 400,
    INSTR_Y2 = 420,
    INSTR_WIDTH = 288,
    INSTR_HEIGHT = 20,
    INSTR2_X = 88,
    INSTR2_WIDTH = 256,
    DIGIT_WIDTH = 15,
    DIGIT_HEIGHT = 27,
    PERCENT_SIGN_X = 150,
    PERCENT_SIGN_WIDTH = 23,
    KEY_CELL = 20,
    KEYS_PER_ROW = 16,
    KEY_CODES = 256,
    QMARK_PER_ROW = 9,
    ACTION_WIDTH = 160,
    ACTION_HEIGHT = 26,
    TITLE_WIDTH = 299,
    TITLE_HEIGHT = 42,
    INPUT_TITLE_X = 72,
    INPUT_TITLE_Y = 20,
    ACTION_X = 92,
    ACTION_Y = 100,
    ACTION_SPACING = 30,
    KEY_X = 280,
    KEY_DY = 2
};

// Lines of "gfx\instr1.bmp".
enum {
    INSTR_CHANGE = 0,
    INSTR_START = 1,
    INSTR_EXIT = 2,
    INSTR_CREDITS = 3,
    INSTR_REDEFINE = 4,
    INSTR_PRESS_KEY = 5,
    INSTR_BACK = 6
};

static const int ItemBitmap[KX_MENU_ITEMS] = { KX_BITMAP_START,     KX_BITMAP_GAMEMODE,  KX_BITMAP_P1_INPUT,
                                               KX_BITMAP_P2_INPUT,  KX_BITMAP_SOUND_VOL, KX_BITMAP_MUSIC_VOL,
                                               KX_BITMAP_CREDITS,   KX_BITMAP_EXIT };

static void DrawLine(int bitmap, int line, int x, int y, int width)
{
    DDBitmap_DrawSub(g_pDDSBack, KX_Bitmaps[bitmap], x, y, 0, INSTR_HEIGHT * line, width, INSTR_HEIGHT);
}

// The source row of an item's variant.
static int ItemRow(int item, bool selected)
{
    if (item == KX_MENU_GAMEMODE) {
        int mode = GameMode < 0 ? 0 : GameMode > 2 ? 2 : GameMode;
        return (selected ? ITEM_ROW_SELECTED : GAMEMODE_ROW_PLAIN) + ITEM_PITCH * mode;
    }
    if (item == KX_MENU_P1_INPUT || item == KX_MENU_P2_INPUT) {
        bool joystick = (item == KX_MENU_P1_INPUT ? P1Input : P2Input) > 0;
        if (selected)
            return joystick ? INPUT_ROW_SELECTED_JOYSTICK : INPUT_ROW_SELECTED_KEYBOARD;
        return joystick ? INPUT_ROW_PLAIN_JOYSTICK : INPUT_ROW_PLAIN_KEYBOARD;
    }
    return selected ? ITEM_ROW_SELECTED : ITEM_ROW_PLAIN;
}

// A joystick's name is shown only when there is more than one to choose from.
static void DrawJoystickName(int device, int y)
{
    if (device <= 0 || KX_MaxPlayerInput <= 1 || device > DDInput_NumJoysticks())
        return;
    char name[JOYSTICK_NAME_CHARS + 1];
    snprintf(name, sizeof name, "%s", DDInput_JoystickName(device - 1));
    DDBitmap_DrawText(g_pDDSBack, KX_Bitmaps[KX_BITMAP_FONT1], name, JOYSTICK_NAME_X, y + JOYSTICK_NAME_DY);
}

void DrawOptions()
{
    for (int item = 0; item < KX_MENU_ITEMS; item++) {
        bool selected = item == CurrentOption;
        int y = ITEM_Y + ITEM_SPACING * item;
        DDBitmap_DrawSub(g_pDDSBack, KX_Bitmaps[ItemBitmap[item]], ITEM_X, y, 0, ItemRow(item, selected), ITEM_WIDTH,
                         ITEM_HEIGHT);
        if (item == KX_MENU_P1_INPUT)
            DrawJoystickName(P1Input, y);
        else if (item == KX_MENU_P2_INPUT)
            DrawJoystickName(P2Input, y);
        else if (item == KX_MENU_SOUND_VOL)
            KX_DrawPercent(PERCENT_X, y + PERCENT_DY, SoundFxVol, selected);
        else if (item == KX_MENU_MUSIC_VOL)
            KX_DrawPercent(PERCENT_X, y + PERCENT_DY, MusicVol, selected);
    }
    // With a pad in hand the instructions speak its terms instead.
    if (KX_PAD_DrawHint(INSTR_X + INSTR_WIDTH / 2, INSTR_Y, false))
        return;
    int line = CurrentOption == KX_MENU_START     ? INSTR_START
               : CurrentOption == KX_MENU_CREDITS ? INSTR_CREDITS
               : CurrentOption == KX_MENU_EXIT    ? INSTR_EXIT
                                                  : INSTR_CHANGE;
    DrawLine(KX_BITMAP_INSTR1, line, INSTR_X, INSTR_Y, INSTR_WIDTH);
    if (CurrentOption == KX_MENU_P1_INPUT || CurrentOption == KX_MENU_P2_INPUT)
        DrawLine(KX_BITMAP_INSTR2, 0, INSTR2_X, INSTR_Y2, INSTR2_WIDTH);
}

void KX_DrawPercent(int x, int y, int value, bool highlighted)
{
    DDBitmap *numbers = KX_Bitmaps[KX_BITMAP_OPT_NUMBERS];
    int row = highlighted ? 0 : DIGIT_HEIGHT;
    // A negative value would pick cells left of the strip; none is ever shown.
    if (value < 0)
        value = 0;
    if (value > 99)
        DDBitmap_DrawSub(g_pDDSBack, numbers, x, y, DIGIT_WIDTH * (value / 100 % 10), row, DIGIT_WIDTH, DIGIT_HEIGHT);
    if (value > 9)
        DDBitmap_DrawSub(g_pDDSBack, numbers, x + DIGIT_WIDTH, y, DIGIT_WIDTH * (value / 10 % 10), row, DIGIT_WIDTH,
                         DIGIT_HEIGHT);
    DDBitmap_DrawSub(g_pDDSBack, numbers, x + 2 * DIGIT_WIDTH, y, DIGIT_WIDTH * (value % 10), row, DIGIT_WIDTH,
                     DIGIT_HEIGHT);
    DDBitmap_DrawSub(g_pDDSBack, numbers, x + 3 * DIGIT_WIDTH, y, PERCENT_SIGN_X, row, PERCENT_SIGN_WIDTH,
                     DIGIT_HEIGHT);
}

// Loads a sub-screen picture with black transparent, unless it is loaded already.
static void LoadPicture(DDBitmap *&handle, const char *fileName)
{
    if (handle)
        return;
    handle = DDBITMAP_Load(fileName);
    if (handle)
        DDBitmap_SetTransparent(handle, 0);
}

static void ReleasePicture(DDBitmap *&handle)
{
    if (!handle)
        return;
    DDBitmap_Release(handle);
    handle = nullptr;
}

void DrawInput()
{
    LoadPicture(InputKeyHandle, "gfx\\allkeys.bmp");
    LoadPicture(InputPlayerHandle, "gfx\\kx_p_inp.bmp");
    LoadPicture(InputActionsHandle, "gfx\\kx_input.bmp");
    LoadPicture(InputQMarkHandle, "gfx\\qmark.bmp");

    int player = InputPlayer == 1 ? 1 : 0;
    DDBitmap_DrawSub(g_pDDSBack, InputPlayerHandle, INPUT_TITLE_X, INPUT_TITLE_Y, 0, TITLE_HEIGHT * player,
                     TITLE_WIDTH, TITLE_HEIGHT);
    const int *keys = player == 0 ? P1InputKeys : P2InputKeys;
    for (int action = 0; action < DDINPUT_NUM_ACTIONS; action++) {
        int y = ACTION_Y + ACTION_SPACING * action;
        bool selected = action == InputAction;
        DDBitmap_DrawSub(g_pDDSBack, InputActionsHandle, ACTION_X, y, selected ? ACTION_WIDTH : 0,
                         ACTION_HEIGHT * action, ACTION_WIDTH, ACTION_HEIGHT);
        if (selected && InputWaitingKey) {
            int frame = QMarkFrame >= 0 && QMarkFrame < KX_QMARK_FRAMES ? QMarkFrame : 0;
            DDBitmap_DrawSub(g_pDDSBack, InputQMarkHandle, KEY_X, y + KEY_DY, KEY_CELL * (frame % QMARK_PER_ROW),
                             KEY_CELL * (frame / QMARK_PER_ROW), KEY_CELL, KEY_CELL);
        } else if (keys[action] >= 0 && keys[action] < KEY_CODES) {
            // The picture grid holds the 256 key codes; any other value has no picture.
            int c = keys[action];
            DDBitmap_DrawSub(g_pDDSBack, InputKeyHandle, KEY_X, y + KEY_DY, KEY_CELL * (c % KEYS_PER_ROW),
                             KEY_CELL * (c / KEYS_PER_ROW), KEY_CELL, KEY_CELL);
        }
    }
    if (InputWaitingKey) {
        DrawLine(KX_BITMAP_INSTR1, INSTR_PRESS_KEY, INSTR_X, INSTR_Y, INSTR_WIDTH);
    } else {
        DrawLine(KX_BITMAP_INSTR1, INSTR_REDEFINE, INSTR_X, INSTR_Y, INSTR_WIDTH);
        DrawLine(KX_BITMAP_INSTR1, INSTR_BACK, INSTR_X, INSTR_Y2, INSTR_WIDTH);
    }
}

void DrawCredits()
{
    LoadPicture(CreditsHandle, "gfx\\kx_credits.bmp");
    DDBitmap_Draw(g_pDDSBack, CreditsHandle, 0, 0);
    DrawLine(KX_BITMAP_INSTR1, INSTR_BACK, INSTR_X, INSTR_Y2, INSTR_WIDTH);
    if (StartLevel != 0) {
        char text[32];
        snprintf(text, sizeof text, "Start level = %d", StartLevel);
        DDBitmap_DrawText(g_pDDSBack, KX_Bitmaps[KX_BITMAP_FONT1], text, 2, 2);
    }
}

void KX_MENU_ReleaseCredits() { ReleasePicture(CreditsHandle); }

void KX_MENU_ReleaseInput()
{
    ReleasePicture(InputKeyHandle);
    ReleasePicture(InputPlayerHandle);
    ReleasePicture(InputActionsHandle);
    ReleasePicture(InputQMarkHandle);
}
