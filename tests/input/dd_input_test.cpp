// Joysticks over the DirectInput stand-in with fake devices, directions, key tables and active inputs.
#include "dd_input.h"
#include "kx_world.h"
#include "win_user.h"
#include "sys_fake.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

class Input : public ::testing::Test {
protected:
    void SetUp() override
    {
        Sys_UseFakeJoysticks(true);
        Sys_SetDirectInputAvailable(true);
    }
    void TearDown() override
    {
        DDInput_Close();
        EXPECT_EQ(Sys_OpenJoystickDevices(), 0) << "every device released";
        Sys_UseFakeJoysticks(false);
    }
    // One prepared joystick whose last polled state the test sets directly.
    void OneJoystick()
    {
        Sys_PlugJoystick("Pad");
        ASSERT_TRUE(DDInput_Initialise(nullptr, (HWND)1));
        ASSERT_EQ(DDInput_NumJoysticks(), 1);
    }
    int Direction(LONG x, LONG y, DWORD pov)
    {
        Joystick[0].State.lX = x;
        Joystick[0].State.lY = y;
        Joystick[0].State.rgdwPOV[0] = pov;
        return DDInput_GetDigital_Direction(0);
    }
};

TEST_F(Input, StickNeedsMoreThanThirtyUnits)
{
    OneJoystick();
    EXPECT_EQ(Direction(31, 0, POV_CENTRED), 2);
    EXPECT_EQ(Direction(30, 0, POV_CENTRED), 8);
    EXPECT_EQ(Direction(-30, 30, POV_CENTRED), 8);
    EXPECT_EQ(Direction(0, -31, POV_CENTRED), 0);
    EXPECT_EQ(Direction(0, 31, POV_CENTRED), 4);
    EXPECT_EQ(Direction(-31, 0, POV_CENTRED), 6);
    EXPECT_EQ(Direction(-50, -50, POV_CENTRED), 7);
    EXPECT_EQ(Direction(-50, 50, POV_CENTRED), 5);
    EXPECT_EQ(Direction(50, 50, POV_CENTRED), 3);
    EXPECT_EQ(Direction(50, -50, POV_CENTRED), 1);
}

TEST_F(Input, HatAnglesAndTheirBoundaries)
{
    OneJoystick();
    EXPECT_EQ(Direction(0, 0, 0), 0);
    EXPECT_EQ(Direction(0, 0, 4500), 1);
    EXPECT_EQ(Direction(0, 0, 9000), 2);
    EXPECT_EQ(Direction(0, 0, 13500), 3);
    EXPECT_EQ(Direction(0, 0, 18000), 4);
    EXPECT_EQ(Direction(0, 0, 22500), 5);
    EXPECT_EQ(Direction(0, 0, 27000), 6);
    EXPECT_EQ(Direction(0, 0, 31500), 7);
    EXPECT_EQ(Direction(0, 0, 36000), 0);
    EXPECT_EQ(Direction(0, 0, 4501), 2);
    EXPECT_EQ(Direction(0, 0, 31499), 6);
    EXPECT_EQ(Direction(0, 0, POV_CENTRED), 8);
    EXPECT_EQ(Direction(0, 0, 36001), 8); // above 36000 counts as centred
}

TEST_F(Input, OppositeDirectionsTogetherGiveNone)
{
    OneJoystick();
    EXPECT_EQ(Direction(100, 0, 27000), 8);  // stick right, hat left
    EXPECT_EQ(Direction(0, -50, 18000), 8);  // stick up, hat down
    EXPECT_EQ(Direction(-50, -50, 9000), 8); // up and left, hat right: three directions
    EXPECT_EQ(Direction(0, -50, 9000), 1);   // stick up and hat right combine
}

