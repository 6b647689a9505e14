// Sound library stand-in over the platform's audio device: whole-file samples, channels with handles,
// its own float mixer and master limiter, a device that may come and go, silent without one.
#include "win_fsound.h"
#include "sys_file.h"
#include "sys_harness.h"
#include "sys_sound_decode.h"
#include "sys_sound_mix.h"
#include "sys_sound_rate.h"
#include "sys_audio.h"
#include "sys_report.h"
#include "sys_source.h"
#include "sys_util.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

// Kept as decoded, and converted once, whole, to stereo floats at the device's rate for the mixer:
// a device reopened at another rate converts again from the original, never from a converted copy.
struct FSOUND_SAMPLE {
    SysPcm original;
    std::vector<float> pcm;
    std::string name;
    bool loop = false;
};

static size_t Frames(const FSOUND_SAMPLE *s) { return s->pcm.size() / 2; }

struct Channel {
    bool active = false;
    FSOUND_SAMPLE *sample = nullptr;
    int serial = 0;
    int volume = 255;
    bool paused = false;
    bool loop = false;
    size_t pos = 0;     // next frame to mix
    bool ended = false; // the mixer reached the end of a one-shot sound
};

// A channel handle carries the channel's index and the serial of the play that took it, so a
// handle kept after its sound ended cannot touch a later sound on the same channel.
enum { INDEX_BITS = 12, MAX_CHANNELS = 256, MAX_SERIAL = 0x7FFFF };
static_assert((int)MAX_CHANNELS <= (int)SYS_MIX_MAX_VOICES, "every channel can be mixed at once");
static const size_t MaxFileBytes = SYS_SOUND_MAX_FILE_BYTES;
static const int MixVolumeMax = 128;
static const int DeviceFrames = 1024;
// Without a device the gap between tries doubles from a second up to a minute: a machine with
// no sound hears little of it, and a device plugged in is still found within a minute.
static const unsigned RetryFirstMs = 1000, RetryLastMs = 60000;

static bool started = false;
static bool audioStarted = false; // the audio subsystem, without which no device can be had
static bool device = false;       // one is open
static bool audible = false;      // device is open and has not been seen to stop
static SysAudioFormat deviceSpec; // what the open device took
static int askRate = 44100;       // the mixing rate the game asked for
static int mixRate = 44100;       // the device's rate, which samples are held and mixed at
static SysLimiter limiter;
static std::vector<float> mixScratch;
static bool retryPending = false;
static bool triedOnce = false;
static unsigned lastTry = 0;
static unsigned retryGap = RetryFirstMs;
static bool lossLogged = false;
static int openAttempts = 0;
static bool refuseOpens = false;
static std::string deviceError; // why the last open failed
static SysAudioFormat askFor;     // no bits: 16-bit stereo at the mixing rate
static int masterVolume = 255;
static int serialCounter = 0;
static int loadCount = 0;
static std::vector<Channel> channels;
static std::vector<FSOUND_SAMPLE *> samples;

static int MixVolume(int volume) { return (volume * masterVolume * MixVolumeMax + 65025 / 2) / 65025; }

static bool LiveSample(const FSOUND_SAMPLE *s)
{
    return s && std::find(samples.begin(), samples.end(), s) != samples.end();
}

// Holds the mixer off the channels while the game thread changes them.
struct MixerLock {
    bool held;
    MixerLock() : held(device)
    {
        if (held)
            Sys_AudioLock();
    }
    ~MixerLock()
    {
        if (held)
            Sys_AudioUnlock();
    }
};

