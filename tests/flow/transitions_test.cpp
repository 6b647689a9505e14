// The four states around play: lasers entering with the bar refilling, the ready banner, dying
// and the end of a level.
#include "actors/actors_fixture.h"
#include "flow_fixture.h"
#include "dd_input.h"
#include "kx_state_dying.h"
#include "kx_state_end_level.h"
#include "kx_state_enter_laser.h"
#include "kx_state_ready_wait.h"
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
        StartLevel = 0;
        KX_NewGame();
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
    void Start(void (*start)(), int state)
    {
        GameState = OldGameState = state;
        start();
        T0 = (int)StateTime;
    }
    // One frame t ms into the state, the clock and the update time agreeing as in the game.
    void Frame(void (*update)(int), int t)
    {
        Sys_SetClock((DWORD)(T0 + t));
        update(T0 + t);
    }
    // Runs the enter-laser state in frames of step ms until it ends; returns the last frame's t.
    int EnterUntilReady(int step)
    {
        int t = 0;
        while (GameState == KX_STATE_ENTER_LASER && t < 5000)
            Frame(KX_STATE_ENTER_LASER_Update, t += step);
        return t;
    }
    static void AlmostHome()
    {
        KXSprites_LaserX->SetPosition(220, 432);
        KXSprites_LaserY->SetPosition(432, 220);
    }
    static POINT Pos(const TSprite *s)
    {
        int x, y;
        s->GetPosition(&x, &y);
        return { x, y };
    }
};

} // namespace

TEST_F(Transitions, EnteringClearsTheFieldAndBringsTheLasersIn)
{
    TEnemyXSprite *walker = KXSprites_Enemy_X[0];
    walker->Spawn();
    TEnemyYSprite *dying = KXSprites_Enemy_Y[3];
    dying->Spawn();
    dying->Explode();
    KXSprites_Shot_X[1]->Fire(200, false);
    KXSprites_ElextroExp->StartExplode(220, 220);
    int readyBefore = Played(KX_FX_LEVEL_READY);
    LaserEntry = 0; // a new game
    Start(KX_STATE_ENTER_LASER_Start, KX_STATE_ENTER_LASER);
    EXPECT_EQ(LaserEntry, 3);
    EXPECT_FALSE(walker->GetActive());
    EXPECT_TRUE(dying->GetActive()) << "an exploding enemy finishes its explosion";
    EXPECT_FALSE(KXSprites_Shot_X[1]->GetActive());
    EXPECT_FALSE(KXSprites_ElextroExp->GetActive());
    EXPECT_EQ(Played(KX_FX_LEVEL_READY), readyBefore + 1);
    EXPECT_EQ(PortalFrameTime, T0);
    EXPECT_EQ(SpriteLastUpdateTime, T0);
    EXPECT_EQ(Pos(KXSprites_LaserX).x, 432);
    EXPECT_EQ(Pos(KXSprites_LaserY).y, 432);
    EXPECT_TRUE(KXSprites_LaserY->GetActive() && KXSprites_LaserY->Entering);

    // Both slide out of the corner along their runways and stop at 212.
    EnterUntilReady(16);
    ASSERT_EQ(GameState, KX_STATE_READY_WAIT) << "the lasers never arrived";
    EXPECT_EQ(Pos(KXSprites_LaserX).x, 212);
    EXPECT_EQ(Pos(KXSprites_LaserX).y, 432);
    EXPECT_EQ(Pos(KXSprites_LaserY).y, 212);
    EXPECT_FALSE(KXSprites_LaserX->Entering);
    EXPECT_EQ(KXSprites_LaserY->Movement, 0);

    // After the Y laser alone was lost, the X laser keeps its place.
    KXSprites_LaserX->SetPosition(100, 432);
    LaserEntry = 2;
    Start(KX_STATE_ENTER_LASER_Start, KX_STATE_ENTER_LASER);
    EnterUntilReady(16);
    EXPECT_EQ(GameState, KX_STATE_READY_WAIT);
    EXPECT_EQ(Pos(KXSprites_LaserX).x, 100);
    EXPECT_EQ(Pos(KXSprites_LaserY).y, 212);
}

