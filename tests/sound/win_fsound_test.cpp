// The sound library stand-in: loading, channel handles, volumes, silence without a device, devices that come and go.
#include "sound_dir.h"
#include "win_fsound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <thread>

class FSound : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(FSOUND_Init(44100, 32, 0)) << "the dummy audio driver must open"; }
    void TearDown() override { FSOUND_Close(); }
    SoundDir dir;
};

TEST_F(FSound, LoadsWavAndOggWholeAndRefusesOtherFiles)
{
    WriteWav("sound/a.wav", 50);
    FSOUND_SAMPLE *wav = FSOUND_Sample_Load(FSOUND_FREE, "sound\\a.wav", FSOUND_LOOP_OFF, 0, 0);
    ASSERT_NE(wav, nullptr);
    EXPECT_STREQ(Sys_SoundSampleName(wav), "sound\\a.wav");
    EXPECT_NE(FSOUND_Sample_Load(FSOUND_FREE, TinyOgg().c_str(), FSOUND_LOOP_NORMAL, 0, 0), nullptr);

    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, "sound\\missing.wav", FSOUND_LOOP_OFF, 0, 0), nullptr);
    std::ofstream("sound/text.wav") << "not a sound file at all";
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, "sound\\text.wav", FSOUND_LOOP_OFF, 0, 0), nullptr);
    std::ofstream("sound/empty.wav");
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, "sound\\empty.wav", FSOUND_LOOP_OFF, 0, 0), nullptr);
    // A WAV header whose data chunk claims more bytes than the file holds.
    std::ifstream in("sound/a.wav", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream("sound/cut.wav", std::ios::binary) << bytes.substr(0, 50);
    FSOUND_SAMPLE *cut = FSOUND_Sample_Load(FSOUND_FREE, "sound\\cut.wav", FSOUND_LOOP_OFF, 0, 0);
    FSOUND_Sample_Free(cut); // refused or loaded short: either way nothing is read past the end
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, "sound\\a.wav", FSOUND_LOOP_OFF, -1, 0), nullptr);
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, "sound\\a.wav", FSOUND_LOOP_OFF, 1 << 20, 0), nullptr);
    EXPECT_EQ(Sys_SoundLiveSamples(), 2);
}

TEST_F(FSound, LoadsFromMemory)
{
    WriteWav("sound/m.wav", 20);
    std::ifstream in("sound/m.wav", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(FSOUND_Sample_Load(FSOUND_FREE, bytes.data(), FSOUND_LOADMEMORY | FSOUND_LOOP_OFF, 0, (int)bytes.size()),
              nullptr);
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, bytes.data(), FSOUND_LOADMEMORY, 0, 0), nullptr);
}

TEST_F(FSound, PausedStartThenVolumeAndMasterVolume)
{
    WriteWav("sound/a.wav", 1000);
    FSOUND_SAMPLE *s = FSOUND_Sample_Load(FSOUND_FREE, "sound\\a.wav", FSOUND_LOOP_OFF, 0, 0);
    int ch = FSOUND_PlaySoundEx(FSOUND_FREE, s, nullptr, 1);
    ASSERT_GE(ch, 0);
    SysSoundChannel st;
    ASSERT_TRUE(Sys_SoundChannel(ch, st));
    EXPECT_TRUE(st.playing);
    EXPECT_TRUE(st.paused);
    EXPECT_FALSE(st.looping);
    EXPECT_EQ(st.sample, s);

    EXPECT_TRUE(FSOUND_SetVolume(ch, 255));
    EXPECT_TRUE(FSOUND_SetPaused(ch, 0));
    ASSERT_TRUE(Sys_SoundChannel(ch, st));
    EXPECT_FALSE(st.paused);
    EXPECT_EQ(st.mixVolume, 128);
    FSOUND_SetVolume(ch, 102);
    ASSERT_TRUE(Sys_SoundChannel(ch, st));
    EXPECT_EQ(st.volume, 102);
    EXPECT_EQ(st.mixVolume, 51);
    FSOUND_SetSFXMasterVolume(128); // applies to what plays already
    ASSERT_TRUE(Sys_SoundChannel(ch, st));
    EXPECT_EQ(st.mixVolume, 26);
    FSOUND_SetVolume(ch, 400);
    ASSERT_TRUE(Sys_SoundChannel(ch, st));
    EXPECT_EQ(st.volume, 255);
}

