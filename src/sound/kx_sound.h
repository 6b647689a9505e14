// Music and sound effects over the sound library.
#pragma once

#include "win_fsound.h"

enum KX_SOUND_MusicType { KX_MUSIC_TITLE = 0, KX_MUSIC_GAME = 1, KX_MUSIC_NONE = 2 };

enum KX_SOUND_FxType {
    KX_FX_LASER = 0,
    KX_FX_EXPL01 = 1,
    KX_FX_EXPL02 = 2,
    KX_FX_ELECTRO = 3,
    KX_FX_LEVEL_READY = 4,
    KX_FX_END_LEVEL = 5
};

enum { KX_SOUND_NUM_MUSIC = 2, KX_SOUND_NUM_FX = 6 };

extern const char *const MusicName[KX_SOUND_NUM_MUSIC];
extern const char *const FxName[KX_SOUND_NUM_FX];

extern FSOUND_SAMPLE *Sample[KX_SOUND_NUM_FX]; // null where the file failed to load
extern FSOUND_SAMPLE *Stream;                   // the music playing
extern int StreamChannel;
extern KX_SOUND_MusicType CurrentMusic;
extern FSOUND_SAMPLE *NewStream; // preloaded music, not yet playing
extern KX_SOUND_MusicType NewMusic;
extern int MusicVol;   // per cent
extern int SoundFxVol; // per cent
extern int MusicFade;  // 0 full volume, 100 silent

void KX_SOUND_Initialise();
void KX_SOUND_Cleanup();
void KX_SOUND_LoadNewMusic(KX_SOUND_MusicType music);
void KX_SOUND_PlayMusic(KX_SOUND_MusicType music);
void KX_SOUND_StopMusic();
KX_SOUND_MusicType KX_SOUND_CurrentMusic();
void KX_SOUND_SetMusicVolume(int volume);
void KX_SOUND_SetMusicFade(int fade);
void KX_SOUND_SetFxVolume(int volume);
void KX_SOUND_PlayFx(KX_SOUND_FxType fx);
void KX_SOUND_Pause(bool paused); // the music and every effect still playing
