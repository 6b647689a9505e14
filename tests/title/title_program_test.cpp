// The whole program headless on the title: every menu item, the settings, the credits, a new key.
#include "program/kx_run.h"
#include "title_fixture.h"
#include "kx_scores.h"

#include <functional>
#include <string>
#include <vector>

namespace {

// Boots to the title, visits every item, changes the mode and both volumes, raises the start
// level on the credits, gives player 1's fire the key F, and leaves by the exit item.
const char *const Script = R"(# title tour
9000 shot title.png
9100 press 40
9200 press 39
9300 shot gamemode.png
9400 press 40
9500 shot p1.png
9600 press 40
9700 press 40
9800 press 37
9900 press 40
10000 press 37
10100 press 37
10200 shot volumes.png
10300 press 40
10500 press 13
10600 press 33
10700 press 33
10800 press 33
11000 shot credits.png
11100 press 27
11200 press 38
11300 press 38
11400 press 38
11500 press 38
11600 press 13
11700 shot input.png
11800 press 40
11900 press 40
12000 press 40
12100 press 40
12200 press 40
12300 press 40
12400 press 13
12500 shot inputwait.png
12600 press 70
12700 shot inputkey.png
12800 press 27
12900 press 38
13000 press 38
13100 press 38
13200 shot exit.png
13300 press 13
30000 quit
)";

struct Rect {
    int left, top, right, bottom;
    bool Holds(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// What the screen should show outside the relief, drawn here with the same artwork.
class ExpectedScreen {
public:
    ExpectedScreen()
    {
        DDBitmap_SetClip(0, 0, 640, 480);
        ok_ = DDInit((HWND)1) && DDCreateSurfaces(640, 480, 32) && KX_BITMAP_Initialise();
        for (KX_ScoreType &e : KX_Scores)
            e = KX_ScoreType{ 0, 0, { 'U', 'N', 'K', 0 } };
    }
    ~ExpectedScreen()
    {
        KX_MENU_ReleaseCredits();
        KX_MENU_ReleaseInput();
        KX_BITMAP_Cleanup();
        DDBitmap_ReleaseAll();
        DDClose();
    }
    bool Ok() const { return ok_; }

    // Sets the menu up, draws, and leaves the pixels it drew (anything but CLEAR_COLOUR).
    SurfacePixels Draw(const std::function<void()> &setup, void (*screen)())
    {
        CurrentOption = 0;
        ShowingCredits = ShowingInput = InputWaitingKey = false;
        InputPlayer = InputAction = QMarkFrame = 0;
        GameMode = StartLevel = P1Input = P2Input = KX_MaxPlayerInput = 0;
        SoundFxVol = 100;
        MusicVol = 80;
        memcpy(P1InputKeys, DefaultP1InputKeys, sizeof P1InputKeys);
        memcpy(P2InputKeys, DefaultP2InputKeys, sizeof P2InputKeys);
        setup();
        DDFillSurface(g_pDDSBack, CLEAR_COLOUR);
        screen();
        KX_PANEL_SCORES_Draw();
        return ReadSurface(g_pDDSBack);
    }

private:
    bool ok_ = false;
};

struct Shot {
    std::vector<uint8_t> rgb;
    int w = 0, h = 0;
    DWORD At(int x, int y) const
    {
        const uint8_t *p = &rgb[((size_t)y * w + x) * 3];
        return (DWORD)p[0] << 16 | p[1] << 8 | p[2];
    }
};

Shot Load(const char *name)
{
    Shot s;
    EXPECT_TRUE(KxReadPNG(name, s.rgb, s.w, s.h)) << name;
    if (s.w != 640 || s.h != 480)
        s.rgb.assign(640 * 480 * 3, 0), s.w = 640, s.h = 480;
    return s;
}

// Every pixel the expected drawing covers must be on the screenshot, outside `skip`.
void ExpectShows(const Shot &shot, const SurfacePixels &expected, const char *what, Rect skip = { 0, 0, 0, 0 })
{
    int covered = 0, wrong = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++) {
            DWORD want = expected.Value(x, y) & 0xFFFFFF;
            if (want == CLEAR_COLOUR || skip.Holds(x, y))
                continue;
            covered++;
            if (shot.At(x, y) != want && wrong++ == 0)
                firstX = x, firstY = y;
        }
    EXPECT_GT(covered, 160 * 480 + 2000) << what; // the panel and more
    EXPECT_EQ(wrong, 0) << what << ": first at (" << firstX << ", " << firstY << ")";
}

} // namespace

