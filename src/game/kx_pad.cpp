// Pads beyond play: any pad drives the screens with the keys they already take; in play Start pauses and a lost pad waits.
#include "kx_pad.h"
#include "kx_bitmap.h"
#include "kx_game.h"
#include "kx_pause.h"
#include "kx_state_gameover.h"
#include "kx_state_options.h"
#include "kx_world.h"
#include "dd.h"
#include "dd_draw.h"
#include "dd_font.h"
#include "dd_input.h"
#include "sys_source.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

bool KX_PAD_LastInputPad = false;
static int HintStyle = SYS_PAD_GENERIC; // SysPadStyle of the pad used last
static int Letter = 0;                  // the letter being picked at the initials, an index into Letters

static const char Letters[KX_PAD_LETTERS + 1] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ";

static DWORD LastButtons[DDINPUT_MAX_JOYSTICKS];
static int HeldKey[DDINPUT_MAX_JOYSTICKS]; // the menu direction a pad holds, as a key
static int RepeatAt[DDINPUT_MAX_JOYSTICKS];
static int LostPlayer = 0;        // the player waiting for a pad to come back
static int LetterPos = -1;        // the place of the initials the letter is picked for
static bool Settled[2];           // the player's remembered pad was found, or the player chose
static int SeenInput[2];          // the players' inputs as last seen, to keep a new choice
static int PadsLooked = -1;       // joysticks there were when remembered pads were last looked for
static bool Centred[DDINPUT_MAX_JOYSTICKS]; // seen at rest once: a stick stuck off centre from the start means nothing

static bool Bit(DWORD buttons, int b) { return (buttons >> b) & 1; }

void KX_PAD_Reset()
{
    for (int j = 0; j < DDINPUT_MAX_JOYSTICKS; j++) {
        LastButtons[j] = HeldKey[j] = RepeatAt[j] = 0;
        Centred[j] = false;
    }
    LostPlayer = 0;
    LetterPos = -1;
    Settled[0] = Settled[1] = false;
    SeenInput[0] = SeenInput[1] = 0;
    PadsLooked = -1;
    KX_PAD_LastInputPad = false;
    Letter = 0;
}

// ---- players and their inputs ----

// The device a player in the game plays with now (0 the keyboard alone).
static int InputOf(int player)
{
    if (GameMode == KX_GAMEMODE_TOGETHER)
        return player == 2 ? ActiveInput2 : ActiveInput1;
    return ActiveInput1;
}

static void SetInputOf(int player, int input)
{
    if (GameMode == KX_GAMEMODE_TOGETHER && player == 2)
        ActiveInput2 = input;
    else
        ActiveInput1 = input;
    (player == 2 ? P2Input : P1Input) = input;
}

// The players in the game now: both together, else the one whose turn it is.
static int PlayersInGame(int *players)
{
    if (GameMode == KX_GAMEMODE_TOGETHER) {
        players[0] = 1;
        players[1] = 2;
        return 2;
    }
    players[0] = CurrentPlayer == 2 ? 2 : 1;
    return 1;
}

// ---- the menus' keys ----

static void Send(int key) { KX_HandleKey(key); }

// The d-pad, else the stick past its dead zone, as one of the four arrow keys (0 for none).
static int DirectionKey(int j)
{
    DWORD pov = DDInput_POVHat(j, 0);
    if (pov != POV_CENTRED) {
        if (pov >= 31500 || pov <= 4500)
            return VK_UP;
        if (pov >= 13500 && pov <= 22500)
            return VK_DOWN;
        return pov < 18000 ? VK_RIGHT : VK_LEFT;
    }
    long x = DDInput_XAxis(j), y = DDInput_YAxis(j);
    if (labs(y) >= KX_PAD_DEAD_ZONE && labs(y) >= labs(x))
        return y < 0 ? VK_UP : VK_DOWN;
    if (labs(x) >= KX_PAD_DEAD_ZONE)
        return x < 0 ? VK_LEFT : VK_RIGHT;
    return 0;
}