static void MixFrames(float *out, int frames)
{
    std::fill(out, out + (size_t)frames * 2, 0.0f);
    SysMixVoice voices[MAX_CHANNELS];
    int which[MAX_CHANNELS];
    int n = 0;
    for (int i = 0; i < (int)channels.size(); i++) {
        Channel &c = channels[i];
        if (!c.active || c.paused || c.ended || !c.sample)
            continue;
        voices[n] = { c.sample->pcm.data(), Frames(c.sample), c.pos, MixVolume(c.volume) / (float)MixVolumeMax, c.loop };
        which[n++] = i;
    }
    Sys_MixVoices(voices, n, out, frames);
    for (int k = 0; k < n; k++) {
        Channel &c = channels[which[k]];
        c.pos = voices[k].pos;
        c.ended = !c.loop && c.pos >= Frames(c.sample);
    }
}

// The device's sample format, worked out once a callback rather than once a sample.
struct SampleFormat {
    int bytes;
    double top; // full scale of an integer sample
    bool isFloat, isSigned, bigEndian;
};

// One sample of the limited mix in the device's format: integers rounded, never truncated, so a
// 16-bit sound played at its own rate comes out with the very values it was decoded from.
static void PutSample(uint8_t *p, float v, const SampleFormat &sf)
{
    uint32_t word;
    if (sf.isFloat) {
        memcpy(&word, &v, sizeof word);
    } else {
        long long i = std::llround(std::clamp((double)v * sf.top, -sf.top, sf.top - 1));
        if (!sf.isSigned)
            i += (long long)sf.top;
        word = (uint32_t)i;
    }
    for (int k = 0; k < sf.bytes; k++)
        p[sf.bigEndian ? sf.bytes - 1 - k : k] = (uint8_t)(word >> (8 * k));
}

// The device's callback, run on its own thread with the device locked. The mixer runs at the
// device's rate; only the sample format and the channel count are converted here, frame by frame.
static void FillDevice(uint8_t *stream, int len)
{
    const int channelCount = deviceSpec.channels, bytes = deviceSpec.bits / 8;
    const SampleFormat sf = { bytes, std::ldexp(1.0, deviceSpec.bits - 1), deviceSpec.isFloat, deviceSpec.isSigned,
                              deviceSpec.bigEndian };
    const int frameBytes = bytes * channelCount;
    int frames = len / frameBytes;
    memset(stream + (size_t)frames * frameBytes, 0, (size_t)(len - frames * frameBytes));
    while (frames > 0) {
        int n = std::min(frames, (int)(mixScratch.size() / 2));
        float *mix = mixScratch.data();
        MixFrames(mix, n);
        Sys_Limit(limiter, mix, n);
        for (int f = 0; f < n; f++, stream += frameBytes) {
            for (int c = 0; c < channelCount; c++) {
                // Mono takes both sides; beyond the front pair every layout has other speakers.
                float v = channelCount == 1 ? (mix[f * 2] + mix[f * 2 + 1]) * 0.5f : c < 2 ? mix[f * 2 + c] : 0.0f;
                PutSample(stream + c * bytes, v, sf);
            }
        }
        frames -= n;
    }
}

static bool FormatSupported(const SysAudioFormat &spec)
{
    return spec.channels >= 1 && (spec.isFloat ? spec.bits == 32 : spec.bits == 8 || spec.bits == 16 || spec.bits == 32);
}

// Every sample converted again from its original to rate; a channel keeps its place in time.
// Only while no device runs, so the mixer never sees a sample half converted.
static void ConvertSamples(int rate)
{
    for (FSOUND_SAMPLE *s : samples) {
        size_t old = Frames(s);
        // On failure pcm is left empty: it plays as silence, and a one-shot sound as ended.
        Sys_SoundToStereo(s->original, rate, s->loop, s->pcm);
        for (Channel &c : channels)
            if (c.sample == s)
                c.pos = old ? (size_t)((unsigned long long)c.pos * Frames(s) / old) : 0;
    }
    mixRate = rate;
}

