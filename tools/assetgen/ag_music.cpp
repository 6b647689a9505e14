// The two music loops, sequenced and synthesised here, encoded as Ogg Vorbis; each loops seamlessly.
#include "ag_assets.h"
#include "ag_io.h"
#include "ag_synth.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vorbis/vorbisenc.h>

namespace {

const float AG_Tau = 6.2831853f;

// A stereo mix as long as the loop plus a tail; the tail is folded onto the start at the end,
// so that notes ringing across the loop point carry on into the next turn.
struct AG_Mix {
    size_t loop;
    std::vector<float> l, r, sendL, sendR;
    AG_Mix(size_t loopSamples, size_t tail)
        : loop(loopSamples), l(loopSamples + tail), r(loopSamples + tail), sendL(loopSamples + tail), sendR(loopSamples + tail)
    {
    }
    void Put(size_t i, float v, float pan, float send)
    {
        if (i >= l.size())
            return;
        float gl = std::sqrt(0.5f * (1 - pan)), gr = std::sqrt(0.5f * (1 + pan));
        l[i] += v * gl;
        r[i] += v * gr;
        sendL[i] += v * gl * send;
        sendR[i] += v * gr * send;
    }
};

struct AG_Song {
    float bpm;
    int bars;
    size_t Step(float sixteenth) const { return size_t(std::lround(sixteenth * 15.0f / bpm * AG_Rate)); }
    float StepSeconds() const { return 15.0f / bpm; }
};

void AG_Kick(AG_Mix &m, size_t at, float gain)
{
    float ph = 0;
    for (size_t i = 0; i < size_t(0.4f * AG_Rate); i++) {
        float t = i / AG_Rate;
        float hz = 45 + 110 * std::exp(-t * 30);
        ph += hz / AG_Rate;
        // A short click on the beat, ramped in over half a millisecond so it never steps.
        float click = t < 0.004f ? 0.3f * std::fmin(1.0f, t / 0.0005f) * (1 - t / 0.004f) : 0;
        float v = std::sin(AG_Tau * ph) * std::exp(-t * 7) + click;
        m.Put(at + i, v * gain, 0, 0);
    }
}

void AG_Snare(AG_Mix &m, size_t at, float gain, uint32_t seed)
{
    AG_NoiseGen n(seed);
    AG_Svf f;
    float ph = 0;
    for (size_t i = 0; i < size_t(0.25f * AG_Rate); i++) {
        float t = i / AG_Rate;
        ph += 185 / AG_Rate;
        f.Run(n.Next(), 4500, 0.7f);
        float v = (f.band * 1.4f + f.high * 0.4f) * std::exp(-t * 16) + std::sin(AG_Tau * ph) * 0.5f * std::exp(-t * 30);
        m.Put(at + i, v * gain * std::fmin(1.0f, t / 0.001f), 0.05f, 0.15f);
    }
}

void AG_Hat(AG_Mix &m, size_t at, float gain, float decay, float pan, uint32_t seed)
{
    AG_NoiseGen n(seed);
    AG_Svf f;
    for (size_t i = 0; i < size_t(decay * 5 * AG_Rate); i++) {
        float t = i / AG_Rate;
        f.Run(n.Next(), 9000, 0.5f);
        m.Put(at + i, f.high * std::exp(-t / decay) * gain * std::fmin(1.0f, t / 0.0005f), pan, 0.05f);
    }
}

// Bass: a saw and a sub through a resonant filter with a plucked envelope.
void AG_Bass(AG_Mix &m, size_t at, float len, float midi, float gain, float bright)
{
    AG_Svf f;
    float hz = AG_NoteHz(midi), p = 0, ps = 0;
    size_t n = size_t((len + 0.05f) * AG_Rate);
    for (size_t i = 0; i < n; i++) {
        float t = i / AG_Rate;
        p += hz / AG_Rate;
        p -= std::floor(p);
        ps += hz * 0.5f / AG_Rate;
        ps -= std::floor(ps);
        f.Run(AG_Saw(p, hz / AG_Rate), 150 + bright * 2200 * std::exp(-t * 14), 0.35f);
        float env = std::fmin(1.0f, t * 500) * (t < len ? 1.0f : std::exp(-(t - len) * 80));
        m.Put(at + i, (f.low + std::sin(AG_Tau * ps) * 0.5f) * env * gain, 0, 0);
    }
}

// Lead and arpeggio voice: detuned square and saw, filtered, sent to the echo.
void AG_Lead(AG_Mix &m, size_t at, float len, float midi, float gain, float pan, float cutoff, float send)
{
    AG_Svf f;
    float hz = AG_NoteHz(midi), p1 = 0, p2 = 0;
    size_t n = size_t((len + 0.12f) * AG_Rate);
    for (size_t i = 0; i < n; i++) {
        float t = i / AG_Rate;
        p1 += hz / AG_Rate;
        p1 -= std::floor(p1);
        p2 += hz * 1.0045f / AG_Rate;
        p2 -= std::floor(p2);
        float s = AG_Square(p1, hz / AG_Rate) * 0.5f + AG_Saw(p2, hz / AG_Rate) * 0.5f;
        f.Run(s, cutoff * (0.5f + std::exp(-t * 10)), 0.6f);
        float env = std::fmin(1.0f, t * 400) * (t < len ? std::exp(-t * 3) : std::exp(-len * 3) * std::exp(-(t - len) * 30));
        m.Put(at + i, f.low * env * gain, pan, send);
    }
}

// Pad: four detuned saws per note, slow to swell, dark.
void AG_Pad(AG_Mix &m, size_t at, float len, const std::vector<float> &notes, float gain)
{
    size_t n = size_t((len + 0.6f) * AG_Rate);
    for (size_t k = 0; k < notes.size(); k++) {
        AG_Svf fl, fr;
        float hz = AG_NoteHz(notes[k]);
        float ph[4] = {0.1f * k, 0.37f, 0.61f, 0.83f};
        const float det[4] = {0.996f, 1.0f, 1.004f, 1.0075f};
        for (size_t i = 0; i < n; i++) {
            float t = i / AG_Rate;
            float sl = 0, sr = 0;
            for (int v = 0; v < 4; v++) {
                ph[v] += hz * det[v] / AG_Rate;
                ph[v] -= std::floor(ph[v]);
                float s = AG_Saw(ph[v], hz / AG_Rate);
                (v % 2 ? sr : sl) += s;
            }
            float cut = 700 + 500 * std::sin(AG_Tau * t * 0.25f);
            fl.Run(sl, cut, 0.8f);
            fr.Run(sr, cut, 0.8f);
            float env = std::fmin(1.0f, t / 0.5f) * (t < len ? 1.0f : std::exp(-(t - len) * 6));
            m.Put(at + i, fl.low * env * gain, -0.6f, 0.3f);
            m.Put(at + i, fr.low * env * gain, 0.6f, 0.3f);
        }
    }
}

// Echo on the send buffers (ping-pong), then the tail folded onto the start, then the master
// (a soft saturation) and the output level.
std::vector<float> AG_Finish(AG_Mix &m, float delaySeconds, float feedback, float master, float level)
{
    size_t d = size_t(delaySeconds * AG_Rate);
    std::vector<float> el(m.l.size()), er(m.l.size());
    for (size_t i = 0; i < m.l.size(); i++) {
        float inL = m.sendL[i] + (i >= d ? er[i - d] * feedback : 0);
        float inR = m.sendR[i] + (i >= d ? el[i - d] * feedback : 0);
        el[i] = inL;
        er[i] = inR;
        m.l[i] += (i >= d ? el[i - d] : 0) * 0.45f;
        m.r[i] += (i >= d ? er[i - d] : 0) * 0.45f;
    }
    for (size_t i = m.loop; i < m.l.size(); i++) {
        m.l[i - m.loop] += m.l[i];
        m.r[i - m.loop] += m.r[i];
    }
    std::vector<float> out(m.loop * 2);
    for (size_t i = 0; i < m.loop; i++) {
        out[i * 2] = std::tanh(m.l[i] * master) * level;
        out[i * 2 + 1] = std::tanh(m.r[i] * master) * level;
    }
    return out;
}

// Encodes interleaved stereo floats as Ogg Vorbis at the given quality, with a fixed stream serial.
void AG_WriteOgg(const std::string &path, const std::vector<float> &stereo, int serial, const char *title, float quality)
{
    vorbis_info vi;
    vorbis_comment vc;
    vorbis_dsp_state vd;
    vorbis_block vb;
    ogg_stream_state os;
    ogg_page og;
    ogg_packet op;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, 2, 44100, quality) != 0)
        AG_Fail("vorbis encoder refused its settings");
    vorbis_comment_init(&vc);
    vorbis_comment_add_tag(&vc, "TITLE", title);
    vorbis_comment_add_tag(&vc, "ARTIST", "Kordax");
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_init(&os, serial);
    std::vector<uint8_t> bytes;
    auto put = [&](const ogg_page &pg) {
        bytes.insert(bytes.end(), pg.header, pg.header + pg.header_len);
        bytes.insert(bytes.end(), pg.body, pg.body + pg.body_len);
    };
    ogg_packet h, hc, hcd;
    vorbis_analysis_headerout(&vd, &vc, &h, &hc, &hcd);
    ogg_stream_packetin(&os, &h);
    ogg_stream_packetin(&os, &hc);
    ogg_stream_packetin(&os, &hcd);
    while (ogg_stream_flush(&os, &og))
        put(og);
    size_t frames = stereo.size() / 2, pos = 0;
    bool eos = false;
    while (!eos) {
        size_t n = std::min<size_t>(1024, frames - pos);
        if (n == 0)
            vorbis_analysis_wrote(&vd, 0);
        else {
            float **buf = vorbis_analysis_buffer(&vd, int(n));
            for (size_t i = 0; i < n; i++) {
                buf[0][i] = stereo[(pos + i) * 2];
                buf[1][i] = stereo[(pos + i) * 2 + 1];
            }
            vorbis_analysis_wrote(&vd, int(n));
            pos += n;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            while (vorbis_bitrate_flushpacket(&vd, &op)) {
                ogg_stream_packetin(&os, &op);
                while (ogg_stream_pageout(&os, &og)) {
                    put(og);
                    if (ogg_page_eos(&og))
                        eos = true;
                }
            }
        }
        if (n == 0 && !eos) {
            while (ogg_stream_flush(&os, &og))
                put(og);
            eos = true;
        }
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size())
        AG_Fail("cannot write " + path);
    std::fclose(f);
}