// A direction counts when it is taken up, then repeats while held, as a held key does.
static int RepeatedDirection(int j, int key, int time)
{
    if (key != HeldKey[j]) {
        HeldKey[j] = key;
        RepeatAt[j] = time + KX_PAD_REPEAT_DELAY;
        return key;
    }
    if (!key || time - RepeatAt[j] < 0)
        return 0;
    // A long frame gives one repeat, not a burst.
    RepeatAt[j] = time - RepeatAt[j] >= KX_PAD_REPEAT_TIME ? time + KX_PAD_REPEAT_TIME : RepeatAt[j] + KX_PAD_REPEAT_TIME;
    return key;
}

// Arcade-style initials: up and down step the letter, A or right takes it, B or left steps back.
static void PickInitials(DWORD pressed, int key)
{
    if (InitialPos != LetterPos) {
        LetterPos = InitialPos;
        Letter = 0;
    }
    if (key == VK_UP)
        Letter = (Letter + 1) % KX_PAD_LETTERS;
    else if (key == VK_DOWN)
        Letter = (Letter + KX_PAD_LETTERS - 1) % KX_PAD_LETTERS;
    if (Bit(pressed, SYS_PAD_A) || key == VK_RIGHT)
        Send(Letters[Letter]);
    if (Bit(pressed, SYS_PAD_B) || key == VK_LEFT)
        Send(VK_BACK);
    if (Bit(pressed, SYS_PAD_START))
        Send(VK_RETURN);
}

static void MenuPad(DWORD pressed, int key)
{
    if (GameState == KX_STATE_GAMEOVER && GettingInitials) {
        PickInitials(pressed, key);
        return;
    }
    // A key being redefined takes whatever comes: a pad may only cancel it.
    if (GameState == KX_STATE_OPTIONS && ShowingInput && InputWaitingKey) {
        if (Bit(pressed, SYS_PAD_B))
            Send(VK_ESCAPE);
        return;
    }
    static const struct {
        int button, key;
    } keys[] = { { SYS_PAD_A, VK_RETURN },          { SYS_PAD_START, VK_RETURN },
                 { SYS_PAD_B, VK_ESCAPE },          { SYS_PAD_LEFTSHOULDER, VK_NEXT },
                 { SYS_PAD_RIGHTSHOULDER, VK_PRIOR } };
    if (key)
        Send(key);
    for (const auto &k : keys)
        if (Bit(pressed, k.button))
            Send(k.key);
}

// ---- play ----

// The player waiting for a pad waits no more; play resumes when asked.
static void EndLostPad(bool resume)
{
    LostPlayer = 0;
    KX_PAUSE_SetLostPad(0);
    if (resume)
        KX_PAUSE_Set(false);
}

// Start: pause and resume, or, while a player's pad is lost, take that player's place.
static void PlayPad(int j, DWORD pressed)
{
    if (Bit(pressed, SYS_PAD_START)) {
        int players[2], n = PlayersInGame(players);
        bool othersPad = false;
        for (int i = 0; i < n; i++)
            othersPad = othersPad || (players[i] != LostPlayer && InputOf(players[i]) == j + 1);
        if (!LostPlayer) {
            KX_PAUSE_Set(!KX_PAUSE_Paused);
        } else if (!othersPad) {
            SetInputOf(LostPlayer, j + 1);
            EndLostPad(true);
        }
    }
    // Back while paused in play abandons the game, as Escape does.
    if (Bit(pressed, SYS_PAD_BACK) && KX_PAUSE_Paused && GameState == KX_STATE_PLAYING) {
        EndLostPad(true);
        GameState = KX_STATE_OPTIONS;
    }
}

