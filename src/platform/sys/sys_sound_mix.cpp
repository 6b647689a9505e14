// Mixing of voices in float with in-phase doubles summed by power, and the master limiter.
#include "sys_sound_mix.h"

#include <algorithm>
#include <cmath>

static void AddVoice(SysMixVoice &v, float gain, float *out, int frames)
{
    int n = 0;
    while (n < frames) {
        if (v.pos >= v.frames) {
            if (!v.loop || v.frames == 0)
                return;
            v.pos = 0;
        }
        size_t k = std::min((size_t)(frames - n), v.frames - v.pos);
        const float *src = v.pcm + v.pos * 2;
        float *dst = out + (size_t)n * 2;
        for (size_t i = 0; i < k * 2; i++)
            dst[i] += src[i] * gain;
        v.pos += k;
        n += (int)k;
    }
}

static bool InPhase(const SysMixVoice &a, const SysMixVoice &b)
{
    return a.pcm == b.pcm && a.frames == b.frames && a.pos == b.pos && a.loop == b.loop;
}

void Sys_MixVoices(SysMixVoice *voices, int count, float *out, int frames)
{
    // Each group of in-phase voices is mixed once, by its first member, at the power sum of their gains.
    char done[SYS_MIX_MAX_VOICES] = {};
    count = std::min(count, (int)SYS_MIX_MAX_VOICES);
    for (int i = 0; i < count; i++) {
        if (done[i])
            continue;
        float power = voices[i].gain * voices[i].gain;
        for (int j = i + 1; j < count; j++)
            if (!done[j] && InPhase(voices[i], voices[j])) {
                power += voices[j].gain * voices[j].gain;
                done[j] = 1;
            }
        size_t start = voices[i].pos;
        AddVoice(voices[i], std::sqrt(power), out, frames);
        for (int j = i + 1; j < count; j++)
            if (done[j] == 1 && voices[j].pcm == voices[i].pcm && voices[j].pos == start) {
                voices[j].pos = voices[i].pos;
                done[j] = 2;
            }
    }
}

void Sys_LimiterReset(SysLimiter &lim, int rate, float lookaheadMs, float releaseMs)
{
    lim.lookahead = std::max(1, (int)std::lround(rate * lookaheadMs / 1000.0f));
    lim.release = 1.0f - std::exp(-1000.0f / (rate * releaseMs));
    lim.held = 1;
    lim.gain = 1;
    lim.delay.assign((size_t)lim.lookahead * 2, 0.0f);
    lim.targets.assign(lim.lookahead, 1.0f);
    lim.window.assign(lim.lookahead, 1.0f);
    lim.minQueue.assign(lim.lookahead, 0);
    lim.minHead = 0;
    lim.minCount = 0;
    lim.sum = lim.lookahead;
    lim.at = 0;
}

// Frame n goes out lookahead-1 frames later, scaled by the mean of the smoothed gains of the
// frames between. Each of those is at most the running minimum of the targets over the frames
// before it, a window that always holds the frame going out: so that frame is never over the ceiling.
void Sys_Limit(SysLimiter &lim, float *stereo, int frames)
{
    const size_t L = (size_t)lim.lookahead;
    if (L == 0)
        return;
    for (int f = 0; f < frames; f++) {
        float *s = stereo + (size_t)f * 2;
        long long n = lim.at++;
        size_t slot = (size_t)(n % (long long)L);
        for (int c = 0; c < 2; c++)
            if (!std::isfinite(s[c]))
                s[c] = 0; // a broken value in the mix is silenced, not passed on
        float peak = std::max(std::fabs(s[0]), std::fabs(s[1]));
        float target = peak > lim.ceiling ? lim.ceiling / peak : 1.0f;
        lim.targets[slot] = target;
        // Running minimum over the last L targets: a queue of frames with rising targets.
        while (lim.minCount > 0 && lim.minQueue[lim.minHead] <= n - (long long)L) {
            lim.minHead = (lim.minHead + 1) % L;
            lim.minCount--;
        }
        while (lim.minCount > 0) {
            size_t back = (lim.minHead + lim.minCount - 1) % L;
            if (lim.targets[(size_t)(lim.minQueue[back] % (long long)L)] < target)
                break;
            lim.minCount--;
        }
        lim.minQueue[(lim.minHead + lim.minCount) % L] = n;
        lim.minCount++;
        float low = lim.targets[(size_t)(lim.minQueue[lim.minHead] % (long long)L)];
        // Down at once, back up slowly.
        if (low < lim.held || low - lim.held < 1e-5f)
            lim.held = low;
        else
            lim.held += (low - lim.held) * lim.release;
        lim.sum += lim.held - lim.window[slot];
        lim.window[slot] = lim.held;
        if (slot == 0) { // keep the running sum from drifting
            lim.sum = 0;
            for (float w : lim.window)
                lim.sum += w;
        }
        float gain = (float)(lim.sum / (double)L);
        lim.gain = gain;
        lim.delay[slot * 2] = s[0];
        lim.delay[slot * 2 + 1] = s[1];
        size_t out = (size_t)((n + 1) % (long long)L); // the oldest frame held
        s[0] = std::clamp(lim.delay[out * 2] * gain, -lim.ceiling, lim.ceiling);
        s[1] = std::clamp(lim.delay[out * 2 + 1] * gain, -lim.ceiling, lim.ceiling);
    }
}
