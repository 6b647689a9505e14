// Sound library stand-in over SDL_mixer: whole-file samples, channels with handles, silent without a device.
#include "win_fsound.h"
#include "sys_file.h"
#include "sys_harness.h"
#include "sys_sound_decode.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

struct FSOUND_SAMPLE {
    Mix_Chunk *chunk; // null when silent
    std::string name;
    bool loop;
};

struct Channel {
    bool active = false;
    FSOUND_SAMPLE *sample = nullptr;
    int serial = 0;
    int volume = 255;
    bool paused = false;
    bool loop = false;
};

// A channel handle carries the channel's index and the serial of the play that took it, so a
// handle kept after its sound ended cannot touch a later sound on the same channel.
enum { INDEX_BITS = 12, MAX_CHANNELS = 256, MAX_SERIAL = 0x7FFFF };
static const size_t MaxFileBytes = 64u << 20;

static bool started = false;
static bool audible = false;
static int masterVolume = 255;
static int serialCounter = 0;
static int loadCount = 0;
static std::vector<Channel> channels;
static std::vector<FSOUND_SAMPLE *> samples;

static int MixVolume(int volume) { return (volume * masterVolume * MIX_MAX_VOLUME + 65025 / 2) / 65025; }

static bool LiveSample(const FSOUND_SAMPLE *s)
{
    return s && std::find(samples.begin(), samples.end(), s) != samples.end();
}

// Whether channel i still plays; a finished channel becomes free.
static bool StillPlaying(int i)
{
    Channel &c = channels[i];
    if (!c.active)
        return false;
    if (audible) {
        if (!Mix_Playing(i))
            c.active = false;
    } else if (!c.loop && !c.paused) {
        c.active = false; // nothing to hear: a one-shot sound ends as soon as it is let go
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
    if (audible)
        Mix_HaltChannel(i);
    channels[i].active = false;
}

signed char FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int)
{
    if (started)
        FSOUND_Close();
    started = true;
    audible = false;
    masterVolume = 255;
    channels.assign(std::clamp(maxsoftwarechannels, 1, (int)MAX_CHANNELS), Channel());
    if (sys_options.headless)
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return 0;
    Mix_Init(MIX_INIT_OGG);
    int rate = mixrate >= 8000 && mixrate <= 96000 ? mixrate : 44100;
    if (Mix_OpenAudio(rate, AUDIO_S16SYS, 2, 1024) != 0) {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return 0;
    }
    Mix_AllocateChannels((int)channels.size());
    audible = true;
    return 1;
}

void FSOUND_Close()
{
    if (!started)
        return;
    if (audible)
        Mix_HaltChannel(-1);
    for (FSOUND_SAMPLE *s : samples) {
        if (s->chunk)
            Mix_FreeChunk(s->chunk);
        delete s;
    }
    samples.clear();
    channels.clear();
    if (audible) {
        Mix_CloseAudio();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    started = false;
    audible = false;
    masterVolume = 255;
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
    // Decoded here rather than by the mixer, so damaged files are refused before any allocation
    // they ask for, and only the two formats the game ships are accepted.
    SysPcm pcm;
    if (!Sys_DecodeSound(data.data(), data.size(), pcm))
        return nullptr;
    data = std::vector<Uint8>();
    Mix_Chunk *chunk = nullptr;
    if (audible) {
        std::vector<uint8_t> wav = Sys_PcmToWav(pcm);
        pcm = SysPcm();
        SDL_RWops *rw = SDL_RWFromConstMem(wav.data(), (int)wav.size());
        if (!rw)
            return nullptr;
        chunk = Mix_LoadWAV_RW(rw, 1);
        if (!chunk)
            return nullptr;
    }
    FSOUND_SAMPLE *s = new FSOUND_SAMPLE;
    s->chunk = chunk;
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
    for (int i = 0; i < (int)channels.size(); i++)
        if (channels[i].active && channels[i].sample == sample)
            Halt(i);
    if (sample->chunk)
        Mix_FreeChunk(sample->chunk);
    samples.erase(std::find(samples.begin(), samples.end(), sample));
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
        if (StillPlaying(i))
            Halt(i);
    }
    if (i < 0)
        return -1;
    Channel &c = channels[i];
    c.sample = sample;
    c.volume = 255;
    c.paused = startpaused != 0;
    c.loop = sample->loop;
    serialCounter = serialCounter >= MAX_SERIAL ? 1 : serialCounter + 1;
    c.serial = serialCounter;
    if (audible) {
        // Started silent and paused at once, so a paused start is not heard before its volume is set.
        Mix_Volume(i, startpaused ? 0 : MixVolume(c.volume));
        if (Mix_PlayChannel(i, sample->chunk, c.loop ? -1 : 0) < 0) {
            c.active = false;
            return -1;
        }
        if (startpaused) {
            Mix_Pause(i);
            Mix_Volume(i, MixVolume(c.volume));
        }
    }
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
    channels[i].volume = std::clamp(volume, 0, 255);
    if (audible)
        Mix_Volume(i, MixVolume(channels[i].volume));
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
    channels[i].paused = paused != 0;
    if (audible) {
        if (paused)
            Mix_Pause(i);
        else
            Mix_Resume(i);
    }
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
    masterVolume = std::clamp(volume, 0, 255);
    if (!audible)
        return;
    for (int i = 0; i < (int)channels.size(); i++)
        if (StillPlaying(i))
            Mix_Volume(i, MixVolume(channels[i].volume));
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
    out.mixVolume = audible ? Mix_Volume(i, -1) : MixVolume(c.volume);
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