TEST_F(FSound, StaleHandleCannotTouchTheNextSoundOnItsChannel)
{
    WriteWav("sound/a.wav", 1000);
    FSOUND_SAMPLE *s = FSOUND_Sample_Load(FSOUND_FREE, "sound\\a.wav", FSOUND_LOOP_OFF, 0, 0);
    int first = FSOUND_PlaySoundEx(FSOUND_FREE, s, nullptr, 0);
    ASSERT_TRUE(FSOUND_StopSound(first));
    int second = FSOUND_PlaySoundEx(FSOUND_FREE, s, nullptr, 0);
    ASSERT_GE(second, 0);
    EXPECT_NE(first, second);
    EXPECT_FALSE(FSOUND_SetVolume(first, 0));
    EXPECT_FALSE(FSOUND_StopSound(first));
    SysSoundChannel st;
    ASSERT_TRUE(Sys_SoundChannel(second, st));
    EXPECT_TRUE(st.playing);
    EXPECT_EQ(st.volume, 255);
    EXPECT_FALSE(FSOUND_SetVolume(-1, 10)); // the handle of a failed start
    EXPECT_FALSE(FSOUND_SetPaused(123456789, 0));
}

TEST_F(FSound, ChannelsRunOutAndFreeingASampleStopsIt)
{
    WriteWav("sound/a.wav", 100);
    FSOUND_SAMPLE *loop = FSOUND_Sample_Load(FSOUND_FREE, "sound\\a.wav", FSOUND_LOOP_NORMAL, 0, 0);
    FSOUND_SAMPLE *once = FSOUND_Sample_Load(FSOUND_FREE, "sound\\a.wav", FSOUND_LOOP_OFF, 0, 0);
    for (int i = 0; i < 32; i++)
        ASSERT_GE(FSOUND_PlaySoundEx(FSOUND_FREE, loop, nullptr, 0), 0) << i;
    EXPECT_EQ(FSOUND_PlaySoundEx(FSOUND_FREE, once, nullptr, 0), -1);
    EXPECT_EQ(Sys_SoundChannelsPlaying(loop), 32);
    FSOUND_Sample_Free(loop);
    EXPECT_EQ(Sys_SoundPlayingChannels(), 0);
    EXPECT_EQ(Sys_SoundLiveSamples(), 1);
    FSOUND_Sample_Free(loop); // already gone: ignored
    EXPECT_EQ(FSOUND_PlaySoundEx(FSOUND_FREE, loop, nullptr, 0), -1);
    EXPECT_EQ(FSOUND_PlaySoundEx(FSOUND_FREE, nullptr, nullptr, 0), -1);
    EXPECT_GE(FSOUND_PlaySoundEx(FSOUND_FREE, once, nullptr, 0), 0);
}

TEST(FSoundSilent, WithoutAnAudioDeviceEverythingGoesOnSilently)
{
    SoundDir dir;
    setenv("SDL_AUDIODRIVER", "no_such_driver", 1);
    EXPECT_FALSE(FSOUND_Init(44100, 32, 0));
    EXPECT_FALSE(Sys_SoundAudible());
    WriteWav("sound/a.wav", 100);
    FSOUND_SAMPLE *loop = FSOUND_Sample_Load(FSOUND_FREE, "sound\\a.wav", FSOUND_LOOP_NORMAL, 0, 0);
    ASSERT_NE(loop, nullptr);
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, "sound\\missing.wav", FSOUND_LOOP_OFF, 0, 0), nullptr);
    int ch = FSOUND_PlaySoundEx(FSOUND_FREE, loop, nullptr, 1);
    ASSERT_GE(ch, 0);
    EXPECT_TRUE(FSOUND_SetVolume(ch, 204));
    EXPECT_TRUE(FSOUND_SetPaused(ch, 0));
    SysSoundChannel st;
    ASSERT_TRUE(Sys_SoundChannel(ch, st));
    EXPECT_TRUE(st.playing);
    EXPECT_EQ(st.volume, 204);
    FSOUND_Close();
}

TEST(FSoundClosed, NothingLoadsOrPlaysBeforeInitOrAfterClose)
{
    SoundDir dir;
    WriteWav("sound/a.wav", 100);
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, "sound\\a.wav", FSOUND_LOOP_OFF, 0, 0), nullptr);
    ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
    FSOUND_SAMPLE *s = FSOUND_Sample_Load(FSOUND_FREE, "sound\\a.wav", FSOUND_LOOP_OFF, 0, 0);
    int ch = FSOUND_PlaySoundEx(FSOUND_FREE, s, nullptr, 0);
    FSOUND_Close();
    EXPECT_EQ(Sys_SoundLiveSamples(), 0);
    EXPECT_EQ(FSOUND_PlaySoundEx(FSOUND_FREE, s, nullptr, 0), -1);
    EXPECT_FALSE(FSOUND_SetVolume(ch, 10));
    FSOUND_Sample_Free(s);
}

