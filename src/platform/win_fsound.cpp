// Sound library stand-in over an SDL audio device: whole-file samples, channels with handles,
// its own float mixer and master limiter, a device that may come and go, silent without one.
#include "win_fsound.h"
#include "sys_file.h"
#include "sys_harness.h"
#include "sys_sound_decode.h"
#include "sys_sound_mix.h"
#include "sys_source.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// Decoded at load into interleaved stereo floats at the mixing rate, so nothing depends on the
// device: a device reopened in another format needs nothing reloaded.
struct FSOUND_SAMPLE {
    std::vector<float> pcm;
    size_t frames = 0;
    std::string name;
    bool loop = false;
};

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
static const size_t MaxFileBytes = 64u << 20;
static const int MixVolumeMax = 128;
static const int DeviceFrames = 1024;
static const unsigned RetryMs = 1000;

static bool started = false;
static bool audioStarted = false; // SDL's audio subsystem, without which no device can be had
static SDL_AudioDeviceID device = 0;
static bool audible = false;      // device is open and has not been seen to stop
// When the device took another format: the mix resampled to its rate (before the limiter, whose
// ceiling the resampler's ripple would otherwise cross), then the limited mix to its sample format.
static SDL_AudioStream *toRate = nullptr;
static SDL_AudioStream *toFormat = nullptr;
static int mixRate = 44100;
static SysLimiter limiter;
static std::vector<float> mixScratch, limitedScratch;
static bool retryPending = false;
static bool triedOnce = false;
static unsigned lastTry = 0;
static bool lossLogged = false;
static int openAttempts = 0;
static bool refuseOpens = false;
static SDL_AudioSpec askFor = {};  // zero format: 16-bit stereo at the mixing rate
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
    SDL_AudioDeviceID held;
    MixerLock() : held(device)
    {
        if (held)
            SDL_LockAudioDevice(held);
    }
    ~MixerLock()
    {
        if (held)
            SDL_UnlockAudioDevice(held);
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
        voices[n] = { c.sample->pcm.data(), c.sample->frames, c.pos, MixVolume(c.volume) / (float)MixVolumeMax, c.loop };
        which[n++] = i;
    }
    Sys_MixVoices(voices, n, out, frames);
    for (int k = 0; k < n; k++) {
        Channel &c = channels[which[k]];
        c.pos = voices[k].pos;
        c.ended = !c.loop && c.pos >= c.sample->frames;
    }
}

// Pulls from a conversion stream, feeding it from fill in blocks of the scratch's size.
template <typename Fill>
static void Pull(SDL_AudioStream *cvt, std::vector<float> &block, Uint8 *out, int len, Fill fill)
{
    int frames = (int)(block.size() / 2);
    while (SDL_AudioStreamAvailable(cvt) < len) {
        fill(block.data(), frames);
        if (SDL_AudioStreamPut(cvt, block.data(), frames * 2 * (int)sizeof(float)) != 0)
            break;
    }
    int got = std::max(SDL_AudioStreamGet(cvt, out, len), 0);
    if (got < len)
        memset(out + got, 0, (size_t)(len - got));
}

// The limited mix, stereo floats at the device's rate.
static void LimitedFrames(float *out, int frames)
{
    if (toRate)
        Pull(toRate, mixScratch, (Uint8 *)out, frames * 2 * (int)sizeof(float), MixFrames);
    else
        MixFrames(out, frames);
    Sys_Limit(limiter, out, frames);
}

// The device's callback, run on SDL's audio thread with the device locked.
static void SDLCALL FillDevice(void *, Uint8 *stream, int len)
{
    if (toFormat)
        Pull(toFormat, limitedScratch, stream, len, LimitedFrames);
    else
        LimitedFrames((float *)stream, len / (int)(2 * sizeof(float)));
}

static void FreeConversions()
{
    if (toRate)
        SDL_FreeAudioStream(toRate);
    if (toFormat)
        SDL_FreeAudioStream(toFormat);
    toRate = toFormat = nullptr;
}

// Opens the default device in whatever format it offers; the mix is converted to it.
static bool OpenDevice()
{
    openAttempts++;
    if (!audioStarted || refuseOpens)
        return false;
    SDL_AudioSpec want = {};
    want.freq = askFor.format ? askFor.freq : mixRate;
    // 16-bit by default, as desktops play and as SDL's disk driver captures: tools that measure a
    // capture read it as plain S16 stereo at the mixing rate.
    want.format = askFor.format ? askFor.format : AUDIO_S16SYS;
    want.channels = askFor.format ? askFor.channels : 2;
    want.samples = DeviceFrames;
    want.callback = FillDevice;
    SDL_AudioSpec have = {};
    SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_ANY_CHANGE);
    if (id == 0)
        return false;
    if (have.freq != mixRate)
        toRate = SDL_NewAudioStream(AUDIO_F32SYS, 2, mixRate, AUDIO_F32SYS, 2, have.freq);
    if (have.format != AUDIO_F32SYS || have.channels != 2)
        toFormat = SDL_NewAudioStream(AUDIO_F32SYS, 2, have.freq, have.format, have.channels, have.freq);
    if ((have.freq != mixRate && !toRate) || ((have.format != AUDIO_F32SYS || have.channels != 2) && !toFormat)) {
        FreeConversions();
        SDL_CloseAudioDevice(id);
        return false;
    }
    mixScratch.assign((size_t)DeviceFrames * 2, 0.0f);
    limitedScratch.assign((size_t)DeviceFrames * 2, 0.0f);
    Sys_LimiterReset(limiter, have.freq);
    device = id;
    audible = true;
    SDL_PauseAudioDevice(device, 0);
    return true;
}