TEST_F(Input, PolledFakeIsScaledAndConverted)
{
    int fake = Sys_PlugJoystick("Stick");
    ASSERT_TRUE(DDInput_Initialise(nullptr, (HWND)1));
    EXPECT_EQ(DDInput_GetDigital_Direction(0), 8); // nothing polled yet: no direction
    SysJoystickInput in = {};
    in.axes[0] = 32767;
    in.axes[1] = -32768;
    in.axes[2] = 0; // the other axes keep the device's own range, 0 to 65535
    in.axes[6] = 32767;
    in.hats[0] = SYS_HAT_RIGHT | SYS_HAT_DOWN;
    in.hats[1] = SYS_HAT_UP | SYS_HAT_DOWN; // an impossible pair reads as centred
    in.buttons = (1u << 0) | (1u << 2);
    Sys_SetJoystickInput(fake, in);
    DDInput_Poll(0);
    EXPECT_EQ(DDInput_XAxis(0), 100);
    EXPECT_EQ(DDInput_YAxis(0), -100);
    EXPECT_EQ(DDInput_ZAxis(0), 32768);
    EXPECT_EQ(DDInput_Slider(0, 0), 65535);
    EXPECT_EQ(DDInput_POVHat(0, 0), 13500u);
    EXPECT_EQ(DDInput_POVHat(0, 1), POV_CENTRED);
    EXPECT_EQ(DDInput_POVHat(0, 3), POV_CENTRED);
    EXPECT_EQ(DDInput_Buttons(0), 5u);

    in = SysJoystickInput();
    in.axes[0] = 9830; // scales to 30: not enough
    in.buttons = 1u << 31;
    Sys_SetJoystickInput(fake, in);
    DDInput_Poll(0);
    EXPECT_EQ(DDInput_XAxis(0), 30);
    EXPECT_EQ(DDInput_YAxis(0), 0);
    EXPECT_EQ(DDInput_GetDigital_Direction(0), 8);
    EXPECT_EQ(DDInput_Buttons(0), 0x80000000u);
    in.axes[0] = 10000; // 31
    in.hats[0] = SYS_HAT_UP;
    Sys_SetJoystickInput(fake, in);
    DDInput_Poll(0);
    EXPECT_EQ(DDInput_GetDigital_Direction(0), 1); // right from the stick, up from the hat
    in.hats[0] = SYS_HAT_CENTRED;
    Sys_SetJoystickInput(fake, in);
    DDInput_Poll(0);
    EXPECT_EQ(DDInput_GetDigital_Direction(0), 2);
}

TEST_F(Input, AtMostFourJoysticksInTheSystemsOrder)
{
    for (const char *name : { "One", "Two", "Three", "Four", "Five", "Six" })
        Sys_PlugJoystick(name);
    EXPECT_TRUE(DDInput_Initialise(nullptr, (HWND)1));
    EXPECT_EQ(DDInput_NumJoysticks(), 4);
    EXPECT_STREQ(DDInput_JoystickName(0), "One");
    EXPECT_STREQ(DDInput_JoystickName(3), "Four");
    EXPECT_EQ(Sys_OpenJoystickDevices(), 4);
}

TEST_F(Input, LongProductNameIsCutToFit)
{
    std::string longName(300, 'n');
    Sys_PlugJoystick(longName.c_str());
    ASSERT_TRUE(DDInput_Initialise(nullptr, (HWND)1));
    EXPECT_EQ(std::string(DDInput_JoystickName(0)), longName.substr(0, 79));
    EXPECT_STREQ(DDInput_JoystickName(4), "");
    EXPECT_STREQ(DDInput_JoystickName(-1), "");
}

TEST_F(Input, NoJoystickOrNoDirectInputLeavesTheKeyboardAlone)
{
    EXPECT_TRUE(DDInput_Initialise(nullptr, (HWND)1));
    EXPECT_EQ(DDInput_NumJoysticks(), 0);
    DDInput_Close();
    Sys_PlugJoystick("Pad");
    Sys_SetDirectInputAvailable(false);
    EXPECT_FALSE(DDInput_Initialise(nullptr, (HWND)1));
    EXPECT_EQ(DDInput_NumJoysticks(), 0);
    EXPECT_EQ(lpdi, nullptr);
    DDInput_Poll(0); // not prepared: nothing is touched
    EXPECT_EQ(DDInput_GetDigital_Direction(0), 8);
    EXPECT_EQ(DDInput_Buttons(0), 0u);
    EXPECT_EQ(DDInput_POVHat(0, 0), POV_CENTRED);
    EXPECT_EQ(DDInput_Slider(0, 5), 0);
    EXPECT_EQ(DDInput_GetDigital_Direction(-1), 8);
    EXPECT_EQ(DDInput_GetDigital_Direction(7), 8);
}

