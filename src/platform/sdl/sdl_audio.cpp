// The audio device over SDL: the default device in whatever format it offers, its thread, its loss, ALSA's complaints.
#include "sdl_local.h"
#include "sys_audio.h"

#include <SDL.h>
#include <dlfcn.h>

#include <cstdlib>
#include <string>

static SDL_AudioDeviceID device = 0;
static void (*fillDevice)(uint8_t *stream, int bytes) = nullptr;
static std::string error;

static void SDLCALL Fill(void *, Uint8 *stream, int len) { fillDevice(stream, len); }

bool Sys_AudioStart()
{
    if (Sdl_Headless())
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
}

void Sys_AudioStop() { SDL_QuitSubSystem(SDL_INIT_AUDIO); }

static SDL_AudioFormat FormatOf(const SysAudioFormat &f)
{
    if (f.bits == 8)
        return f.isSigned ? AUDIO_S8 : AUDIO_U8;
    if (f.bits == 32)
        return f.isFloat ? AUDIO_F32SYS : AUDIO_S32SYS;
    return AUDIO_S16SYS;
}

bool Sys_AudioOpen(const SysAudioFormat &want, int frames, void (*fill)(uint8_t *stream, int bytes), SysAudioFormat &have)
{
    SDL_AudioSpec ask = {};
    ask.freq = want.rate;
    ask.format = FormatOf(want);
    ask.channels = (Uint8)want.channels;
    ask.samples = (Uint16)frames;
    ask.callback = Fill;
    fillDevice = fill;
    SDL_AudioSpec got = {};
    device = SDL_OpenAudioDevice(nullptr, 0, &ask, &got, SDL_AUDIO_ALLOW_ANY_CHANGE);
    if (!device) {
        error = SDL_GetError();
        return false;
    }
    have.rate = got.freq;
    have.channels = got.channels;
    have.bits = SDL_AUDIO_BITSIZE(got.format);
    have.isFloat = SDL_AUDIO_ISFLOAT(got.format) != 0;
    have.isSigned = SDL_AUDIO_ISSIGNED(got.format) != 0;
    have.bigEndian = SDL_AUDIO_ISBIGENDIAN(got.format) != 0;
    return true;
}

void Sys_AudioRun() { SDL_PauseAudioDevice(device, 0); }

void Sys_AudioClose()
{
    if (device)
        SDL_CloseAudioDevice(device);
    device = 0;
}

bool Sys_AudioLost() { return device && SDL_GetAudioDeviceStatus(device) == SDL_AUDIO_STOPPED; }

void Sys_AudioLock()
{
    if (device)
        SDL_LockAudioDevice(device);
}

void Sys_AudioUnlock()
{
    if (device)
        SDL_UnlockAudioDevice(device);
}

const char *Sys_AudioError() { return error.c_str(); }

// What an unplugged device leaves behind: a handle SDL reports as stopped.
void Sys_AudioLoseDevice()
{
    if (device)
        SDL_CloseAudioDevice(device);
}

// SDL_AUDIO_FREQUENCY, as SDL itself reads it, lets the mix be heard and measured through a device of any rate.
int Sys_AudioWantedRate(int askRate)
{
    const char *env = getenv("SDL_AUDIO_FREQUENCY");
    int rate = env ? atoi(env) : 0;
    return rate >= 8000 && rate <= 192000 ? rate : askRate;
}

// ALSA writes its reasons for a failed open straight to stderr, some eight lines a try. The
// first try shows them; the retries after it are hushed, and a device that opens lifts the hush.
static void QuietAlsa(const char *, int, const char *, int, const char *, ...) {}
void Sys_AudioHush(bool hush)
{
    void *lib = dlopen("libasound.so.2", RTLD_LAZY | RTLD_NOLOAD); // only if SDL has loaded it
    if (!lib)
        return;
    typedef void (*Handler)(const char *, int, const char *, int, const char *, ...);
    int (*setHandler)(Handler) = (int (*)(Handler))dlsym(lib, "snd_lib_error_set_handler");
    if (setHandler)
        setHandler(hush ? QuietAlsa : nullptr);
    dlclose(lib);
}
