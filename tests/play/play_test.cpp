// The playing state: controls in the three modes, the fire rate, spawning, the collision check,
// scoring and the electro zap.
#include "actors/actors_fixture.h"
#include "dd_input.h"
#include "kx_state_playing.h"
#include "win_user.h"
#include "sys_fake.h"

class Play : public ActorTest {
protected:
    void SetUp() override
    {
        ActorTest::SetUp();
        ASSERT_TRUE(initialised);
        UseLevel(0);
        memcpy(ActiveInput1Keys, DefaultP1InputKeys, sizeof ActiveInput1Keys);
        memcpy(ActiveInput2Keys, DefaultP2InputKeys, sizeof ActiveInput2Keys);
        ActiveInput1 = ActiveInput2 = 0;
        GameState = KX_STATE_PLAYING;
        Threshold = 25;
        ScoreP1 = ScoreP2 = LastXFireTime = LastYFireTime = 0;
        ElectroZapCount = 3;
        ElectroZapActive = false;
        NextXEnemyTime = NextYEnemyTime = (int)GetClock() + 100000;
        KXSprites_LaserX->SetActive(true);
        KXSprites_LaserX->SetPosition(212, 432);
        KXSprites_LaserY->SetActive(true);
        KXSprites_LaserY->SetPosition(432, 212);
    }
    void TearDown() override
    {
        for (int vk = 1; vk < 256; vk++)
            Sys_InjectKey(vk, false);
        Sys_ResetQueue();
        ActorTest::TearDown();
    }
    static void Hold(int action, bool down, int player = 1)
    {
        Sys_InjectKey((player == 1 ? ActiveInput1Keys : ActiveInput2Keys)[action], down);
    }
    template <class S> static int InFlight(S *const (&shots)[KX_NUM_SHOTS])
    {
        return shots[0]->GetActive() + shots[1]->GetActive();
    }
    static TEnemyXSprite *EnemyAt(int i, int x, int y)
    {
        TEnemyXSprite *e = KXSprites_Enemy_X[i];
        e->Spawn();
        e->PosX = (float)x;
        e->PosY = (float)y;
        e->SetPosition(x, y);
        return e;
    }
};

TEST_F(Play, OnePlayerSteersBothLasersAndFiresEachAtMostEvery100ms)
{
    Hold(DDINPUT_X_LEFT, true);
    Hold(DDINPUT_X_RIGHT, true);
    Hold(DDINPUT_Y_DOWN, true);
    Hold(DDINPUT_TURN_Y, true);
    Hold(DDINPUT_FIRE, true);
    KX_STATE_PLAYING_InputPoll();
    EXPECT_EQ(KXSprites_LaserX->Movement, -1) << "left wins over right";
    EXPECT_EQ(KXSprites_LaserY->Movement, 1);
    EXPECT_FALSE(KXSprites_LaserX->Turn);
    EXPECT_TRUE(KXSprites_LaserY->Turn);
    EXPECT_EQ(InFlight(KXSprites_Shot_X), 1);
    EXPECT_EQ(InFlight(KXSprites_Shot_Y), 1);
    Sys_AdvanceClock(99);
    KX_STATE_PLAYING_InputPoll();
    EXPECT_EQ(InFlight(KXSprites_Shot_X), 1);
    Sys_AdvanceClock(1);
    KX_STATE_PLAYING_InputPoll();
    EXPECT_EQ(InFlight(KXSprites_Shot_Y), 2);
    int second = LastXFireTime;
    Sys_AdvanceClock(150);
    KX_STATE_PLAYING_InputPoll();
    EXPECT_EQ(LastXFireTime, second) << "a refused shot does not restart the wait";
    KXSprites_Shot_X[0]->Off();
    KX_STATE_PLAYING_InputPoll();
    EXPECT_EQ(InFlight(KXSprites_Shot_X), 2);
}

TEST_F(Play, TogetherEachPlayerDrivesAndScoresWithOneLaser)
{
    GameMode = KX_GAMEMODE_TOGETHER;
    Hold(DDINPUT_FIRE, true, 1);
    Hold(DDINPUT_Y_UP, true, 1);
    KX_STATE_PLAYING_InputPoll();
    EXPECT_EQ(InFlight(KXSprites_Shot_X), 1);
    EXPECT_EQ(InFlight(KXSprites_Shot_Y), 0) << "player 1 fires the X laser only";
    EXPECT_EQ(KXSprites_LaserY->Movement, 0);
    Hold(DDINPUT_FIRE, false, 1);
    Hold(DDINPUT_FIRE, true, 2);
    Hold(DDINPUT_Y_DOWN, true, 2);
    Sys_AdvanceClock(100);
    KX_STATE_PLAYING_InputPoll();
    EXPECT_EQ(InFlight(KXSprites_Shot_X), 1);
    EXPECT_EQ(InFlight(KXSprites_Shot_Y), 1);
    EXPECT_EQ(KXSprites_LaserY->Movement, 1);

    KX_AddScore(KX_SPRITE_LASER_Y, 40);
    KX_AddScore(KX_SPRITE_LASER_X, 7);
    EXPECT_EQ(ScoreP2, 40);
    EXPECT_EQ(ScoreP1, 7);
    GameMode = KX_GAMEMODE_ALTERNATE;
    CurrentPlayer = 2;
    KX_AddScore(KX_SPRITE_LASER_X, 5);
    EXPECT_EQ(ScoreP2, 45);
}