// Chord roots and tones over a four-bar cycle.
struct AG_Chord {
    float root;                 // bass note
    std::vector<float> tones;   // for pads and arpeggios
};

// Identical notes (same voice, pitch, length, gain) are synthesised once and mixed in wherever
// they recur: the piece is long, and the generator runs at every fresh build.
struct AG_NoteCache {
    std::map<std::string, AG_Mix> voices;
    template <class F> void Put(AG_Mix &m, size_t at, const std::string &key, float seconds, F render)
    {
        auto it = voices.find(key);
        if (it == voices.end()) {
            size_t n = size_t(seconds * AG_Rate) + 1;
            it = voices.emplace(key, AG_Mix(n, 0)).first;
            render(it->second);
        }
        const AG_Mix &v = it->second;
        for (size_t i = 0; i < v.l.size() && at + i < m.l.size(); i++) {
            m.l[at + i] += v.l[i];
            m.r[at + i] += v.r[i];
            m.sendL[at + i] += v.sendL[i];
            m.sendR[at + i] += v.sendR[i];
        }
    }
};

std::string AG_Key(const char *voice, std::initializer_list<float> args)
{
    std::string k = voice;
    char buf[32];
    for (float a : args) {
        std::snprintf(buf, sizeof buf, " %.4f", double(a));
        k += buf;
    }
    return k;
}

