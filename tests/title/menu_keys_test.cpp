// The menu's keys: wrap-around, the limits of every setting, the two sub-screens and their keys.
#include "title_fixture.h"
#include "kx_config.h"

TEST_F(TitleTest, UpAndDownWrapRoundTheEightItems)
{
    Keys({ VK_UP });
    EXPECT_EQ(CurrentOption, KX_MENU_EXIT);
    Keys({ VK_DOWN });
    EXPECT_EQ(CurrentOption, KX_MENU_START);
    for (int i = 1; i < KX_MENU_ITEMS; i++) {
        Keys({ VK_DOWN });
        EXPECT_EQ(CurrentOption, i);
    }
    Keys({ VK_DOWN, VK_DOWN });
    EXPECT_EQ(CurrentOption, 1);
    // An out-of-range item (never set by the menu) still lands on an item.
    CurrentOption = 12;
    Keys({ VK_DOWN });
    EXPECT_EQ(CurrentOption, KX_MENU_START);
}

// The highest device is the number of joysticks, never above 2, whatever is attached.
TEST_F(TitleTest, DevicesOfferAsManyJoysticksAsAttachedButNoMoreThanTwo)
{
    Bumpmap_Init(0, 0, 440, 440, 4, 0.02f);
    const int attached[] = { 0, 1, 2, 4 }, highest[] = { 0, 1, 2, 2 };
    for (int n = 0; n < 4; n++) {
        NumJoysticks = attached[n];
        KX_STATE_OPTIONS_Start();
        EXPECT_EQ(KX_MaxPlayerInput, highest[n]) << attached[n];
        for (int item : { KX_MENU_P1_INPUT, KX_MENU_P2_INPUT }) {
            int &device = item == KX_MENU_P1_INPUT ? P1Input : P2Input;
            CurrentOption = item;
            device = 0;
            Keys({ VK_LEFT });
            EXPECT_EQ(device, 0);
            Keys({ VK_RIGHT, VK_RIGHT, VK_RIGHT });
            EXPECT_EQ(device, highest[n]) << attached[n];
            Keys({ VK_LEFT });
            EXPECT_EQ(device, highest[n] > 0 ? highest[n] - 1 : 0);
        }
    }
    Bumpmap_Close();
}

TEST_F(TitleTest, GameModeAndVolumesStopAtTheirLimits)
{
    CurrentOption = KX_MENU_GAMEMODE;
    Keys({ VK_LEFT });
    EXPECT_EQ(GameMode, 0);
    Keys({ VK_RIGHT, VK_RIGHT, VK_RIGHT });
    EXPECT_EQ(GameMode, 2);
    CurrentOption = KX_MENU_MUSIC_VOL;
    Keys({ VK_RIGHT });
    EXPECT_EQ(MusicVol, 80 + 10);
    Keys({ VK_RIGHT, VK_RIGHT });
    EXPECT_EQ(MusicVol, 100);
    Keys({ VK_LEFT });
    EXPECT_EQ(MusicVol, 90);
    CurrentOption = KX_MENU_SOUND_VOL;
    for (int i = 0; i < 12; i++)
        Keys({ VK_LEFT });
    EXPECT_EQ(SoundFxVol, 0);
    Keys({ VK_RIGHT });
    EXPECT_EQ(SoundFxVol, 10);
    // Return does nothing on the adjustable items; Left and Right nothing on the others.
    for (int item : { KX_MENU_GAMEMODE, KX_MENU_SOUND_VOL, KX_MENU_MUSIC_VOL }) {
        CurrentOption = item;
        Keys({ VK_RETURN });
    }
    for (int item : { KX_MENU_START, KX_MENU_CREDITS, KX_MENU_EXIT }) {
        CurrentOption = item;
        Keys({ VK_LEFT, VK_RIGHT, VK_RIGHT });
    }
    EXPECT_EQ(GameState, KX_STATE_OPTIONS);
    EXPECT_FALSE(ShowingCredits || ShowingInput);
    EXPECT_EQ(GameMode + SoundFxVol + MusicVol, 2 + 10 + 90);
}

TEST_F(TitleTest, ReturnStartsAGameAtTheStartLevelOrLeaves)
{
    StartLevel = 4;
    GameMode = KX_GAMEMODE_ALTERNATE;
    ScoreP1 = ScoreP2 = 700;
    Keys({ VK_RETURN });
    EXPECT_EQ(GameState, KX_STATE_LOAD_LEVEL);
    EXPECT_EQ(GameLevel, 4);
    EXPECT_EQ(Threshold, LevelData[4].Threshold);
    EXPECT_EQ(ScoreP1 + ScoreP2, 0);
    EXPECT_EQ(LivesP2, 4);

    GameState = KX_STATE_OPTIONS;
    CurrentOption = KX_MENU_EXIT;
    Keys({ VK_RETURN });
    EXPECT_EQ(GameState, KX_STATE_QUIT);
}