// A player's pad that stops answering pauses the game until it comes back or another takes over.
static void WatchLostPads()
{
    if (LostPlayer) {
        int input = InputOf(LostPlayer);
        if (!KX_PAUSE_Paused || !KX_InPlay()) {
            // Resumed from the keyboard: that player plays on with keys.
            if (KX_InPlay() && input > 0 && DDInput_Lost(input - 1))
                SetInputOf(LostPlayer, 0);
            EndLostPad(false);
        } else if (input > 0 && !DDInput_Lost(input - 1)) {
            EndLostPad(true);
        } else {
            DDInput_AcceptNewJoysticks(); // a pad plugged in now may take over
        }
        return;
    }
    if (!KX_InPlay())
        return;
    int players[2], n = PlayersInGame(players);
    for (int i = 0; i < n; i++) {
        int input = InputOf(players[i]);
        if (input > 0 && DDInput_Lost(input - 1)) {
            LostPlayer = players[i];
            KX_PAUSE_Set(true);
            KX_PAUSE_SetLostPad(LostPlayer);
            return;
        }
    }
}

// ---- the players' pads kept between runs ----

// At the title: a player still on the keyboard gets the pad chosen last time once it is there;
// a choice made since is kept for the next run.
static void RememberPads()
{
    int *inputs[2] = { &P1Input, &P2Input };
    int pads = DDInput_NumJoysticks();
    if (GameState == KX_STATE_OPTIONS && pads != PadsLooked) {
        PadsLooked = pads;
        int offered = pads < KX_MENU_MAX_DEVICE ? pads : KX_MENU_MAX_DEVICE;
        for (int p = 0; p < 2; p++) {
            if (Settled[p] || *inputs[p] != 0)
                continue;
            for (int j = 0; j < offered && !Settled[p]; j++) {
                GUID g;
                if (j + 1 != *inputs[1 - p] && DDInput_JoystickProduct(j, g) && Sys_IsPlayerPad(p + 1, g)) {
                    *inputs[p] = SeenInput[p] = j + 1;
                    Settled[p] = true;
                }
            }
        }
    }
    for (int p = 0; p < 2; p++) {
        if (*inputs[p] == SeenInput[p])
            continue;
        SeenInput[p] = *inputs[p];
        Settled[p] = true;
        GUID g;
        bool pad = *inputs[p] > 0 && DDInput_JoystickProduct(*inputs[p] - 1, g);
        Sys_SetPlayerPad(p + 1, pad ? &g : nullptr);
    }
}

// ---- hints ----

struct PadTerms {
    const char *confirm, *back, *shoulders, *select;
};

static const PadTerms &Terms()
{
    // Nintendo pads are read by position: their south button, which confirms, is labelled B.
    static const PadTerms xbox = { "A", "B", "LB/RB", "BACK" }, playstation = { "CROSS", "CIRCLE", "L1/R1", "SHARE" },
                          nintendo = { "B", "A", "L/R", "MINUS" };
    return HintStyle == SYS_PAD_PLAYSTATION ? playstation : HintStyle == SYS_PAD_NINTENDO ? nintendo : xbox;
}

const char *KX_PAD_Hint()
{
    if (!KX_PAD_LastInputPad)
        return nullptr;
    static char text[96];
    const PadTerms &t = Terms();
    if (GameState == KX_STATE_OPTIONS && ShowingCredits)
        snprintf(text, sizeof text, "%s: START LEVEL   %s: BACK", t.shoulders, t.back);
    else if (GameState == KX_STATE_OPTIONS && ShowingInput)
        snprintf(text, sizeof text, "SET KEYS ON THE KEYBOARD   %s: BACK", t.back);
    else if (GameState == KX_STATE_OPTIONS) {
        static const char *const doing[KX_MENU_ITEMS] = { "START GAME", nullptr, "SET KEYS", "SET KEYS",
                                                          nullptr,      nullptr, "CREDITS",  "EXIT" };
        const char *what = CurrentOption >= 0 && CurrentOption < KX_MENU_ITEMS ? doing[CurrentOption] : nullptr;
        bool fixed = CurrentOption == KX_MENU_START || CurrentOption == KX_MENU_CREDITS || CurrentOption == KX_MENU_EXIT;
        const char *change = fixed ? "" : "   LEFT/RIGHT: CHANGE";
        if (what)
            snprintf(text, sizeof text, "UP/DOWN: SELECT%s\n%s: %s", change, t.confirm, what);
        else
            snprintf(text, sizeof text, "UP/DOWN: SELECT%s", change);
    } else if (GameState == KX_STATE_GAMEOVER && GettingInitials)
        snprintf(text, sizeof text, "UP/DOWN: LETTER   %s: NEXT\n%s: BACK   START: DONE", t.confirm, t.back);
    else if (GameState == KX_STATE_GAMEOVER)
        snprintf(text, sizeof text, "%s: CONTINUE", t.confirm);
    else
        return nullptr;
    return text;
}

