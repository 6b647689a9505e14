// The title state as it stands for now: Return starts a one-player game, the lights swing.
#include "flow_fixture.h"
#include "bumpmap.h"
#include "kx_game.h"
#include "kx_state_options.h"
#include "kx_world.h"

namespace {

class TitleTest : public FlowTest {
protected:
    void SetUp() override
    {
        FlowTest::SetUp();
        Bumpmap_Init(0, 0, 440, 440, 4, 0.02f);
    }
    void TearDown() override
    {
        Bumpmap_Close();
        FlowTest::TearDown();
    }
};

} // namespace

TEST_F(TitleTest, ReturnStartsAOnePlayerGame)
{
    GameState = KX_STATE_OPTIONS;
    GameMode = KX_GAMEMODE_ONE_PLAYER;
    StartLevel = 2;
    ScoreP1 = 500;
    LaserEntry = 2;
    KX_STATE_OPTIONS_HandleKey(65);
    EXPECT_EQ(GameState, KX_STATE_OPTIONS);
    KX_STATE_OPTIONS_HandleKey(13);
    EXPECT_EQ(GameState, KX_STATE_LOAD_LEVEL);
    EXPECT_EQ(ScoreP1, 0);
    EXPECT_EQ(LaserEntry, 0);
    EXPECT_EQ(GameLevel, 2);
    EXPECT_EQ(Threshold, LevelData[2].Threshold);
    EXPECT_EQ(LivesP1, 4);
    EXPECT_EQ(LivesP2, 0);
    StartLevel = 0;
}

TEST_F(TitleTest, LightsTraceTheirFiguresAndThePhasesWrap)
{
    OptionPhase = OptionPhase2 = 0;
    LastOptionTime = 1000;
    KX_STATE_OPTIONS_Update(1000);
    const int expected[4][2] = { { 220, 420 }, { 20, 20 }, { 220, 420 }, { 420, 20 } };
    for (int i = 0; i < 4; i++) {
        EXPECT_NEAR(Lights[i].X, expected[i][0], 1) << i;
        EXPECT_NEAR(Lights[i].Y, expected[i][1], 1) << i;
    }
    KX_STATE_OPTIONS_Update(2000);
    EXPECT_NEAR(OptionPhase, 45.0f, 1e-3);
    EXPECT_NEAR(OptionPhase2, 14.4f, 1e-3);
    KX_STATE_OPTIONS_Update(2000 + 7100); // 360 exceeded a little after 8 s in all
    EXPECT_NEAR(OptionPhase, 45.0f + 7100 * 0.045f - 360.0f, 1e-2);
    EXPECT_GT(OptionPhase, 0.0f);
}