TEST_F(TitleTest, CreditsRaiseAndLowerTheStartLevelWithinTheTenLevels)
{
    CurrentOption = KX_MENU_CREDITS;
    Keys({ VK_RETURN });
    ASSERT_TRUE(ShowingCredits);
    for (int i = 0; i < 12; i++)
        Keys({ VK_PRIOR });
    EXPECT_EQ(StartLevel, 9);
    Keys({ VK_NEXT, VK_NEXT });
    EXPECT_EQ(StartLevel, 7);
    // The menu's keys do nothing while the credits are open.
    Keys({ VK_UP, VK_LEFT, 70 });
    EXPECT_EQ(CurrentOption, KX_MENU_CREDITS);
    EXPECT_TRUE(ShowingCredits);
    Keys({ VK_ESCAPE });
    EXPECT_FALSE(ShowingCredits);
    Keys({ VK_RETURN, VK_RETURN });
    EXPECT_FALSE(ShowingCredits);
    EXPECT_EQ(GameState, KX_STATE_OPTIONS);
    Keys({ VK_RETURN });
    ASSERT_TRUE(ShowingCredits);
    EXPECT_EQ(StartLevel, 7);
    for (int i = 0; i < 12; i++)
        Keys({ VK_NEXT });
    EXPECT_EQ(StartLevel, 0);
}

TEST_F(TitleTest, InputScreenOpensAtTheFirstActionAndMovesWithinTheEight)
{
    Sys_UseVirtualClock(true);
    Sys_SetClock(5000);
    CurrentOption = KX_MENU_P2_INPUT;
    QMarkFrame = 20;
    InputAction = 5;
    Keys({ VK_RETURN });
    EXPECT_TRUE(ShowingInput);
    EXPECT_FALSE(InputWaitingKey);
    EXPECT_EQ(InputPlayer, 1);
    EXPECT_EQ(InputAction, 0);
    EXPECT_EQ(QMarkFrame, 0);
    EXPECT_EQ(QMarkFrameTime, 5000);
    Sys_UseVirtualClock(false);

    Keys({ VK_UP });
    EXPECT_EQ(InputAction, 0);
    for (int i = 0; i < 9; i++)
        Keys({ VK_DOWN });
    EXPECT_EQ(InputAction, 7);
    // Left, Right and other keys neither move the menu nor change a setting here.
    Keys({ VK_LEFT, VK_RIGHT, 65 });
    EXPECT_EQ(CurrentOption, KX_MENU_P2_INPUT);
    EXPECT_EQ(P2Input, 0);
    EXPECT_FALSE(InputWaitingKey);
    Keys({ VK_ESCAPE });
    EXPECT_FALSE(ShowingInput);
    CurrentOption = KX_MENU_P1_INPUT;
    Keys({ VK_RETURN });
    EXPECT_EQ(InputPlayer, 0);
}

TEST_F(TitleTest, AWaitedKeyIsStoredWhateverItIsAndEscapeCancels)
{
    CurrentOption = KX_MENU_P2_INPUT;
    Keys({ VK_RETURN, VK_DOWN, VK_DOWN, VK_DOWN });
    ASSERT_EQ(InputAction, 3);
    Keys({ VK_RETURN });
    ASSERT_TRUE(InputWaitingKey);
    Keys({ VK_ESCAPE });
    EXPECT_FALSE(InputWaitingKey);
    EXPECT_TRUE(ShowingInput);
    EXPECT_EQ(P2InputKeys[3], DefaultP2InputKeys[3]);

    Keys({ VK_RETURN, VK_SPACE });
    EXPECT_EQ(P2InputKeys[3], 32);
    Keys({ VK_RETURN, VK_RETURN });
    EXPECT_EQ(P2InputKeys[3], 13);
    EXPECT_FALSE(InputWaitingKey);
    // Even the menu's own keys are taken as the new key.
    Keys({ VK_RETURN, VK_UP });
    EXPECT_EQ(P2InputKeys[3], VK_UP);
    EXPECT_EQ(InputAction, 3);
    // A code no key table can hold is not a key: the screen goes on waiting.
    Keys({ VK_RETURN });
    Keys({ 256 });
    Keys({ -1 });
    EXPECT_TRUE(InputWaitingKey);
    EXPECT_EQ(P2InputKeys[3], VK_UP);
    Keys({ 70 });
    EXPECT_EQ(P2InputKeys[3], 70);
    for (int i = 0; i < DDINPUT_NUM_ACTIONS; i++) {
        EXPECT_EQ(P1InputKeys[i], DefaultP1InputKeys[i]) << i;
        if (i != 3) {
            EXPECT_EQ(P2InputKeys[i], DefaultP2InputKeys[i]) << i;
        }
    }
    // Closing the screen saves the keys at once, not only at exit.
    Keys({ VK_ESCAPE });
    EXPECT_FALSE(ShowingInput);
    memcpy(P2InputKeys, DefaultP2InputKeys, sizeof P2InputKeys);
    ReadIniFile();
    EXPECT_EQ(P2InputKeys[3], 70);
    memcpy(P2InputKeys, DefaultP2InputKeys, sizeof P2InputKeys);
}
