// The audio device under the sound stand-in: the default device, opened in whatever format it offers, fed on its own thread.
#pragma once

#include <cstdint>

struct SysAudioFormat {
    int rate = 0;
    int channels = 0;
    int bits = 0; // 8, 16 or 32 per sample
    bool isFloat = false, isSigned = true, bigEndian = false;
};

// The audio subsystem (a silent one in headless runs); false when there is none.
bool Sys_AudioStart();
void Sys_AudioStop();
// The rate to ask a device for: rate, unless the desktop's own setting names another.
int Sys_AudioWantedRate(int rate);
// Opens the default device, asking for want in periods of frames; the device may take another
// format (have). fill then runs on the device's thread, with the device locked, once started.
// False with the reason in Sys_AudioError().
bool Sys_AudioOpen(const SysAudioFormat &want, int frames, void (*fill)(uint8_t *stream, int bytes), SysAudioFormat &have);
void Sys_AudioRun();
void Sys_AudioClose();
// The open device has stopped by itself (unplugged, or its server went away).
bool Sys_AudioLost();
// Holds the device's thread off while the channels change.
void Sys_AudioLock();
void Sys_AudioUnlock();
const char *Sys_AudioError();
// Quiets the sound system's own complaints while a missing device is looked for again.
void Sys_AudioHush(bool hush);
// For tests: the device goes as if unplugged.
void Sys_AudioLoseDevice();
