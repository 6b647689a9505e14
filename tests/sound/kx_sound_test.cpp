// Music switching and preloading, the volume arithmetic, effects, and missing sound files.
#include "kx_sound.h"
#include "script/log_capture.h"
#include "sound_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

class KxSound : public ::testing::Test {
protected:
    void SetUp() override
    {
        MusicVol = 80;
        SoundFxVol = 100;
        MusicFade = 0;
    }
    void TearDown() override { KX_SOUND_Cleanup(); }

    static SysSoundChannel Music()
    {
        SysSoundChannel st = {};
        EXPECT_TRUE(Sys_SoundChannel(StreamChannel, st));
        return st;
    }
    SoundDir dir;
    LogCapture log;
};

TEST_F(KxSound, StartsSilentlyWithEveryEffectLoaded)
{
    dir.WriteGameFiles();
    KX_SOUND_Initialise();
    for (FSOUND_SAMPLE *s : Sample)
        EXPECT_NE(s, nullptr);
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 255);
    EXPECT_EQ(KX_SOUND_CurrentMusic(), KX_MUSIC_NONE);
    EXPECT_EQ(Sys_SoundPlayingChannels(), 0);
    EXPECT_TRUE(log.Empty()) << log.Text();
}

TEST_F(KxSound, PlayingTheSameMusicTwiceDoesNotRestartIt)
{
    dir.WriteGameFiles();
    KX_SOUND_Initialise();
    int loads = Sys_SoundLoads();
    KX_SOUND_PlayMusic(KX_MUSIC_GAME);
    int channel = StreamChannel;
    KX_SOUND_PlayMusic(KX_MUSIC_GAME);
    EXPECT_EQ(StreamChannel, channel);
    EXPECT_EQ(Sys_SoundLoads(), loads + 1);
    EXPECT_EQ(Sys_SoundPlayingChannels(), 1);
    SysSoundChannel st = Music();
    EXPECT_TRUE(st.playing);
    EXPECT_FALSE(st.paused);
    EXPECT_TRUE(st.looping);
    EXPECT_STREQ(Sys_SoundSampleName(st.sample), "sound\\cyberloop.ogg");
    EXPECT_EQ(KX_SOUND_CurrentMusic(), KX_MUSIC_GAME);
}

TEST_F(KxSound, PreloadedMusicIsTakenAndOtherMusicComesFromDisk)
{
    dir.WriteGameFiles();
    KX_SOUND_Initialise();
    KX_SOUND_LoadNewMusic(KX_MUSIC_GAME);
    FSOUND_SAMPLE *preloaded = NewStream;
    ASSERT_NE(preloaded, nullptr);
    EXPECT_EQ(Sys_SoundPlayingChannels(), 0); // preloading plays nothing

    int loads = Sys_SoundLoads();
    KX_SOUND_PlayMusic(KX_MUSIC_TITLE); // not the preloaded piece: loaded now, the preload kept
    EXPECT_EQ(Sys_SoundLoads(), loads + 1);
    EXPECT_STREQ(Sys_SoundSampleName(Stream), "sound\\cybertime.ogg");
    EXPECT_EQ(NewStream, preloaded);
    EXPECT_EQ(NewMusic, KX_MUSIC_GAME);

    FSOUND_SAMPLE *title = Stream;
    int titleChannel = StreamChannel;
    KX_SOUND_PlayMusic(KX_MUSIC_GAME);
    EXPECT_EQ(Sys_SoundLoads(), loads + 1);
    EXPECT_EQ(Stream, preloaded);
    EXPECT_EQ(NewStream, nullptr);
    EXPECT_EQ(NewMusic, KX_MUSIC_NONE);
    EXPECT_STREQ(Sys_SoundSampleName(title), ""); // the title music was stopped and released
    SysSoundChannel old;
    EXPECT_FALSE(Sys_SoundChannel(titleChannel, old) && old.playing);
    EXPECT_EQ(Sys_SoundPlayingChannels(), 1);
    EXPECT_TRUE(Music().playing);
}

TEST_F(KxSound, PreloadingAgainReleasesTheEarlierPreload)
{
    dir.WriteGameFiles();
    KX_SOUND_Initialise();
    int live = Sys_SoundLiveSamples();
    KX_SOUND_LoadNewMusic(KX_MUSIC_GAME);
    KX_SOUND_LoadNewMusic(KX_MUSIC_GAME);
    KX_SOUND_LoadNewMusic(KX_MUSIC_TITLE);
    EXPECT_EQ(Sys_SoundLiveSamples(), live + 1);
    EXPECT_EQ(NewMusic, KX_MUSIC_TITLE);
}

