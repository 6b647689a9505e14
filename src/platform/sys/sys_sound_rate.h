// Decoded sound turned into what the mixer plays: stereo floats at the device's rate, resampled once, whole.
#pragma once

#include "sys_sound_decode.h"

#include <vector>

// The sound as interleaved stereo floats (a 16-bit sample s becomes s / 32768) at rate. When the
// rates differ the whole sound goes through a band-limited sinc resampler in one pass, so nothing
// drifts or steps between blocks; a looping sound is resampled as a loop, its end running on into
// its start, so the seam stays clean. False, with out empty, when memory or the resampler fails.
bool Sys_SoundToStereo(const SysPcm &pcm, int rate, bool loop, std::vector<float> &out);
