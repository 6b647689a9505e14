// The four states around play: lasers entering with the bar refilling, the ready banner, dying
// and the end of a level.
#include "actors/actors_fixture.h"
#include "flow_fixture.h"
#include "dd_input.h"
#include "kx_panel_game.h"
#include "kx_state_dying.h"
#include "kx_state_end_level.h"
#include "kx_state_enter_laser.h"
#include "kx_state_ready_wait.h"
#include "win_dinput.h"
#include "win_user.h"

#include <cstring>

namespace {

class Transitions : public ActorTest {
protected:
    int T0 = 0; // the state's start, as its start routine read the clock

    void SetUp() override
    {
        ActorTest::SetUp();
        ASSERT_TRUE(initialised) << log.Text();
        WriteArtwork();
        ASSERT_TRUE(KX_BITMAP_Initialise());
        UseLevel(0);
        GameMode = KX_GAMEMODE_ONE_PLAYER;
        StartLevel = 0;
        KX_NewGame();
        GameState = OldGameState = KX_STATE_ENTER_LASER;
        CurrentMusic = KX_MUSIC_GAME;
        memcpy(ActiveInput1Keys, DefaultP1InputKeys, sizeof ActiveInput1Keys);
        memcpy(ActiveInput2Keys, DefaultP2InputKeys, sizeof ActiveInput2Keys);
        ActiveInput1 = ActiveInput2 = 0;
    }
    void TearDown() override
    {
        for (int vk = 1; vk < 256; vk++)
            Sys_InjectKey(vk, false);
        CurrentMusic = KX_MUSIC_NONE;
        KX_BITMAP_Cleanup();
        ActorTest::TearDown();
    }
    // Runs a start routine at the current clock and remembers when the state began.
    void Start(void (*start)(), int state)
    {
        GameState = OldGameState = state;
        start();
        T0 = (int)StateTime;
    }
    // One frame t ms into the state: the clock and the update time agree, as in the game.
    void Frame(void (*update)(int), int t)
    {
        Sys_SetClock((DWORD)(T0 + t));
        update(T0 + t);
    }
    static void Place(TSprite *s, int x, int y) { s->SetPosition(x, y); }
    // Entering lasers a few pixels from where they stop.
    static void AlmostHome()
    {
        Place(KXSprites_LaserX, 220, 432);
        Place(KXSprites_LaserY, 432, 220);
    }
};

void EnterUpdate(int time) { KX_STATE_ENTER_LASER_Update(time); }
void ReadyUpdate(int time) { KX_STATE_READY_WAIT_Update(time); }

} // namespace

TEST_F(Transitions, NewGameClearsTheFieldAndBringsBothLasersIn)
{
    TEnemyXSprite *walker = KXSprites_Enemy_X[0];
    walker->Spawn();
    TEnemyYSprite *dying = KXSprites_Enemy_Y[3];
    dying->Spawn();
    dying->Explode();
    KXSprites_Shot_X[1]->Fire(200, false);
    KXSprites_ElextroExp->StartExplode(220, 220);
    ASSERT_TRUE(walker->GetActive() && dying->GetActive() && KXSprites_Shot_X[1]->GetActive());
    int readyBefore = Played(KX_FX_LEVEL_READY);

    LaserEntry = 0;
    Start(KX_STATE_ENTER_LASER_Start, KX_STATE_ENTER_LASER);
    EXPECT_EQ(LaserEntry, 3);
    EXPECT_FALSE(walker->GetActive());
    EXPECT_TRUE(dying->GetActive()) << "an exploding enemy finishes its explosion";
    EXPECT_FALSE(KXSprites_Shot_X[1]->GetActive());
    EXPECT_FALSE(KXSprites_ElextroExp->GetActive());
    for (TExplosionSprite *e : KXSprites_Explosion)
        EXPECT_FALSE(e->GetActive());
    EXPECT_EQ(Played(KX_FX_LEVEL_READY), readyBefore + 1);
    EXPECT_EQ(PortalFrameTime, T0);
    EXPECT_EQ(SpriteLastUpdateTime, T0);
    for (TSprite *laser : { (TSprite *)KXSprites_LaserX, (TSprite *)KXSprites_LaserY }) {
        int x, y;
        laser->GetPosition(&x, &y);
        EXPECT_TRUE(laser->GetActive());
        EXPECT_EQ(x, 432);
        EXPECT_EQ(y, 432);
    }
    EXPECT_TRUE(KXSprites_LaserX->Entering);
    EXPECT_EQ(KXSprites_LaserX->Movement, -1);

    // Both slide out of the corner along their runways and stop at 212; only then may the state end.
    int t = 0;
    while (GameState == KX_STATE_ENTER_LASER && t < 5000)
        Frame(EnterUpdate, t += 16);
    ASSERT_EQ(GameState, KX_STATE_READY_WAIT) << "the lasers never arrived";
    int x, y;
    KXSprites_LaserX->GetPosition(&x, &y);
    EXPECT_EQ(x, 212);
    EXPECT_EQ(y, 432);
    KXSprites_LaserY->GetPosition(&x, &y);
    EXPECT_EQ(x, 432);
    EXPECT_EQ(y, 212);
    EXPECT_FALSE(KXSprites_LaserX->Entering);
    EXPECT_EQ(KXSprites_LaserY->Movement, 0);
    EXPECT_EQ(Threshold, 25);
}