TEST_F(KxSound, MusicVolumeAndFadeArithmetic)
{
    dir.WriteGameFiles();
    KX_SOUND_Initialise();
    KX_SOUND_SetMusicFade(50); // no music yet: only stored
    KX_SOUND_PlayMusic(KX_MUSIC_TITLE);
    EXPECT_EQ(Music().volume, 204); // the fade waits for the next fade or volume call
    KX_SOUND_SetMusicFade(50);
    EXPECT_EQ(Music().volume, 102);
    KX_SOUND_SetMusicVolume(0);
    EXPECT_EQ(Music().volume, 0);
    KX_SOUND_SetMusicFade(0);
    EXPECT_EQ(Music().volume, 0);
    KX_SOUND_SetMusicVolume(70);
    EXPECT_EQ(Music().volume, 178);
    KX_SOUND_SetMusicFade(99);
    EXPECT_EQ(Music().volume, 1);
    KX_SOUND_SetMusicFade(100);
    EXPECT_EQ(Music().volume, 0);
    KX_SOUND_SetMusicFade(0);
    KX_SOUND_SetMusicVolume(250); // out of range: held to 100
    EXPECT_EQ(MusicVol, 100);
    EXPECT_EQ(Music().volume, 255);
    KX_SOUND_SetMusicFade(-20);
    EXPECT_EQ(MusicFade, 0);
}

TEST_F(KxSound, EffectVolumeAppliesToEffectsStartedAfterwards)
{
    dir.WriteGameFiles();
    KX_SOUND_Initialise();
    KX_SOUND_SetFxVolume(70);
    KX_SOUND_PlayFx(KX_FX_LASER);
    ASSERT_EQ(Sys_SoundChannelsPlaying(Sample[KX_FX_LASER]), 1);
    KX_SOUND_SetFxVolume(30);
    KX_SOUND_PlayFx(KX_FX_LASER); // overlaps the first on another channel
    ASSERT_EQ(Sys_SoundChannelsPlaying(Sample[KX_FX_LASER]), 2);

    std::vector<int> handles, volumes;
    Sys_SoundChannelsPlaying(Sample[KX_FX_LASER], &handles);
    for (int handle : handles) {
        SysSoundChannel st;
        ASSERT_TRUE(Sys_SoundChannel(handle, st));
        EXPECT_FALSE(st.paused);
        EXPECT_FALSE(st.looping);
        volumes.push_back(st.volume);
    }
    EXPECT_EQ(volumes, (std::vector<int>{ 178, 76 }));
}

TEST_F(KxSound, MissingEffectIsLoggedAndPlaysNothing)
{
    dir.WriteGameFiles();
    remove("sound/expl02.wav");
    KX_SOUND_Initialise();
    EXPECT_NE(log.Text().find("ErrorLog: LoadSample failed\nErrorLog:   file: sound\\expl02.wav (missing)\n"),
              std::string::npos)
        << log.Text();
    EXPECT_EQ(Sample[KX_FX_EXPL02], nullptr);
    EXPECT_NE(Sample[KX_FX_EXPL01], nullptr);
    KX_SOUND_PlayFx(KX_FX_EXPL02);
    EXPECT_EQ(Sys_SoundPlayingChannels(), 0);
    KX_SOUND_PlayFx(KX_FX_EXPL01);
    EXPECT_EQ(Sys_SoundPlayingChannels(), 1);
}

TEST_F(KxSound, NoSoundFilesAtAllMeansSilenceAndNothingElse)
{
    KX_SOUND_Initialise();
    std::string text = log.Text();
    int failures = 0;
    for (size_t at = 0; (at = text.find("ErrorLog: LoadSample failed\n", at)) != std::string::npos; at++)
        failures++;
    EXPECT_EQ(failures, 6);
    EXPECT_TRUE(log.Has("  file: sound\\end_level.wav (missing)"));
    for (int fx = 0; fx < KX_SOUND_NUM_FX; fx++)
        KX_SOUND_PlayFx((KX_SOUND_FxType)fx);
    KX_SOUND_LoadNewMusic(KX_MUSIC_GAME);
    KX_SOUND_PlayMusic(KX_MUSIC_TITLE);
    KX_SOUND_SetMusicFade(40);
    KX_SOUND_SetMusicVolume(60);
    EXPECT_EQ(Stream, nullptr);
    EXPECT_EQ(KX_SOUND_CurrentMusic(), KX_MUSIC_TITLE);
    KX_SOUND_PlayMusic(KX_MUSIC_GAME);
    EXPECT_EQ(KX_SOUND_CurrentMusic(), KX_MUSIC_GAME);
    EXPECT_EQ(Sys_SoundPlayingChannels(), 0);
    // Each music file that fails to load is named once it is asked for; the game plays on silent.
    EXPECT_EQ(log.Text(), text + "ErrorLog: LoadMusic failed\nErrorLog:   file: sound\\cyberloop.ogg (missing)\n"
                                 "ErrorLog: LoadMusic failed\nErrorLog:   file: sound\\cybertime.ogg (missing)\n");
}

