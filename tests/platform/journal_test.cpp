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

#include <algorithm>
#include <map>
#include <unistd.h>

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

namespace {

// Frames of one flat shade each, the first black, as the source sees them flipped; spaced 1.2 s
// apart on the scripted clock when timed.
void ShowFrames(int frames, bool timed)
{
    std::vector<uint8_t> pixels(64 * 48 * 4);
    for (int i = 0; i < frames; i++) {
        if (timed)
            Sys_SetClock(1200 * i);
        sys_source.clock();
        std::fill(pixels.begin(), pixels.end(), (uint8_t)i);
        SysPicture picture;
        picture.pixels = pixels.data();
        picture.size = pixels.size();
        sys_source.frameShown(picture);
    }
}

// Records frames 1.2 s apart on the scripted clock (a checksum and a flush at each) and returns the journal.
std::string RecordFrames(int frames)
{
    Sys_UseScriptedSource();
    Sys_SetClock(0);
    std::string error;
    EXPECT_TRUE(Sys_StartRecording("run.kxr", "", error)) << error;
    ShowFrames(frames, true);
    Sys_FinishJournal(0, 0, 0);
    Sys_UseLiveSource();
    return KxReadFile("run.kxr");
}

// One drain of events at a clock time, then every pad listed as read: the events and readings as
// text, each pad's product told as the first seen under its name or not.
std::string PadFrame(DWORD now, std::map<std::string, int> &products)
{
    Sys_SetClock(now);
    std::string t = "|" + std::to_string(now);
    SysEvent e;
    while (sys_source.nextEvent(e))
        t += " event " + std::to_string(e.kind);
    SysJoystickInfo info[SYS_MAX_JOYSTICK_INFOS];
    for (int i = 0, n = sys_source.joysticks(info, SYS_MAX_JOYSTICK_INFOS); i < n; i++) {
        SysJoystickInput in = {};
        sys_source.joystickOpen(info[i].id);
        sys_source.joystickRead(info[i].id, in);
        int product = info[i].product[8], first = products.emplace(info[i].name, product).first->second;
        t += std::string(" [") + info[i].name + (product == first ? "" : " another") + " style " +
             std::to_string(Sys_PadStyle(info[i].product)) + " buttons " + std::to_string(in.buttons) + " hat " +
             std::to_string(in.hats[0]) + " axes " + std::to_string(in.axes[1]) + "," + std::to_string(in.axes[5]) + "]";
    }
    ShowFrames(1, false);
    return t;
}

} // namespace

// A script's pads are plugged, pressed and moved as its lines fall due, their plugs are reported
// once, and a recording of them plays back the same from the journal alone.
TEST(Journal, ScriptedPadsAndTheirReplay)
{
    KxTempDir dir;
    std::vector<SysScriptAction> script;
    std::string error, line;
    ASSERT_TRUE(Sys_ParseScript("0 pad 1 connect DualSense Wireless Controller\n0 pad 1 press a\n16 pad 2 connect\n"
                                "16 pad 1 down dpup\n16 pad 1 axis lefty -32768\n16 pad 2 press start\n"
                                "20 pad 2 axis righttrigger 32767\n32 pad 1 disconnect\n48 pad 1 connect\n",
                                "pads.txt", script, error)) << error;
    const struct {
        DWORD now;
        const char *read;
    } frames[] = {
        { 0, "|0 event 12 [DualSense Wireless Controller style 2 buttons 1 hat 0 axes 0,0]" },
        { 0, "|0 [DualSense Wireless Controller style 2 buttons 1 hat 0 axes 0,0]" }, // held while the clock stands
        { 16, "|16 event 12 [DualSense Wireless Controller style 2 buttons 0 hat 1 axes -32768,0]"
              " [Scripted Pad style 1 buttons 128 hat 0 axes 0,0]" },
        { 32, "|32 event 12 [Scripted Pad style 1 buttons 0 hat 0 axes 0,32767]" },
        { 48, "|48 event 12 [Scripted Pad style 1 buttons 0 hat 0 axes 0,32767]"
              " [DualSense Wireless Controller style 2 buttons 0 hat 0 axes 0,0]" }, // the same device back
    };
    Sys_UseScriptedSource();
    Sys_UseFakeJoysticks(true);
    int plugs = Sys_FakePlugs();
    Sys_StartScript(script);
    ASSERT_TRUE(Sys_ScriptHasPads());
    ASSERT_TRUE(Sys_StartRecording("pads.kxr", "", error)) << error;
    std::map<std::string, int> products;
    std::string recorded;
    for (const auto &f : frames) {
        recorded += PadFrame(f.now, products);
        EXPECT_NE(recorded.find(f.read), std::string::npos) << recorded;
    }
    sys_source.joystickRumble(Sys_ScriptPadDevice(1), 70, 200);
    EXPECT_EQ(Sys_FakeRumbles(Sys_ScriptPadDevice(1)), 1);
    EXPECT_EQ(Sys_FakeRumbleStrength(Sys_ScriptPadDevice(1)), 70);
    EXPECT_EQ(Sys_FakePlugs(), plugs) << "the script's own events report its pads' plugs";
    Sys_FinishJournal(0, 0, 0);

    Sys_StartScript({});
    Sys_UseFakeJoysticks(true);
    ASSERT_TRUE(Sys_StartPlayback("pads.kxr", false, line, error)) << error;
    products.clear();
    std::string played;
    for (const auto &f : frames)
        played += PadFrame(f.now, products);
    EXPECT_EQ(played, recorded);
    testing::internal::CaptureStdout();
    EXPECT_EQ(Sys_FinishJournal(0, 0, 0), 0);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("matched"), std::string::npos);
    Sys_ServePlayerFiles(false);
    Sys_UseFakeJoysticks(false);
    Sys_UseLiveSource();
}