TEST_F(Transitions, OnlyTheLostLaserComesBack)
{
    KXSprites_LaserX->SetActive(true);
    Place(KXSprites_LaserX, 100, 432);
    LaserEntry = 2;
    Start(KX_STATE_ENTER_LASER_Start, KX_STATE_ENTER_LASER);
    for (int t = 16; t < 2000 && GameState == KX_STATE_ENTER_LASER; t += 16)
        Frame(EnterUpdate, t);
    EXPECT_EQ(GameState, KX_STATE_READY_WAIT);
    int x, y;
    KXSprites_LaserX->GetPosition(&x, &y);
    EXPECT_EQ(x, 100) << "the X laser keeps its place";
    KXSprites_LaserY->GetPosition(&x, &y);
    EXPECT_EQ(y, 212);
}

TEST_F(Transitions, BarRefillsAtAFullThresholdPer500ms)
{
    // A laser lost with 10 of 25 to go: back to 10 within 200 ms, and no further.
    Threshold = 10;
    LaserEntry = 1;
    Start(KX_STATE_ENTER_LASER_Start, KX_STATE_ENTER_LASER);
    EXPECT_EQ(Threshold, 0);
    EXPECT_EQ(TargetThreshold, 10);
    Frame(EnterUpdate, 100);
    EXPECT_EQ(Threshold, 5);
    Frame(EnterUpdate, 199);
    EXPECT_EQ(Threshold, 9);
    Frame(EnterUpdate, 200);
    EXPECT_EQ(Threshold, 10);
    Frame(EnterUpdate, 400);
    EXPECT_EQ(Threshold, 10);

    // A new level fills the whole bar in 500 ms; the panel follows.
    UseLevel(3);
    Threshold = LevelData[3].Threshold;
    LaserEntry = 3;
    Start(KX_STATE_ENTER_LASER_Start, KX_STATE_ENTER_LASER);
    Frame(EnterUpdate, 250);
    EXPECT_EQ(Threshold, 20);
    EXPECT_EQ(KX_PANEL_GAME_BarWidth(), 65);
    Back back = ReadBack();
    EXPECT_EQ(back.Tag(494 + 64, 420), TAG_BAR);
    EXPECT_NE(back.Tag(494 + 65, 420), TAG_BAR);
    Frame(EnterUpdate, 499);
    EXPECT_EQ(Threshold, 39);
    Frame(EnterUpdate, 500);
    EXPECT_EQ(Threshold, 40);

    // An update time a little before the state's start never empties the bar below zero.
    Threshold = 25;
    UseLevel(0);
    Start(KX_STATE_ENTER_LASER_Start, KX_STATE_ENTER_LASER);
    KX_STATE_ENTER_LASER_Update(T0 - 5);
    EXPECT_EQ(Threshold, 0);
}

