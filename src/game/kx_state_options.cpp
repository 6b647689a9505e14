// The title state: the relief under four swinging lights, and the keys of the menu and its screens.
#include "kx_state_options.h"
#include "kx_pad.h"
#include "kx_menu.h"
#include "kx_bitmap.h"
#include "kx_config.h"
#include "kx_game.h"
#include "kx_scores.h"
#include "kx_world.h"
#include "bumpmap.h"
#include "dd.h"
#include "dd_bitmap.h"
#include "dd_input.h"
#include "dd_log.h"
#include "kx_sound.h"

#include <cmath>

int CurrentOption = KX_MENU_START;
int KX_MaxPlayerInput = 0;
float OptionPhase = 0;
float OptionPhase2 = 0;
int LastOptionTime = 0;
bool ShowingCredits = false;
bool ShowingInput = false;
bool InputWaitingKey = false;
int InputPlayer = 0;
int InputAction = 0;
int QMarkFrame = 0;
int QMarkFrameTime = 0;
// A key was redefined since the input screen opened: the keys are saved when it closes.
static bool KeysChanged = false;

enum {
    KEY_RETURN = 13,
    KEY_ESCAPE = 27,
    KEY_PAGE_UP = 33,
    KEY_PAGE_DOWN = 34,
    KEY_LEFT = 37,
    KEY_UP = 38,
    KEY_RIGHT = 39,
    KEY_DOWN = 40,
    KEY_CODES = 256
};

static void OfferJoysticks()
{
    int joysticks = DDInput_NumJoysticks();
    KX_MaxPlayerInput = joysticks < 0 ? 0 : joysticks > KX_MENU_MAX_DEVICE ? KX_MENU_MAX_DEVICE : joysticks;
}

void KX_STATE_OPTIONS_Start()
{
    OfferJoysticks();
    ShowingCredits = false;
    StateTime = GetClock();
    LastOptionTime = (int)StateTime;
    Bumpmap_LoadTextures("gfx\\kx_title_c.bmp", "gfx\\kx_title_h.bmp");
    Bumpmap_ClearStaticLights();
    Bumpmap_AddStaticLight(220, 220, 600, 64, 64, 64);
    Bumpmap_RecalculateStatic();
    TLightSpec *lights[4] = { Light1, Light2, Light3, Light4 };
    for (int slot = 0; slot < 4; slot++)
        Bumpmap_ActivateLight(slot, lights[slot]);
    KX_SOUND_PlayMusic(KX_MUSIC_TITLE);
}

// The lights trace Lissajous figures of ratio 3 to 2 over the square 20 to 420, the second phase
// slowly turning the figure, the four lights a quarter turn of the first phase apart.
static void MoveLights()
{
    const double degree = M_PI / 180.0;
    for (int i = 0; i < 4; i++) {
        double offset = 90.0 * i;
        int x = (int)(200.0 * sin(3.0 * ((double)OptionPhase + offset) * degree) + 220.0);
        int y = (int)(200.0 * cos(2.0 * ((double)OptionPhase2 + (double)OptionPhase + offset) * degree) + 220.0);
        Bumpmap_SetLightPos(i, x, y);
    }
}

// Frames of 50 ms, missed steps caught up; a step needs the time to be more than 50 ms past the last.
static void AdvanceQuestionMark(int now)
{
    int elapsed = (int)((unsigned)now - (unsigned)QMarkFrameTime);
    if (elapsed <= KX_QMARK_FRAME_TIME)
        return;
    int steps = (elapsed - 1) / KX_QMARK_FRAME_TIME;
    int frame = QMarkFrame >= 0 && QMarkFrame < KX_QMARK_FRAMES ? QMarkFrame : 0;
    QMarkFrame = (frame + steps % KX_QMARK_FRAMES) % KX_QMARK_FRAMES;
    QMarkFrameTime = (int)((unsigned)QMarkFrameTime + (unsigned)steps * KX_QMARK_FRAME_TIME);
}

void KX_STATE_OPTIONS_Update(int time)
{
    if (DDInput_AcceptNewJoysticks())
        OfferJoysticks(); // a pad plugged in now is offered at once
    int dt = (int)((unsigned)time - (unsigned)LastOptionTime);
    LastOptionTime = time;
    OptionPhase += (float)(dt * 360.0 * 0.125 / 1000.0);
    if (OptionPhase > 360)
        OptionPhase -= 360;
    OptionPhase2 += (float)(dt * 360.0 / 25.0 / 1000.0);
    if (OptionPhase2 > 360)
        OptionPhase2 -= 360;
    MoveLights();

    Bumpmap_Draw();
    DDBitmap_Draw(g_pDDSBack, KX_Bitmaps[KX_BITMAP_RUNWAY_X], 0, 440);
    DDBitmap_Draw(g_pDDSBack, KX_Bitmaps[KX_BITMAP_RUNWAY_Y], 440, 0);
    DDBitmap_Draw(g_pDDSBack, KX_Bitmaps[KX_BITMAP_RUNWAY_C], 395, 395);
    DDBitmap_Draw(g_pDDSBack, KX_Bitmaps[KX_BITMAP_RUNWAY_T], 406, 406);

    if (ShowingCredits)
        DrawCredits();
    else
        KX_MENU_ReleaseCredits();
    if (ShowingInput) {
        AdvanceQuestionMark(time);
        DrawInput();
    } else {
        KX_MENU_ReleaseInput();
    }
    if (!ShowingCredits && !ShowingInput)
        DrawOptions();
    if (ShowingCredits || ShowingInput)
        KX_PAD_DrawHint(220, KX_PAD_HINT_Y, true);
    KX_PANEL_SCORES_Draw();
}

