// Pause, in the real frame loop with the real artwork: a run with pauses of every kind must be the
// run without them, frame for frame; and which keys and window messages pause, when.
#include "dd.h"
#include "dd_draw.h"
#include "dd_input.h"
#include "dd_log.h"
#include "dd_sprites.h"
#include "kordax.h"
#include "kx_game.h"
#include "kx_pause.h"
#include "kx_sound.h"
#include "kx_state_enter_laser.h"
#include "kx_state_options.h"
#include "kx_state_playing.h"
#include "kx_state_ready_wait.h"
#include "kx_world.h"
#include "kx_bitmap.h"
#include "kx_test.h"
#include "script/log_capture.h"
#include "win_time.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <vector>

namespace {

const DWORD Day = 24u * 60 * 60 * 1000;

// What must come out the same with and without pauses: every timer, the sprites, the picture.
std::vector<long long> GameSnapshot()
{
    std::vector<long long> s = { GameState, OldGameState, StateTime, Threshold, TargetThreshold, ScoreP1,
                                 LivesP1, ElectroZapCount, NextXEnemyTime, NextYEnemyTime, LastXFireTime,
                                 LastYFireTime, ElectroZapActive, ElectroExplode, ElectroZapTime, GameReady,
                                 TitleMusicFade, PortalFrame, PortalFrameTime, (long long)UpdateTime,
                                 SpriteLastUpdateTime, (long long)GetClock() };
    for (TSprite *sp = SpriteHead; sp; sp = sp->GetNext()) {
        int x, y;
        sp->GetPosition(&x, &y);
        s.insert(s.end(), { sp->GetActive(), x, y, sp->CurrentFrame() });
    }
    unsigned char *p = DDLockPrimarySurface();
    if (p) {
        for (int y = 0; y < 480; y++) {
            const unsigned *row = (const unsigned *)(p + (size_t)y * g_PrimaryLpitch);
            unsigned long long sum = 0;
            for (int x = 0; x < 640; x++)
                sum = sum * 31 + (row[x] & 0xFFFFFF);
            s.push_back((long long)sum);
        }
        DDUnlockPrimarySurface();
    }
    return s;
}

void Key(int vk) { WindowProc(main_window_handle, WM_KEYDOWN, (WPARAM)vk, 0); }

class Pause : public ::testing::Test {
protected:
    KxTempDir dir;
    LogCapture log;

    void SetUp() override
    {
        for (const char *sub : { "gfx", "sound" })
            ASSERT_EQ(symlink((std::string(KORDAX_RUN_DIR) + "/" + sub).c_str(), sub), 0);
        Sys_UseVirtualClock(true);
        ResetClockHolds();
        Sys_ResetQueue();
        ASSERT_TRUE(DDInit((HWND)1));
        ASSERT_TRUE(DDCreateSurfaces(640, 480, 32));
    }
    void TearDown() override
    {
        KX_CleanUp();
        DDClose();
        Sys_ResetQueue();
        ResetClockHolds();
        KX_PAUSE_Paused = false;
        memcpy(P1InputKeys, DefaultP1InputKeys, sizeof P1InputKeys);
        Sys_UseVirtualClock(false);
    }

    // A fresh game as the program has it after its splash; the title starts on the first frame.
    void Boot()
    {
        KX_CleanUp();
        Sys_SetClock(100000);
        ResetClockHolds();
        Sys_ResetQueue();
        GameState = KX_STATE_OPTIONS;
        OldGameState = KX_STATE_GAMEOVER;
        CurrentOption = KX_MENU_START;
        GameMode = KX_GAMEMODE_ONE_PLAYER;
        KX_PAUSE_Paused = KX_PAUSE_Listening = false;
        StateTime = ElectroZapTime = 0;
        Threshold = TargetThreshold = ScoreP1 = LivesP1 = ElectroZapCount = LaserEntry = 0;
        NextXEnemyTime = NextYEnemyTime = LastXFireTime = LastYFireTime = 0;
        ElectroZapActive = ElectroExplode = GameReady = false;
        TitleMusicFade = 100;
        ASSERT_TRUE(KX_Initialise());
        DDFillSurface(g_pDDSPrimary, 0); // frames that draw nothing show what the buffers hold
        DDFillSurface(g_pDDSBack, 0);
        DDSPRITE_SetStartTime(0);
        PortalFrame = 0;
        PortalFrameTime = 0;
        FirstFrame = true;
        DeterminedRefresh = 2;
        QuantizeFactor = 16;
        DeltaTime = 0;
        ShowingSplash = ShownSplash = true;
    }

