// The main loop takes at most one message per frame, and leaves on the quit message.
#include "dd.h"
#include "dd_log.h"
#include "kordax.h"
#include "kx_test.h"
#include "win_time.h"

#include <gtest/gtest.h>

TEST(MainLoop, OneMessagePerFrame)
{
    KxTempDir dir;
    Sys_UseVirtualClock(true);
    ASSERT_TRUE(DDInit((HWND)1));
    ASSERT_TRUE(DDCreateSurfaces(640, 480, 32));
    Sys_ResetQueue();
    Sys_InjectKey(VK_F1, true);
    Sys_InjectKey((VK_F1 + 1), true);
    Sys_InjectKey((VK_F1 + 2), true);
    PostQuitMessage(7);
    MSG msg = {};
    DWORD before = GetClock();
    EXPECT_TRUE(KX_MainLoopTurn(&msg));
    EXPECT_EQ(msg.wParam, (WPARAM)VK_F1);
    EXPECT_GT(GetClock(), before); // the frame ran and flipped
    EXPECT_TRUE(KX_MainLoopTurn(&msg));
    EXPECT_EQ(msg.wParam, (WPARAM)(VK_F1 + 1));
    EXPECT_TRUE(KX_MainLoopTurn(&msg));
    EXPECT_EQ(msg.wParam, (WPARAM)(VK_F1 + 2));
    EXPECT_FALSE(KX_MainLoopTurn(&msg));
    EXPECT_EQ(msg.message, (UINT)WM_QUIT);
    EXPECT_EQ(msg.wParam, 7u);
    // The key state is current however far the queue has been read.
    EXPECT_NE(GetAsyncKeyState((VK_F1 + 2)) & 0x8000, 0);
    Sys_ResetQueue();
    DDClose();
    Sys_UseVirtualClock(false);
}

TEST(MainLoop, MinimisedWindowSkipsFramesWithoutSpinning)
{
    KxTempDir dir;
    Sys_UseVirtualClock(true);
    ASSERT_TRUE(DDInit((HWND)1));
    ASSERT_TRUE(DDCreateSurfaces(640, 480, 32));
    Sys_ResetQueue();
    Sys_LoseAllSurfaces();
    // A surface still lost after the restore skips the frame; here the restore succeeds.
    MSG msg = {};
    EXPECT_TRUE(GameMain(nullptr));
    Sys_SetWindowHidden(true);
    DWORD before = timeGetTime();
    EXPECT_FALSE(GameMain(nullptr));
    EXPECT_GE(timeGetTime() - before, 10u); // it slept rather than spun
    Sys_SetWindowHidden(false);
    EXPECT_TRUE(KX_MainLoopTurn(&msg));
    DDClose();
    Sys_UseVirtualClock(false);
}
