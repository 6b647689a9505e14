// The mixer and master limiter on synthetic buffers: no clipping, transparency, recovery, doubles.
#include "sys_sound_mix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const int Rate = 44100;

// A stereo laser-like effect: a falling chirp with a fast attack, peaking at peak.
std::vector<float> Effect(float seconds, float peak)
{
    size_t n = (size_t)(seconds * Rate);
    std::vector<float> x(n * 2);
    float ph = 0, top = 0;
    for (size_t i = 0; i < n; i++) {
        float t = (float)i / Rate;
        ph += (300 + 2200 * std::exp(-t * 28)) / Rate;
        float v = std::sin(6.2831853f * ph) * std::min(1.0f, t * 800) * std::exp(-t * 6);
        x[i * 2] = x[i * 2 + 1] = v;
        top = std::max(top, std::fabs(v));
    }
    for (float &v : x)
        v *= peak / top;
    return x;
}

float Peak(const std::vector<float> &x, size_t from = 0)
{
    float p = 0;
    for (size_t i = from; i < x.size(); i++)
        p = std::max(p, std::fabs(x[i]));
    return p;
}

double Rms(const std::vector<float> &x)
{
    double s = 0;
    for (float v : x)
        s += (double)v * v;
    return std::sqrt(s / x.size());
}

double Db(double ratio) { return 20 * std::log10(ratio); }

// Runs a whole buffer through a fresh limiter in device-sized blocks, returning the output
// realigned with the input (the look-ahead's delay taken off).
std::vector<float> Limit(std::vector<float> x, SysLimiter &lim)
{
    Sys_LimiterReset(lim, Rate);
    size_t lag = (size_t)lim.lookahead - 1;
    x.resize(x.size() + lag * 2, 0.0f);
    for (size_t at = 0; at < x.size() / 2; at += 1024)
        Sys_Limit(lim, x.data() + at * 2, (int)std::min<size_t>(1024, x.size() / 2 - at));
    return std::vector<float>(x.begin() + lag * 2, x.end());
}

} // namespace

TEST(SoundLimiter, ThirtyTwoFullScaleChannelsInPhaseNeverPassTheCeiling)
{
    // Distinct copies of one full-scale sound, all started together: nothing merges them.
    std::vector<std::vector<float>> copies(32, Effect(0.3f, 1.0f));
    std::vector<SysMixVoice> voices;
    for (auto &c : copies)
        voices.push_back({ c.data(), c.size() / 2, 0, 1.0f, false });
    std::vector<float> mix(copies[0].size(), 0.0f);
    Sys_MixVoices(voices.data(), (int)voices.size(), mix.data(), (int)mix.size() / 2);
    ASSERT_NEAR(Peak(mix), 32.0f, 0.01f);
    SysLimiter lim;
    std::vector<float> out = Limit(mix, lim);
    EXPECT_LE(Peak(out), lim.ceiling);
    EXPECT_LT(lim.ceiling, 1.0f);
    EXPECT_GT(Peak(out), lim.ceiling * 0.9f); // limited, not silenced
    for (float v : { 1e30f, -1e30f, NAN, INFINITY }) {
        std::vector<float> odd = { 0.1f, 0.1f, v, v, 0.2f, -0.2f };
        EXPECT_LE(Peak(Limit(odd, lim)), lim.ceiling) << v;
    }
}

TEST(SoundLimiter, PassesASingleEffectAndQuietSoundsAsTheyAre)
{
    struct Case {
        float peak;
        double withinDb;
    } cases[] = { { 0.977f, 0.5 }, { 1.0f, 0.5 }, { 0.5f, 0.0 } };
    for (const Case &c : cases) {
        std::vector<float> in = Effect(0.25f, c.peak);
        SysLimiter lim;
        std::vector<float> out = Limit(in, lim);
        ASSERT_EQ(out.size(), in.size());
        EXPECT_LE(std::fabs(Db(Peak(out) / Peak(in))), c.withinDb + 1e-6) << c.peak;
        EXPECT_LE(std::fabs(Db(Rms(out) / Rms(in))), c.withinDb + 1e-6) << c.peak;
        if (c.withinDb == 0) {
            for (size_t i = 0; i < in.size(); i++)
                ASSERT_EQ(out[i], in[i]) << i;
        }
    }
}