    // Frames the game plays (not paused); before each, what the script says for that frame.
    // Returns a snapshot of every frame played.
    std::vector<std::vector<long long>> Play(int frames, const std::map<int, std::function<void()>> &before)
    {
        std::vector<std::vector<long long>> out;
        for (int f = 0; f < frames; f++) {
            auto it = before.find(f);
            if (it != before.end())
                it->second();
            while (KX_PAUSE_Paused)
                GameMain(nullptr); // the frozen frame, any number of times
            GameMain(nullptr);
            out.push_back(GameSnapshot());
        }
        return out;
    }

    // Pauses for the length given (paused frames and then the clock jumping on), then resumes.
    static void PauseFor(DWORD ms, int frames = 3)
    {
        Key(VK_PAUSE);
        ASSERT_TRUE(KX_PAUSE_Paused);
        for (int i = 0; i < frames; i++)
            GameMain(nullptr);
        Sys_AdvanceClock(ms);
        GameMain(nullptr);
        Key(VK_PAUSE);
        ASSERT_FALSE(KX_PAUSE_Paused);
    }
};

} // namespace

TEST_F(Pause, PausesOfAnyLengthLeaveEveryTimerAsItWas)
{
    // The game as played without a pause: Return on the title, fire held throughout, a zap,
    // the level completed, then a laser lost on the last life.
    std::map<int, std::function<void()>> game = {
        { 1, [] { Key(VK_RETURN); } },
        { 2, [] { Sys_InjectKey(VK_SPACE, true); } },
        { 200, [] { Sys_InjectKey(VK_TAB, true); } },
        { 201, [] { Sys_InjectKey(VK_TAB, false); } },
        { 300, [] { Threshold = 0; } },
        { 700, [] { LivesP1 = 0; LaserEntry = 1; GameState = KX_STATE_DYING; } },
    };
    const int frames = 950;
    Boot();
    auto plain = Play(frames, game);
    ASSERT_EQ(plain[20][0], KX_STATE_ENTER_LASER);
    ASSERT_EQ(plain[100][0], KX_STATE_READY_WAIT);
    ASSERT_EQ(plain[160][0], KX_STATE_PLAYING);
    ASSERT_TRUE(plain[230][12]) << "the zap runs";
    ASSERT_EQ(plain[310][0], KX_STATE_END_LEVEL);
    ASSERT_EQ(plain[560][0], KX_STATE_ENTER_LASER);
    ASSERT_EQ(plain[690][0], KX_STATE_PLAYING);
    ASSERT_EQ(plain.back()[0], KX_STATE_GAMEOVER);

    // The same game with pauses in every stretch of it.
    auto with = game;
    auto also = [&with](int f, std::function<void()> g) {
        auto first = with[f];
        with[f] = [first, g] {
            if (first)
                first();
            g();
        };
    };
    also(10, [] { PauseFor(16); });                   // the bar refilling, the title music fading
    also(12, [] { PauseFor(25 * Day, 1); });          // longer than half the clock's range
    also(14, [] {                                     // the platform clock wraps meanwhile
        DWORD before = timeGetTime();
        PauseFor(30 * Day, 2);
        EXPECT_LT(timeGetTime(), before);
    });
    also(110, [] { PauseFor(777); });                 // the ready banner dropping
    also(170, [] { PauseFor(50); });                  // the fire gate, shots in flight
    also(171, [] {                                    // pause and resume between two frames
        Key(VK_PAUSE);
        Sys_AdvanceClock(7);
        Key(VK_PAUSE);
    });
    also(203, [] { PauseFor(3000); });                // the zap before its ring
    also(220, [] {                                    // the ring; focus lost while paused
        Key(VK_PAUSE);
        WindowProc(main_window_handle, WM_ACTIVATEAPP, FALSE, 0);
        WindowProc(main_window_handle, WM_SIZE, SIZE_MINIMIZED, 0);
        ASSERT_TRUE(KX_PAUSE_Paused);
        Sys_AdvanceClock(90000);
        GameMain(nullptr);
        Key('P'); // P is no player's key here
        ASSERT_FALSE(KX_PAUSE_Paused);
    });
    auto firstIn = [&plain](int state) {
        int f = 0;
        while (f < (int)plain.size() && plain[f][0] != state)
            f++;
        return f;
    };
    also(firstIn(KX_STATE_END_LEVEL) + 1, [] {        // the level just ended, its start to come
        ASSERT_NE(OldGameState, KX_STATE_END_LEVEL);
        PauseFor(1234);
    });
    also(320, [] { PauseFor(5000); });                // enemies exploding
    also(700, [] { PauseFor(400); });                 // a life just lost
    also(firstIn(KX_STATE_GAMEOVER) + 1, [] {         // the game just ended: nothing to pause
        Key(VK_PAUSE);
        EXPECT_FALSE(KX_PAUSE_Paused);
    });
    Boot();
    auto paused = Play(frames, with);
    ASSERT_EQ(paused.size(), plain.size());
    for (int f = 0; f < frames; f++) {
        auto diff = std::mismatch(paused[f].begin(), paused[f].end(), plain[f].begin(), plain[f].end());
        ASSERT_TRUE(diff.first == paused[f].end()) << "frame " << f << ", value " << diff.first - paused[f].begin();
    }
}

