// The game-over state: who ranks, the timings, the initials editing keys and both players' turns.
#include "kx_state_gameover.h"
#include "kx_bitmap.h"
#include "kx_game.h"
#include "kx_scores.h"
#include "kx_world.h"
#include "dd.h"
#include "dd_draw.h"
#include "dd_font.h"
#include "win_time.h"
#include "win_user.h"
#include "kx_test.h"
#include "script/log_capture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

class GameOver : public ::testing::Test {
protected:
    KxTempDir dir; // entries are saved as they are made
    LogCapture log; // null bitmaps are reported on every frame
    void SetUp() override
    {
        Sys_UseVirtualClock(true);
        Sys_SetClock(50000);
        ASSERT_TRUE(DDInit((HWND)1));
        ASSERT_TRUE(DDCreateSurfaces(640, 480, 32));
        for (KX_ScoreType &s : KX_Scores) {
            s.Level = 0;
            s.Score = 0;
            memcpy(s.Name, "UNK", 4);
        }
        GameMode = KX_GAMEMODE_ONE_PLAYER;
        GameState = KX_STATE_GAMEOVER;
        CurrentPlayer = 1;
        GameLevel = 2; // player 1's, stored again as the state starts
        ScoreP1 = ScoreP2 = 0;
        PlayerData[0] = { 0, 0, 2 };
        PlayerData[1] = { 0, 0, 7 };
    }
    void TearDown() override
    {
        for (int vk = 1; vk < 256; vk++)
            Sys_InjectKey(vk, false);
        KX_ScoresLoaded = false;
        DDClose();
        Sys_UseVirtualClock(false);
    }
    // A frame ms after the state began.
    void At(int ms) { KX_STATE_GAMEOVER_Update((int)(StateTime + ms)); }
    // Steps separated by spaces: dN / uN a key goes down / up, kN its key message arrives (a press
    // or a repeat), tN a frame N ms into the state.
    void Run(const char *steps)
    {
        for (const char *p = steps; *p;) {
            char op = *p++;
            char *end = nullptr;
            int n = (int)strtol(p, &end, 10);
            p = end;
            if (op == 'd' || op == 'u')
                Sys_InjectKey(n, op == 'd');
            else if (op == 'k')
                KX_STATE_GAMEOVER_HandleKey(n);
            else if (op == 't')
                At(n);
            while (*p == ' ')
                p++;
        }
    }
    void Keys(const char *text)
    {
        for (const char *p = text; *p; p++)
            KX_STATE_GAMEOVER_HandleKey((unsigned char)*p);
    }
    void StartTyping()
    {
        KX_STATE_GAMEOVER_Start();
        At(16);
        At(2001);
        ASSERT_TRUE(GettingInitials);
    }
};

} // namespace

TEST(GameOverKeys, VirtualKeyToCharacter)
{
    EXPECT_EQ(KX_STATE_GAMEOVER_KeyChar(65), 'A');
    EXPECT_EQ(KX_STATE_GAMEOVER_KeyChar(90), 'Z');
    EXPECT_EQ(KX_STATE_GAMEOVER_KeyChar(48), '0');
    EXPECT_EQ(KX_STATE_GAMEOVER_KeyChar(57), '9');
    EXPECT_EQ(KX_STATE_GAMEOVER_KeyChar(32), ' ');
    // Numeric keypad and function keys fall in the lower-case range; arrows on punctuation.
    EXPECT_EQ(KX_STATE_GAMEOVER_KeyChar(96), '`');
    EXPECT_EQ(KX_STATE_GAMEOVER_KeyChar(97), 'a');
    EXPECT_EQ(KX_STATE_GAMEOVER_KeyChar(105), 'i');
    EXPECT_EQ(KX_STATE_GAMEOVER_KeyChar(112), 'p');
    EXPECT_EQ(std::string({ KX_STATE_GAMEOVER_KeyChar(37), KX_STATE_GAMEOVER_KeyChar(38),
                            KX_STATE_GAMEOVER_KeyChar(39), KX_STATE_GAMEOVER_KeyChar(40) }),
              "%&'(");
    // Shift, Ctrl, Escape and codes outside a byte type nothing.
    for (int key : { 16, 17, 27, 0, 127, 160, 255, 256, -1, 100000 })
        EXPECT_EQ(KX_STATE_GAMEOVER_KeyChar(key), 0) << key;
}