// Preparation stops at the first joystick that fails; the ones before it stay usable.
TEST_F(Input, FailedPreparationKeepsOnlyTheJoysticksBefore)
{
    for (SysJoystickStep step : { SYS_JOY_FAIL_CREATE, SYS_JOY_FAIL_QUERY, SYS_JOY_FAIL_COOPERATIVE, SYS_JOY_FAIL_FORMAT,
                                  SYS_JOY_FAIL_ACQUIRE }) {
        Sys_UseFakeJoysticks(true);
        int first = Sys_PlugJoystick("First");
        int second = Sys_PlugJoystick("Second");
        Sys_PlugJoystick("Third");
        Sys_FailJoystickStep(second, step);
        EXPECT_FALSE(DDInput_Initialise(nullptr, (HWND)1)) << step;
        EXPECT_EQ(DDInput_NumJoysticks(), 1) << step;
        EXPECT_EQ(Sys_OpenJoystickDevices(), 1) << step;
        EXPECT_STREQ(DDInput_JoystickName(1), "") << step;
        SysJoystickInput in = {};
        in.axes[1] = 32767;
        Sys_SetJoystickInput(first, in);
        Sys_SetJoystickInput(second, in);
        DDInput_Poll(0);
        DDInput_Poll(1);
        EXPECT_EQ(DDInput_GetDigital_Direction(0), 4) << step;
        EXPECT_EQ(DDInput_GetDigital_Direction(1), 8) << step;
        DDInput_Close();
        EXPECT_EQ(Sys_OpenJoystickDevices(), 0) << step;
    }
}

TEST_F(Input, RangeFailureIsIgnored)
{
    int fake = Sys_PlugJoystick("Pad");
    Sys_FailJoystickStep(fake, SYS_JOY_FAIL_RANGE);
    EXPECT_TRUE(DDInput_Initialise(nullptr, (HWND)1));
    EXPECT_EQ(DDInput_NumJoysticks(), 1);
}

TEST_F(Input, UnpluggedJoystickDoesNotKeepItsLastDirection)
{
    int fake = Sys_PlugJoystick("Pad");
    ASSERT_TRUE(DDInput_Initialise(nullptr, (HWND)1));
    SysJoystickInput in = {};
    in.axes[0] = -32768;
    in.buttons = 1;
    Sys_SetJoystickInput(fake, in);
    DDInput_Poll(0);
    EXPECT_EQ(DDInput_GetDigital_Direction(0), 6);
    Sys_UnplugJoystick(fake);
    DDInput_Poll(0);
    EXPECT_EQ(DDInput_GetDigital_Direction(0), 8);
    EXPECT_EQ(DDInput_Buttons(0), 0u);
}

TEST_F(Input, InitialisingAgainStartsAfresh)
{
    Sys_PlugJoystick("A");
    Sys_PlugJoystick("B");
    ASSERT_TRUE(DDInput_Initialise(nullptr, (HWND)1));
    Sys_UseFakeJoysticks(true);
    Sys_PlugJoystick("C");
    ASSERT_TRUE(DDInput_Initialise(nullptr, (HWND)1));
    EXPECT_EQ(DDInput_NumJoysticks(), 1);
    EXPECT_STREQ(DDInput_JoystickName(0), "C");
    EXPECT_STREQ(DDInput_JoystickName(1), "");
    EXPECT_EQ(Sys_OpenJoystickDevices(), 1);
}

TEST_F(Input, HeldKeysAreReadAtTheMomentOfAsking)
{
    Sys_InjectKey(P1InputKeys[DDINPUT_FIRE], true);
    EXPECT_TRUE(DDInput_KeyHeld(P1InputKeys[DDINPUT_FIRE]));
    Sys_InjectKey(P1InputKeys[DDINPUT_FIRE], false);
    EXPECT_FALSE(DDInput_KeyHeld(P1InputKeys[DDINPUT_FIRE]));
    EXPECT_FALSE(DDInput_KeyHeld(0));
    EXPECT_FALSE(DDInput_KeyHeld(-5));
    EXPECT_FALSE(DDInput_KeyHeld(1000));
    Sys_ResetQueue();
}

// Both players play at once in mode 1, so their default tables must share no key.
TEST(KeyTables, DefaultTablesShareNoKey)
{
    for (int a = 0; a < DDINPUT_NUM_ACTIONS; a++) {
        EXPECT_EQ(P1InputKeys[a], DefaultP1InputKeys[a]);
        EXPECT_EQ(P2InputKeys[a], DefaultP2InputKeys[a]);
        for (int b = 0; b < DDINPUT_NUM_ACTIONS; b++) {
            EXPECT_NE(DefaultP1InputKeys[a], DefaultP2InputKeys[b]);
            if (a != b) {
                EXPECT_NE(DefaultP1InputKeys[a], DefaultP1InputKeys[b]);
            }
        }
    }
}

class ActiveInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedMode = GameMode;
        savedPlayer = CurrentPlayer;
        memcpy(saved1, P1InputKeys, sizeof saved1);
        memcpy(saved2, P2InputKeys, sizeof saved2);
        P1Input = 1;
        P2Input = 2;
        for (int a = 0; a < DDINPUT_NUM_ACTIONS; a++) {
            P1InputKeys[a] = 'A' + a;
            P2InputKeys[a] = 'a' + a;
            ActiveInput2Keys[a] = 1;
        }
        ActiveInput2 = 7;
    }
    void TearDown() override
    {
        GameMode = savedMode;
        CurrentPlayer = savedPlayer;
        memcpy(P1InputKeys, saved1, sizeof saved1);
        memcpy(P2InputKeys, saved2, sizeof saved2);
        P1Input = P2Input = 0;
    }
    int savedMode, savedPlayer, saved1[8], saved2[8];
};

TEST_F(ActiveInput, BothPlayersTogether)
{
    GameMode = KX_GAMEMODE_TOGETHER;
    CurrentPlayer = 2;
    SetActiveInput();
    EXPECT_EQ(ActiveInput1, 1);
    EXPECT_EQ(ActiveInput2, 2);
    EXPECT_EQ(0, memcmp(ActiveInput1Keys, P1InputKeys, sizeof ActiveInput1Keys));
    EXPECT_EQ(0, memcmp(ActiveInput2Keys, P2InputKeys, sizeof ActiveInput2Keys));
}

TEST_F(ActiveInput, OnePlayerAtATimeUsesTheCurrentPlayersSettings)
{
    for (int mode : { KX_GAMEMODE_ONE_PLAYER, KX_GAMEMODE_ALTERNATE }) {
        GameMode = mode;
        CurrentPlayer = 2;
        SetActiveInput();
        EXPECT_EQ(ActiveInput1, 2);
        EXPECT_EQ(0, memcmp(ActiveInput1Keys, P2InputKeys, sizeof ActiveInput1Keys));
        CurrentPlayer = 1;
        SetActiveInput();
        EXPECT_EQ(ActiveInput1, 1);
        EXPECT_EQ(0, memcmp(ActiveInput1Keys, P1InputKeys, sizeof ActiveInput1Keys));
        EXPECT_EQ(ActiveInput2, 7); // the second set is left as it was
        EXPECT_EQ(ActiveInput2Keys[7], 1);
    }
}

// Hot-plug: slots keep their devices across reconnections, and new pads join only when asked.
class HotPlug : public Input {
protected:
    // Holds the fake's stick left and reads the slot, as play does each frame.
    int ReadLeft(int fake, int slot)
    {
        SysJoystickInput in = {};
        in.axes[0] = -32768;
        Sys_SetJoystickInput(fake, in);
        DDInput_Poll(slot);
        return DDInput_GetDigital_Direction(slot);
    }
    void ExpectSlotsValid()
    {
        EXPECT_LE(DDInput_NumJoysticks(), 4);
        EXPECT_EQ(Sys_OpenJoystickDevices(), DDInput_NumJoysticks());
        for (int i = 0; i < DDInput_NumJoysticks(); i++)
            EXPECT_NE(Joystick[i].Device2, nullptr) << i;
    }
};

TEST_F(HotPlug, SameDeviceReconnectingReturnsToItsSlotAndReadsAtOnce)
{
    int a = Sys_PlugJoystick("A"), b = Sys_PlugJoystick("B");
    ASSERT_TRUE(DDInput_Initialise(nullptr, (HWND)1));
    EXPECT_EQ(ReadLeft(b, 1), 6);
    Sys_UnplugJoystick(b);
    EXPECT_EQ(ReadLeft(b, 1), 8); // gone: neutral
    EXPECT_EQ(ReadLeft(b, 1), 8);
    int b2 = Sys_ReplugJoystick(b);
    EXPECT_EQ(ReadLeft(b2, 1), 6) << "the next poll reads the reconnected pad";
    EXPECT_EQ(ReadLeft(a, 0), 6);
    // At the title it is recognised as slot 1's, not offered as a new pad.
    Sys_UnplugJoystick(b2);
    int b3 = Sys_ReplugJoystick(b2);
    EXPECT_FALSE(DDInput_AcceptNewJoysticks());
    EXPECT_EQ(DDInput_NumJoysticks(), 2);
    EXPECT_EQ(ReadLeft(b3, 1), 6);
    EXPECT_STREQ(DDInput_JoystickName(1), "B");
    ExpectSlotsValid();
}