TEST_F(Pause, WhichKeysPauseAndWhen)
{
    Boot();
    Key(VK_RETURN);
    EXPECT_FALSE(KX_PAUSE_Listening);
    EXPECT_EQ(GameState, KX_STATE_OPTIONS) << "Return before the title has started is ignored";
    GameMain(nullptr);
    EXPECT_TRUE(KX_PAUSE_Listening);
    Key(VK_PAUSE);
    Key('P');
    EXPECT_FALSE(KX_PAUSE_Paused) << "the title does not pause";
    Key(VK_RETURN);
    EXPECT_EQ(GameState, KX_STATE_LOAD_LEVEL);
    for (int f = 0; f < 3; f++)
        GameMain(nullptr);
    ASSERT_EQ(GameState, KX_STATE_ENTER_LASER);

    // P bound as player 1's fire key drives the laser and does not pause.
    P1InputKeys[DDINPUT_FIRE] = 'P';
    Key('P');
    EXPECT_FALSE(KX_PAUSE_Paused);
    Key(VK_PAUSE);
    EXPECT_TRUE(KX_PAUSE_Paused);
    memcpy(P1InputKeys, DefaultP1InputKeys, sizeof P1InputKeys);

    // Escape while paused does what it does in the state: nothing before play.
    Sys_InjectKey(VK_ESCAPE, true);
    Key(VK_ESCAPE);
    GameMain(nullptr);
    EXPECT_TRUE(KX_PAUSE_Paused);
    EXPECT_EQ(GameState, KX_STATE_ENTER_LASER);
    Sys_InjectKey(VK_ESCAPE, false);
    Key(VK_PAUSE);
    // In play it abandons the game, paused or not.
    Sys_InjectKey(VK_SPACE, true);
    for (int f = 0; f < 200 && GameState != KX_STATE_PLAYING; f++)
        GameMain(nullptr);
    ASSERT_EQ(GameState, KX_STATE_PLAYING);
    WindowProc(main_window_handle, WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_TRUE(KX_PAUSE_Paused) << "losing the keyboard pauses";
    GameMain(nullptr);
    Sys_InjectKey(VK_ESCAPE, true);
    GameMain(nullptr);
    GameMain(nullptr);
    EXPECT_FALSE(KX_PAUSE_Paused);
    EXPECT_EQ(GameState, KX_STATE_OPTIONS);
    Sys_InjectKey(VK_ESCAPE, false);
    Sys_InjectKey(VK_SPACE, false);
    EXPECT_FALSE(ClockHeld());
}

TEST_F(Pause, TimeAwayOnTheTitleIsNotPlayedOut)
{
    Boot();
    for (int f = 0; f < 5; f++)
        GameMain(nullptr);
    DWORD before = GetClock();
    float phase = OptionPhase;
    Sys_SetWindowHidden(true);
    WindowProc(main_window_handle, WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_FALSE(KX_PAUSE_Paused) << "the title does not pause";
    for (int f = 0; f < 5; f++)
        EXPECT_FALSE(GameMain(nullptr));
    Sys_AdvanceClock(60000);
    Sys_SetWindowHidden(false);
    GameMain(nullptr);
    EXPECT_LE(GetClock() - before, 40u) << "a minute away is not a minute of title";
    EXPECT_LT(OptionPhase - phase, 5.0f);
}