namespace {

// A 16-bit mono WAV of a full-scale square wave lasting ms milliseconds at 44100 Hz.
void WriteLoudWav(const std::string &path, int ms)
{
    WriteWav(path, 1);
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    std::string head(44, '\0');
    f.read(&head[0], 44);
    uint32_t frames = 441 * (uint32_t)ms / 10, bytes = frames * 2;
    auto put32 = [&head](size_t at, uint32_t v) {
        for (int i = 0; i < 4; i++)
            head[at + i] = (char)(v >> (8 * i));
    };
    put32(4, 36 + bytes);
    put32(24, 44100);
    put32(28, 88200);
    put32(40, bytes);
    f.seekp(0);
    f.write(head.data(), 44);
    for (uint32_t i = 0; i < frames; i++) {
        int16_t v = (i / 50) % 2 ? -32767 : 32767;
        f.write((const char *)&v, 2);
    }
}

bool WaitUntilStopped(int channel, int ms)
{
    SysSoundChannel st;
    for (int t = 0;; t += 10) {
        if (!Sys_SoundChannel(channel, st) || !st.playing)
            return true;
        if (t >= ms)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace

TEST(FSoundDevice, ALostDeviceIsOpenedAgainAndPlayGoesOn)
{
    SoundDir dir;
    UseDiskDevice("/dev/null", 44100, 0); // a device that plays as fast as it can
    testing::internal::CaptureStderr();          // the disk driver announces itself
    bool opened = FSOUND_Init(44100, 32, 0);
    testing::internal::GetCapturedStderr();
    ASSERT_TRUE(opened);
    WriteWav("sound/a.wav", 100);
    FSOUND_SAMPLE *loop = FSOUND_Sample_Load(FSOUND_FREE, "sound\\a.wav", FSOUND_LOOP_NORMAL, 0, 0);
    FSOUND_SAMPLE *once = FSOUND_Sample_Load(FSOUND_FREE, "sound\\a.wav", FSOUND_LOOP_OFF, 0, 0);
    int music = FSOUND_PlaySoundEx(FSOUND_FREE, loop, nullptr, 0);
    FSOUND_SetVolume(music, 204);
    int loads = Sys_SoundLoads(), attempts = Sys_SoundOpenAttempts();
    testing::internal::CaptureStderr();
    Sys_SoundLoseDevice();
    Sys_SoundUpdate(100000); // the next frame notices and opens the default device at once
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(Sys_SoundAudible());
    EXPECT_EQ(Sys_SoundOpenAttempts(), attempts + 1);
    EXPECT_NE(said.find("audio device lost"), std::string::npos) << said;
    EXPECT_EQ(Sys_SoundLoads(), loads); // nothing reloaded from disk: the samples outlive the device
    SysSoundChannel st;
    ASSERT_TRUE(Sys_SoundChannel(music, st));
    EXPECT_TRUE(st.playing);
    EXPECT_EQ(st.volume, 204);
    int fx = FSOUND_PlaySoundEx(FSOUND_FREE, once, nullptr, 0);
    EXPECT_TRUE(WaitUntilStopped(fx, 10000)) << "the mixer does not run on the new device";
    ASSERT_TRUE(Sys_SoundChannel(music, st));
    EXPECT_TRUE(st.playing);
}

TEST_F(FSound, RefusedDevicesAreTriedAtDoublingGapsUpToAMinuteAndSaidOnce)
{
    WriteWav("sound/a.wav", 100);
    FSOUND_SAMPLE *loop = FSOUND_Sample_Load(FSOUND_FREE, "sound\\a.wav", FSOUND_LOOP_NORMAL, 0, 0);
    FSOUND_SAMPLE *once = FSOUND_Sample_Load(FSOUND_FREE, "sound\\a.wav", FSOUND_LOOP_OFF, 0, 0);
    int music = FSOUND_PlaySoundEx(FSOUND_FREE, loop, nullptr, 0);
    Sys_SoundRefuseDevices(true);
    testing::internal::CaptureStderr();
    Sys_SoundLoseDevice();
    int attempts = Sys_SoundOpenAttempts();
    // At once, then after 1, 2, 4 ... 32 s, then once a minute; the clock wraps round at 2^32 ms.
    const unsigned t0 = 0xFFFFFFFFu - 30000;
    struct Step {
        unsigned now;
        int tried;
    } steps[] = { { t0, 1 },           { t0 + 999, 1 },     { t0 + 1000, 2 },    { t0 + 2999, 2 },
                  { t0 + 3000, 3 },    { t0 + 6999, 3 },    { t0 + 7000, 4 },    { t0 + 15000, 5 },
                  { t0 + 31000, 6 },   { t0 + 62999, 6 },   { t0 + 63000, 7 },   { t0 + 122999, 7 },
                  { t0 + 123000, 8 },  { t0 + 183000, 9 },  { t0 + 200000, 9 },  { t0 + 243000, 10 } };
    for (const Step &s : steps) {
        Sys_SoundUpdate(s.now);
        EXPECT_EQ(Sys_SoundOpenAttempts() - attempts, s.tried) << s.now;
        EXPECT_FALSE(Sys_SoundAudible());
    }
    // Silent, and still working: the music plays on, an effect ends as soon as it is let go.
    SysSoundChannel st;
    ASSERT_TRUE(Sys_SoundChannel(music, st));
    EXPECT_TRUE(st.playing);
    int fx = FSOUND_PlaySoundEx(FSOUND_FREE, once, nullptr, 1);
    ASSERT_GE(fx, 0);
    EXPECT_TRUE(FSOUND_SetPaused(fx, 0));
    EXPECT_TRUE(WaitUntilStopped(fx, 0));
    Sys_SoundRefuseDevices(false);
    Sys_SoundUpdate(t0 + 302999);
    EXPECT_FALSE(Sys_SoundAudible()); // within a minute of the last try
    Sys_SoundUpdate(t0 + 303000);
    EXPECT_TRUE(Sys_SoundAudible());
    // Lost again: the gaps start again from a second.
    Sys_SoundRefuseDevices(true);
    Sys_SoundLoseDevice();
    Sys_SoundUpdate(t0 + 400000);
    Sys_SoundRefuseDevices(false);
    Sys_SoundUpdate(t0 + 401000);
    EXPECT_TRUE(Sys_SoundAudible());
    std::string said = testing::internal::GetCapturedStderr();
    size_t lines = std::count(said.begin(), said.end(), '\n');
    EXPECT_EQ(lines, 4u) << said; // each loss once, each return once
    EXPECT_NE(said.find("opened again"), std::string::npos) << said;
}

TEST(FSoundDevice, NoDeviceAtStartUpIsLookedForLater)
{
    SoundDir dir;
    Sys_SoundRefuseDevices(true);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(FSOUND_Init(44100, 32, 0));
    Sys_SoundUpdate(0);
    Sys_SoundUpdate(10);
    Sys_SoundRefuseDevices(false);
    Sys_SoundUpdate(20);
    EXPECT_FALSE(Sys_SoundAudible());
    Sys_SoundUpdate(1000);
    EXPECT_TRUE(Sys_SoundAudible());
    testing::internal::GetCapturedStderr();
    FSOUND_Close();
}

// Through a real device (SDL's disk driver writing what it plays to a file), in a format the mixer
// does not use: 32 full-scale sounds started together come out loud and unclipped.
TEST(FSoundDevice, ThirtyTwoLoudSoundsThroughAnotherFormatNeverClip)
{
    SoundDir dir;
    UseDiskDevice("out.raw", 48000);
    testing::internal::CaptureStderr(); // the disk driver announces itself
    bool opened = FSOUND_Init(44100, 32, 0);
    testing::internal::GetCapturedStderr();
    ASSERT_TRUE(opened);
    EXPECT_TRUE(Sys_SoundConverting());
    WriteLoudWav("sound/loud.wav", 300);
    std::vector<int> playing;
    for (int i = 0; i < 32; i++) {
        FSOUND_SAMPLE *s = FSOUND_Sample_Load(FSOUND_FREE, "sound\\loud.wav", FSOUND_LOOP_OFF, 0, 0);
        playing.push_back(FSOUND_PlaySoundEx(FSOUND_FREE, s, nullptr, 1));
    }
    for (int ch : playing)
        FSOUND_SetPaused(ch, 0);
    EXPECT_TRUE(WaitUntilStopped(playing.back(), 10000));
    FSOUND_Close();
    FILE *f = fopen("out.raw", "rb");
    ASSERT_NE(f, nullptr);
    int16_t v;
    int peak = 0;
    long count = 0;
    while (fread(&v, 2, 1, f) == 1) {
        peak = std::max(peak, std::abs((int)v));
        count++;
    }
    fclose(f);
    EXPECT_GT(count, 48000L * 2 / 5); // most of the 300 ms played
    EXPECT_GT(peak, 30000);
    EXPECT_LE(peak, 31200); // the limiter's ceiling, 0.45 dB under full scale
}