static int Clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

static void CreditsKey(int key)
{
    if (key == KEY_RETURN || key == KEY_ESCAPE)
        ShowingCredits = false;
    else if (key == KEY_PAGE_UP)
        StartLevel = Clamp(StartLevel + 1, 0, KX_MAX_START_LEVEL);
    else if (key == KEY_PAGE_DOWN)
        StartLevel = Clamp(StartLevel - 1, 0, KX_MAX_START_LEVEL);
}

static void NewKey(int key)
{
    if (key == KEY_ESCAPE) {
        InputWaitingKey = false;
        return;
    }
    // Key codes index 256-entry tables (key states, key pictures): anything else is no key.
    if (key < 0 || key >= KEY_CODES)
        return;
    int action = Clamp(InputAction, 0, DDINPUT_NUM_ACTIONS - 1);
    int &slot = (InputPlayer == 1 ? P2InputKeys : P1InputKeys)[action];
    KeysChanged = KeysChanged || slot != key;
    slot = key;
    InputWaitingKey = false;
}

// Saved at once as well as at exit, so that a run that ends badly keeps the new keys.
static void CloseInputScreen()
{
    ShowingInput = false;
    if (KeysChanged)
        WriteIniFile();
    KeysChanged = false;
}

static void InputScreenKey(int key)
{
    if (key == KEY_UP)
        InputAction = Clamp(InputAction - 1, 0, DDINPUT_NUM_ACTIONS - 1);
    else if (key == KEY_DOWN)
        InputAction = Clamp(InputAction + 1, 0, DDINPUT_NUM_ACTIONS - 1);
    else if (key == KEY_RETURN)
        InputWaitingKey = true;
    else if (key == KEY_ESCAPE)
        CloseInputScreen();
}

static void OpenInputScreen(int player)
{
    InputPlayer = player;
    InputWaitingKey = false;
    ShowingInput = true;
    QMarkFrame = 0;
    InputAction = 0;
    QMarkFrameTime = (int)GetClock();
}

static void MenuReturn()
{
    switch (CurrentOption) {
    case KX_MENU_START:
        KX_NewGame();
        GameState = KX_STATE_LOAD_LEVEL;
        break;
    case KX_MENU_P1_INPUT: OpenInputScreen(0); break;
    case KX_MENU_P2_INPUT: OpenInputScreen(1); break;
    case KX_MENU_CREDITS: ShowingCredits = true; break;
    case KX_MENU_EXIT: GameState = KX_STATE_QUIT; break;
    default: break;
    }
}

// Left (-1) or Right (+1) on the selected item.
static void MenuChange(int step)
{
    switch (CurrentOption) {
    case KX_MENU_GAMEMODE: GameMode = Clamp(GameMode + step, KX_GAMEMODE_ONE_PLAYER, KX_GAMEMODE_ALTERNATE); break;
    case KX_MENU_P1_INPUT: P1Input = Clamp(P1Input + step, 0, KX_MaxPlayerInput); break;
    case KX_MENU_P2_INPUT: P2Input = Clamp(P2Input + step, 0, KX_MaxPlayerInput); break;
    case KX_MENU_SOUND_VOL:
        if (step < 0 ? SoundFxVol > 0 : SoundFxVol < 100)
            KX_SOUND_SetFxVolume(SoundFxVol + step * KX_VOLUME_STEP);
        break;
    case KX_MENU_MUSIC_VOL:
        if (step < 0 ? MusicVol > 0 : MusicVol < 100)
            KX_SOUND_SetMusicVolume(MusicVol + step * KX_VOLUME_STEP);
        break;
    default: break;
    }
}

static void MenuKey(int key)
{
    // Kept in range first, so the wrap-around below always lands on an item.
    CurrentOption = Clamp(CurrentOption, 0, KX_MENU_ITEMS - 1);
    switch (key) {
    case KEY_UP: CurrentOption = (CurrentOption + KX_MENU_ITEMS - 1) % KX_MENU_ITEMS; break;
    case KEY_DOWN: CurrentOption = (CurrentOption + 1) % KX_MENU_ITEMS; break;
    case KEY_RETURN: MenuReturn(); break;
    case KEY_LEFT: MenuChange(-1); break;
    case KEY_RIGHT: MenuChange(+1); break;
    default: break;
    }
}

void KX_STATE_OPTIONS_HandleKey(int key)
{
    if (ShowingCredits)
        CreditsKey(key);
    else if (ShowingInput && InputWaitingKey)
        NewKey(key);
    else if (ShowingInput)
        InputScreenKey(key);
    else
        MenuKey(key);
}
