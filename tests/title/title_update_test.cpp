// The title's frame: the lights' paths, the question mark's clock, the sub-screens' pictures.
#include "title_fixture.h"
#include "sys_fake.h"

namespace {

class TitleUpdateTest : public TitleTest {
protected:
    void SetUp() override
    {
        TitleTest::SetUp();
        Bumpmap_Init(0, 0, 440, 440, 4, 0.02f);
        Light1 = Bumpmap_CreateLightSpec(20, 255, 64, 64, 50);
        Light2 = Bumpmap_CreateLightSpec(20, 255, 255, 64, 50);
        Light3 = Bumpmap_CreateLightSpec(20, 64, 255, 64, 50);
        Light4 = Bumpmap_CreateLightSpec(20, 64, 255, 255, 50);
        Sys_UseVirtualClock(true);
        Sys_SetClock(10000);
    }
    void TearDown() override
    {
        Sys_UseVirtualClock(false);
        Bumpmap_Close();
        for (TLightSpec **light : { &Light1, &Light2, &Light3, &Light4 }) {
            Bumpmap_FreeLightSpec(*light);
            *light = nullptr;
        }
        TitleTest::TearDown();
    }
    static int Loaded()
    {
        int n = 0;
        for (DDBitmap *b = BitmapHead; b; b = b->Next)
            n++;
        return n;
    }
};

} // namespace

TEST_F(TitleUpdateTest, LightsStartOnTheirFiguresAndThePhasesTurnAtTheirRates)
{
    KX_STATE_OPTIONS_Start();
    OptionPhase = OptionPhase2 = 0;
    KX_STATE_OPTIONS_Update(LastOptionTime);
    const int at[4][2] = { { 220, 420 }, { 20, 20 }, { 220, 420 }, { 420, 20 } };
    for (int i = 0; i < 4; i++) {
        EXPECT_TRUE(Lights[i].Active) << i;
        EXPECT_NEAR(Lights[i].X, at[i][0], 1) << i;
        EXPECT_NEAR(Lights[i].Y, at[i][1], 1) << i;
    }
    EXPECT_EQ(Lights[0].Spec, Light1);
    EXPECT_EQ(Lights[3].Spec, Light4);

    KX_STATE_OPTIONS_Update(LastOptionTime + 1000);
    EXPECT_NEAR(OptionPhase, 45.0f, 1e-3);
    EXPECT_NEAR(OptionPhase2, 14.4f, 1e-3);
    // Light 1 a second on: x = 200 sin(3 * (45 + 90)) + 220, y = 200 cos(2 * (14.4 + 45 + 90)) + 220.
    EXPECT_NEAR(Lights[1].X, 361, 1);
    EXPECT_NEAR(Lights[1].Y, 316, 1);
    // Past 360 the first phase is brought back by a turn, a little after eight seconds.
    KX_STATE_OPTIONS_Update(LastOptionTime + 7100);
    EXPECT_NEAR(OptionPhase, 45.0f + 7100 * 0.045f - 360.0f, 1e-2);
    EXPECT_NEAR(OptionPhase2, 14.4f + 7100 * 0.0144f, 1e-2);
}

TEST_F(TitleUpdateTest, QuestionMarkStepsEveryFiftyMillisecondsAndCatchesUp)
{
    KX_STATE_OPTIONS_Start();
    CurrentOption = KX_MENU_P1_INPUT;
    KX_STATE_OPTIONS_HandleKey(VK_RETURN);
    int opened = QMarkFrameTime;
    EXPECT_EQ(opened, 10000);
    KX_STATE_OPTIONS_Update(opened + 50);
    EXPECT_EQ(QMarkFrame, 0); // a step needs more than 50 ms
    KX_STATE_OPTIONS_Update(opened + 51);
    EXPECT_EQ(QMarkFrame, 1);
    EXPECT_EQ(QMarkFrameTime, opened + 50);
    // Exactly 500 ms after the last step: nine steps, not ten.
    KX_STATE_OPTIONS_Update(opened + 50 + 500);
    EXPECT_EQ(QMarkFrame, 10);
    EXPECT_EQ(QMarkFrameTime, opened + 500);
    // Waiting or not, it runs, and after frame 35 comes frame 0.
    KX_STATE_OPTIONS_HandleKey(VK_RETURN);
    KX_STATE_OPTIONS_Update(opened + 500 + 26 * 50 + 1);
    EXPECT_EQ(QMarkFrame, 0);
    KX_STATE_OPTIONS_Update(opened + 500 + 36 * 50 * 1000 + 27 * 50 + 1); // a long stay: 1000 turns more
    EXPECT_EQ(QMarkFrame, 1);
    // A clock that went back changes nothing.
    KX_STATE_OPTIONS_Update(opened);
    EXPECT_EQ(QMarkFrame, 1);
    // Reopened, it starts again at frame 0.
    KX_STATE_OPTIONS_HandleKey(VK_ESCAPE);
    KX_STATE_OPTIONS_HandleKey(VK_ESCAPE);
    KX_STATE_OPTIONS_HandleKey(VK_RETURN);
    EXPECT_EQ(QMarkFrame, 0);
}

