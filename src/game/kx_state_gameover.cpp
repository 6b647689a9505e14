// The game-over state: ranks the players' scores, shows the game-over picture and takes initials.
#include "kx_state_gameover.h"
#include "kx_bitmap.h"
#include "kx_game.h"
#include "kx_pad.h"
#include "kx_panel_game.h"
#include "kx_scores.h"
#include "kx_sprites.h"
#include "kx_state_enter_laser.h"
#include "kx_world.h"
#include "dd.h"
#include "dd_draw.h"
#include "dd_font.h"
#include "dd_input.h"
#include "dd_log.h"

#include <cctype>
#include <cstdio>
#include <cstring>

bool HighScore = false;
bool GettingInitials = false;
int ScorePos = -1;
int HiScore = 0;
int HighscorePlayer = 1;
char Initials[4] = "___";
int InitialPos = 0;
bool BlinkOn = false;
int BlinkTime = 0;
int GameOverLastUpdateTime = 0;

enum { KEY_BACKSPACE = 8, KEY_RETURN = 13, KEY_DELETE = 46, KEY_CODES = 256 };

// Keys already down when typing began (fire, a movement key, the Return that confirmed player 1):
// their repeats arrive as key presses, so they type nothing until released.
static bool HeldBeforeTyping[KEY_CODES];

static void NoteKeysHeld()
{
    for (int vk = 0; vk < KEY_CODES; vk++)
        HeldBeforeTyping[vk] = DDInput_KeyHeld(vk);
}

static void ForgetReleasedKeys()
{
    for (int vk = 0; vk < KEY_CODES; vk++)
        if (HeldBeforeTyping[vk] && !DDInput_KeyHeld(vk))
            HeldBeforeTyping[vk] = false;
}

static void SetInitials(const char *text)
{
    memcpy(Initials, text, 3);
    Initials[3] = '\0';
}

// Ranks a player's score; on a place, that player's initials are the ones to take.
static bool RankPlayer(int player)
{
    int score = player == 1 ? ScoreP1 : ScoreP2;
    int place = KX_PANEL_SCORES_ScorePosition(GameLevel, score);
    if (place == -1)
        return false;
    ScorePos = place;
    HighScore = true;
    HighscorePlayer = player;
    HiScore = score;
    return true;
}

// The field freezes: enemies vanish (explosions play out), the lasers stop, the shots go.
static void StopActors()
{
    KX_SPRITES_RemoveLiveEnemies();
    KX_SPRITES_HaltLasersAndShots();
}

void KX_STATE_GAMEOVER_Start()
{
    StateTime = GetClock();
    StopActors();
    // The blink counts from here, not from the last game over's final frame.
    GameOverLastUpdateTime = (int)StateTime;
    BlinkTime = 0;
    GettingInitials = false;
    HighScore = false;
    ScorePos = -1;
    StorePlayerData(CurrentPlayer);
    RetrievePlayerData(1);
    if (RankPlayer(1))
        return;
    if (GameMode == KX_GAMEMODE_TOGETHER || GameMode == KX_GAMEMODE_ALTERNATE) {
        RetrievePlayerData(2);
        RankPlayer(2);
    }
}

// The plate behind the initials: dark, with a thin lighter rim, centred on the field.
static void DrawPlate(int top, int bottom)
{
    DDFillRect(g_pDDSBack, RGBToColourValue(70, 90, 120), 38, top - 2, 402, bottom + 2);
    DDFillRect(g_pDDSBack, RGBToColourValue(8, 12, 24), 40, top, 400, bottom);
}

static void DrawCentred(DDBitmap *font, const char *text, int y)
{
    int width = 0;
    DDBitmap_TextSize(font, text, &width, nullptr);
    DDBitmap_DrawText(g_pDDSBack, font, text, 220 - width / 2, y);
}

