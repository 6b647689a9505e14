// Small synthesis toolkit shared by the effects and the music: oscillators, filters, envelopes.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

const float AG_Rate = 44100.0f;

// A state-variable filter (lowpass, bandpass and highpass outputs at once).
struct AG_Svf {
    float low = 0, band = 0;
    float high = 0;
    void Run(float in, float cutoff, float q)
    {
        float f = 2 * std::sin(3.14159265f * std::fmin(cutoff, 16000.0f) / AG_Rate);
        low += f * band;
        high = in - low - q * band;
        band += f * high;
    }
};

// Deterministic white noise in -1..1.
struct AG_NoiseGen {
    uint32_t s;
    explicit AG_NoiseGen(uint32_t seed) : s(seed * 2654435761u + 1) {}
    float Next()
    {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        return (s & 0xFFFFFF) / 8388608.0f - 1.0f;
    }
};

// Band-limited-ish sawtooth and square by a polynomial correction at the wrap (polyBLEP).
inline float AG_PolyBlep(float t, float dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1;
    }
    if (t > 1 - dt) {
        t = (t - 1) / dt;
        return t * t + t + t + 1;
    }
    return 0;
}
inline float AG_Saw(float phase, float dt) { return 2 * phase - 1 - AG_PolyBlep(phase, dt); }
inline float AG_Square(float phase, float dt)
{
    float p2 = phase + 0.5f;
    if (p2 >= 1)
        p2 -= 1;
    return (phase < 0.5f ? 1.0f : -1.0f) + AG_PolyBlep(phase, dt) - AG_PolyBlep(p2, dt);
}

inline float AG_NoteHz(float midi) { return 440.0f * std::pow(2.0f, (midi - 69) / 12.0f); }

// 16-bit samples from floats, with a gentle saturation that never clips hard, then scaled by level.
std::vector<int16_t> AG_ToPcm(const std::vector<float> &x, float gain, float level = 1.0f);