TEST_F(Transitions, BarRefillsAtAFullThresholdPer500ms)
{
    Threshold = 10; // a laser lost with 10 of 25 to go
    LaserEntry = 1;
    Start(KX_STATE_ENTER_LASER_Start, KX_STATE_ENTER_LASER);
    EXPECT_EQ(Threshold, 0);
    EXPECT_EQ(TargetThreshold, 10);
    for (auto [t, expected] : { std::pair<int, int>(100, 5), { 199, 9 }, { 200, 10 }, { 400, 10 } }) {
        Frame(KX_STATE_ENTER_LASER_Update, t);
        EXPECT_EQ(Threshold, expected) << t;
    }
    UseLevel(3); // a new level fills the whole bar in 500 ms, and the panel follows
    Threshold = 40;
    Start(KX_STATE_ENTER_LASER_Start, KX_STATE_ENTER_LASER);
    Frame(KX_STATE_ENTER_LASER_Update, 250);
    EXPECT_EQ(Threshold, 20);
    Back back = ReadBack();
    EXPECT_EQ(back.Tag(494 + 64, 420), TAG_BAR);
    EXPECT_NE(back.Tag(494 + 65, 420), TAG_BAR);
    Frame(KX_STATE_ENTER_LASER_Update, 499);
    EXPECT_EQ(Threshold, 39);
    Frame(KX_STATE_ENTER_LASER_Update, 500);
    EXPECT_EQ(Threshold, 40);
    // An update time a little before the state began never takes the bar below empty.
    Start(KX_STATE_ENTER_LASER_Start, KX_STATE_ENTER_LASER);
    KX_STATE_ENTER_LASER_Update(T0 - 5);
    EXPECT_EQ(Threshold, 0);
}

TEST_F(Transitions, TitleMusicFadesOutBeforeReady)
{
    CurrentMusic = KX_MUSIC_TITLE;
    Start(KX_STATE_ENTER_LASER_Start, KX_STATE_ENTER_LASER);
    EXPECT_EQ(TitleMusicFade, 0);
    AlmostHome(); // so that the fade is what the state waits for
    Frame(KX_STATE_ENTER_LASER_Update, 550);
    EXPECT_EQ(MusicFade, 55);
    EXPECT_EQ(EnterUntilReady(10), 1010) << "the state ends in the frame after the fade completes";
    EXPECT_EQ(MusicFade, 100);

    // Coming back from a lost laser the game music plays on: no fade, the bar sets the pace.
    CurrentMusic = KX_MUSIC_GAME;
    KX_SOUND_SetMusicFade(0);
    LaserEntry = 1;
    Threshold = 25;
    Start(KX_STATE_ENTER_LASER_Start, KX_STATE_ENTER_LASER);
    EXPECT_EQ(TitleMusicFade, 100);
    AlmostHome();
    EXPECT_EQ(EnterUntilReady(10), 510);
    EXPECT_EQ(MusicFade, 0);
}