TEST_F(Play, JoysticksSteerFireAndZap)
{
    Sys_UseFakeJoysticks(true);
    Sys_SetDirectInputAvailable(true);
    int pad1 = Sys_PlugJoystick("One"), pad2 = Sys_PlugJoystick("Two");
    ASSERT_TRUE(DDInput_Initialise(nullptr, (HWND)1));
    ActiveInput1 = 1;
    SysJoystickInput in = {};
    in.hats[0] = SYS_HAT_DOWN | SYS_HAT_RIGHT;
    in.buttons = 1;
    Sys_SetJoystickInput(pad1, in);
    Hold(DDINPUT_X_LEFT, true); // the stick overrides the keys on its axis
    KX_STATE_PLAYING_InputPoll();
    EXPECT_EQ(KXSprites_LaserX->Movement, 1);
    EXPECT_EQ(KXSprites_LaserY->Movement, 1);
    EXPECT_EQ(InFlight(KXSprites_Shot_Y), 1);

    // Player 2's stick in mode 1: up and right only moves the Y laser up; button 1 zaps.
    GameMode = KX_GAMEMODE_TOGETHER;
    ActiveInput2 = 2;
    Sys_SetJoystickInput(pad1, SysJoystickInput());
    in = SysJoystickInput();
    in.hats[0] = SYS_HAT_UP | SYS_HAT_RIGHT;
    Sys_SetJoystickInput(pad2, in);
    KX_STATE_PLAYING_InputPoll();
    EXPECT_EQ(KXSprites_LaserY->Movement, -1);
    EXPECT_FALSE(KXSprites_LaserX->Turn);
    in.buttons = 2;
    Sys_SetJoystickInput(pad2, in);
    KX_STATE_PLAYING_InputPoll();
    EXPECT_TRUE(ElectroZapActive);
    DDInput_Close();
    Sys_UseFakeJoysticks(false);
}

TEST_F(Play, AZapNeedsOneInHandFreezesTheFieldAndYieldsToEscape)
{
    ElectroZapCount = 0;
    Hold(DDINPUT_ZAP, true);
    KX_STATE_PLAYING_InputPoll();
    EXPECT_FALSE(ElectroZapActive);

    ElectroZapCount = 2;
    TEnemyXSprite *e = EnemyAt(0, 100, 100);
    TEnemyXSprite *dying = EnemyAt(1, 300, 300);
    dying->Explode();
    KXSprites_Shot_X[0]->Fire(212, false);
    Hold(DDINPUT_X_RIGHT, true);
    KX_STATE_PLAYING_InputPoll();
    EXPECT_TRUE(ElectroZapActive);
    EXPECT_EQ(ElectroZapCount, 1);
    EXPECT_TRUE(e->Frozen);
    EXPECT_FALSE(dying->Frozen);
    EXPECT_FALSE(Lights[0].Active) << "the shots give up their lights";
    EXPECT_EQ(KXSprites_LaserX->Movement, 0);
    KX_STATE_PLAYING_InputPoll();
    EXPECT_EQ(ElectroZapCount, 1) << "no second zap while one runs";
    Sys_InjectKey(VK_ESCAPE, true);
    KX_STATE_PLAYING_InputPoll();
    EXPECT_EQ(GameState, KX_STATE_OPTIONS);
}

TEST_F(Play, AtMostOneEnemyPerAxisSpawnsEachFrame)
{
    int now = (int)GetClock();
    NextXEnemyTime = NextYEnemyTime = now - 5000;
    KX_UpdateNormal(now);
    EXPECT_TRUE(KXSprites_Enemy_X[0]->GetActive());
    EXPECT_FALSE(KXSprites_Enemy_X[1]->GetActive());
    EXPECT_TRUE(KXSprites_Enemy_Y[0]->GetActive());
    EXPECT_FALSE(KXSprites_Enemy_Y[1]->GetActive());
    EXPECT_TRUE(NextXEnemyTime >= now + 1000 && NextXEnemyTime < now + 4000);

    for (TEnemyXSprite *x : KXSprites_Enemy_X)
        x->Spawn();
    NextXEnemyTime = now;
    KX_UpdateNormal(now + 1);
    EXPECT_EQ(NextXEnemyTime, now) << "with all ten in play it waits for a free one";
    KXSprites_Enemy_X[4]->SetActive(false);
    KX_UpdateNormal(now + 2);
    EXPECT_TRUE(KXSprites_Enemy_X[4]->GetActive());
}