// Opens the default device in whatever format and at whatever rate it offers: the mixer takes
// its rate, the samples are converted to it, and the mix to its sample format.
static bool OpenDevice()
{
    openAttempts++;
    if (!audioStarted || refuseOpens)
        return false;
    SysAudioFormat want = askFor;
    if (!askFor.bits) {
        // 16-bit by default, as desktops play and as a disk capture is read by tools that measure
        // it: plain S16 stereo at the mixing rate.
        want.rate = Sys_AudioWantedRate(askRate);
        want.bits = 16;
        want.channels = 2;
    }
    SysAudioFormat have;
    if (!Sys_AudioOpen(want, DeviceFrames, FillDevice, have)) {
        deviceError = Sys_AudioError();
        return false;
    }
    if (!FormatSupported(have) || have.rate < 1000) {
        Sys_AudioClose();
        deviceError = "the device offers no sample format the mixer can write";
        return false;
    }
    // The device opens paused: its callback does not run until the samples are ready.
    if (have.rate != mixRate)
        ConvertSamples(have.rate);
    deviceSpec = have;
    mixScratch.assign((size_t)DeviceFrames * 2, 0.0f);
    Sys_LimiterReset(limiter, have.rate);
    device = true;
    audible = true;
    Sys_AudioRun();
    return true;
}

static void CloseDevice()
{
    if (device)
        Sys_AudioClose();
    device = false;
    audible = false;
}

// Whether channel i still plays; a finished channel becomes free.
static bool StillPlaying(int i)
{
    Channel &c = channels[i];
    if (!c.active)
        return false;
    bool ended;
    if (audible) {
        MixerLock lock;
        ended = c.ended;
    } else {
        ended = !c.loop && !c.paused; // nothing to hear: a one-shot sound ends as soon as it is let go
    }
    // The mixer thread's progress differs from run to run: the source fixes the answer.
    if (sys_source.answer(SYS_Q_CHANNEL_ENDED, ended)) {
        MixerLock lock;
        c.active = false;
    }
    return c.active;
}

// The channel index a handle names, or -1 for a handle of no channel or of a play since replaced.
static int HandleIndex(int handle)
{
    if (handle < 0)
        return -1;
    int i = handle & ((1 << INDEX_BITS) - 1);
    int serial = handle >> INDEX_BITS;
    if (i >= (int)channels.size() || serial == 0 || channels[i].serial != serial)
        return -1;
    return i;
}

static void Halt(int i)
{
    MixerLock lock;
    channels[i].active = false;
}

signed char FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int)
{
    if (started)
        FSOUND_Close();
    // A program that never calls FSOUND_Close must still stop the mixer thread before the
    // channels it reads are destroyed at exit.
    static bool closeAtExit = false;
    if (!closeAtExit)
        closeAtExit = atexit(CloseDevice) == 0;
    started = true;
    masterVolume = 255;
    retryPending = triedOnce = lossLogged = false;
    retryGap = RetryFirstMs;
    channels.assign(std::clamp(maxsoftwarechannels, 1, (int)MAX_CHANNELS), Channel());
    askRate = mixRate = mixrate >= 8000 && mixrate <= 96000 ? mixrate : 44100;
    audioStarted = Sys_AudioStart();
    bool opened = audioStarted && OpenDevice();
    if (audioStarted && !opened) {
        // No device now: play on silently and look for one now and then.
        Sys_AudioHush(true);
        retryPending = true;
        triedOnce = false;
    }
    return (signed char)sys_source.answer(SYS_Q_SOUND_STARTED, opened);
}

void FSOUND_Close()
{
    if (!started)
        return;
    CloseDevice();
    Sys_AudioHush(false);
    for (FSOUND_SAMPLE *s : samples)
        delete s;
    samples.clear();
    channels.clear();
    if (audioStarted)
        Sys_AudioStop();
    audioStarted = false;
    started = false;
    retryPending = false;
    masterVolume = 255;
}

