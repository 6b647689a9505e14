// The six sound effects: laser shot, enemy and turret explosions, electro zap, level ready, level end.
#include "ag_assets.h"
#include "ag_io.h"
#include "ag_synth.h"

#include <algorithm>

std::vector<int16_t> AG_ToPcm(const std::vector<float> &x, float gain, float level)
{
    std::vector<int16_t> out(x.size());
    for (size_t i = 0; i < x.size(); i++) {
        float v = std::tanh(x[i] * gain) * level;
        out[i] = int16_t(std::lround(v * 32000.0f));
    }
    return out;
}

namespace {

const float AG_Tau = 6.2831853f;

std::vector<float> AG_Buffer(float seconds) { return std::vector<float>(size_t(seconds * AG_Rate), 0.0f); }

// Fades the last few milliseconds so that no effect ends on a click.
void AG_Tail(std::vector<float> &x)
{
    size_t n = std::min(x.size(), size_t(AG_Rate * 0.01f));
    for (size_t i = 0; i < n; i++)
        x[x.size() - 1 - i] *= float(i) / n;
}

// A laser shot: a bright square chirp falling fast, with a little grit.
std::vector<float> AG_Laser()
{
    std::vector<float> x = AG_Buffer(0.22f);
    AG_Svf f;
    AG_NoiseGen n(1);
    float ph = 0, ph2 = 0;
    for (size_t i = 0; i < x.size(); i++) {
        float t = i / AG_Rate;
        float hz = 300 + 2200 * std::exp(-t * 28);
        ph += hz / AG_Rate;
        ph -= std::floor(ph);
        ph2 += hz * 1.503f / AG_Rate;
        ph2 -= std::floor(ph2);
        float s = AG_Square(ph, hz / AG_Rate) * 0.6f + AG_Saw(ph2, hz * 1.5f / AG_Rate) * 0.4f + n.Next() * 0.15f;
        f.Run(s, 1500 + 7000 * std::exp(-t * 20), 0.6f);
        float env = std::fmin(1.0f, t * 800) * std::exp(-t * 14);
        x[i] = f.low * env * 0.8f;
    }
    AG_Tail(x);
    return x;
}

// An explosion: a falling thump under filtered noise whose brightness dies away.
std::vector<float> AG_Explosion(float seconds, float thumpHz, float size, uint32_t seed)
{
    std::vector<float> x = AG_Buffer(seconds);
    AG_Svf f1, f2;
    AG_NoiseGen n(seed);
    float ph = 0, crackle = 0;
    for (size_t i = 0; i < x.size(); i++) {
        float t = i / AG_Rate;
        float decay = std::exp(-t * 4.5f / size);
        float hz = thumpHz * (0.4f + 0.6f * std::exp(-t * 9));
        ph += hz / AG_Rate;
        ph -= std::floor(ph);
        float thump = std::sin(AG_Tau * ph) * std::exp(-t * 7 / size);
        float w = n.Next();
        f1.Run(w, 300 + 5000 * std::exp(-t * 6 / size), 0.9f);
        // Sparse crackles in the tail.
        if (n.Next() > 0.9985f - 0.001f * size)
            crackle = 1;
        crackle *= 0.995f;
        f2.Run(w * crackle, 3000, 0.5f);
        float env = std::fmin(1.0f, t * 400);
        x[i] = env * (thump * 0.9f + f1.low * 1.1f * decay + f2.band * 0.6f * decay);
    }
    AG_Tail(x);
    return x;
}

// The electro zap: a buzzing, rising FM arc with crackle, swelling then dying.
std::vector<float> AG_Electro()
{
    std::vector<float> x = AG_Buffer(1.3f);
    AG_Svf f;
    AG_NoiseGen n(7);
    float ph = 0, mph = 0;
    for (size_t i = 0; i < x.size(); i++) {
        float t = i / AG_Rate;
        float hz = 90 + 140 * t;
        mph += hz * 3.01f / AG_Rate;
        mph -= std::floor(mph);
        ph += (hz + std::sin(AG_Tau * mph) * hz * 4) / AG_Rate;
        ph -= std::floor(ph);
        float buzz = AG_Saw(ph, hz / AG_Rate);
        float crack = n.Next() * (n.Next() > 0.6f ? 1.0f : 0.2f);
        f.Run(buzz * 0.7f + crack * 0.5f, 1200 + 2500 * (0.5f + 0.5f * std::sin(AG_Tau * 11 * t)), 0.4f);
        float env = std::fmin(1.0f, t * 30) * std::exp(-t * 2.2f) * (0.8f + 0.2f * std::sin(AG_Tau * 23 * t));
        x[i] = (f.low * 0.8f + f.band * 0.5f) * env;
    }
    AG_Tail(x);
    return x;
}

// A bright synth note for the jingles: two detuned saws through a closing filter.
void AG_Note(std::vector<float> &x, float start, float length, float midi, float gain)
{
    AG_Svf f;
    float hz = AG_NoteHz(midi), p1 = 0, p2 = 0;
    size_t s0 = size_t(start * AG_Rate), n = size_t((length + 0.3f) * AG_Rate);
    for (size_t i = 0; i < n && s0 + i < x.size(); i++) {
        float t = i / AG_Rate;
        p1 += hz / AG_Rate;
        p1 -= std::floor(p1);
        p2 += hz * 1.006f / AG_Rate;
        p2 -= std::floor(p2);
        float s = AG_Saw(p1, hz / AG_Rate) + AG_Square(p2, hz / AG_Rate) * 0.6f;
        f.Run(s, 800 + 6000 * std::exp(-t * 6), 0.5f);
        float env = std::fmin(1.0f, t * 300) * (t < length ? std::exp(-t * 2.5f) : std::exp(-length * 2.5f) * std::exp(-(t - length) * 18));
        x[s0 + i] += f.low * env * gain;
    }
}

std::vector<float> AG_LevelReady()
{
    std::vector<float> x = AG_Buffer(1.1f);
    const float notes[] = {57, 60, 64, 69, 72};
    for (int i = 0; i < 5; i++)
        AG_Note(x, 0.07f * i, i == 4 ? 0.5f : 0.09f, notes[i], 0.35f);
    AG_Tail(x);
    return x;
}

std::vector<float> AG_EndLevel()
{
    std::vector<float> x = AG_Buffer(1.9f);
    const float run[] = {64, 67, 71, 74, 76, 79};
    for (int i = 0; i < 6; i++)
        AG_Note(x, 0.075f * i, 0.08f, run[i], 0.3f);
    // Closing chord: A major over a low A.
    const float chord[] = {57, 61, 64, 69, 73};
    for (float m : chord)
        AG_Note(x, 0.5f, 0.9f, m, 0.16f);
    AG_Note(x, 0.5f, 0.9f, 45, 0.3f);
    AG_Tail(x);
    return x;
}

} // namespace

// Levels set by measured loudness against the game music at its default volume: the laser,
// heard twenty times a second while fire is held, sits under the music's loudest beats; the rare
// events (explosions, the zap, the jingles) stand well above it.
void AG_GenEffects()
{
    AG_WriteWAV(AG_SoundPath("laser.wav"), AG_ToPcm(AG_Laser(), 0.9f, 0.5f), 1);
    AG_WriteWAV(AG_SoundPath("expl01.wav"), AG_ToPcm(AG_Explosion(0.7f, 110, 1.0f, 3), 1.0f, 0.72f), 1);
    AG_WriteWAV(AG_SoundPath("expl02.wav"), AG_ToPcm(AG_Explosion(1.5f, 70, 2.0f, 4), 1.1f, 0.7f), 1);
    AG_WriteWAV(AG_SoundPath("electro.wav"), AG_ToPcm(AG_Electro(), 1.6f), 1);
    AG_WriteWAV(AG_SoundPath("level_ready.wav"), AG_ToPcm(AG_LevelReady(), 1.0f), 1);
    AG_WriteWAV(AG_SoundPath("end_level.wav"), AG_ToPcm(AG_EndLevel(), 1.0f), 1);
}