static void DrawInitials()
{
    DDBitmap *font = KX_Bitmaps[KX_BITMAP_FONT2];
    DrawPlate(194, 330); // just below the game-over picture
    DrawCentred(font, HighscorePlayer == 2 ? "High score Player 2" : "High score Player 1", 200);

    // A pad's letter stands where the cursor is, blinking with it.
    char picked = KX_PAD_PickedLetter();
    if (InitialPos >= 0 && InitialPos <= 2)
        Initials[InitialPos] = BlinkOn ? '_' : picked ? picked : ' ';
    char line[64];
    snprintf(line, sizeof line, "%2d. %6d : %s", ScorePos, HiScore, Initials);
    // Centred by its width with blank initials, so the line stands still while they blink.
    char blank[64];
    snprintf(blank, sizeof blank, "%2d. %6d : ___", ScorePos, HiScore);
    int width = 0;
    DDBitmap_TextSize(font, blank, &width, nullptr);
    DDBitmap_DrawText(g_pDDSBack, font, line, 220 - width / 2, 250);
    if (!KX_PAD_DrawHint(220, 292, false))
        DrawCentred(KX_Bitmaps[KX_BITMAP_FONT1], "Type your initials, then press Return", 300);
}

void KX_STATE_GAMEOVER_Update(int time)
{
    int elapsed = (int)((unsigned int)time - StateTime);

    BlinkTime += (int)((unsigned int)time - (unsigned int)GameOverLastUpdateTime);
    GameOverLastUpdateTime = time;
    if (BlinkTime > KX_GAMEOVER_BLINK_TIME) {
        // As many 300 ms phases as have passed, without looping over each.
        int phases = (BlinkTime - 1) / KX_GAMEOVER_BLINK_TIME;
        if (phases % 2)
            BlinkOn = !BlinkOn;
        BlinkTime -= phases * KX_GAMEOVER_BLINK_TIME;
    }

    ForgetReleasedKeys();

    KX_MoveSpritesTo(time);
    KX_DrawPlayfield(time);
    KX_PANEL_GAME_Draw();
    DDBitmap_Draw(g_pDDSBack, KX_Bitmaps[KX_BITMAP_GAMEOVER], 60, 140);

    if (GettingInitials)
        DrawInitials();
    else
        KX_PAD_DrawHint(220, 300, true);
    if (!HighScore && elapsed > KX_GAMEOVER_TIME)
        GameState = KX_STATE_OPTIONS;
    if (HighScore && !GettingInitials && elapsed > KX_GAMEOVER_INITIALS_TIME) {
        GettingInitials = true;
        InitialPos = 0;
        SetInitials("___");
        BlinkTime = 0;
        NoteKeysHeld();
    }
}

char KX_STATE_GAMEOVER_KeyChar(int key)
{
    // The character classes are defined for 0 to 255 only.
    if (key < 0 || key > 255)
        return 0;
    if (isupper(key) || islower(key) || isdigit(key) || ispunct(key) || isblank(key) || isalpha(key))
        return (char)key;
    return 0;
}

static void ConfirmInitials()
{
    if (InitialPos == 0)
        SetInitials("UNK");
    if (HighscorePlayer == 2) {
        KX_PANEL_SCORES_AddScore(GameLevel, ScoreP2, Initials);
        KX_PANEL_SCORES_Save();
        GameState = KX_STATE_OPTIONS;
        return;
    }
    KX_PANEL_SCORES_AddScore(GameLevel, ScoreP1, Initials);
    KX_PANEL_SCORES_Save(); // at once: a game killed later keeps the entry
    if (GameMode == KX_GAMEMODE_TOGETHER || GameMode == KX_GAMEMODE_ALTERNATE) {
        RetrievePlayerData(2);
        if (RankPlayer(2)) {
            InitialPos = 0;
            SetInitials("___");
            NoteKeysHeld();
            return;
        }
    }
    GameState = KX_STATE_OPTIONS;
}

void KX_STATE_GAMEOVER_HandleKey(int key)
{
    if (!GettingInitials) {
        if (!HighScore && key == KEY_RETURN)
            GameState = KX_STATE_OPTIONS;
        return;
    }
    // Only the next frame forgets a released key: a repeat queued just before the release
    // would otherwise type.
    if (key >= 0 && key < KEY_CODES && HeldBeforeTyping[key])
        return;
    if (key == KEY_DELETE || key == KEY_BACKSPACE) {
        if (InitialPos > 0) {
            if (InitialPos <= 2)
                Initials[InitialPos] = '_';
            InitialPos--;
            Initials[InitialPos] = '_';
        }
        return;
    }
    if (key == KEY_RETURN) {
        ConfirmInitials();
        return;
    }
    char c = KX_STATE_GAMEOVER_KeyChar(key);
    if (c && InitialPos <= 2)
        Initials[InitialPos++] = c;
}