void Sys_SoundUpdate(unsigned now)
{
    if (!started || !audioStarted)
        return;
    if (device && Sys_AudioLost()) {
        // Unplugged, or its server went away: channels keep their places, the music goes on
        // from where it was once a device is back.
        CloseDevice();
        retryPending = true;
        triedOnce = false;
        retryGap = RetryFirstMs;
        Sys_Warn("audio device lost; sound is silent until one can be opened");
        lossLogged = true;
    }
    if (!retryPending || (triedOnce && now - lastTry < retryGap))
        return;
    if (triedOnce)
        retryGap = std::min(retryGap * 2, RetryLastMs);
    triedOnce = true;
    lastTry = now;
    if (OpenDevice()) {
        retryPending = false;
        Sys_AudioHush(false);
        if (lossLogged)
            fprintf(stderr, "kordax: audio device opened again\n");
        lossLogged = false;
    } else {
        Sys_AudioHush(true);
        if (!lossLogged)
            Sys_Warn("no audio device (%s); playing on silently, trying again at growing intervals up to a minute",
                     deviceError.c_str());
        lossLogged = true;
    }
}

// The whole file, or false; one over the size limit is refused before any of it is read.
static bool ReadWholeFile(const char *name, std::vector<uint8_t> &data)
{
    FILE *f = Sys_FOpen(name, "rb");
    if (!f)
        return false;
    long size = fseek(f, 0, SEEK_END) == 0 ? ftell(f) : -1;
    bool tooLarge, ok = size >= 0 && (size_t)size <= MaxFileBytes && fseek(f, 0, SEEK_SET) == 0 &&
                            Sys_ReadAll(f, MaxFileBytes, data, tooLarge); // it may have grown since it was measured
    fclose(f);
    return ok;
}

FSOUND_SAMPLE *FSOUND_Sample_Load(int, const char *name, unsigned int mode, int offset, int length)
{
    if (!started || !name || offset < 0 || length < 0)
        return nullptr;
    std::vector<uint8_t> data;
    if (mode & FSOUND_LOADMEMORY) {
        if (length == 0 || (size_t)length > MaxFileBytes)
            return nullptr;
        data.assign((const uint8_t *)name, (const uint8_t *)name + length);
    } else {
        if (!ReadWholeFile(name, data))
            return nullptr;
        if (offset > 0 || length > 0) {
            if ((size_t)offset >= data.size())
                return nullptr;
            size_t end = length > 0 ? std::min(data.size(), (size_t)offset + (size_t)length) : data.size();
            data = std::vector<uint8_t>(data.begin() + offset, data.begin() + end);
        }
    }
    // Decoded here rather than by a library, so damaged files are refused before any allocation
    // they ask for, and only the two formats the game ships are accepted.
    std::unique_ptr<FSOUND_SAMPLE> s(new FSOUND_SAMPLE);
    if (!Sys_DecodeSound(data.data(), data.size(), s->original))
        return nullptr;
    data = std::vector<uint8_t>();
    s->loop = (mode & FSOUND_LOOP_NORMAL) != 0;
    if (!Sys_SoundToStereo(s->original, mixRate, s->loop, s->pcm))
        return nullptr;
    s->name = (mode & FSOUND_LOADMEMORY) ? "" : name;
    samples.push_back(s.get());
    loadCount++;
    return s.release();
}

void FSOUND_Sample_Free(FSOUND_SAMPLE *sample)
{
    if (!LiveSample(sample))
        return;
    {
        MixerLock lock;
        for (Channel &c : channels)
            if (c.sample == sample) {
                c.active = false;
                c.sample = nullptr;
            }
        samples.erase(std::find(samples.begin(), samples.end(), sample));
    }
    delete sample;
}

int FSOUND_PlaySoundEx(int channel, FSOUND_SAMPLE *sample, FSOUND_DSPUNIT *, signed char startpaused)
{
    if (!started || !LiveSample(sample))
        return -1;
    int i = -1;
    if (channel == FSOUND_FREE) {
        for (int k = 0; k < (int)channels.size() && i < 0; k++)
            if (!StillPlaying(k))
                i = k;
    } else if (channel >= 0 && channel < (int)channels.size()) {
        i = channel;
    }
    if (i < 0 || Frames(sample) == 0)
        return -1;
    MixerLock lock;
    Channel &c = channels[i];
    c.sample = sample;
    c.volume = 255;
    c.paused = startpaused != 0;
    c.loop = sample->loop;
    c.pos = 0;
    c.ended = false;
    serialCounter = serialCounter >= MAX_SERIAL ? 1 : serialCounter + 1;
    c.serial = serialCounter;
    c.active = true;
    return (c.serial << INDEX_BITS) | i;
}