TEST(TitleProgram, MenuTourChangesSettingsAndSavesOnlyTheNewKey)
{
    KxTempDir dir;
    KxRun r = KxRunGame(Script);
    // The program returns the parameter of the last message it took: the Return key's code here.
    EXPECT_TRUE(r.exitCode == 0 || r.exitCode == 13) << r.exitCode << r.out;
    ASSERT_NE(r.log.find("ErrorLog: Game Exit selected\n"), std::string::npos) << r.log;
    EXPECT_EQ(r.log.find("null bitmap"), std::string::npos) << r.log;

    // Only player 1's fire key changed, to F.
    std::string ini = "[KORDAX]\n[P1_INPUT]\n";
    for (int i = 0; i < DDINPUT_NUM_ACTIONS; i++)
        ini += std::to_string(i == DDINPUT_FIRE ? 70 : DefaultP1InputKeys[i]) + "\n";
    ini += "[P2_INPUT]\n";
    for (int i = 0; i < DDINPUT_NUM_ACTIONS; i++)
        ini += std::to_string(DefaultP2InputKeys[i]) + "\n";
    ini += "[END_KORDAX]\n";
    EXPECT_EQ(KxReadFile("kordax.ini"), ini);

    std::string scores = KxReadFile("kx_scores.dat");
    ASSERT_EQ(scores.size(), 360u);
    for (int i = 0; i < 30; i++)
        EXPECT_EQ(scores.substr(12 * i, 12), std::string("\0\0\0\0\0\0\0\0UNK\0", 12)) << i;

    LogCapture quiet;
    ExpectedScreen draw;
    ASSERT_TRUE(draw.Ok());
    Shot title = Load("title.png");
    ExpectShows(title, draw.Draw([] {}, DrawOptions), "title");
    ExpectShows(Load("gamemode.png"), draw.Draw([] { CurrentOption = 1; GameMode = 1; }, DrawOptions), "game mode");
    ExpectShows(Load("p1.png"), draw.Draw([] { CurrentOption = 2; GameMode = 1; }, DrawOptions), "player 1 input");
    ExpectShows(Load("volumes.png"), draw.Draw([] { CurrentOption = 5; GameMode = 1; SoundFxVol = 90; MusicVol = 60; },
                                              DrawOptions), "volumes");
    ExpectShows(Load("credits.png"), draw.Draw([] { ShowingCredits = true; GameMode = 1; StartLevel = 3; },
                                              DrawCredits), "credits");
    ExpectShows(Load("input.png"), draw.Draw([] { ShowingInput = true; GameMode = 1; }, DrawInput), "input screen");
    // The question mark's frame depends on the moment; its cell is left out.
    ExpectShows(Load("inputwait.png"),
                draw.Draw([] { ShowingInput = InputWaitingKey = true; InputAction = 6; GameMode = 1; }, DrawInput),
                "waiting for a key", Rect{ 280, 282, 300, 302 });
    ExpectShows(Load("inputkey.png"),
                draw.Draw([] { ShowingInput = true; InputAction = 6; GameMode = 1; P1InputKeys[DDINPUT_FIRE] = 70; },
                          DrawInput),
                "new key");
    ExpectShows(Load("exit.png"), draw.Draw([] { CurrentOption = 7; GameMode = 1; SoundFxVol = 90; MusicVol = 60; },
                                           DrawOptions), "exit");

    // The relief shows through the menu, lit and changing as the lights move.
    SurfacePixels menu = draw.Draw([] {}, DrawOptions);
    Shot later = Load("p1.png");
    int relief = 0, bright = 0, moved = 0;
    for (int y = 0; y < 395; y++)
        for (int x = 0; x < 395; x++) {
            if ((menu.Value(x, y) & 0xFFFFFF) != CLEAR_COLOUR)
                continue;
            relief++;
            DWORD c = title.At(x, y);
            if ((c >> 16 & 0xFF) + (c >> 8 & 0xFF) + (c & 0xFF) > 60)
                bright++;
            if (c != later.At(x, y))
                moved++;
        }
    EXPECT_GT(relief, 395 * 395 / 3);
    EXPECT_GT(bright, relief / 2);
    EXPECT_GT(moved, 200);
}
