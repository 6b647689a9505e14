// Tones at 44,100 Hz played at other rates, by conversion and through a device: pitch and purity against a fitted sine.
#include "sound_dir.h"
#include "sys_sound_rate.h"
#include "win_fsound.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>

namespace {

const double Pi = 3.14159265358979323846;

// A half-scale tone, 16-bit at 44,100 Hz, the same on every channel.
SysPcm Tone(double hz, double seconds, int channels)
{
    SysPcm pcm;
    pcm.rate = 44100;
    pcm.channels = channels;
    pcm.samples.resize((size_t)(seconds * pcm.rate) * channels);
    for (size_t n = 0; n < pcm.samples.size(); n++)
        pcm.samples[n] = (int16_t)std::lround(16384 * std::sin(2 * Pi * hz * (double)(n / channels) / pcm.rate));
    return pcm;
}

// Signal to noise in dB of x against the sine at exactly hz whose amplitude, phase and offset fit
// it best: a pitch off by a hair leaves a residue that grows along the window.
double SineSnr(const std::vector<double> &x, int rate, double hz)
{
    double a[3][4] = {};
    for (size_t n = 0; n < x.size(); n++) {
        double w = 2 * Pi * hz * (double)n / rate, b[3] = { std::sin(w), std::cos(w), 1 };
        for (int i = 0; i < 3; i++) {
            for (int j = 0; j < 3; j++)
                a[i][j] += b[i] * b[j];
            a[i][3] += b[i] * x[n];
        }
    }
    for (int i = 0; i < 3; i++) // Gauss-Jordan on the normal equations
        for (int k = 0; k < 3; k++)
            if (k != i) {
                double f = a[k][i] / a[i][i];
                for (int j = 0; j < 4; j++)
                    a[k][j] -= f * a[i][j];
            }
    double c[3] = { a[0][3] / a[0][0], a[1][3] / a[1][1], a[2][3] / a[2][2] }, signal = 0, noise = 0;
    for (size_t n = 0; n < x.size(); n++) {
        double w = 2 * Pi * hz * (double)n / rate, sine = c[0] * std::sin(w) + c[1] * std::cos(w);
        signal += sine * sine;
        noise += (x[n] - sine - c[2]) * (x[n] - sine - c[2]);
    }
    return 10 * std::log10(signal / noise);
}

// Two seconds of the left channel, from a quarter second after the first sound on.
template <typename T> std::vector<double> Window(const std::vector<T> &stereo, int rate, double scale)
{
    size_t onset = 0;
    while (onset < stereo.size() / 2 && stereo[onset * 2] == 0)
        onset++;
    std::vector<double> x;
    for (size_t f = onset + rate / 4; f < onset + rate / 4 + 2 * (size_t)rate && f * 2 < stereo.size(); f++)
        x.push_back(stereo[f * 2] * scale);
    return x;
}

// The tone played through SDL's disk driver opened at rate (after one at firstRate, when given):
// the 16-bit stereo capture.
std::vector<int16_t> PlayThroughDevice(const SysPcm &tone, int rate, int firstRate)
{
    SoundDir dir;
    UseDiskDevice(dir.env, "out.raw", firstRate ? firstRate : rate);
    std::vector<uint8_t> wav = Sys_PcmToWav(tone);
    FILE *f = fopen("sound/tone.wav", "wb");
    fwrite(wav.data(), 1, wav.size(), f);
    fclose(f);
    testing::internal::CaptureStderr(); // the disk driver announces itself
    bool opened = FSOUND_Init(44100, 32, 0);
    FSOUND_SAMPLE *s = FSOUND_Sample_Load(FSOUND_FREE, "sound\\tone.wav", FSOUND_LOOP_OFF, 0, 0);
    if (firstRate) { // converted for the first device, played on the second
        Sys_SoundAskFormat(16, false, 2, rate);
        Sys_SoundLoseDevice();
        Sys_SoundUpdate(0);
    }
    int channel = FSOUND_PlaySoundEx(FSOUND_FREE, s, nullptr, 0);
    SysSoundChannel st;
    for (int wait = 0; wait < 2000 && Sys_SoundChannel(channel, st) && st.playing; wait++)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(opened && Sys_SoundAudible() && Sys_SoundMixRate() == rate);
    EXPECT_FALSE(st.playing) << "the tone never finished";
    FSOUND_Close();
    testing::internal::GetCapturedStderr();
    std::vector<int16_t> out;
    f = fopen("out.raw", "rb");
    int16_t v;
    while (f && fread(&v, 2, 1, f) == 1)
        out.push_back(v);
    if (f)
        fclose(f);
    return out;
}

} // namespace

TEST(SoundRate, TonesKeepTheirPitchAndPurityAtAnyRate)
{
    struct Row {
        int rate;
        double hz;
        bool device;   // through the disk driver, else the conversion alone
        int firstRate; // a device at this rate first: what plays is converted again from the original
        bool loop;     // one second of stereo converted as a loop, heard three times round
    } rows[] = {
        { 44100, 1000, false, 0, false },  { 44100, 15000, false, 0, false }, { 48000, 1000, false, 0, false },
        { 48000, 15000, false, 0, false }, { 22050, 1000, false, 0, false },  { 96000, 1000, false, 0, false },
        { 96000, 15000, false, 0, false }, { 8000, 1000, false, 0, false },   { 48000, 1000, false, 0, true },
        { 48000, 15000, false, 0, true },  { 44100, 1000, true, 0, false },   { 44100, 15000, true, 0, false },
        { 48000, 1000, true, 0, false },   { 48000, 15000, true, 0, false },  { 48000, 15000, true, 22050, false },
    };
    for (const Row &r : rows) {
        SysPcm tone = r.loop ? Tone(r.hz, 1, 2) : Tone(r.hz, 2.6, 1);
        double snr;
        if (r.device) {
            snr = SineSnr(Window(PlayThroughDevice(tone, r.rate, r.firstRate), r.rate, 1.0 / 32768), r.rate, r.hz);
        } else {
            std::vector<float> out;
            ASSERT_TRUE(Sys_SoundToStereo(tone, r.rate, r.loop, out));
            EXPECT_NEAR(out.size() / 2.0, tone.samples.size() / tone.channels * (double)r.rate / tone.rate, 1);
            if (r.loop)
                for (std::vector<float> once = out; out.size() < once.size() * 3;)
                    out.insert(out.end(), once.begin(), once.end());
            snr = SineSnr(Window(out, r.rate, 1.0), r.rate, r.hz);
        }
        printf("    %5.0f Hz tone at %5d Hz, %-27s %5.1f dB\n", r.hz, r.rate,
               r.firstRate ? "device, after one at 22050:"
               : r.device  ? "through the disk device:"
               : r.loop    ? "converted as a loop:"
                           : "converted:",
               snr);
        EXPECT_GE(snr, 80) << r.hz << " Hz at " << r.rate << (r.device ? " through the device" : "");
    }
}
