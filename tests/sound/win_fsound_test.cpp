// The sound library stand-in: loading, channel handles, volumes, and silence without a device.
#include "sound_dir.h"
#include "win_fsound.h"

#include <gtest/gtest.h>

#include <fstream>

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
    setenv("SDL_AUDIODRIVER", "dummy", 1);
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