TEST_F(TitleUpdateTest, SubScreenPicturesLiveOnlyWhileTheirScreenIsOpen)
{
    LoadArtwork();
    KX_STATE_OPTIONS_Start();
    int base = Loaded();
    int now = LastOptionTime;
    KX_STATE_OPTIONS_Update(now += 16);
    EXPECT_EQ(Loaded(), base);

    CurrentOption = KX_MENU_CREDITS;
    KX_STATE_OPTIONS_HandleKey(VK_RETURN);
    KX_STATE_OPTIONS_Update(now += 16);
    EXPECT_NE(CreditsHandle, nullptr);
    EXPECT_EQ(Loaded(), base + 1);
    KX_STATE_OPTIONS_Update(now += 16);
    EXPECT_EQ(Loaded(), base + 1); // loaded once, not every frame
    Back b = ReadBack();
    EXPECT_EQ(b.Tag(200, 200), TAG_CREDITS);
    EXPECT_NE(b.Tag(25, 20 + 46 * 6 + 3), TAG_ITEM + KX_MENU_CREDITS); // no menu under the credits
    KX_STATE_OPTIONS_HandleKey(VK_RETURN);
    KX_STATE_OPTIONS_Update(now += 16);
    EXPECT_EQ(CreditsHandle, nullptr);
    EXPECT_EQ(Loaded(), base);
    b = ReadBack();
    EXPECT_EQ(b.Tag(25, 20 + 46 * 6 + 3), TAG_ITEM + KX_MENU_CREDITS);

    CurrentOption = KX_MENU_P2_INPUT;
    KX_STATE_OPTIONS_HandleKey(VK_RETURN);
    KX_STATE_OPTIONS_Update(now += 16);
    EXPECT_EQ(Loaded(), base + 4);
    EXPECT_TRUE(InputKeyHandle && InputPlayerHandle && InputActionsHandle && InputQMarkHandle);
    b = ReadBack();
    EXPECT_EQ(b.Tag(72, 20), TAG_PLAYER);
    EXPECT_EQ(b.Tag(92, 100), TAG_ACTIONS);
    KX_STATE_OPTIONS_HandleKey(VK_ESCAPE);
    KX_STATE_OPTIONS_Update(now += 16);
    EXPECT_EQ(Loaded(), base);
    EXPECT_FALSE(InputKeyHandle || InputPlayerHandle || InputActionsHandle || InputQMarkHandle);
    EXPECT_FALSE(log.Contains("draw null bitmap"));
}

TEST_F(TitleUpdateTest, MissingSubScreenPicturesAreReportedAndSkipped)
{
    LoadArtwork();
    remove("gfx/kx_credits.bmp");
    remove("gfx/qmark.bmp");
    KX_STATE_OPTIONS_Start();
    int now = LastOptionTime;
    CurrentOption = KX_MENU_CREDITS;
    KX_STATE_OPTIONS_HandleKey(VK_RETURN);
    KX_STATE_OPTIONS_Update(now += 16);
    EXPECT_EQ(CreditsHandle, nullptr);
    EXPECT_TRUE(log.Has("Error: Attempt to draw null bitmap handle."));
    EXPECT_EQ(ReadBack().Green(72, 420), 1 + 20 * 6); // the rest of the screen is still drawn
    KX_STATE_OPTIONS_HandleKey(VK_ESCAPE);
    CurrentOption = KX_MENU_P1_INPUT;
    KX_STATE_OPTIONS_HandleKey(VK_RETURN);
    KX_STATE_OPTIONS_HandleKey(VK_RETURN);
    KX_STATE_OPTIONS_Update(now += 16);
    EXPECT_EQ(InputQMarkHandle, nullptr);
    EXPECT_NE(InputKeyHandle, nullptr);
    EXPECT_EQ(ReadBack().Tag(92, 100), TAG_ACTIONS);
}

// A pad plugged in while the title shows is offered by the menu on the next frame.
TEST_F(TitleUpdateTest, PadPluggedInAtTheTitleIsOfferedAtOnce)
{
    Sys_UseFakeJoysticks(true);
    Sys_PlugJoystick("First");
    ASSERT_TRUE(DDInput_Initialise(nullptr, (HWND)1));
    KX_STATE_OPTIONS_Start();
    EXPECT_EQ(KX_MaxPlayerInput, 1);
    Sys_PlugJoystick("Second");
    KX_STATE_OPTIONS_Update(LastOptionTime + 16);
    EXPECT_EQ(DDInput_NumJoysticks(), 2);
    EXPECT_EQ(KX_MaxPlayerInput, 2);
    DDInput_Close();
    Sys_UseFakeJoysticks(false);
}
