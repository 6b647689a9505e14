// Pads in the real frame loop: the menus' keys with their repeat, a key being redefined, Start and
// Back in play, a lost pad that pauses until it is back or replaced, rumble, a chosen pad kept.
#include "dd.h"
#include "dd_input.h"
#include "kordax.h"
#include "kx_game.h"
#include "kx_pad.h"
#include "kx_pause.h"
#include "kx_state_options.h"
#include "kx_world.h"
#include "kx_test.h"
#include "script/log_capture.h"
#include "sys_fake.h"
#include "win_time.h"
#include "win_user.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

SysJoystickInput Buttons(DWORD buttons, BYTE hat = SYS_HAT_CENTRED, SHORT x = 0, SHORT y = 0)
{
    SysJoystickInput in;
    memset(&in, 0, sizeof in);
    in.buttons = buttons;
    in.hats[0] = hat;
    in.axes[0] = x;
    in.axes[1] = y;
    return in;
}

class Pads : public ::testing::Test {
protected:
    KxTempDir dir;
    LogCapture log;
    int pad1 = 0, pad2 = 0;

    void SetUp() override
    {
        for (const char *sub : { "gfx", "sound" })
            ASSERT_EQ(symlink((std::string(KORDAX_RUN_DIR) + "/" + sub).c_str(), sub), 0);
        Sys_UseVirtualClock(true);
        ResetClockHolds();
        Sys_ResetQueue();
        Sys_UseFakeJoysticks(true);
        pad1 = Sys_PlugJoystick("Pad One");
        pad2 = Sys_PlugJoystick("Pad Two");
        ASSERT_TRUE(DDInit((HWND)1));
        ASSERT_TRUE(DDCreateSurfaces(640, 480, 32));
        ASSERT_TRUE(DDInput_Initialise(nullptr, (HWND)1));
        Sys_SetClock(100000);
        GameState = KX_STATE_OPTIONS;
        OldGameState = KX_STATE_GAMEOVER;
        CurrentOption = KX_MENU_START;
        GameMode = KX_GAMEMODE_ONE_PLAYER;
        P1Input = P2Input = 0;
        KX_PAUSE_Paused = KX_PAUSE_Listening = false;
        KX_PAD_Reset();
        ASSERT_TRUE(KX_Initialise());
        FirstFrame = true;
        DeterminedRefresh = 2;
        QuantizeFactor = 16;
        ShowingSplash = ShownSplash = true;
        Frame(2); // the title starts: keys and pads count from here, the pads seen at rest
    }
    void TearDown() override
    {
        KX_CleanUp();
        DDInput_Close();
        DDClose();
        Sys_UseFakeJoysticks(false);
        Sys_ResetQueue();
        ResetClockHolds();
        KX_PAUSE_Paused = false;
        KX_PAUSE_SetLostPad(0);
        Sys_UseVirtualClock(false);
    }
    static void Frame(int n = 1)
    {
        for (int i = 0; i < n; i++)
            GameMain(nullptr);
    }
    // Held for a frame, then let go for a frame.
    static void Tap(int fake, const SysJoystickInput &in)
    {
        Sys_SetJoystickInput(fake, in);
        Frame();
        Sys_SetJoystickInput(fake, Buttons(0));
        Frame();
    }
};

} // namespace