// The index of a channel that plays now under this handle, or -1.
static int PlayingChannel(int handle)
{
    int i = HandleIndex(handle);
    return i >= 0 && StillPlaying(i) ? i : -1;
}

signed char FSOUND_SetVolume(int channel, int volume)
{
    int i = PlayingChannel(channel);
    if (i < 0)
        return 0;
    MixerLock lock;
    channels[i].volume = std::clamp(volume, 0, 255);
    return 1;
}

signed char FSOUND_SetPaused(int channel, signed char paused)
{
    if (channel == FSOUND_ALL) {
        for (int c = 0; c < (int)channels.size(); c++)
            if (StillPlaying(c))
                FSOUND_SetPaused(channels[c].serial << INDEX_BITS | c, paused);
        return 1;
    }
    int i = PlayingChannel(channel);
    if (i < 0)
        return 0;
    MixerLock lock;
    channels[i].paused = paused != 0;
    return 1;
}

signed char FSOUND_StopSound(int channel)
{
    int i = PlayingChannel(channel);
    if (i < 0)
        return 0;
    Halt(i);
    return 1;
}

void FSOUND_SetSFXMasterVolume(int volume)
{
    MixerLock lock;
    masterVolume = std::clamp(volume, 0, 255);
}

int FSOUND_GetSFXMasterVolume() { return masterVolume; }

bool Sys_SoundChannel(int handle, SysSoundChannel &out)
{
    int i = HandleIndex(handle);
    if (i < 0)
        return false;
    const Channel &c = channels[i];
    out.playing = StillPlaying(i);
    out.sample = c.sample;
    out.volume = c.volume;
    out.mixVolume = MixVolume(c.volume);
    out.paused = c.paused;
    out.looping = c.loop;
    return true;
}

int Sys_SoundPlayingChannels()
{
    int n = 0;
    for (int i = 0; i < (int)channels.size(); i++)
        n += StillPlaying(i);
    return n;
}

int Sys_SoundChannelsPlaying(FSOUND_SAMPLE *sample, std::vector<int> *handles)
{
    int n = 0;
    for (int i = 0; i < (int)channels.size(); i++) {
        if (!StillPlaying(i) || channels[i].sample != sample)
            continue;
        n++;
        if (handles)
            handles->push_back((channels[i].serial << INDEX_BITS) | i);
    }
    return n;
}

int Sys_SoundLiveSamples() { return (int)samples.size(); }
int Sys_SoundLoads() { return loadCount; }

const char *Sys_SoundSampleName(FSOUND_SAMPLE *sample)
{
    return LiveSample(sample) ? sample->name.c_str() : "";
}

bool Sys_SoundAudible() { return audible; }

void Sys_SoundLoseDevice()
{
    if (device)
        Sys_AudioLoseDevice();
}

void Sys_SoundRefuseDevices(bool refuse) { refuseOpens = refuse; }

void Sys_SoundAskFormat(int bits, bool floating, int channelCount, int rate)
{
    askFor = SysAudioFormat();
    askFor.bits = bits == 8 || bits == 16 || bits == 32 ? bits : 0;
    askFor.isFloat = bits == 32 && floating;
    askFor.isSigned = bits != 8;
    askFor.channels = channelCount;
    askFor.rate = rate;
}

int Sys_SoundOpenAttempts() { return openAttempts; }

bool Sys_SoundConverting()
{
    return device && (mixRate != askRate || !deviceSpec.isFloat || deviceSpec.bits != 32 || deviceSpec.bigEndian ||
                      deviceSpec.channels != 2);
}

int Sys_SoundMixRate() { return mixRate; }
