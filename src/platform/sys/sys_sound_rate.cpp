// Conversion of decoded 16-bit sound to stereo floats at another rate through libsamplerate.
#include "sys_sound_rate.h"

#include <samplerate.h>

#include <cmath>
#include <new>

// Medium quality measures some 90 dB against a pure tone, past what 16-bit output holds; the best
// costs four times as long at load for nothing audible.
static const int Quality = SRC_SINC_MEDIUM_QUALITY;
// Beyond the reach of the converter's filter (some fifty input frames each side, widened by the
// ratio when converting down, to under three hundred at 8000 Hz).
static const size_t LoopPad = 2048;

static bool Resample(const SysPcm &pcm, int rate, bool loop, std::vector<float> &out)
{
    const int ch = pcm.channels;
    const size_t frames = pcm.samples.size() / (size_t)ch;
    const double ratio = (double)rate / pcm.rate;
    // A loop is converted with copies of its end before it and of its start after it, then cut
    // back to one period: the filter then sees the seam as the player hears it.
    const size_t pad = loop ? LoopPad : 0;
    std::vector<float> in((frames + 2 * pad) * (size_t)ch);
    for (size_t f = 0; f < frames + 2 * pad; f++) {
        size_t from = (f + frames - pad % frames) % frames;
        for (int c = 0; c < ch; c++)
            in[f * ch + c] = pcm.samples[from * ch + c] / 32768.0f;
    }
    std::vector<float> res(((size_t)std::ceil((frames + 2 * pad) * ratio) + 16) * (size_t)ch);
    SRC_DATA data = {};
    data.data_in = in.data();
    data.input_frames = (long)(frames + 2 * pad);
    data.data_out = res.data();
    data.output_frames = (long)(res.size() / (size_t)ch);
    data.src_ratio = ratio;
    data.end_of_input = 1;
    if (src_simple(&data, Quality, ch) != 0)
        return false;
    size_t skip = (size_t)std::lround(pad * ratio);
    size_t keep = loop ? (size_t)std::lround(frames * ratio) : (size_t)data.output_frames_gen;
    if (keep == 0 || skip + keep > (size_t)data.output_frames_gen)
        return false;
    out.resize(keep * 2);
    for (size_t f = 0; f < keep; f++) {
        const float *s = &res[(skip + f) * ch];
        out[f * 2] = s[0];
        out[f * 2 + 1] = s[ch - 1];
    }
    return true;
}

bool Sys_SoundToStereo(const SysPcm &pcm, int rate, bool loop, std::vector<float> &out)
{
    out = std::vector<float>();
    if ((pcm.channels != 1 && pcm.channels != 2) || pcm.rate <= 0 || rate <= 0 || pcm.samples.size() < (size_t)pcm.channels)
        return false;
    try {
        if (rate != pcm.rate) {
            if (Resample(pcm, rate, loop, out))
                return true;
            out = std::vector<float>();
            return false;
        }
        size_t frames = pcm.samples.size() / (size_t)pcm.channels;
        out.resize(frames * 2);
        for (size_t f = 0; f < frames; f++) {
            out[f * 2] = pcm.samples[f * pcm.channels] / 32768.0f;
            out[f * 2 + 1] = pcm.samples[f * pcm.channels + pcm.channels - 1] / 32768.0f;
        }
        return true;
    } catch (const std::bad_alloc &) {
        out = std::vector<float>();
        return false;
    }
}