TEST(SoundLimiter, GainRecoversSmoothlyAfterABurst)
{
    SysLimiter lim;
    Sys_LimiterReset(lim, Rate);
    std::vector<float> block(2 * 441);
    // 200 ms of a burst eight times full scale.
    for (int b = 0; b < 20; b++) {
        for (size_t i = 0; i < block.size(); i += 2)
            block[i] = block[i + 1] = 8.0f * std::sin(i * 0.05f);
        Sys_Limit(lim, block.data(), (int)block.size() / 2);
    }
    EXPECT_LT(lim.gain, 0.2f);
    // Then a quiet tone: the gain climbs back without steps or dips, and is whole within a second.
    float last = lim.gain, biggestStep = 0;
    int toWhole = -1;
    for (int f = 0; f < Rate * 3; f++) {
        float s[2] = { 0.3f * std::sin(f * 0.05f), 0.3f * std::sin(f * 0.05f) };
        Sys_Limit(lim, s, 1);
        ASSERT_GE(lim.gain, last - 1e-6f) << f;
        biggestStep = std::max(biggestStep, lim.gain - last);
        last = lim.gain;
        if (toWhole < 0 && lim.gain > 0.99f)
            toWhole = f;
    }
    EXPECT_LT(biggestStep, 0.002f);
    EXPECT_GT(toWhole, Rate / 10); // no pumping back at once
    EXPECT_LT(toWhole, Rate);
    EXPECT_EQ(lim.gain, 1.0f);
}

TEST(SoundMixer, DoublesStartedTogetherAddByPowerOthersAddAsUsual)
{
    std::vector<float> fx = Effect(0.1f, 0.5f);
    size_t frames = fx.size() / 2;
    struct Case {
        size_t secondPos;
        const float *secondPcm;
        float expectPeakRatio;
    };
    std::vector<float> copy = fx;
    Case cases[] = {
        { 0, fx.data(), std::sqrt(2.0f) },  // the same sample started twice in one mix
        { 0, copy.data(), 2.0f },            // a different sample that happens to match
    };
    for (const Case &c : cases) {
        SysMixVoice v[2] = { { fx.data(), frames, 0, 1.0f, false }, { c.secondPcm, frames, c.secondPos, 1.0f, false } };
        std::vector<float> out(fx.size(), 0.0f);
        Sys_MixVoices(v, 2, out.data(), (int)frames);
        EXPECT_NEAR(Peak(out) / Peak(fx), c.expectPeakRatio, 1e-4f);
        EXPECT_EQ(v[0].pos, frames); // both ended
        EXPECT_EQ(v[1].pos, frames);
    }
    // Started apart, the same sample overlaps as two sounds and the voices stay apart.
    SysMixVoice v[2] = { { fx.data(), frames, 100, 1.0f, false }, { fx.data(), frames, 0, 0.5f, false } };
    std::vector<float> out(2 * 10, 0.0f);
    Sys_MixVoices(v, 2, out.data(), 10);
    EXPECT_FLOAT_EQ(out[0], fx[200] + 0.5f * fx[0]);
    EXPECT_EQ(v[0].pos, 110u);
    EXPECT_EQ(v[1].pos, 10u);
}

TEST(SoundMixer, LoopsWrapWithoutAGapAndOneShotsStop)
{
    std::vector<float> loop = { 0.1f, -0.1f, 0.2f, -0.2f, 0.3f, -0.3f };
    SysMixVoice v[2] = { { loop.data(), 3, 2, 1.0f, true }, { loop.data(), 3, 2, 1.0f, false } };
    std::vector<float> out(2 * 5, 0.0f);
    Sys_MixVoices(&v[0], 1, out.data(), 5);
    const float expect[] = { 0.3f, 0.1f, 0.2f, 0.3f, 0.1f };
    for (int i = 0; i < 5; i++)
        EXPECT_FLOAT_EQ(out[i * 2], expect[i]) << i;
    EXPECT_EQ(v[0].pos, 1u);
    std::fill(out.begin(), out.end(), 0.0f);
    Sys_MixVoices(&v[1], 1, out.data(), 5);
    EXPECT_FLOAT_EQ(out[0], 0.3f);
    EXPECT_FLOAT_EQ(out[2], 0.0f);
    EXPECT_EQ(v[1].pos, 3u);
}
