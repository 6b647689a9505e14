// Background music (one looping piece, preloadable, with volume and fade) and one-shot effects.
#include "kx_sound.h"
#include "dd_log.h"

#include <algorithm>

const char *const MusicName[KX_SOUND_NUM_MUSIC] = { "sound\\cybertime.ogg", "sound\\cyberloop.ogg" };
const char *const FxName[KX_SOUND_NUM_FX] = { "sound\\laser.wav",    "sound\\expl01.wav",      "sound\\expl02.wav",
                                              "sound\\electro.wav",  "sound\\level_ready.wav", "sound\\end_level.wav" };

FSOUND_SAMPLE *Sample[KX_SOUND_NUM_FX];
FSOUND_SAMPLE *Stream = nullptr;
int StreamChannel = -1;
KX_SOUND_MusicType CurrentMusic = KX_MUSIC_NONE;
FSOUND_SAMPLE *NewStream = nullptr;
KX_SOUND_MusicType NewMusic = KX_MUSIC_NONE;
int MusicVol = 80;
int SoundFxVol = 100;
int MusicFade = 0;

static int Volume255(int percent) { return percent * 255 / 100; }

static bool Playable(KX_SOUND_MusicType music) { return music == KX_MUSIC_TITLE || music == KX_MUSIC_GAME; }

// The game plays on silent without its music; the log says which file and why.
static FSOUND_SAMPLE *LoadMusic(KX_SOUND_MusicType music)
{
    FSOUND_SAMPLE *sample = FSOUND_Sample_Load(FSOUND_FREE, MusicName[music], FSOUND_LOOP_NORMAL, 0, 0);
    if (!sample) {
        DDErrorLog("LoadMusic failed");
        DDLogFile(MusicName[music], SYS_SOUND_MAX_FILE_BYTES);
    }
    return sample;
}

static void ApplyMusicVolume()
{
    if (Stream)
        FSOUND_SetVolume(StreamChannel, Volume255(MusicVol) * (100 - MusicFade) / 100);
}

void KX_SOUND_Initialise()
{
    FSOUND_Init(44100, 32, 0);
    for (int i = 0; i < KX_SOUND_NUM_FX; i++) {
        Sample[i] = FSOUND_Sample_Load(FSOUND_FREE, FxName[i], FSOUND_LOOP_OFF, 0, 0);
        if (!Sample[i]) {
            DDErrorLog("LoadSample failed");
            DDLogFile(FxName[i], SYS_SOUND_MAX_FILE_BYTES);
        }
    }
    FSOUND_SetSFXMasterVolume(Volume255(SoundFxVol));
}

void KX_SOUND_Cleanup()
{
    FSOUND_Close();
    // The library released every sample: forget them so that nothing uses them afterwards.
    std::fill(Sample, Sample + KX_SOUND_NUM_FX, nullptr);
    Stream = nullptr;
    StreamChannel = -1;
    NewStream = nullptr;
    NewMusic = KX_MUSIC_NONE;
    CurrentMusic = KX_MUSIC_NONE;
}

void KX_SOUND_LoadNewMusic(KX_SOUND_MusicType music)
{
    if (!Playable(music))
        return;
    FSOUND_Sample_Free(NewStream); // an earlier preload not yet played
    NewStream = LoadMusic(music);
    NewMusic = music;
}

void KX_SOUND_PlayMusic(KX_SOUND_MusicType music)
{
    if (!Playable(music) || music == CurrentMusic)
        return;
    if (Stream) {
        FSOUND_StopSound(StreamChannel);
        FSOUND_Sample_Free(Stream);
        Stream = nullptr;
    }
    if (music == NewMusic) {
        Stream = NewStream;
        NewStream = nullptr;
        NewMusic = KX_MUSIC_NONE;
    } else {
        Stream = LoadMusic(music);
    }
    StreamChannel = FSOUND_PlaySoundEx(FSOUND_FREE, Stream, nullptr, 1);
    FSOUND_SetVolume(StreamChannel, Volume255(MusicVol));
    FSOUND_SetPaused(StreamChannel, 0);
    CurrentMusic = music;
}

void KX_SOUND_StopMusic()
{
    if (!Stream)
        return;
    FSOUND_StopSound(StreamChannel);
    FSOUND_Sample_Free(Stream);
    Stream = nullptr;
    StreamChannel = -1;
}

KX_SOUND_MusicType KX_SOUND_CurrentMusic() { return CurrentMusic; }

void KX_SOUND_SetMusicVolume(int volume)
{
    MusicVol = std::clamp(volume, 0, 100);
    ApplyMusicVolume();
}

void KX_SOUND_SetMusicFade(int fade)
{
    MusicFade = std::clamp(fade, 0, 100);
    ApplyMusicVolume();
}

// Every channel, music and effects alike: nothing else is ever paused for long.
void KX_SOUND_Pause(bool paused) { FSOUND_SetPaused(FSOUND_ALL, paused ? 1 : 0); }

void KX_SOUND_SetFxVolume(int volume) { SoundFxVol = std::clamp(volume, 0, 100); }

void KX_SOUND_PlayFx(KX_SOUND_FxType fx)
{
    if ((int)fx < 0 || (int)fx >= KX_SOUND_NUM_FX || !Sample[fx])
        return;
    int channel = FSOUND_PlaySoundEx(FSOUND_FREE, Sample[fx], nullptr, 1);
    FSOUND_SetVolume(channel, Volume255(SoundFxVol));
    FSOUND_SetPaused(channel, 0);
}