TEST_F(Transitions, TitleMusicFadesOutBeforeReady)
{
    CurrentMusic = KX_MUSIC_TITLE;
    Start(KX_STATE_ENTER_LASER_Start, KX_STATE_ENTER_LASER);
    EXPECT_EQ(TitleMusicFade, 0);
    // Lasers almost home, so that the fade is what the state waits for.
    AlmostHome();
    int t = 0;
    int fadedAt = -1;
    while (GameState == KX_STATE_ENTER_LASER && t < 3000) {
        Frame(EnterUpdate, t += 10);
        EXPECT_EQ(MusicFade, TitleMusicFade);
        if (fadedAt < 0 && TitleMusicFade == 100)
            fadedAt = t;
    }
    EXPECT_EQ(fadedAt, 1000);
    EXPECT_EQ(t, 1010) << "the state ends in the frame after the fade completes";

    // Coming back from a lost laser the game music plays on: no fade, a short entry.
    CurrentMusic = KX_MUSIC_GAME;
    KX_SOUND_SetMusicFade(0);
    LaserEntry = 1;
    Threshold = 25;
    Start(KX_STATE_ENTER_LASER_Start, KX_STATE_ENTER_LASER);
    EXPECT_EQ(TitleMusicFade, 100);
    AlmostHome();
    t = 0;
    while (GameState == KX_STATE_ENTER_LASER && t < 3000)
        Frame(EnterUpdate, t += 10);
    EXPECT_EQ(t, 510) << "the bar alone sets the pace";
    EXPECT_EQ(MusicFade, 0);
}

TEST_F(Transitions, ReadyAcceptsFireFrom924ms)
{
    CurrentMusic = KX_MUSIC_TITLE;
    KX_SOUND_SetMusicFade(100);
    Start(KX_STATE_READY_WAIT_Start, KX_STATE_READY_WAIT);
    EXPECT_EQ(CurrentMusic, KX_MUSIC_GAME);
    EXPECT_EQ(MusicFade, 0);
    Sys_InjectKey(ActiveInput1Keys[DDINPUT_FIRE], true);
    // Fire held throughout: the poll runs before each frame's update, as in the game.
    int t = 0;
    for (; GameState == KX_STATE_READY_WAIT && t < 2000; t += 1) {
        Sys_SetClock((DWORD)(T0 + t));
        KX_STATE_READY_WAIT_InputPoll();
        if (GameState != KX_STATE_READY_WAIT)
            break;
        KX_STATE_READY_WAIT_Update(T0 + t);
        EXPECT_EQ(GameReady, t >= 924) << t;
    }
    EXPECT_EQ(GameState, KX_STATE_PLAYING);
    EXPECT_EQ(t, 925) << "play starts in the first frame after the banner";
}

TEST_F(Transitions, ReadyFireInTheModesAndFromAJoystick)
{
    // Player 2's fire counts only when both play at once.
    for (int mode : { KX_GAMEMODE_ONE_PLAYER, KX_GAMEMODE_TOGETHER }) {
        GameMode = mode;
        Start(KX_STATE_READY_WAIT_Start, KX_STATE_READY_WAIT);
        memcpy(ActiveInput2Keys, DefaultP2InputKeys, sizeof ActiveInput2Keys);
        ActiveInput1 = ActiveInput2 = 0;
        Frame(ReadyUpdate, 1000);
        Sys_InjectKey(ActiveInput2Keys[DDINPUT_FIRE], true);
        KX_STATE_READY_WAIT_InputPoll();
        EXPECT_EQ(GameState, mode == KX_GAMEMODE_TOGETHER ? KX_STATE_PLAYING : KX_STATE_READY_WAIT) << mode;
        Sys_InjectKey(ActiveInput2Keys[DDINPUT_FIRE], false);
    }
    // A joystick that is not there reads as no buttons, never as fire.
    GameMode = KX_GAMEMODE_ONE_PLAYER;
    Start(KX_STATE_READY_WAIT_Start, KX_STATE_READY_WAIT);
    Frame(ReadyUpdate, 1000);
    ActiveInput1 = 3;
    KX_STATE_READY_WAIT_InputPoll();
    EXPECT_EQ(GameState, KX_STATE_READY_WAIT);
    ActiveInput1 = 0;
}

