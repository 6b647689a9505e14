// Music and effects (placeholder until sound lands).
#include "kx_sound.h"

void KX_SOUND_Initialise() {}
void KX_SOUND_Cleanup() {}
void KX_SOUND_LoadNewMusic(KX_SOUND_MusicType) {}
KX_SOUND_MusicType KX_SOUND_CurrentMusic() { return KX_MUSIC_NONE; }