TEST_F(Pads, MenusTakeThePadAsKeysWithAHeldDirectionRepeating)
{
    struct Row {
        const char *what;
        SysJoystickInput in;
        int frames; // held this long, then let go
        int option; // the highlighted item after
    };
    const Row rows[] = {
        { "d-pad down once", Buttons(0, SYS_HAT_DOWN), 1, KX_MENU_GAMEMODE },
        { "stick down past the dead zone", Buttons(0, 0, 0, 32767), 1, KX_MENU_P1_INPUT },
        { "stick inside the dead zone moves nothing", Buttons(0, 0, 0, 9000), 5, KX_MENU_P1_INPUT },
        { "d-pad up held 0.6 s: once, then repeats from 0.4 s every 0.12 s", Buttons(0, SYS_HAT_UP), 38,
          (KX_MENU_P1_INPUT + 3 * KX_MENU_ITEMS - 3) % KX_MENU_ITEMS },
    };
    for (const Row &r : rows) {
        Sys_SetJoystickInput(pad2, r.in);
        Frame(r.frames);
        Sys_SetJoystickInput(pad2, Buttons(0));
        Frame();
        EXPECT_EQ(CurrentOption, r.option) << r.what;
    }
    EXPECT_TRUE(KX_PAD_LastInputPad);
    EXPECT_NE(KX_PAD_Hint(), nullptr);
    // A pad plugged in with its stick stuck at an extreme moves nothing until it is once at rest.
    int stuck = Sys_PlugJoystick("Stuck");
    Sys_SetJoystickInput(stuck, Buttons(0, 0, 0, 32767));
    Frame(40);
    EXPECT_EQ(DDInput_NumJoysticks(), 3);
    EXPECT_EQ(CurrentOption, rows[3].option);
    Sys_SetJoystickInput(stuck, Buttons(0));
    Frame();
    Tap(stuck, Buttons(0, 0, 0, 32767));
    EXPECT_EQ(CurrentOption, (rows[3].option + 1) % KX_MENU_ITEMS);

    // Right changes the item's value; A opens the input screen, where a key being redefined takes
    // nothing from a pad but B, which cancels, and B again leaves.
    CurrentOption = KX_MENU_P1_INPUT;
    Tap(pad1, Buttons(0, SYS_HAT_RIGHT));
    EXPECT_EQ(P1Input, 1);
    Tap(pad1, Buttons(1u << SYS_PAD_A));
    ASSERT_TRUE(ShowingInput);
    Tap(pad1, Buttons(1u << SYS_PAD_A));
    ASSERT_TRUE(InputWaitingKey);
    int before[DDINPUT_NUM_ACTIONS];
    memcpy(before, InputPlayer == 0 ? P1InputKeys : P2InputKeys, sizeof before);
    Tap(pad1, Buttons(1u << SYS_PAD_A | 1u << SYS_PAD_START, SYS_HAT_DOWN));
    EXPECT_TRUE(InputWaitingKey);
    EXPECT_EQ(memcmp(before, InputPlayer == 0 ? P1InputKeys : P2InputKeys, sizeof before), 0);
    Tap(pad1, Buttons(1u << SYS_PAD_B));
    EXPECT_FALSE(InputWaitingKey);
    Tap(pad1, Buttons(1u << SYS_PAD_B));
    EXPECT_FALSE(ShowingInput);

    // A key brings back the screens as the keyboard has them.
    Sys_InjectKey(VK_SHIFT, true);
    Frame();
    Sys_InjectKey(VK_SHIFT, false);
    EXPECT_FALSE(KX_PAD_LastInputPad);
    EXPECT_EQ(KX_PAD_Hint(), nullptr);
}

