// Readers of the sound files the game ships: PCM WAV and Ogg Vorbis, decoded whole to 16-bit samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct SysPcm {
    int rate = 0;
    int channels = 0;             // 1 or 2
    std::vector<int16_t> samples; // interleaved frames
};

// Longest sound accepted, so a small damaged file cannot ask for unbounded memory.
enum { SYS_SOUND_MAX_SECONDS = 600 };

// Both false for damaged, truncated-to-nothing or unsupported files, never reading past size.
bool Sys_DecodeWav(const uint8_t *data, size_t size, SysPcm &pcm);
bool Sys_DecodeOgg(const uint8_t *data, size_t size, SysPcm &pcm);
// Chooses the reader by the file's first bytes.
bool Sys_DecodeSound(const uint8_t *data, size_t size, SysPcm &pcm);
// The decoded sound as a canonical 16-bit PCM WAV file image.
std::vector<uint8_t> Sys_PcmToWav(const SysPcm &pcm);