TEST_F(KxSound, OutOfRangeMusicAndEffectsAreIgnored)
{
    dir.WriteGameFiles();
    KX_SOUND_Initialise();
    KX_SOUND_PlayMusic(KX_MUSIC_NONE);
    KX_SOUND_PlayMusic((KX_SOUND_MusicType)7);
    KX_SOUND_LoadNewMusic((KX_SOUND_MusicType)-1);
    KX_SOUND_PlayFx((KX_SOUND_FxType)6);
    KX_SOUND_PlayFx((KX_SOUND_FxType)-1);
    EXPECT_EQ(Sys_SoundPlayingChannels(), 0);
    EXPECT_EQ(NewStream, nullptr);
    EXPECT_EQ(KX_SOUND_CurrentMusic(), KX_MUSIC_NONE);
}

TEST_F(KxSound, CleanupReleasesEverythingAndLeavesNothingDangling)
{
    dir.WriteGameFiles();
    KX_SOUND_Initialise();
    KX_SOUND_PlayMusic(KX_MUSIC_TITLE);
    KX_SOUND_LoadNewMusic(KX_MUSIC_GAME);
    KX_SOUND_PlayFx(KX_FX_ELECTRO);
    KX_SOUND_Cleanup();
    EXPECT_EQ(Sys_SoundLiveSamples(), 0);
    EXPECT_EQ(Stream, nullptr);
    EXPECT_EQ(NewStream, nullptr);
    KX_SOUND_PlayFx(KX_FX_ELECTRO);
    KX_SOUND_SetMusicVolume(50);
    KX_SOUND_PlayMusic(KX_MUSIC_GAME);
    EXPECT_EQ(Sys_SoundPlayingChannels(), 0);
}

TEST_F(KxSound, PauseHoldsTheMusicAndEveryEffectStillPlaying)
{
    dir.WriteGameFiles();
    KX_SOUND_Initialise();
    KX_SOUND_PlayMusic(KX_MUSIC_GAME);
    KX_SOUND_PlayFx(KX_FX_LASER);
    std::vector<int> fx;
    ASSERT_EQ(Sys_SoundChannelsPlaying(Sample[KX_FX_LASER], &fx), 1);
    for (bool paused : { true, false }) {
        KX_SOUND_Pause(paused);
        EXPECT_EQ(Music().paused, paused);
        SysSoundChannel st;
        ASSERT_TRUE(Sys_SoundChannel(fx[0], st)) << "a paused effect keeps its channel";
        EXPECT_EQ(st.paused, paused);
        EXPECT_EQ(Sys_SoundPlayingChannels(), 2);
    }
}

TEST_F(KxSound, EveryFailedSoundFileIsNamedWithItsReason)
{
    enum Break { Folder, Text, Huge };
    struct Row {
        const char *file;
        Break how;
        const char *said;
    } rows[] = { { "laser.wav", Folder, "LoadSample failed\nErrorLog:   file: sound\\laser.wav (a folder)" },
                 { "electro.wav", Text, "LoadSample failed\nErrorLog:   file: sound\\electro.wav (damaged)" },
                 { "end_level.wav", Huge, "LoadSample failed\nErrorLog:   file: sound\\end_level.wav (too large)" },
                 { "cybertime.ogg", Huge, "LoadMusic failed\nErrorLog:   file: sound\\cybertime.ogg (too large)" },
                 { "cybertime.ogg", Text, "LoadMusic failed\nErrorLog:   file: sound\\cybertime.ogg (damaged)" } };
    for (const Row &r : rows) {
        std::filesystem::remove_all("sound");
        std::filesystem::create_directory("sound");
        dir.WriteGameFiles();
        std::string path = std::string("sound/") + r.file, before = log.Text();
        std::filesystem::remove(path);
        if (r.how == Folder)
            std::filesystem::create_directory(path);
        else
            std::ofstream{ path } << "OggS, then nothing a reader can use";
        if (r.how == Huge)
            std::filesystem::resize_file(path, 5LL << 30); // sparse: five gigabytes that take no room
        DDResetLogRepeats();
        KX_SOUND_Initialise();
        KX_SOUND_PlayMusic(KX_MUSIC_TITLE);
        EXPECT_EQ(log.Text().substr(before.size()), "ErrorLog: " + std::string(r.said) + "\n");
        KX_SOUND_Cleanup();
    }
}