TEST_F(GameOver, ScoreOfZeroNeverPlacesAndLeavesAfterSixSeconds)
{
    ScoreP1 = 0;
    KX_STATE_GAMEOVER_Start();
    EXPECT_FALSE(HighScore);
    At(2500);
    EXPECT_FALSE(GettingInitials);
    At(6000);
    EXPECT_EQ(GameState, KX_STATE_GAMEOVER);
    At(6001);
    EXPECT_EQ(GameState, KX_STATE_OPTIONS);
}

TEST_F(GameOver, ReturnLeavesAtOnceOnlyWithoutAPlace)
{
    KX_STATE_GAMEOVER_Start();
    KX_STATE_GAMEOVER_HandleKey(65);
    EXPECT_EQ(GameState, KX_STATE_GAMEOVER);
    KX_STATE_GAMEOVER_HandleKey(13);
    EXPECT_EQ(GameState, KX_STATE_OPTIONS);

    GameState = KX_STATE_GAMEOVER;
    ScoreP1 = 10;
    KX_STATE_GAMEOVER_Start();
    ASSERT_TRUE(HighScore);
    KX_STATE_GAMEOVER_HandleKey(13); // before typing starts: ignored
    At(1000);
    KX_STATE_GAMEOVER_HandleKey(13);
    EXPECT_EQ(GameState, KX_STATE_GAMEOVER);
    At(2000);
    EXPECT_FALSE(GettingInitials);
    At(2001);
    EXPECT_TRUE(GettingInitials);
    EXPECT_STREQ(Initials, "___");
    At(60000); // no time limit while typing
    EXPECT_EQ(GameState, KX_STATE_GAMEOVER);
}

TEST_F(GameOver, WhoRanks)
{
    // Mode 0: player 2's score plays no part.
    ScoreP2 = 70;
    KX_STATE_GAMEOVER_Start();
    EXPECT_FALSE(HighScore);
    // Mode 2, player 2's turn when it ended: player 1 is ranked first, with his own level.
    PlayerData[0].GameLevel = 2;
    GameMode = KX_GAMEMODE_ALTERNATE;
    CurrentPlayer = 2;
    GameLevel = 7;
    ScoreP1 = 40;
    KX_STATE_GAMEOVER_Start();
    EXPECT_EQ(PlayerData[1].GameLevel, 7);
    EXPECT_EQ(GameLevel, 2);
    EXPECT_EQ(HighscorePlayer, 1);
    EXPECT_EQ(HiScore, 40);
    // Player 1 without a place: player 2 types at once after the 2000 ms, with his level.
    CurrentPlayer = 1;
    ScoreP1 = 0;
    KX_STATE_GAMEOVER_Start();
    EXPECT_TRUE(HighScore);
    EXPECT_EQ(HighscorePlayer, 2);
    EXPECT_EQ(GameLevel, 7);
    At(2001);
    EXPECT_TRUE(GettingInitials);
    Keys("P2");
    KX_STATE_GAMEOVER_HandleKey(13);
    EXPECT_EQ(GameState, KX_STATE_OPTIONS);
    EXPECT_EQ(KX_Scores[20].Score, 70);
    EXPECT_EQ(KX_Scores[20].Level, 7);
    EXPECT_EQ(KX_Scores[0].Score, 0);
}

TEST_F(GameOver, ReturnAtOnceStoresUnk)
{
    ScoreP1 = 25;
    KX_ScoresLoaded = true;
    StartTyping();
    KX_STATE_GAMEOVER_HandleKey(13);
    EXPECT_EQ(GameState, KX_STATE_OPTIONS);
    EXPECT_EQ(KX_Scores[0].Score, 25);
    EXPECT_EQ(KX_Scores[0].Level, 2);
    EXPECT_STREQ(KX_Scores[0].Name, "UNK");
    // On disk at once, so a game that never exits cleanly keeps it.
    KX_ScoreType saved[KX_NUM_SCORES];
    std::string data = KxReadFile("kx_scores.dat");
    ASSERT_EQ(KX_SCORES_Decode((const unsigned char *)data.data(), (int)data.size(), saved, KX_NUM_SCORES),
              KX_NUM_SCORES);
    EXPECT_EQ(saved[0].Score, 25);
}

