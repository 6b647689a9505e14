// A temporary working directory with small sound files, and the dummy audio driver for tests.
#pragma once

#include "win_fsound.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// SDL's disk driver as the device, writing what it plays to file at 16-bit stereo and rate; it
// runs through a buffer a millisecond, far ahead of real time, so tests wait on no clock.
inline void UseDiskDevice(const std::string &file, int rate, int msPerBuffer = 1)
{
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", std::to_string(msPerBuffer).c_str(), 1);
    Sys_SoundAskFormat(16, false, 2, rate);
}

// Writes a 16-bit mono WAV of silence lasting ms milliseconds at 8000 Hz.
inline void WriteWav(const std::string &path, int ms)
{
    uint32_t frames = 8 * (uint32_t)ms, bytes = frames * 2;
    auto le32 = [](std::vector<uint8_t> &v, uint32_t x) {
        for (int i = 0; i < 4; i++)
            v.push_back((uint8_t)(x >> (8 * i)));
    };
    auto le16 = [](std::vector<uint8_t> &v, uint16_t x) {
        v.push_back((uint8_t)x);
        v.push_back((uint8_t)(x >> 8));
    };
    std::vector<uint8_t> d = { 'R', 'I', 'F', 'F' };
    le32(d, 36 + bytes);
    for (char c : std::string("WAVEfmt "))
        d.push_back((uint8_t)c);
    le32(d, 16);
    le16(d, 1);
    le16(d, 1);
    le32(d, 8000);
    le32(d, 16000);
    le16(d, 2);
    le16(d, 16);
    for (char c : std::string("data"))
        d.push_back((uint8_t)c);
    le32(d, bytes);
    d.resize(d.size() + bytes, 0);
    FILE *f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fwrite(d.data(), 1, d.size(), f);
    fclose(f);
}

inline std::string TinyOgg() { return std::string(KORDAX_SOURCE_DIR) + "/fuzz/corpus/fsound_sample/tiny.ogg"; }

// Runs the test inside a fresh directory holding sound/, with the dummy audio driver; puts the
// old directory, the audio variables and the device hooks back afterwards.
class SoundDir {
public:
    SoundDir()
    {
        for (const char *v : Variables)
            saved.push_back(getenv(v) ? std::optional<std::string>(getenv(v)) : std::nullopt);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        old = std::filesystem::current_path();
        char tmpl[] = "/tmp/kx_sound_XXXXXX";
        dir = mkdtemp(tmpl);
        std::filesystem::create_directory(dir / "sound");
        std::filesystem::current_path(dir);
    }
    ~SoundDir()
    {
        FSOUND_Close();
        Sys_SoundAskFormat(0, false, 0, 0);
        Sys_SoundRefuseDevices(false);
        for (size_t i = 0; i < saved.size(); i++)
            saved[i] ? (void)setenv(Variables[i], saved[i]->c_str(), 1) : (void)unsetenv(Variables[i]);
        std::filesystem::current_path(old);
        std::filesystem::remove_all(dir);
    }
    // Every file the game's sound module loads: one-second effects and the Ogg music.
    void WriteGameFiles()
    {
        for (const char *fx : { "laser", "expl01", "expl02", "electro", "level_ready", "end_level" })
            WriteWav("sound/" + std::string(fx) + ".wav", 1000);
        for (const char *music : { "cybertime", "cyberloop" })
            std::filesystem::copy_file(TinyOgg(), "sound/" + std::string(music) + ".ogg");
    }

private:
    static constexpr const char *Variables[] = { "SDL_AUDIODRIVER", "SDL_DISKAUDIOFILE", "SDL_DISKAUDIODELAY" };
    std::vector<std::optional<std::string>> saved;
    std::filesystem::path old, dir;
};