TEST_F(Transitions, ReadyBannerSlidesDownWithItsTrail)
{
    Start(KX_STATE_READY_WAIT_Start, KX_STATE_READY_WAIT);
    // Step 0: one copy of the first picture at y = 240.
    Frame(ReadyUpdate, 0);
    Back back = ReadBack();
    EXPECT_EQ(back.Tag(120, 240), TAG_READY + 0);
    EXPECT_EQ(back.Green(120, 240), 1);
    EXPECT_EQ(back.Tag(296, 273), TAG_READY + 0);
    EXPECT_NE(back.Tag(297, 250), TAG_READY + 0);
    EXPECT_NE(back.Tag(120, 274) / 4, TAG_READY / 4);
    // Step 3 (198 ms): copies 0 to 3, the later ones over the earlier; copy 3 is the second picture.
    Frame(ReadyUpdate, 3 * 66);
    back = ReadBack();
    EXPECT_EQ(back.Tag(120, 240), TAG_READY + 0);
    EXPECT_EQ(back.Tag(120, 250), TAG_READY + 1);
    EXPECT_EQ(back.Green(120, 250), 1) << "copy 2 starts at y = 250";
    EXPECT_EQ(back.Tag(120, 288), TAG_READY + 1);
    EXPECT_EQ(back.Green(120, 288), 34);
    EXPECT_NE(back.Tag(120, 289) / 4, TAG_READY / 4);
    // Step 9: copies 2 to 7; copy 0 and 1 are gone.
    Frame(ReadyUpdate, 9 * 66);
    back = ReadBack();
    EXPECT_NE(back.Tag(120, 240) / 4, TAG_READY / 4);
    EXPECT_EQ(back.Tag(120, 250), TAG_READY + 1);
    // From 924 ms only the last copy remains, at y = 275, in the fourth picture.
    Frame(ReadyUpdate, 924);
    back = ReadBack();
    EXPECT_EQ(back.Tag(120, 275), TAG_READY + 3);
    EXPECT_EQ(back.Green(120, 275), 1);
    EXPECT_EQ(back.Tag(120, 308), TAG_READY + 3);
    EXPECT_NE(back.Tag(120, 274) / 4, TAG_READY / 4);
    EXPECT_NE(back.Tag(120, 309) / 4, TAG_READY / 4);
    // The stage caption and the panel are shown with it.
    EXPECT_EQ(back.Tag(80, 50), TAG_PLAYER1);
    EXPECT_EQ(back.Tag(100, 120), TAG_LEVEL);
    EXPECT_EQ(back.Tag(300, 120), TAG_LVLNUM + 1);
    EXPECT_EQ(back.Tag(100, 180), TAG_PHASE);
    EXPECT_EQ(back.Tag(300, 180), TAG_LVLNUM + 1);
    EXPECT_EQ(back.Tag(600, 10), TAG_PANEL);
}

TEST_F(Transitions, DyingLeadsOnByModeAndLives)
{
    struct Case {
        int mode, player, lives1, lives2, entry;
        int state, nextPlayer;
    } cases[] = {
        { KX_GAMEMODE_ONE_PLAYER, 1, 4, 0, 1, KX_STATE_ENTER_LASER, 1 },
        { KX_GAMEMODE_ONE_PLAYER, 1, 0, 0, 2, KX_STATE_GAMEOVER, 1 },
        { KX_GAMEMODE_TOGETHER, 1, 0, 4, 1, KX_STATE_GAMEOVER, 1 },
        { KX_GAMEMODE_TOGETHER, 1, 2, 0, 2, KX_STATE_ENTER_LASER, 1 },
        { KX_GAMEMODE_ALTERNATE, 1, 3, 3, 1, KX_STATE_LOAD_LEVEL, 2 },
        { KX_GAMEMODE_ALTERNATE, 2, -1, 3, 2, KX_STATE_ENTER_LASER, 2 },
        { KX_GAMEMODE_ALTERNATE, 2, 0, 3, 2, KX_STATE_LOAD_LEVEL, 1 },
        { KX_GAMEMODE_ALTERNATE, 2, -1, 0, 1, KX_STATE_GAMEOVER, 2 },
    };
    for (const Case &c : cases) {
        GameMode = c.mode;
        CurrentPlayer = c.player;
        LivesP1 = c.lives1;
        LivesP2 = c.lives2;
        LaserEntry = c.entry;
        for (TSprite *laser : { (TSprite *)KXSprites_LaserX, (TSprite *)KXSprites_LaserY })
            laser->SetActive(true);
        KXSprites_LaserX->SetMovement(1);
        KXSprites_LaserY->SetTurn(true);
        KXSprites_LaserX->Exploding = KXSprites_LaserY->Exploding = false;
        Start(KX_STATE_DYING_Start, KX_STATE_DYING);
        EXPECT_EQ(PortalFrameTime, T0);
        EXPECT_EQ(KXSprites_LaserX->Movement, 0);
        EXPECT_FALSE(KXSprites_LaserY->Turn);
        EXPECT_EQ(KXSprites_LaserX->Exploding, c.entry == 1);
        EXPECT_EQ(KXSprites_LaserY->Exploding, c.entry == 2);
        KX_STATE_DYING_Update(T0 + 1500);
        KX_STATE_DYING_Update(T0 + 3000);
        EXPECT_EQ(GameState, KX_STATE_DYING) << "3000 ms is not yet over";
        KX_STATE_DYING_Update(T0 + 3001);
        EXPECT_EQ(GameState, c.state) << "mode " << c.mode << " player " << c.player;
        EXPECT_EQ(CurrentPlayer, c.nextPlayer);
    }
}