TEST_F(GameOver, EditingKeys)
{
    ScoreP1 = 25;
    StartTyping();
    KX_STATE_GAMEOVER_HandleKey(8); // nothing to delete
    EXPECT_EQ(InitialPos, 0);
    Keys("AB");
    EXPECT_EQ(InitialPos, 2);
    EXPECT_EQ(std::string(Initials, 2), "AB");
    KX_STATE_GAMEOVER_HandleKey(46);
    EXPECT_EQ(InitialPos, 1);
    EXPECT_STREQ(Initials, "A__");
    Keys("XYZW"); // the fourth is ignored
    EXPECT_EQ(InitialPos, 3);
    EXPECT_STREQ(Initials, "AXY");
    KX_STATE_GAMEOVER_HandleKey(16); // Shift types nothing
    KX_STATE_GAMEOVER_HandleKey(8);
    EXPECT_EQ(InitialPos, 2);
    EXPECT_STREQ(Initials, "AX_");
    At(3000); // the cursor blinks under position 2 only
    EXPECT_EQ(std::string(Initials, 2), "AX");
    EXPECT_TRUE(Initials[2] == '_' || Initials[2] == ' ');
    Keys("Q");
    At(3301);
    EXPECT_STREQ(Initials, "AXQ"); // typed in full: no cursor
    KX_STATE_GAMEOVER_HandleKey(13);
    EXPECT_STREQ(KX_Scores[0].Name, "AXQ");
}

TEST_F(GameOver, CursorBlinksEveryThreeHundredMilliseconds)
{
    ScoreP1 = 25;
    StartTyping(); // BlinkTime 0 from here, at 2001 ms
    Keys("AB");
    bool phase = BlinkOn;
    At(2301);
    EXPECT_EQ(BlinkOn, phase);
    EXPECT_EQ(Initials[2], phase ? '_' : ' ');
    At(2302);
    EXPECT_NE(BlinkOn, phase);
    EXPECT_EQ(Initials[2], BlinkOn ? '_' : ' ');
    At(2302 + 600); // two phases in one frame: back where it was
    EXPECT_NE(BlinkOn, phase);
    At(2302 + 600 + 301);
    EXPECT_EQ(BlinkOn, phase);
    KX_STATE_GAMEOVER_HandleKey(13);
    EXPECT_EQ(std::string(KX_Scores[0].Name), std::string("AB") + (phase ? '_' : ' '));
}

TEST_F(GameOver, BlinkCountsFromTheStateStart)
{
    GameOverLastUpdateTime = -1000000; // the last frame of a game over long ago
    BlinkTime = 250;
    ScoreP1 = 25;
    KX_STATE_GAMEOVER_Start();
    At(16);
    EXPECT_EQ(BlinkTime, 16);
}

TEST_F(GameOver, TogetherBothPlayersTypeInTurn)
{
    GameMode = KX_GAMEMODE_TOGETHER;
    ScoreP1 = 300;
    ScoreP2 = 200;
    KX_ScoresLoaded = true;
    StartTyping();
    EXPECT_EQ(HighscorePlayer, 1);
    Keys("ABC");
    KX_STATE_GAMEOVER_HandleKey(13);
    EXPECT_EQ(GameState, KX_STATE_GAMEOVER);
    EXPECT_EQ(HighscorePlayer, 2);
    EXPECT_EQ(HiScore, 200);
    EXPECT_EQ(ScorePos, 2);
    EXPECT_EQ(InitialPos, 0);
    EXPECT_STREQ(Initials, "___");
    Keys("XY");
    At(5000);
    Keys("Z");
    KX_STATE_GAMEOVER_HandleKey(13);
    EXPECT_EQ(GameState, KX_STATE_OPTIONS);
    const KX_ScoreType *t = KX_Scores + 10;
    EXPECT_EQ(t[0].Score, 300);
    EXPECT_STREQ(t[0].Name, "ABC");
    EXPECT_EQ(t[0].Level, 2);
    EXPECT_EQ(t[1].Score, 200);
    EXPECT_STREQ(t[1].Name, "XYZ");
    EXPECT_EQ(t[1].Level, 7);
    EXPECT_EQ(KX_Scores[0].Score, 0); // mode 0's table untouched
    EXPECT_EQ(KX_Scores[20].Score, 0);
    // Player 2's entry is on disk at once, as player 1's is, not only at exit.
    KX_ScoreType saved[KX_NUM_SCORES];
    std::string data = KxReadFile("kx_scores.dat");
    ASSERT_EQ(KX_SCORES_Decode((const unsigned char *)data.data(), (int)data.size(), saved, KX_NUM_SCORES),
              KX_NUM_SCORES);
    EXPECT_STREQ(saved[11].Name, "XYZ");
}

