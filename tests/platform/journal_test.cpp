// What the recorder journals around a source (joysticks, sound answers, events, the clock, frames) comes back the same from the journal alone.
#include "kx_test.h"
#include "sys_file.h"
#include "sys_harness.h"
#include "sys_journal.h"
#include "sys_source.h"
#include "win_ddraw.h"
#include "win_dinput.h"
#include "win_time.h"
#include "sys_fake.h"

#include <gtest/gtest.h>

namespace {

// A frame's worth of questions with a pad held, moved and pulled out; the answers as text.
std::string Ask(int pad, int liveAnswer)
{
    std::string t;
    SysJoystickInfo info[SYS_MAX_JOYSTICK_INFOS];
    int n = sys_source.joysticks(info, SYS_MAX_JOYSTICK_INFOS);
    for (int i = 0; i < n; i++)
        t += std::string(info[i].name) + "#" + std::to_string(info[i].id) + " ";
    t += sys_source.joystickOpen(n ? info[0].id : -1) ? "opened" : "refused";
    SysJoystickInput in = {};
    in.axes[0] = -32768;
    in.buttons = 5;
    Sys_SetJoystickInput(pad, in);
    for (int step = 0; step < 4; step++) {
        if (step == 2)
            in.axes[1] = 1234;
        if (step == 2)
            Sys_SetJoystickInput(pad, in);
        if (step == 3)
            Sys_UnplugJoystick(pad);
        SysJoystickInput got = {};
        bool attached = sys_source.joystickRead(n ? info[0].id : -1, got);
        t += " " + std::to_string(attached) + "/" + std::to_string(got.axes[0]) + "/" + std::to_string(got.axes[1]) +
             "/" + std::to_string(got.buttons);
    }
    SysEvent e;
    while (sys_source.nextEvent(e))
        t += " event " + std::to_string(e.kind) + "/" + std::to_string(e.vk);
    t += " answer " + std::to_string(sys_source.answer(SYS_Q_CHANNEL_ENDED, liveAnswer));
    std::vector<uint8_t> pixels(640 * 480 * 4, 7);
    SysPicture picture;
    picture.pixels = pixels.data();
    picture.size = pixels.size();
    sys_source.frameShown(picture);
    t += " clock " + std::to_string(sys_source.clock());
    return t;
}

} // namespace

TEST(Journal, AnswersComeBackFromTheJournalAlone)
{
    KxTempDir dir;
    Sys_UseScriptedSource();
    Sys_SetClock(5000);
    Sys_UseFakeJoysticks(true);
    int pad = Sys_PlugJoystick("Pad");
    Sys_StartScript({ { 0, SysScriptAction::PRESS, 65, "" } });
    std::string error, line;
    ASSERT_TRUE(Sys_StartRecording("run.kxr", "-2 -f", error)) << error;
    std::string recorded = Ask(pad, 1);
    EXPECT_EQ(Sys_FinishJournal(3, 12, 34), 3);
    EXPECT_NE(recorded.find("Pad#0 opened 1/-32768/0/5 1/-32768/0/5 1/-32768/1234/5 0/0/0/0 event 5/65 answer 1"),
              std::string::npos) << recorded;

    // Nothing live is asked in playback: no pad, no script, another clock, the other sound answer.
    Sys_StartScript({});
    Sys_UseFakeJoysticks(true);
    Sys_SetClock(99);
    ASSERT_TRUE(Sys_StartPlayback("run.kxr", false, line, error)) << error;
    EXPECT_EQ(line, "-2 -f");
    EXPECT_EQ(Ask(pad, 0), recorded);
    testing::internal::CaptureStdout();
    EXPECT_EQ(Sys_FinishJournal(1, 12, 34), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "replay: 1 frames, scores 12 34, matched\n");
    Sys_ServePlayerFiles(false);
    Sys_UseFakeJoysticks(false);
    Sys_UseLiveSource();
}
