// Tones at 44,100 Hz played at other rates, converted and through a device, against a fitted sine.
#include "sound_dir.h"
#include "sys_sound_rate.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <thread>

namespace {

const double Pi = 3.14159265358979323846;

// A half-scale tone, 16-bit at 44,100 Hz; in stereo the right channel is an octave lower, so a
// channel taken for the other is heard.
SysPcm Tone(double hz, double seconds, int channels)
{
    SysPcm pcm = { 44100, channels, std::vector<int16_t>((size_t)(seconds * 44100) * channels) };
    for (size_t n = 0; n < pcm.samples.size(); n++) {
        double f = channels == 2 && n % 2 ? hz / 2 : hz;
        pcm.samples[n] = (int16_t)std::lround(16384 * std::sin(2 * Pi * f * (double)(n / channels) / 44100));
    }
    return pcm;
}

// Signal to noise in dB of two seconds of one channel (0 left, 1 right), from a quarter second
// after the first sound, against the sine at exactly hz fitted in amplitude and phase (over whole
// periods the sine and cosine parts fit apart): a pitch off by a hair leaves a residue that grows
// along the window.
template <typename T> double Snr(const std::vector<T> &stereo, int rate, double hz, double scale, int channel)
{
    size_t at = 0, n = 2 * (size_t)rate;
    while (at * 2 < stereo.size() && stereo[at * 2] == 0)
        at++;
    at += rate / 4;
    double s = 0, c = 0, power = 0;
    for (size_t k = 0; k < n && (at + k) * 2 < stereo.size(); k++) {
        double x = stereo[(at + k) * 2 + channel] * scale, w = 2 * Pi * hz * k / rate;
        s += x * std::sin(w);
        c += x * std::cos(w);
        power += x * x;
    }
    double fitted = (s * s + c * c) * 2 / n;
    return 10 * std::log10(fitted / (power - fitted));
}

// The tone's 16-bit stereo capture from SDL's disk driver at rate, loaded while a device at
// firstRate (if given) was open.
std::vector<int16_t> PlayThroughDevice(const SysPcm &tone, int rate, int firstRate)
{
    SoundDir dir;
    UseDiskDevice("out.raw", firstRate ? firstRate : rate);
    std::vector<uint8_t> wav = Sys_PcmToWav(tone);
    std::ofstream("sound/t.wav", std::ios::binary).write((const char *)wav.data(), (std::streamsize)wav.size());
    testing::internal::CaptureStderr(); // the disk driver announces itself
    FSOUND_Init(44100, 32, 0);
    FSOUND_SAMPLE *s = FSOUND_Sample_Load(FSOUND_FREE, "sound\\t.wav", FSOUND_LOOP_OFF, 0, 0);
    Sys_SoundAskFormat(16, false, 2, rate);
    Sys_SoundLoseDevice();
    Sys_SoundUpdate(0);
    int channel = FSOUND_PlaySoundEx(FSOUND_FREE, s, nullptr, 0);
    SysSoundChannel st;
    for (int wait = 0; wait < 2000 && Sys_SoundChannel(channel, st) && st.playing; wait++)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(Sys_SoundMixRate(), rate);
    FSOUND_Close();
    testing::internal::GetCapturedStderr();
    std::vector<int16_t> out(std::filesystem::file_size("out.raw") / 2);
    std::ifstream("out.raw", std::ios::binary).read((char *)out.data(), (std::streamsize)out.size() * 2);
    return out;
}

} // namespace

TEST(SoundRate, TonesKeepTheirPitchAndPurityAtAnyRate)
{
    struct Row {
        int rate, hz;
        bool loop;     // one second of stereo converted as a loop, heard three times round
        int device;    // through the disk driver, converted while a device at this rate was open
    } rows[] = { { 44100, 1000, false, 0 },   { 44100, 15000, false, 0 }, { 48000, 1000, false, 0 },
                 { 48000, 15000, false, 0 },  { 22050, 1000, false, 0 },  { 96000, 15000, false, 0 },
                 { 8000, 1000, false, 0 },    { 48000, 1000, true, 0 },   { 48000, 15000, true, 0 },
                 { 44100, 15000, false, 44100 }, { 48000, 1000, false, 48000 }, { 48000, 15000, false, 48000 },
                 { 48000, 15000, false, 22050 }, // converted again from the original, not the copy
                 { 44100, 1000, true, 0 } };
    for (const Row &r : rows) {
        SysPcm tone = r.loop ? Tone(r.hz, 1, 2) : Tone(r.hz, 2.6, 1);
        std::vector<float> out;
        ASSERT_TRUE(Sys_SoundToStereo(tone, r.rate, r.loop, out));
        EXPECT_NEAR(out.size() / 2.0, tone.samples.size() / tone.channels * (double)r.rate / 44100, 1);
        for (std::vector<float> once = out; r.loop && out.size() < once.size() * 3;)
            out.insert(out.end(), once.begin(), once.end());
        std::vector<int16_t> captured = r.device ? PlayThroughDevice(tone, r.rate, r.device) : std::vector<int16_t>();
        for (int channel = 0; channel < 2; channel++) {
            double hz = tone.channels == 2 && channel == 1 ? r.hz / 2.0 : r.hz;
            double snr = r.device ? Snr(captured, r.rate, hz, 1.0 / 32768, channel) : Snr(out, r.rate, hz, 1.0, channel);
            printf("    %5.0f Hz at %5d Hz %-5s %-28s %5.1f dB\n", hz, r.rate, channel ? "right" : "left",
                   r.device ? ("device, converted at " + std::to_string(r.device) + ":").c_str() : r.loop ? "loop:" : "converted:",
                   snr);
            EXPECT_GE(snr, 80) << hz << " Hz at " << r.rate << (channel ? " right" : " left")
                               << (r.device ? " through the device" : "");
        }
    }
}
