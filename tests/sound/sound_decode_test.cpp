// The WAV and Ogg Vorbis readers: formats, damaged headers, cut files and bounded memory.
#include "sound_dir.h"
#include "sys_sound_decode.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

// A WAV file image with the given format fields and sample bytes; dataLength overrides the size.
static std::vector<uint8_t> Wav(int tag, int channels, int rate, int bits, const std::vector<uint8_t> &bytes,
                                long dataLength = -1, int align = -1)
{
    std::vector<uint8_t> d;
    auto put = [&d](uint32_t v, int n) {
        for (int i = 0; i < n; i++)
            d.push_back((uint8_t)(v >> (8 * i)));
    };
    auto tagBytes = [&d](const char *t) { d.insert(d.end(), t, t + 4); };
    tagBytes("RIFF");
    put(0, 4); // writers leave this wrong often enough that it is not trusted
    tagBytes("WAVE");
    tagBytes("LIST"); // an unknown chunk of odd length, padded, before the format
    put(3, 4);
    d.insert(d.end(), { 'a', 'b', 'c', 0 });
    tagBytes("fmt ");
    put(16, 4);
    put((uint32_t)tag, 2);
    put((uint32_t)channels, 2);
    put((uint32_t)rate, 4);
    put((uint32_t)(rate * channels * bits / 8), 4);
    put((uint32_t)(align >= 0 ? align : channels * bits / 8), 2);
    put((uint32_t)bits, 2);
    tagBytes("data");
    put((uint32_t)(dataLength >= 0 ? dataLength : (long)bytes.size()), 4);
    d.insert(d.end(), bytes.begin(), bytes.end());
    return d;
}

TEST(SoundDecode, WavSampleFormatsBecomeSixteenBit)
{
    SysPcm pcm;
    std::vector<uint8_t> w = Wav(1, 1, 8000, 8, { 0, 128, 255 });
    ASSERT_TRUE(Sys_DecodeSound(w.data(), w.size(), pcm));
    EXPECT_EQ(pcm.samples, (std::vector<int16_t>{ -32768, 0, 32512 }));
    EXPECT_EQ(pcm.rate, 8000);

    w = Wav(1, 2, 44100, 24, { 0x11, 0x34, 0x12, 0xFF, 0xFF, 0x80 });
    ASSERT_TRUE(Sys_DecodeWav(w.data(), w.size(), pcm));
    EXPECT_EQ(pcm.channels, 2);
    EXPECT_EQ(pcm.samples, (std::vector<int16_t>{ 0x1234, (int16_t)0x80FF }));

    float f[3] = { 0.5f, -2.0f, 1.0f };
    std::vector<uint8_t> fb((uint8_t *)f, (uint8_t *)f + sizeof f);
    w = Wav(3, 1, 22050, 32, fb);
    ASSERT_TRUE(Sys_DecodeWav(w.data(), w.size(), pcm));
    EXPECT_EQ(pcm.samples, (std::vector<int16_t>{ 16383, -32768, 32767 }));
}

TEST(SoundDecode, DamagedOrUnsupportedWavIsRefused)
{
    SysPcm pcm;
    std::vector<uint8_t> two = { 1, 2, 3, 4 };
    for (const std::vector<uint8_t> &bad : {
             Wav(2, 1, 8000, 4, two),         // ADPCM
             Wav(1, 3, 8000, 16, two),        // three channels
             Wav(1, 1, 100, 16, two),         // absurd rate
             Wav(1, 1, 8000, 12, two),        // odd sample size
             Wav(1, 2, 8000, 16, two, -1, 2), // block size that disagrees with the format
             Wav(1, 1, 8000, 16, {}),         // no samples
         }) {
        EXPECT_FALSE(Sys_DecodeWav(bad.data(), bad.size(), pcm));
        EXPECT_TRUE(pcm.samples.empty());
    }
    std::vector<uint8_t> good = Wav(1, 1, 8000, 16, two);
    for (size_t cut = 0; cut < 44; cut++) // headers cut anywhere
        EXPECT_FALSE(Sys_DecodeWav(good.data(), cut, pcm)) << cut;
}

TEST(SoundDecode, DataLongerThanTheFileKeepsWholeFramesOnly)
{
    SysPcm pcm;
    std::vector<uint8_t> w = Wav(1, 2, 8000, 16, { 1, 0, 2, 0, 3, 0 }, 0x80000000L);
    ASSERT_TRUE(Sys_DecodeWav(w.data(), w.size(), pcm));
    EXPECT_EQ(pcm.samples, (std::vector<int16_t>{ 1, 2 }));
}

TEST(SoundDecode, OggVorbisDecodesAndDamageIsSafe)
{
    std::ifstream in(TinyOgg(), std::ios::binary);
    std::vector<uint8_t> ogg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(ogg.size(), 100u);
    SysPcm pcm;
    ASSERT_TRUE(Sys_DecodeSound(ogg.data(), ogg.size(), pcm));
    EXPECT_EQ(pcm.rate, 22050);
    EXPECT_EQ(pcm.channels, 1);
    EXPECT_NEAR((double)pcm.samples.size(), 2205.0, 64.0);

    for (size_t cut : { (size_t)4, (size_t)58, ogg.size() / 2 })
        Sys_DecodeOgg(ogg.data(), cut, pcm); // refused or shorter: never past the end
    EXPECT_FALSE(Sys_DecodeOgg(ogg.data(), 58, pcm));
    std::vector<uint8_t> flipped = ogg;
    for (size_t i = 100; i < flipped.size(); i += 97)
        flipped[i] ^= 0x5A;
    Sys_DecodeOgg(flipped.data(), flipped.size(), pcm);
}

TEST(SoundDecode, CanonicalWavRoundTrips)
{
    SysPcm pcm;
    pcm.rate = 11025;
    pcm.channels = 2;
    pcm.samples = { -32768, 32767, 0, -1 };
    std::vector<uint8_t> w = Sys_PcmToWav(pcm);
    EXPECT_EQ(w.size(), 44u + 8u);
    SysPcm back;
    ASSERT_TRUE(Sys_DecodeWav(w.data(), w.size(), back));
    EXPECT_EQ(back.rate, 11025);
    EXPECT_EQ(back.channels, 2);
    EXPECT_EQ(back.samples, pcm.samples);
}