TEST_F(GameOver, EqualScoresRankAfterTheFirstPlayersEntry)
{
    GameMode = KX_GAMEMODE_ALTERNATE;
    for (int p = 0; p < 10; p++)
        KX_Scores[20 + p].Score = 100 - 10 * p; // 100 .. 10
    ScoreP1 = 15;
    ScoreP2 = 15;
    StartTyping();
    EXPECT_EQ(ScorePos, 10);
    KX_STATE_GAMEOVER_HandleKey(13);
    // Player 1's 15 now holds place 10; an equal score ranks below it: no place.
    EXPECT_EQ(GameState, KX_STATE_OPTIONS);
    EXPECT_EQ(KX_Scores[29].Score, 15);
}

TEST_F(GameOver, OnlyKeysPressedAfterTypingStartsType)
{
    const struct {
        const char *what;
        int mode;
        const char *steps;
        const char *typed; // the initials typed so far
        int player;        // whose initials are being typed
    } cases[] = {
        { "fire held from play: its repeats type nothing", KX_GAMEMODE_ONE_PLAYER,
          "d32 t16 t2001 k32 k32 t2100 k32", "", 1 },
        { "fire released, then pressed again: one blank", KX_GAMEMODE_ONE_PLAYER,
          "d32 t16 t2001 k32 u32 t2017 d32 k32 k32", "  ", 1 },
        { "a movement key held, then A, B, C", KX_GAMEMODE_ONE_PLAYER,
          "d87 t16 t2001 k87 k87 d65 k65 u65 k87 d66 k66 u66 d67 k67 k87", "ABC", 1 },
        { "released between frames but its last repeat came after", KX_GAMEMODE_ONE_PLAYER,
          "d87 t2001 k87 u87 k87 t2017 d65 k65", "A", 1 },
        { "pressed in the wait and still held", KX_GAMEMODE_ONE_PLAYER,
          "t1000 d65 k65 t2001 k65 k65", "", 1 },
        { "pressed and released in the wait", KX_GAMEMODE_ONE_PLAYER,
          "t1000 d65 k65 u65 t1500 t2001 d65 k65", "A", 1 },
        { "Return held from play confirms nothing", KX_GAMEMODE_ONE_PLAYER,
          "d13 t2001 k13 k13 d66 k66", "B", 1 },
        { "player 1's Return and letter held into player 2's turn", KX_GAMEMODE_TOGETHER,
          "t2001 d65 k65 d13 k13 k13 k65 t2100 k13 k65 u65 t2116 d67 k67", "C", 2 },
    };
    for (const auto &c : cases) {
        for (int vk = 1; vk < 256; vk++)
            Sys_InjectKey(vk, false);
        GameState = KX_STATE_GAMEOVER;
        GameMode = c.mode;
        ScoreP1 = 300;
        ScoreP2 = 200;
        KX_STATE_GAMEOVER_Start();
        Run(c.steps);
        EXPECT_EQ(GameState, KX_STATE_GAMEOVER) << c.what;
        EXPECT_EQ(HighscorePlayer, c.player) << c.what;
        EXPECT_EQ(std::string(Initials, (size_t)InitialPos), c.typed) << c.what;
    }
}
