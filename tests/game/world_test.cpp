// New games, the level table, turns and lives, and the state machine's order of routines.
#include "kx_game.h"
#include "kx_world.h"
#include "win_time.h"

#include <gtest/gtest.h>

namespace {

void NewGame(int mode, int startLevel = 0)
{
    GameMode = mode;
    StartLevel = startLevel;
    KX_NewGame();
}

} // namespace

TEST(World, NewGameResetsEverything)
{
    ScoreP1 = 99;
    ElectroZapCount = 1;
    NewGame(KX_GAMEMODE_ALTERNATE, 4);
    EXPECT_EQ(LivesP1, 4);
    EXPECT_EQ(LivesP2, 4);
    EXPECT_EQ(GameLevel, 4);
    EXPECT_EQ(Threshold, 45);
    EXPECT_EQ(ElectroZapCount, 3);
    EXPECT_EQ(ScoreP1, 0);
    EXPECT_EQ(CurrentPlayer, 1);
    EXPECT_EQ(PlayerData[1].GameLevel, 4);
    EXPECT_EQ(PlayerData[1].Threshold, 45);
    NewGame(KX_GAMEMODE_TOGETHER);
    EXPECT_EQ(LivesP2, 0);
}

TEST(World, NextLevelWrapsAfterTheTenth)
{
    NewGame(KX_GAMEMODE_ONE_PLAYER, 8);
    KX_NextLevel();
    EXPECT_EQ(GameLevel, 9);
    EXPECT_EQ(Threshold, 100);
    KX_NextLevel();
    EXPECT_EQ(GameLevel, 0);
    EXPECT_EQ(Threshold, 25);
}

TEST(World, SpawnTimeWithinTheLevelsRange)
{
    Sys_UseVirtualClock(true);
    Sys_SetClock(50000);
    NewGame(KX_GAMEMODE_ONE_PLAYER, 0);
    for (int i = 0; i < 200; i++) {
        int t = KX_SpawnTime() - 50000;
        EXPECT_GE(t, 1000);
        EXPECT_LT(t, 4000);
    }
    Sys_UseVirtualClock(false);
}

// Past INT_MAX the clock still gives a time the level's delay ahead, in 32-bit wrapping terms
// (UBSan would catch a signed overflow here).
TEST(World, SpawnTimeWrapsWithTheClock)
{
    Sys_UseVirtualClock(true);
    NewGame(KX_GAMEMODE_ONE_PLAYER, 0);
    for (DWORD clock : { 0x7FFFFFFFu, 0x80000000u, 0xFFFFFF00u, 0xFFFFFFFFu }) {
        Sys_SetClock(clock);
        for (int i = 0; i < 50; i++) {
            DWORD delay = (DWORD)KX_SpawnTime() - clock;
            EXPECT_GE(delay, 1000u) << clock;
            EXPECT_LT(delay, 4000u) << clock;
        }
    }
    Sys_UseVirtualClock(false);
}

TEST(World, PlayerRecordsIgnoreOtherNumbers)
{
    NewGame(KX_GAMEMODE_ALTERNATE);
    ElectroZapCount = 5;
    StorePlayerData(0);
    RetrievePlayerData(3);
    EXPECT_EQ(PlayerData[0].ElectroZapCount, 3);
    EXPECT_EQ(ElectroZapCount, 5);
}

TEST(World, AlternateTurnsPassAtEveryLoss)
{
    NewGame(KX_GAMEMODE_ALTERNATE, 2);
    PlayerData[1].GameLevel = 6;
    PlayerData[1].Threshold = 12;
    Threshold = 7; // player 1 has seven left on level 2
    KX_LoseLife();
    EXPECT_EQ(LivesP1, 3);
    EXPECT_EQ(CurrentPlayer, 2);
    EXPECT_EQ(GameState, KX_STATE_LOAD_LEVEL);
    EXPECT_EQ(LaserEntry, 3);
    EXPECT_EQ(GameLevel, 6);
    EXPECT_EQ(Threshold, 12);
    KX_LoseLife();
    EXPECT_EQ(LivesP2, 3);
    EXPECT_EQ(CurrentPlayer, 1);
    EXPECT_EQ(GameLevel, 2);
    EXPECT_EQ(Threshold, 7);

    // With player 1 out, player 2 keeps the turn until out too.
    LivesP1 = -1;
    CurrentPlayer = 2;
    LivesP2 = 2;
    KX_LoseLife();
    EXPECT_EQ(CurrentPlayer, 2);
    EXPECT_EQ(GameState, KX_STATE_ENTER_LASER);
    KX_LoseLife();
    EXPECT_EQ(GameState, KX_STATE_ENTER_LASER);
    KX_LoseLife();
    EXPECT_EQ(LivesP2, -1);
    EXPECT_EQ(GameState, KX_STATE_GAMEOVER);
}

TEST(World, TogetherLosesFromTheSharedCount)
{
    NewGame(KX_GAMEMODE_TOGETHER);
    LivesP2 = 9;
    for (int i = 0; i < 4; i++) {
        KX_LoseLife();
        EXPECT_EQ(GameState, KX_STATE_ENTER_LASER);
    }
    KX_LoseLife();
    EXPECT_EQ(LivesP1, -1);
    EXPECT_EQ(LivesP2, 9);
    EXPECT_EQ(GameState, KX_STATE_GAMEOVER);
}

TEST(StateMachine, StartRunsOnceOnEntryThenUpdates)
{
    GameState = KX_STATE_OPTIONS;
    OldGameState = KX_STATE_GAMEOVER;
    KX_Update(0);
    EXPECT_EQ(OldGameState, KX_STATE_OPTIONS);

    // Starting a game: the level loads in the next frame and state 4 starts in the one after.
    NewGame(KX_GAMEMODE_ONE_PLAYER);
    GameState = KX_STATE_LOAD_LEVEL;
    KX_Update(16);
    EXPECT_EQ(OldGameState, KX_STATE_LOAD_LEVEL);
    EXPECT_EQ(GameState, KX_STATE_ENTER_LASER);
    KX_Update(32);
    EXPECT_EQ(OldGameState, KX_STATE_ENTER_LASER);

    // Numbers outside the machine run nothing and change nothing.
    GameState = 42;
    KX_Update(48);
    EXPECT_EQ(GameState, 42);
    EXPECT_EQ(OldGameState, 42);
    GameState = KX_STATE_OPTIONS;
}