// A run killed at any moment leaves a journal readable up to its last flush: every cut of a
// journal is either refused as holding nothing or accepted up to a whole frame, never damaged.
TEST(Journal, AKilledRecordingPlaysUpToItsLastFlush)
{
    KxTempDir dir;
    const int frames = 6;
    std::string journal = RecordFrames(frames);
    std::vector<bool> flushedAt(frames + 1, false);
    long last = 0;
    for (size_t size = 0; size <= journal.size(); size++) {
        SysJournalHeader header;
        long n = -1;
        bool ended = false;
        std::string error;
        bool ok = Sys_CheckJournal((const uint8_t *)journal.data(), size, "cut.kxr", header, n, ended, error);
        EXPECT_EQ(ended, size == journal.size()) << size;
        EXPECT_EQ(ok, n > 0) << size << ": " << error;
        EXPECT_EQ(error.find("damaged"), std::string::npos) << size << ": " << error;
        EXPECT_EQ(Sys_JournalHoldsNothing((const uint8_t *)journal.data(), size), n == 0) << size;
        EXPECT_GE(n, last) << size;
        last = n;
        if (!ended && n >= 0)
            flushedAt[n] = true;
    }
    EXPECT_EQ(last, frames);
    for (int f = 1; f <= frames; f++)
        EXPECT_TRUE(flushedAt[f]) << "nothing of frame " << f << " was on the disk before the end";

    // Played, a cut journal stops at its last whole frame: exit 0, and says so.
    KxWriteFile("cut.kxr", journal.substr(0, journal.size() - 12));
    std::string line, error;
    Sys_UseScriptedSource();
    ASSERT_TRUE(Sys_StartPlayback("cut.kxr", false, line, error)) << error;
    ShowFrames(frames, false);
    testing::internal::CaptureStdout();
    EXPECT_EQ(Sys_FinishJournal(1, 0, 0), 0);
    std::string said = testing::internal::GetCapturedStdout();
    EXPECT_EQ(said.find("replay: "), 0u) << said;
    EXPECT_NE(said.find(" frames, the recorded run stopped here (no end record)\n"), std::string::npos) << said;
    Sys_ServePlayerFiles(false);
    Sys_UseLiveSource();
}

// The installed game keeps the newest journals: the oldest go first, and those that hold nothing
// are removed without taking a place.
TEST(Journal, KeepsTheNewestReplaysAndDropsEmptyOnes)
{
    KxTempDir dir;
    const std::string good = RecordFrames(2), killed = good.substr(0, 9);
    struct {
        const char *what;
        const char *files; // by age: g a journal, e empty, k killed before its first frame, x another file
        int keep;
        const char *left; // what remains, oldest first
    } cases[] = {
        { "under the limit", "ggg", 5, "012" },
        { "oldest removed first", "gggggg", 4, "345" },
        { "empty ones removed, not counted", "ggegkgg", 4, "356" },
        { "only empty ones", "eke", 3, "" },
        { "another kind of file kept and counted", "xgggg", 3, "34" },
    };
    for (const auto &c : cases) {
        std::string folder = dir.Path() + "/replays-" + std::to_string(&c - cases);
        ASSERT_EQ(system(("mkdir -p '" + folder + "'").c_str()), 0);
        std::string names = c.files;
        for (size_t i = 0; i < names.size(); i++) {
            char kind = names[i];
            KxWriteFile(folder + "/kordax-20240101-00000" + std::to_string(i) + "-01.kxr",
                        kind == 'g' ? good : kind == 'k' ? killed : kind == 'x' ? std::string("not a journal") : "");
        }
        std::string fresh = Sys_NewReplayPath(folder, c.keep);
        EXPECT_NE(fresh.find(folder + "/kordax-"), std::string::npos) << c.what << ": " << fresh;
        std::string left;
        for (size_t i = 0; i < names.size(); i++)
            if (access((folder + "/kordax-20240101-00000" + std::to_string(i) + "-01.kxr").c_str(), F_OK) == 0)
                left += (char)('0' + i);
        EXPECT_EQ(left, c.left) << c.what;
    }
}
