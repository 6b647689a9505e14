// The sound stand-in's mixer as pure functions: voices summed in float, then a look-ahead limiter.
#pragma once

#include <cstddef>
#include <vector>

// One playing sound as the mixer sees it: interleaved stereo frames and where it has got to.
struct SysMixVoice {
    const float *pcm;
    size_t frames;
    size_t pos;  // next frame to play; equals frames once a one-shot sound has ended
    float gain;
    bool loop;
};

enum { SYS_MIX_MAX_VOICES = 256 };

// Adds count voices (at most SYS_MIX_MAX_VOICES) into out (frames stereo frames) and advances them. Voices of the same sound
// at the same place (one sample started more than once between two mixes) would add in phase and
// double in amplitude; they are summed by power instead, as independent sounds would.
void Sys_MixVoices(SysMixVoice *voices, int count, float *out, int frames);

// A peak limiter with a short look-ahead: a smooth gain that keeps every sample within the
// ceiling however loud the mix, and stays at 1 while the mix keeps below it.
struct SysLimiter {
    float ceiling = 0.95f;    // -0.45 dBFS
    int lookahead = 0;        // frames of delay, the length of the attack ramp
    float release = 0;        // per-frame recovery coefficient
    double held = 1;          // gain after the release smoothing (double: its last steps are tiny)
    float gain = 1;           // gain applied to the last frame out
    // Rings of lookahead frames: the delayed input, the per-frame target gains with a queue of
    // the frames that can still be the running minimum, and the smoothed gains being averaged.
    std::vector<float> delay, targets, window;
    std::vector<long long> minQueue;
    size_t minHead = 0, minCount = 0;
    double sum = 0;
    long long at = 0; // frames taken in
};

void Sys_LimiterReset(SysLimiter &lim, int rate, float lookaheadMs = 5, float releaseMs = 150);
// Limits stereo frames in place; the output lags the input by the look-ahead.
void Sys_Limit(SysLimiter &lim, float *stereo, int frames);