TEST_F(Transitions, EndOfLevelExplodesTheRestAndAwardsAZap)
{
    KXSprites_Enemy_X[2]->Spawn();
    KXSprites_Enemy_Y[5]->Spawn();
    KXSprites_Shot_Y[0]->Fire(300, true);
    KXSprites_LaserX->SetMovement(-1);
    Threshold = 0;
    ScoreP1 = 70;
    ElectroZapCount = 3;
    int endBefore = Played(KX_FX_END_LEVEL);
    Start(KX_STATE_END_LEVEL_Start, KX_STATE_END_LEVEL);
    EXPECT_TRUE(KXSprites_Enemy_X[2]->IsExploding());
    EXPECT_TRUE(KXSprites_Enemy_Y[5]->IsExploding());
    EXPECT_FALSE(KXSprites_Enemy_X[3]->IsExploding()) << "inactive enemies are left alone";
    EXPECT_FALSE(KXSprites_Shot_Y[0]->GetActive());
    EXPECT_EQ(KXSprites_LaserX->Movement, 0);
    EXPECT_EQ(ScoreP1, 70);
    EXPECT_EQ(Threshold, 0);

    KX_STATE_END_LEVEL_Update(T0 + 500);
    EXPECT_EQ(ElectroZapCount, 3);
    Back back = ReadBack();
    EXPECT_NE(back.Tag(80, 280), TAG_COMPLETE);
    EXPECT_NE(back.Tag(100, 120), TAG_LEVEL);
    KX_STATE_END_LEVEL_Update(T0 + 501);
    EXPECT_EQ(ElectroZapCount, 4);
    EXPECT_EQ(Played(KX_FX_END_LEVEL), endBefore + 1);
    back = ReadBack();
    EXPECT_EQ(back.Tag(80, 280), TAG_COMPLETE);
    EXPECT_EQ(back.Tag(100, 120), TAG_LEVEL);
    EXPECT_EQ(back.Tag(300, 180), TAG_LVLNUM + 1);
    for (int t = 520; t <= 4000; t += 160)
        KX_STATE_END_LEVEL_Update(T0 + t);
    KX_STATE_END_LEVEL_Update(T0 + 4000);
    EXPECT_EQ(ElectroZapCount, 4) << "one zap per level";
    EXPECT_EQ(Played(KX_FX_END_LEVEL), endBefore + 1);
    EXPECT_EQ(GameState, KX_STATE_END_LEVEL);
    LaserEntry = 1;
    KX_STATE_END_LEVEL_Update(T0 + 4001);
    EXPECT_EQ(GameState, KX_STATE_LOAD_LEVEL);
    EXPECT_EQ(GameLevel, 1);
    EXPECT_EQ(Threshold, 30);
    EXPECT_EQ(LaserEntry, 3);
}

TEST_F(Transitions, EndOfLevelKeepsFiveZapsAndWrapsAfterTheTenth)
{
    UseLevel(9);
    ElectroZapCount = 5;
    CurrentPlayer = 2;
    Start(KX_STATE_END_LEVEL_Start, KX_STATE_END_LEVEL);
    KX_STATE_END_LEVEL_Update(T0 + 600);
    EXPECT_EQ(ElectroZapCount, 5);
    Back back = ReadBack();
    EXPECT_EQ(back.Tag(80, 50), TAG_PLAYER2);
    EXPECT_EQ(back.Tag(300, 120), TAG_LVLNUM + 5);
    EXPECT_EQ(back.Tag(300, 180), TAG_LVLNUM + 2);
    KX_STATE_END_LEVEL_Update(T0 + 4016);
    EXPECT_EQ(GameLevel, 0);
    EXPECT_EQ(Threshold, 25);
    // Shown as level 1, phase 1 when the next level's lasers enter.
    Start(KX_STATE_ENTER_LASER_Start, KX_STATE_ENTER_LASER);
    Frame(EnterUpdate, 16);
    back = ReadBack();
    EXPECT_EQ(back.Tag(300, 120), TAG_LVLNUM + 1);
    EXPECT_EQ(back.Tag(300, 180), TAG_LVLNUM + 1);
}