TEST_F(HotPlug, NewPadJoinsOnlyWhenAskedAndNeverBeyondFour)
{
    int a = Sys_PlugJoystick("A");
    ASSERT_TRUE(DDInput_Initialise(nullptr, (HWND)1));
    int c = Sys_PlugJoystick("C");
    ReadLeft(a, 0); // play polls its pads; nothing joins then
    EXPECT_EQ(DDInput_NumJoysticks(), 1);
    EXPECT_TRUE(DDInput_AcceptNewJoysticks());
    EXPECT_EQ(DDInput_NumJoysticks(), 2);
    EXPECT_STREQ(DDInput_JoystickName(1), "C");
    EXPECT_EQ(ReadLeft(c, 1), 6);
    EXPECT_FALSE(DDInput_AcceptNewJoysticks()) << "nothing new";
    for (const char *name : { "D", "E", "F" })
        Sys_PlugJoystick(name);
    EXPECT_TRUE(DDInput_AcceptNewJoysticks());
    EXPECT_EQ(DDInput_NumJoysticks(), 4);
    EXPECT_STREQ(DDInput_JoystickName(3), "E");
    EXPECT_FALSE(DDInput_AcceptNewJoysticks());
    ExpectSlotsValid();
}

TEST_F(HotPlug, UnnamedPadAndPadThatFailsAreHandled)
{
    Sys_PlugJoystick("");
    ASSERT_TRUE(DDInput_Initialise(nullptr, (HWND)1));
    EXPECT_STREQ(DDInput_JoystickName(0), "Joystick");
    int bad = Sys_PlugJoystick("Bad");
    Sys_FailJoystickStep(bad, SYS_JOY_FAIL_ACQUIRE);
    EXPECT_FALSE(DDInput_AcceptNewJoysticks());
    EXPECT_EQ(DDInput_NumJoysticks(), 1);
    ExpectSlotsValid();
    // Tried once per connection: neither the next frames nor another pad's arrival try it again.
    int attempts = Sys_JoystickCreateAttempts();
    EXPECT_FALSE(DDInput_AcceptNewJoysticks());
    Sys_PlugJoystick("C");
    EXPECT_TRUE(DDInput_AcceptNewJoysticks());
    EXPECT_EQ(Sys_JoystickCreateAttempts(), attempts + 1);
    Sys_FailJoystickStep(bad, SYS_JOY_OK);
    Sys_ReplugJoystick(bad);
    EXPECT_TRUE(DDInput_AcceptNewJoysticks()) << "its next connect";
    EXPECT_EQ(DDInput_NumJoysticks(), 3);
    ExpectSlotsValid();
    DDInput_Close();
    EXPECT_FALSE(DDInput_AcceptNewJoysticks()) << "closed: nothing to ask";
}

TEST_F(HotPlug, DisconnectStormLeavesEverySlotValid)
{
    int fake[3] = { Sys_PlugJoystick("A"), Sys_PlugJoystick("B"), Sys_PlugJoystick("C") };
    ASSERT_TRUE(DDInput_Initialise(nullptr, (HWND)1));
    unsigned seed = 12345;
    for (int round = 0; round < 300; round++) {
        seed = seed * 1103515245u + 12345u;
        int k = (int)(seed >> 16) % 3;
        switch ((seed >> 8) % 4) {
        case 0: Sys_UnplugJoystick(fake[k]); break;
        case 1: fake[k] = Sys_ReplugJoystick(fake[k]); break;
        case 2: DDInput_AcceptNewJoysticks(); break;
        default: DDInput_Poll(k); break;
        }
        ExpectSlotsValid();
        ASSERT_FALSE(HasFailure()) << "round " << round;
    }
    for (int k = 0; k < 3; k++)
        fake[k] = Sys_ReplugJoystick(fake[k]);
    DDInput_AcceptNewJoysticks();
    EXPECT_EQ(DDInput_NumJoysticks(), 3) << "the same three devices, however often they came and went";
    for (int k = 0; k < 3; k++)
        EXPECT_EQ(ReadLeft(fake[k], k), 6) << k;
}