TEST_F(Play, TwoShotsOnOneEnemyBothCount)
{
    EnemyAt(3, 212, 200);
    KXSprites_Shot_X[0]->Fire(212, false);
    KXSprites_Shot_X[1]->Fire(212, false);
    KXSprites_Shot_X[0]->SetPosition(210, 205);
    KXSprites_Shot_X[1]->SetPosition(214, 195);
    KX_UpdateCollide();
    EXPECT_EQ(Threshold, 23);
    EXPECT_EQ(ScoreP1, 20);
    EXPECT_EQ(InFlight(KXSprites_Shot_X), 0);
    EXPECT_EQ(GameState, KX_STATE_PLAYING);

    // From the next check on the exploding enemy can no longer be hit.
    KXSprites_Shot_X[0]->Fire(212, false);
    KXSprites_Shot_X[0]->SetPosition(212, 200);
    KX_UpdateCollide();
    EXPECT_EQ(Threshold, 23);
    EXPECT_TRUE(KXSprites_Shot_X[0]->GetActive());
}

TEST_F(Play, ALaserTouchedIsLostUnlessTheLevelEndsInTheSameCheck)
{
    EnemyAt(0, 212, 430);
    KX_UpdateCollide();
    EXPECT_EQ(GameState, KX_STATE_DYING);
    EXPECT_EQ(LaserEntry, 1);

    GameState = KX_STATE_PLAYING;
    KXSprites_Enemy_X[0]->SetActive(false);
    EnemyAt(1, 430, 212);
    KX_UpdateCollide();
    EXPECT_EQ(LaserEntry, 2);

    GameState = KX_STATE_PLAYING;
    LaserEntry = 0;
    Threshold = 1;
    EnemyAt(2, 100, 100);
    KXSprites_Shot_Y[1]->Fire(100, false);
    KXSprites_Shot_Y[1]->SetPosition(100, 100);
    KX_UpdateCollide();
    EXPECT_EQ(GameState, KX_STATE_END_LEVEL);
    EXPECT_EQ(LaserEntry, 0);
}

TEST_F(Play, SteppingStopsAtTheStepThatChangesTheState)
{
    int start = (int)GetClock();
    DDSPRITE_SetStartTime(start);
    EnemyAt(0, 212, 430);
    KX_STATE_PLAYING_Update(start + 100);
    EXPECT_EQ(GameState, KX_STATE_DYING);
    EXPECT_EQ(SpriteLastUpdateTime, start + 20);

    GameState = KX_STATE_PLAYING;
    KXSprites_Enemy_X[0]->SetActive(false);
    KX_STATE_PLAYING_Update(start + 100);
    EXPECT_EQ(SpriteLastUpdateTime, start + 100);
}

TEST_F(Play, TheZapRingSpreadsWithFourLightsAndScoresHalves)
{
    GameMode = KX_GAMEMODE_TOGETHER;
    TEnemyXSprite *inside = EnemyAt(0, 300, 220);  // 80 from the centre
    TEnemyXSprite *outside = EnemyAt(1, 220, 315); // 95
    int t0 = (int)GetClock();
    KX_StartElectroZap();
    KX_UpdateElectroZap(t0 + 200);
    EXPECT_FALSE(KXSprites_ElextroExp->GetActive());
    KX_UpdateElectroZap(t0 + 201);
    EXPECT_TRUE(KXSprites_ElextroExp->GetActive());
    EXPECT_EQ(Played(KX_FX_ELECTRO), 1);
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(Lights[i].Spec, Light4);
        EXPECT_EQ(Lights[i].X, 220);
    }
    // A quarter second in: radius 90 (362 px/s), a quarter turn round.
    KX_UpdateElectroZap(t0 + 450);
    const int expect[4][2] = { { 220, 310 }, { 130, 220 }, { 220, 130 }, { 310, 220 } };
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(Lights[i].X, expect[i][0]) << i;
        EXPECT_EQ(Lights[i].Y, expect[i][1]) << i;
    }
    EXPECT_TRUE(inside->IsExploding());
    EXPECT_FALSE(outside->IsExploding());
    EXPECT_EQ(ScoreP1, 5);
    EXPECT_EQ(ScoreP2, 5);
    EXPECT_EQ(Threshold, 24);

    KX_UpdateElectroZap(t0 + 1200);
    EXPECT_TRUE(ElectroZapActive);
    EXPECT_TRUE(outside->IsExploding());
    KX_UpdateElectroZap(t0 + 1201);
    EXPECT_FALSE(ElectroZapActive);
    EXPECT_FALSE(Lights[0].Active);
    EXPECT_GE(NextXEnemyTime, (int)GetClock() + 1000);
}
