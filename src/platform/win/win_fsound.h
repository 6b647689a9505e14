// Sound library stand-in (the FSOUND_ calls the game makes) over the platform's audio device: samples and channels.
#pragma once

#include <vector>

struct FSOUND_SAMPLE; // a whole sound file decoded into memory
struct FSOUND_DSPUNIT;

#define FSOUND_FREE -1 // any free channel, or any sample slot
#define FSOUND_ALL -3  // every channel, where a call takes a channel
#define FSOUND_LOOP_OFF 0x00000001u
#define FSOUND_LOOP_NORMAL 0x00000002u
#define FSOUND_LOADMEMORY 0x00008000u // the name is the file's bytes, the length their count

// Largest sound file loaded; a larger one is refused unread.
enum { SYS_SOUND_MAX_FILE_BYTES = 64 << 20 };

// False when no audio device could be opened: everything then goes on working, silently.
signed char FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int flags);
// Stops every channel and releases every sample.
void FSOUND_Close();
// Loads a whole WAV or Ogg Vorbis file; null when it is missing or cannot be decoded.
// offset and length pick a part of the file (0, 0: all of it).
FSOUND_SAMPLE *FSOUND_Sample_Load(int index, const char *name, unsigned int mode, int offset, int length);
void FSOUND_Sample_Free(FSOUND_SAMPLE *sample);
// Starts the sample on a free channel and returns the channel's handle, or -1.
int FSOUND_PlaySoundEx(int channel, FSOUND_SAMPLE *sample, FSOUND_DSPUNIT *dsp, signed char startpaused);
signed char FSOUND_SetVolume(int channel, int volume); // 0 to 255
signed char FSOUND_SetPaused(int channel, signed char paused);
signed char FSOUND_StopSound(int channel);
void FSOUND_SetSFXMasterVolume(int volume); // 0 to 255, multiplies every channel's volume
int FSOUND_GetSFXMasterVolume();

// Called once a frame with the clock in milliseconds: notices a device that has gone and opens the
// default one again, at once and then after gaps doubling from a second up to a minute, saying
// so once on stderr; until then sound is silent.
void Sys_SoundUpdate(unsigned nowMs);

// What the stand-in holds, for tests.
struct SysSoundChannel {
    bool playing;          // started and not yet finished or stopped (paused counts as playing)
    FSOUND_SAMPLE *sample;
    int volume;            // 0 to 255 as set
    int mixVolume;         // the mixer's gain in 128ths, master volume applied
    bool paused;
    bool looping;
};
// By channel handle; false when the handle names no channel or a channel since reused.
bool Sys_SoundChannel(int handle, SysSoundChannel &out);
int Sys_SoundPlayingChannels();            // channels playing now
// Channels playing this sample, their handles (lowest channel first) added to handles if given.
int Sys_SoundChannelsPlaying(FSOUND_SAMPLE *sample, std::vector<int> *handles = nullptr);
int Sys_SoundLiveSamples();                // samples loaded and not yet freed
int Sys_SoundLoads();                      // successful loads since start-up
const char *Sys_SoundSampleName(FSOUND_SAMPLE *sample); // the file it came from, "" if unknown
bool Sys_SoundAudible();                   // an audio device is open
// Test hooks for devices: one that goes away as if unplugged, opens that fail, and a device
// format to ask for (8, 16 or 32 bits, 0 for the mixer's own) as if the device offered only that.
void Sys_SoundLoseDevice();
void Sys_SoundRefuseDevices(bool refuse);
void Sys_SoundAskFormat(int bits, bool floating, int channels, int rate);
int Sys_SoundOpenAttempts();               // device opens tried since start-up
bool Sys_SoundConverting();                // the open device took a format or rate other than the asked mix's
int Sys_SoundMixRate();                    // the rate the mixer runs and samples are held at: the device's