// Copies the next line of text into line and moves past it; false once there is none.
static bool NextLine(const char *&p, char (&line)[96])
{
    if (!p)
        return false;
    const char *end = strchr(p, '\n');
    snprintf(line, sizeof line, "%.*s", end ? (int)(end - p) : (int)strlen(p), p);
    p = end ? end + 1 : nullptr;
    return true;
}

bool KX_PAD_DrawHint(int centreX, int y, bool plate)
{
    const char *hint = KX_PAD_Hint();
    DDBitmap *font = KX_Bitmaps[KX_BITMAP_FONT1];
    if (!hint || !font)
        return false;
    char line[96];
    int lines = 0, widest = 0, w = 0, height = 0;
    for (const char *p = hint; NextLine(p, line); lines++) {
        DDBitmap_TextSize(font, line, &w, &height);
        widest = w > widest ? w : widest;
    }
    if (plate)
        DDFillRect(g_pDDSBack, RGBToColourValue(8, 12, 24), centreX - widest / 2 - 6, y - 1, centreX + widest / 2 + 6,
                   y + lines * height + 1);
    for (const char *p = hint; NextLine(p, line); y += height) {
        DDBitmap_TextSize(font, line, &w, nullptr);
        DDBitmap_DrawText(g_pDDSBack, font, line, centreX - w / 2, y);
    }
    return true;
}

char KX_PAD_PickedLetter()
{
    if (!KX_PAD_LastInputPad || GameState != KX_STATE_GAMEOVER || !GettingInitials || InitialPos > 2)
        return 0;
    return InitialPos == LetterPos ? Letters[Letter] : Letters[0];
}

void KX_PAD_Rumble(int player, int strength, int ms)
{
    int players[2], n = player ? 1 : PlayersInGame(players);
    if (player)
        players[0] = player;
    for (int i = 0; i < n; i++)
        if (InputOf(players[i]) > 0)
            DDInput_Rumble(InputOf(players[i]) - 1, strength, ms);
}

// ---- the frame ----

static bool AnyKeyHeld()
{
    for (int vk = 1; vk < 256; vk++)
        if (DDInput_KeyHeld(vk))
            return true;
    return false;
}

void KX_PAD_Update(int time)
{
    if (!KX_PAUSE_Listening)
        return;
    int pads = DDInput_NumJoysticks();
    for (int j = 0; j < pads; j++) {
        DDInput_Poll(j);
        DWORD buttons = DDInput_Buttons(j), pressed = buttons & ~LastButtons[j];
        LastButtons[j] = buttons;
        bool play = KX_InPlay();
        int direction = DirectionKey(j);
        Centred[j] = Centred[j] || !direction;
        direction = Centred[j] ? direction : 0;
        int key = play ? 0 : RepeatedDirection(j, direction, time);
        if (pressed || key || (play && direction)) {
            KX_PAD_LastInputPad = true;
            HintStyle = DDInput_JoystickStyle(j);
        }
        if (play)
            PlayPad(j, pressed);
        else
            MenuPad(pressed, key);
    }
    WatchLostPads();
    RememberPads();
    if (AnyKeyHeld())
        KX_PAD_LastInputPad = false;
    KX_PAUSE_SetPadTerms(KX_PAD_LastInputPad ? Terms().select : nullptr);
}
