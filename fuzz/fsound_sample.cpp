// Fuzz target: sound samples (WAV and Ogg Vorbis) loaded whole by the sound library stand-in.
#include "win_fsound.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static bool started = false;
    if (!started) {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        FSOUND_Init(44100, 32, 0);
        started = true;
    }
    if (size == 0 || size > (1u << 20))
        return 0;
    FSOUND_SAMPLE *sample =
        FSOUND_Sample_Load(FSOUND_FREE, (const char *)data, FSOUND_LOADMEMORY | FSOUND_LOOP_OFF, 0, (int)size);
    if (sample) {
        int channel = FSOUND_PlaySoundEx(FSOUND_FREE, sample, nullptr, 1);
        FSOUND_SetVolume(channel, 128);
        FSOUND_Sample_Free(sample);
    }
    return 0;
}