TEST_F(Transitions, ReadyAcceptsFireFrom924ms)
{
    CurrentMusic = KX_MUSIC_TITLE;
    KX_SOUND_SetMusicFade(100);
    Start(KX_STATE_READY_WAIT_Start, KX_STATE_READY_WAIT);
    EXPECT_EQ(CurrentMusic, KX_MUSIC_GAME);
    EXPECT_EQ(MusicFade, 0);
    // Fire held throughout; the poll comes before each frame's update, as in the game.
    Sys_InjectKey(ActiveInput1Keys[DDINPUT_FIRE], true);
    int t = 0;
    for (; t < 2000; t++) {
        Sys_SetClock((DWORD)(T0 + t));
        KX_STATE_READY_WAIT_InputPoll();
        if (GameState != KX_STATE_READY_WAIT)
            break;
        KX_STATE_READY_WAIT_Update(T0 + t);
        ASSERT_EQ(GameReady, t >= 924) << t;
    }
    EXPECT_EQ(GameState, KX_STATE_PLAYING);
    EXPECT_EQ(t, 925) << "play starts in the first frame after the banner";

    // Player 2's fire counts only when both play at once.
    Sys_InjectKey(ActiveInput1Keys[DDINPUT_FIRE], false);
    for (int mode : { KX_GAMEMODE_ONE_PLAYER, KX_GAMEMODE_TOGETHER }) {
        GameMode = mode;
        Start(KX_STATE_READY_WAIT_Start, KX_STATE_READY_WAIT);
        memcpy(ActiveInput2Keys, DefaultP2InputKeys, sizeof ActiveInput2Keys);
        Frame(KX_STATE_READY_WAIT_Update, 1000);
        Sys_InjectKey(ActiveInput2Keys[DDINPUT_FIRE], true);
        KX_STATE_READY_WAIT_InputPoll();
        EXPECT_EQ(GameState, mode == KX_GAMEMODE_TOGETHER ? KX_STATE_PLAYING : KX_STATE_READY_WAIT) << mode;
        Sys_InjectKey(ActiveInput2Keys[DDINPUT_FIRE], false);
    }
}

TEST_F(Transitions, ReadyBannerSlidesDownWithItsTrail)
{
    auto isBanner = [](const Back &b, int y) { return b.Tag(120, y) / 4 == TAG_READY / 4; };
    Start(KX_STATE_READY_WAIT_Start, KX_STATE_READY_WAIT);
    Frame(KX_STATE_READY_WAIT_Update, 0); // step 0: one copy of the first picture at y = 240
    Back back = ReadBack();
    EXPECT_EQ(back.Tag(120, 240), TAG_READY + 0);
    EXPECT_EQ(back.Green(120, 240), 1);
    EXPECT_FALSE(isBanner(back, 274));
    // Step 3: copies 0 to 3, later over earlier; copy 2 begins at y = 250, copy 3 (second picture) ends at 288.
    Frame(KX_STATE_READY_WAIT_Update, 3 * 66);
    back = ReadBack();
    EXPECT_EQ(back.Tag(120, 240), TAG_READY + 0);
    EXPECT_EQ(back.Tag(120, 250), TAG_READY + 1);
    EXPECT_EQ(back.Green(120, 250), 1);
    EXPECT_EQ(back.Green(120, 288), 34);
    EXPECT_FALSE(isBanner(back, 289));
    Frame(KX_STATE_READY_WAIT_Update, 9 * 66); // step 9: copies 0 and 1 are gone
    EXPECT_FALSE(isBanner(ReadBack(), 240));
    // From 924 ms only the last copy, in the fourth picture at y = 275.
    Frame(KX_STATE_READY_WAIT_Update, 924);
    back = ReadBack();
    EXPECT_EQ(back.Tag(120, 275), TAG_READY + 3);
    EXPECT_EQ(back.Green(120, 275), 1);
    EXPECT_FALSE(isBanner(back, 274));
    EXPECT_FALSE(isBanner(back, 309));
    // With the stage caption and the panel.
    EXPECT_EQ(back.Tag(80, 50), TAG_PLAYER1);
    EXPECT_EQ(back.Tag(100, 120), TAG_LEVEL);
    EXPECT_EQ(back.Tag(300, 120), TAG_LVLNUM + 1);
    EXPECT_EQ(back.Tag(100, 180), TAG_PHASE);
    EXPECT_EQ(back.Tag(300, 180), TAG_LVLNUM + 1);
    EXPECT_EQ(back.Tag(600, 10), TAG_PANEL);
}