static void CloseDevice()
{
    if (device)
        SDL_CloseAudioDevice(device);
    FreeConversions();
    device = 0;
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
    channels.assign(std::clamp(maxsoftwarechannels, 1, (int)MAX_CHANNELS), Channel());
    mixRate = mixrate >= 8000 && mixrate <= 96000 ? mixrate : 44100;
    if (sys_options.headless)
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    audioStarted = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    bool opened = audioStarted && OpenDevice();
    // No device now: play on silently and look for one now and then.
    retryPending = audioStarted && !opened;
    triedOnce = false;
    return (signed char)sys_source.answer(SYS_Q_SOUND_STARTED, opened);
}

void FSOUND_Close()
{
    if (!started)
        return;
    CloseDevice();
    for (FSOUND_SAMPLE *s : samples)
        delete s;
    samples.clear();
    channels.clear();
    if (audioStarted)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audioStarted = false;
    started = false;
    retryPending = false;
    masterVolume = 255;
}

void Sys_SoundUpdate(unsigned now)
{
    if (!started || !audioStarted)
        return;
    if (device && SDL_GetAudioDeviceStatus(device) == SDL_AUDIO_STOPPED) {
        // Unplugged, or its server went away: channels keep their places, the music goes on
        // from where it was once a device is back.
        CloseDevice();
        retryPending = true;
        triedOnce = false;
        fprintf(stderr, "kordax: audio device lost; sound is silent until one can be opened\n");
        lossLogged = true;
    }
    if (!retryPending || (triedOnce && now - lastTry < RetryMs))
        return;
    triedOnce = true;
    lastTry = now;
    if (OpenDevice()) {
        retryPending = false;
        if (lossLogged)
            fprintf(stderr, "kordax: audio device opened again\n");
        lossLogged = false;
    } else if (!lossLogged) {
        fprintf(stderr, "kordax: no audio device (%s); playing on silently, trying again once a second\n",
                SDL_GetError());
        lossLogged = true;
    }
}

static bool ReadWholeFile(const char *name, std::vector<Uint8> &data)
{
    FILE *f = Sys_FOpen(name, "rb");
    if (!f)
        return false;
    Uint8 buf[65536];
    size_t n;
    bool ok = true;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) {
        if (data.size() + n > MaxFileBytes) {
            ok = false;
            break;
        }
        data.insert(data.end(), buf, buf + n);
    }
    if (ferror(f))
        ok = false;
    fclose(f);
    return ok;
}

// Decoded sound to interleaved stereo floats at the mixing rate.
static bool ToMixFormat(const SysPcm &pcm, std::vector<float> &out)
{
    SDL_AudioStream *cvt = SDL_NewAudioStream(AUDIO_S16SYS, (Uint8)pcm.channels, pcm.rate, AUDIO_F32SYS, 2, mixRate);
    if (!cvt)
        return false;
    bool ok = SDL_AudioStreamPut(cvt, pcm.samples.data(), (int)(pcm.samples.size() * sizeof(int16_t))) == 0 &&
              SDL_AudioStreamFlush(cvt) == 0;
    if (ok) {
        out.resize((size_t)SDL_AudioStreamAvailable(cvt) / sizeof(float) / 2 * 2);
        int want = (int)(out.size() * sizeof(float));
        ok = SDL_AudioStreamGet(cvt, out.data(), want) == want;
    }
    SDL_FreeAudioStream(cvt);
    return ok && !out.empty();
}

FSOUND_SAMPLE *FSOUND_Sample_Load(int, const char *name, unsigned int mode, int offset, int length)
{
    if (!started || !name || offset < 0 || length < 0)
        return nullptr;
    std::vector<Uint8> data;
    if (mode & FSOUND_LOADMEMORY) {
        if (length == 0 || (size_t)length > MaxFileBytes)
            return nullptr;
        data.assign((const Uint8 *)name, (const Uint8 *)name + length);
    } else {
        if (!ReadWholeFile(name, data))
            return nullptr;
        if (offset > 0 || length > 0) {
            if ((size_t)offset >= data.size())
                return nullptr;
            size_t end = length > 0 ? std::min(data.size(), (size_t)offset + (size_t)length) : data.size();
            data = std::vector<Uint8>(data.begin() + offset, data.begin() + end);
        }
    }
    // Decoded here rather than by a library, so damaged files are refused before any allocation
    // they ask for, and only the two formats the game ships are accepted.
    SysPcm pcm;
    if (!Sys_DecodeSound(data.data(), data.size(), pcm))
        return nullptr;
    data = std::vector<Uint8>();
    FSOUND_SAMPLE *s = new FSOUND_SAMPLE;
    if (!ToMixFormat(pcm, s->pcm)) {
        delete s;
        return nullptr;
    }
    s->frames = s->pcm.size() / 2;
    s->name = (mode & FSOUND_LOADMEMORY) ? "" : name;
    s->loop = (mode & FSOUND_LOOP_NORMAL) != 0;
    samples.push_back(s);
    loadCount++;
    return s;
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
    if (i < 0 || sample->frames == 0)
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
    // What an unplugged device leaves behind: a handle SDL reports as stopped.
    if (device)
        SDL_CloseAudioDevice(device);
    FreeConversions();
}

void Sys_SoundRefuseDevices(bool refuse) { refuseOpens = refuse; }

void Sys_SoundAskFormat(int bits, bool floating, int channelCount, int rate)
{
    askFor = SDL_AudioSpec();
    askFor.format = bits == 8 ? AUDIO_U8 : bits == 16 ? AUDIO_S16SYS : bits == 32 ? (floating ? AUDIO_F32SYS : AUDIO_S32SYS) : 0;
    askFor.channels = (Uint8)channelCount;
    askFor.freq = rate;
}

int Sys_SoundOpenAttempts() { return openAttempts; }

bool Sys_SoundConverting() { return toRate || toFormat; }
