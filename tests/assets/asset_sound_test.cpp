// The generated sound: six PCM effects and two Ogg Vorbis loops in the formats the game loads.
#include "asset_files.h"

#include <gtest/gtest.h>

namespace {

class AssetSound : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (KxReadFile(AssetPath("sound\\laser.wav")).empty())
            GTEST_SKIP() << "no generated sound in " KORDAX_RUN_DIR;
    }
};

TEST_F(AssetSound, EffectsAreShortUnclipped16BitPcm)
{
    for (const char *name : {"sound\\laser.wav", "sound\\expl01.wav", "sound\\expl02.wav", "sound\\electro.wav",
                             "sound\\level_ready.wav", "sound\\end_level.wav"}) {
        std::string d = KxReadFile(AssetPath(name));
        ASSERT_GT(d.size(), 44u) << name;
        EXPECT_EQ(d.substr(0, 4), "RIFF") << name;
        EXPECT_EQ(d.substr(8, 8), "WAVEfmt ") << name;
        EXPECT_EQ(AssetU16(d, 20), 1) << name << " is not PCM";
        int channels = AssetU16(d, 22);
        EXPECT_TRUE(channels == 1 || channels == 2) << name;
        EXPECT_EQ(AssetU32(d, 24), 44100u) << name;
        EXPECT_EQ(AssetU16(d, 34), 16) << name;
        ASSERT_EQ(d.substr(36, 4), "data") << name;
        size_t bytes = AssetU32(d, 40);
        ASSERT_EQ(bytes + 44, d.size()) << name;
        size_t samples = bytes / 2;
        double seconds = double(samples) / channels / 44100;
        EXPECT_GT(seconds, 0.05) << name;
        EXPECT_LT(seconds, 2.5) << name << " is too long for an effect";
        int peak = 0;
        for (size_t i = 0; i < samples; i++)
            peak = std::max(peak, std::abs(int(int16_t(AssetU16(d, 44 + i * 2)))));
        EXPECT_GT(peak, 4000) << name << " is nearly silent";
        EXPECT_LT(peak, 32767) << name << " clips";
        // Ends in silence, so that it stops without a click.
        EXPECT_LT(std::abs(int(int16_t(AssetU16(d, 44 + (samples - 1) * 2)))), 200) << name;
    }
}

TEST_F(AssetSound, MusicIsStereoOggVorbisLongEnoughToLoop)
{
    for (const char *name : {"sound\\cybertime.ogg", "sound\\cyberloop.ogg"}) {
        std::string d = KxReadFile(AssetPath(name));
        ASSERT_GT(d.size(), 4096u) << name;
        EXPECT_EQ(d.substr(0, 4), "OggS") << name;
        // The first packet is the Vorbis identification header.
        size_t id = d.find("\x01vorbis");
        ASSERT_NE(id, std::string::npos) << name;
        EXPECT_EQ(uint8_t(d[id + 11]), 2) << name << " channels";
        EXPECT_EQ(AssetU32(d, id + 12), 44100u) << name << " rate";
        // The last page's granule position is the length in samples.
        size_t last = d.rfind("OggS");
        ASSERT_NE(last, std::string::npos);
        uint64_t granule = AssetU32(d, last + 6) | uint64_t(AssetU32(d, last + 10)) << 32;
        EXPECT_TRUE(uint8_t(d[last + 5]) & 4) << name << " has no end-of-stream page";
        // The play piece is composed at length, so that its seam comes round seldom in a level.
        bool play = std::string(name) == "sound\\cyberloop.ogg";
        EXPECT_GT(granule, (play ? 120u : 20u) * 44100u) << name;
        EXPECT_LT(granule, (play ? 240u : 120u) * 44100u) << name;
    }
}

} // namespace

namespace {

// Effects start from silence (no click) and the laser, played most often, stays short.
TEST_F(AssetSound, EffectsStartCleanAndTheLaserIsShort)
{
    for (const char *name : {"sound\\laser.wav", "sound\\expl01.wav", "sound\\expl02.wav", "sound\\electro.wav",
                             "sound\\level_ready.wav", "sound\\end_level.wav"}) {
        std::string d = KxReadFile(AssetPath(name));
        ASSERT_GT(d.size(), 48u) << name;
        EXPECT_LT(std::abs(int(int16_t(AssetU16(d, 44)))), 200) << name;
    }
    std::string laser = KxReadFile(AssetPath("sound\\laser.wav"));
    ASSERT_GT(laser.size(), 44u);
    EXPECT_LT(double(AssetU32(laser, 40)) / 2 / AssetU16(laser, 22) / 44100, 0.4);
}

} // namespace