// Play music: 140 beats a minute, 72 bars (just over two minutes) in A minor, in sections: an
// intro that builds, a driving part over Am F C G, a second part over Dm F Am E with its own
// motif, a breakdown without drums, the first part again with the lead, and an outro that turns
// back to the intro. The hats are soft and dark, so the mix has no hiss, and the whole sits low
// enough for the laser to be heard over it.
std::vector<float> AG_GameLoop()
{
    AG_Song s{140, 72};
    size_t loop = s.Step(16.0f * s.bars);
    AG_Mix m(loop, size_t(3 * AG_Rate));
    AG_NoteCache cache;
    const AG_Chord partA[4] = {{45, {57, 60, 64, 69}}, {41, {53, 57, 60, 65}}, {48, {55, 60, 64, 67}}, {43, {55, 59, 62, 67}}};
    const AG_Chord partB[4] = {{38, {57, 62, 65, 69}}, {41, {57, 60, 65, 69}}, {45, {57, 60, 64, 69}}, {40, {56, 59, 64, 68}}};
    enum Section { Intro, DriveA, DriveB, Breakdown, DriveA2, Outro };
    auto sectionOf = [](int bar) {
        return bar < 8 ? Intro : bar < 24 ? DriveA : bar < 40 ? DriveB : bar < 48 ? Breakdown : bar < 64 ? DriveA2 : Outro;
    };
    const char *bassPat = "x.xx.xx.x.xx.x.x";
    const float bassOct[16] = {0, 0, 12, 0, 0, 12, 0, 0, 0, 0, 12, 0, 0, 12, 0, 7};
    const int arp[16] = {0, 1, 2, 3, 2, 1, 2, 3, 0, 1, 2, 3, 3, 2, 1, 2};
    // Lead motifs (semitones above A4; -1 rests), two bars long each.
    const float motifA[32] = {12, -1, -1, 10, -1, 7, -1, -1, 8, -1, 7, -1, 3, -1, 5, -1,
                              7, -1, -1, -1, 3, -1, 2, -1, 0, -1, -1, -1, -1, -1, -1, -1};
    const float motifB[32] = {5, -1, -1, -1, 8, -1, 7, -1, 5, -1, -1, 3, -1, -1, 0, -1,
                              -1, -1, 3, -1, 2, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    const float step = s.StepSeconds();
    for (int bar = 0; bar < s.bars; bar++) {
        Section sec = sectionOf(bar);
        bool second = sec == DriveB || sec == Outro;
        const AG_Chord &c = (second ? partB : partA)[bar % 4];
        int ci = bar % 4 + (second ? 4 : 0);
        float base = 16.0f * bar;
        bool drums = sec != Breakdown && !(sec == Intro && bar < 2);
        bool full = sec == DriveA || sec == DriveB || sec == DriveA2;
        bool fillBar = bar % 8 == 7 && sec != Breakdown;
        cache.Put(m, s.Step(base), AG_Key("pad", {float(ci)}), step * 16 + 0.6f,
                  [&](AG_Mix &v) { AG_Pad(v, 0, step * 16, c.tones, 0.035f); });
        for (int st = 0; st < 16; st++) {
            size_t at = s.Step(base + st);
            uint32_t seed = uint32_t(100 + st + 16 * (bar % 2));
            if (drums) {
                if (st % 4 == 0 && !(fillBar && st == 12) && (full || sec == Outro || bar >= 4))
                    cache.Put(m, at, "kick", 0.4f, [&](AG_Mix &v) { AG_Kick(v, 0, 0.9f); });
                if (fillBar && st >= 12 && full) {
                    float g = 0.35f + 0.08f * (st - 12);
                    cache.Put(m, at, AG_Key("snare", {g, float(seed)}), 0.25f, [&](AG_Mix &v) { AG_Snare(v, 0, g, seed); });
                } else if ((st == 4 || st == 12) && (full || (sec == Outro && bar < 70)))
                    cache.Put(m, at, AG_Key("snare", {0.5f, float(seed)}), 0.25f, [&](AG_Mix &v) { AG_Snare(v, 0, 0.5f, seed); });
                if (full || st % 2 == 0) {
                    bool open = st % 4 == 2;
                    float g = open ? 0.05f : 0.025f, decay = open ? 0.06f : 0.02f, pan = st % 2 ? 0.35f : -0.35f;
                    cache.Put(m, at, AG_Key("hat", {g, decay, pan, float(seed)}), decay * 5,
                              [&](AG_Mix &v) { AG_Hat(v, 0, g, decay, pan, seed); });
                }
            }
            // Bass: rolling in the driving parts, long notes in the intro and the breakdown.
            float note = -1, len = step * 0.8f, bright = st % 4 == 0 ? 1.0f : 0.6f;
            if (full || sec == Outro) {
                if (bassPat[st] == 'x')
                    note = c.root + bassOct[st];
            } else if (st == 0 || st == 8) {
                note = c.root;
                len = step * 7;
                bright = 0.3f;
            }
            if (note >= 0)
                cache.Put(m, at, AG_Key("bass", {note, len, bright}), len + 0.05f,
                          [&](AG_Mix &v) { AG_Bass(v, 0, len, note, 0.33f, bright); });
            // The echoing arpeggio: everywhere but the intro's first half, brighter as a part goes on.
            if (!(sec == Intro && bar < 4) && (full || st % 2 == 0)) {
                float an = c.tones[size_t(arp[st])] + 12, cut = 1700 + 700 * float(bar % 4) / 3;
                float pan = st % 2 ? 0.4f : -0.4f, g = sec == Breakdown ? 0.1f : 0.08f;
                cache.Put(m, at, AG_Key("arp", {an, cut, pan, g}), step * 0.6f + 0.12f,
                          [&](AG_Mix &v) { AG_Lead(v, 0, step * 0.6f, an, g, pan, cut, 0.5f); });
            }
            // The lead: motif A over the first part's return, motif B over the second part's end.
            const float *motif = sec == DriveA2 && bar >= 52 ? motifA : (sec == DriveB && bar >= 32 ? motifB : nullptr);
            if (motif && motif[(bar % 2) * 16 + st] >= 0) {
                float ln = 69 + motif[(bar % 2) * 16 + st];
                cache.Put(m, at, AG_Key("lead", {ln}), step * 1.6f + 0.12f,
                          [&](AG_Mix &v) { AG_Lead(v, 0, step * 1.6f, ln, 0.12f, 0.0f, 2600, 0.35f); });
            }
        }
    }
    return AG_Finish(m, step * 3, 0.4f, 1.1f, 0.475f);
}

// Title music: 112 beats a minute, sixteen bars, half-time drums under a slow, echoing arpeggio
// and wide pads: Am, F, Dm, E.
std::vector<float> AG_TitleLoop()
{
    AG_Song s{112, 16};
    size_t loop = s.Step(16.0f * s.bars);
    AG_Mix m(loop, size_t(3 * AG_Rate));
    const AG_Chord chords[4] = {{45, {57, 60, 64, 69}}, {41, {57, 60, 65, 69}}, {38, {57, 62, 65, 69}}, {40, {56, 59, 64, 68}}};
    const int arp[8] = {0, 2, 1, 3, 2, 1, 3, 2};
    uint32_t seed = 900;
    for (int bar = 0; bar < s.bars; bar++) {
        const AG_Chord &c = chords[bar % 4];
        float base = 16.0f * bar;
        AG_Pad(m, s.Step(base), s.StepSeconds() * 16, c.tones, 0.045f);
        AG_Bass(m, s.Step(base), s.StepSeconds() * 6, c.root, 0.3f, 0.3f);
        AG_Bass(m, s.Step(base + 8), s.StepSeconds() * 4, c.root, 0.25f, 0.3f);
        AG_Bass(m, s.Step(base + 14), s.StepSeconds() * 1.5f, c.root + 12, 0.2f, 0.5f);
        for (int st = 0; st < 16; st++) {
            size_t at = s.Step(base + st);
            if (bar >= 2 && (st == 0 || st == 10))
                AG_Kick(m, at, 0.75f);
            if (bar >= 2 && st == 8)
                AG_Snare(m, at, 0.4f, seed++);
            if (bar >= 4 && st % 2 == 0)
                AG_Hat(m, at, st % 4 == 2 ? 0.14f : 0.07f, 0.03f, st % 4 ? 0.4f : -0.4f, seed++);
            if (st % 2 == 0) {
                float note = c.tones[size_t(arp[(st / 2) % 8])] + 12;
                AG_Lead(m, at, s.StepSeconds() * 1.2f, note, 0.075f, (st / 2) % 2 ? 0.5f : -0.5f, 1800 + 1200 * (bar >= 8), 0.6f);
            }
        }
    }
    return AG_Finish(m, s.StepSeconds() * 3, 0.45f, 1.0f, 0.6f);
}

} // namespace

void AG_GenMusic()
{
    // The long play piece at a lower quality, so its file stays small.
    AG_WriteOgg(AG_SoundPath("cyberloop.ogg"), AG_GameLoop(), 0x4B445801, "cyberloop", 0.1f);
    AG_WriteOgg(AG_SoundPath("cybertime.ogg"), AG_TitleLoop(), 0x4B445802, "cybertime", 0.4f);
}