TEST_F(Transitions, DyingLeadsOnByModeAndLives)
{
    struct {
        int mode, player, lives1, lives2, entry, state, nextPlayer;
    } cases[] = {
        { KX_GAMEMODE_ONE_PLAYER, 1, 4, 0, 1, KX_STATE_ENTER_LASER, 1 },
        { KX_GAMEMODE_ONE_PLAYER, 1, 0, 0, 2, KX_STATE_GAMEOVER, 1 },
        { KX_GAMEMODE_TOGETHER, 1, 0, 4, 1, KX_STATE_GAMEOVER, 1 },
        { KX_GAMEMODE_ALTERNATE, 1, 3, 3, 1, KX_STATE_LOAD_LEVEL, 2 },
        { KX_GAMEMODE_ALTERNATE, 2, -1, 3, 2, KX_STATE_ENTER_LASER, 2 },
    };
    for (const auto &c : cases) {
        GameMode = c.mode;
        CurrentPlayer = c.player;
        LivesP1 = c.lives1;
        LivesP2 = c.lives2;
        LaserEntry = c.entry;
        KXSprites_LaserX->SetActive(true);
        KXSprites_LaserY->SetActive(true);
        KXSprites_LaserX->SetMovement(1);
        KXSprites_LaserY->SetTurn(true);
        KXSprites_LaserX->Exploding = KXSprites_LaserY->Exploding = false;
        Start(KX_STATE_DYING_Start, KX_STATE_DYING);
        EXPECT_EQ(PortalFrameTime, T0);
        EXPECT_EQ(KXSprites_LaserX->Movement, 0);
        EXPECT_FALSE(KXSprites_LaserY->Turn);
        EXPECT_EQ(KXSprites_LaserX->Exploding, c.entry == 1);
        EXPECT_EQ(KXSprites_LaserY->Exploding, c.entry == 2);
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
    int endBefore = Played(KX_FX_END_LEVEL);
    Start(KX_STATE_END_LEVEL_Start, KX_STATE_END_LEVEL);
    EXPECT_TRUE(KXSprites_Enemy_X[2]->IsExploding());
    EXPECT_TRUE(KXSprites_Enemy_Y[5]->IsExploding());
    EXPECT_FALSE(KXSprites_Enemy_X[3]->IsExploding()) << "inactive enemies are left alone";
    EXPECT_FALSE(KXSprites_Shot_Y[0]->GetActive());
    EXPECT_EQ(KXSprites_LaserX->Movement, 0);
    EXPECT_EQ(ScoreP1, 70);

    KX_STATE_END_LEVEL_Update(T0 + 500);
    EXPECT_EQ(ElectroZapCount, 3);
    EXPECT_NE(ReadBack().Tag(80, 280), TAG_COMPLETE);
    KX_STATE_END_LEVEL_Update(T0 + 501);
    EXPECT_EQ(ElectroZapCount, 4);
    Back back = ReadBack();
    EXPECT_EQ(back.Tag(80, 280), TAG_COMPLETE);
    EXPECT_EQ(back.Tag(100, 120), TAG_LEVEL);
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

    // Level index 9 with five zaps: still five, and on to level index 0, shown as 1-1.
    UseLevel(9);
    ElectroZapCount = 5;
    CurrentPlayer = 2;
    Start(KX_STATE_END_LEVEL_Start, KX_STATE_END_LEVEL);
    KX_STATE_END_LEVEL_Update(T0 + 600);
    EXPECT_EQ(ElectroZapCount, 5);
    back = ReadBack();
    EXPECT_EQ(back.Tag(80, 50), TAG_PLAYER2);
    EXPECT_EQ(back.Tag(300, 120), TAG_LVLNUM + 5);
    EXPECT_EQ(back.Tag(300, 180), TAG_LVLNUM + 2);
    KX_STATE_END_LEVEL_Update(T0 + 4016);
    EXPECT_EQ(GameLevel, 0);
    EXPECT_EQ(Threshold, 25);
    Start(KX_STATE_ENTER_LASER_Start, KX_STATE_ENTER_LASER);
    Frame(KX_STATE_ENTER_LASER_Update, 16);
    back = ReadBack();
    EXPECT_EQ(back.Tag(300, 120), TAG_LVLNUM + 1);
    EXPECT_EQ(back.Tag(300, 180), TAG_LVLNUM + 1);
}
