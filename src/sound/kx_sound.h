// Music and sound effects.
#pragma once

enum KX_SOUND_MusicType { KX_MUSIC_TITLE = 0, KX_MUSIC_GAME = 1, KX_MUSIC_NONE = 2 };

void KX_SOUND_Initialise();
void KX_SOUND_Cleanup();
void KX_SOUND_LoadNewMusic(KX_SOUND_MusicType music);
KX_SOUND_MusicType KX_SOUND_CurrentMusic();