TEST_F(Pads, StartPausesAndALostPadWaitsForItsReturnOrAnother)
{
    P1Input = 1;
    Tap(pad1, Buttons(1u << SYS_PAD_START)); // Return on the title: the game starts
    for (int f = 0; f < 400 && GameState != KX_STATE_PLAYING; f++) {
        Sys_SetJoystickInput(pad1, Buttons(f % 2 ? 1u << SYS_PAD_A : 0)); // fire leaves the ready wait
        Frame();
    }
    Sys_SetJoystickInput(pad1, Buttons(0));
    ASSERT_EQ(GameState, KX_STATE_PLAYING);
    ASSERT_EQ(ActiveInput1, 1);

    Tap(pad2, Buttons(1u << SYS_PAD_START));
    EXPECT_TRUE(KX_PAUSE_Paused) << "any pad's Start pauses";
    Tap(pad1, Buttons(1u << SYS_PAD_START));
    EXPECT_FALSE(KX_PAUSE_Paused) << "and resumes";

    // Player 1's pad goes: paused with the caption; the same device back resumes with it.
    Sys_UnplugJoystick(pad1);
    Frame();
    EXPECT_TRUE(KX_PAUSE_Paused);
    Frame(30);
    EXPECT_TRUE(KX_PAUSE_Paused) << "waits as long as it takes";
    pad1 = Sys_ReplugJoystick(pad1);
    Frame();
    EXPECT_FALSE(KX_PAUSE_Paused);
    EXPECT_EQ(ActiveInput1, 1);

    // Gone again: the other pad's Start takes the player over.
    Sys_UnplugJoystick(pad1);
    Frame();
    ASSERT_TRUE(KX_PAUSE_Paused);
    Tap(pad2, Buttons(1u << SYS_PAD_START));
    EXPECT_FALSE(KX_PAUSE_Paused);
    EXPECT_EQ(ActiveInput1, 2);
    EXPECT_EQ(P1Input, 2);

    // Gone too: Pause on the keyboard resumes, and the player plays on with keys.
    Sys_UnplugJoystick(pad2);
    Frame();
    ASSERT_TRUE(KX_PAUSE_Paused);
    WindowProc(main_window_handle, WM_KEYDOWN, VK_PAUSE, 0);
    Frame(3);
    EXPECT_FALSE(KX_PAUSE_Paused);
    EXPECT_EQ(ActiveInput1, 0);

    // Back while paused abandons the game.
    pad2 = Sys_ReplugJoystick(pad2);
    Frame();
    WindowProc(main_window_handle, WM_KEYDOWN, VK_PAUSE, 0);
    ASSERT_TRUE(KX_PAUSE_Paused);
    Tap(pad2, Buttons(1u << SYS_PAD_BACK));
    EXPECT_FALSE(KX_PAUSE_Paused);
    EXPECT_EQ(GameState, KX_STATE_OPTIONS);
}

TEST_F(Pads, AHitRumblesThePlayersPadAndAChosenPadIsFoundAgainByProduct)
{
    // Player 1 takes pad 2 at the title; the choice is kept by the pad's product.
    CurrentOption = KX_MENU_P1_INPUT;
    Tap(pad2, Buttons(0, SYS_HAT_RIGHT));
    Tap(pad2, Buttons(0, SYS_HAT_RIGHT));
    ASSERT_EQ(P1Input, 2);
    GUID first, second;
    ASSERT_TRUE(DDInput_JoystickProduct(0, first));
    ASSERT_TRUE(DDInput_JoystickProduct(1, second));
    EXPECT_TRUE(Sys_IsPlayerPad(1, second));
    EXPECT_FALSE(Sys_IsPlayerPad(1, first));
    EXPECT_FALSE(Sys_IsPlayerPad(2, second));

    // A hit in play rumbles that pad only.
    SetActiveInput();
    GameState = KX_STATE_DYING;
    KX_Update((int)GetClock());
    EXPECT_EQ(Sys_FakeRumbles(pad2), 1);
    EXPECT_EQ(Sys_FakeRumbleStrength(pad2), KX_PAD_RUMBLE_HIT);
    EXPECT_EQ(Sys_FakeRumbles(pad1), 0);

    // A new run with only that pad attached: it is player 1's again, in its new slot.
    DDInput_Close();
    Sys_UnplugJoystick(pad1);
    ASSERT_TRUE(DDInput_Initialise(nullptr, (HWND)1));
    ASSERT_EQ(DDInput_NumJoysticks(), 1);
    KX_PAD_Reset();
    P1Input = P2Input = 0;
    GameState = KX_STATE_OPTIONS;
    Frame();
    EXPECT_EQ(P1Input, 1);
    EXPECT_EQ(P2Input, 0);
    Sys_SetPlayerPad(1, nullptr);
}
