// File writers for the asset generator: BMP (24, 8 and 1 bit), WAV, text, and output paths.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The run directory chosen on the command line; every file goes under it.
void AG_SetRunDir(const std::string &dir);
std::string AG_GfxPath(const std::string &name);
std::string AG_SoundPath(const std::string &name);
// Creates the run folder (one level) and its gfx/ and sound/; returns why it cannot, or "".
std::string AG_MakeDirs();

// rgb: width x height pixels as R,G,B bytes, rows top to bottom.
void AG_WriteBMP24(const std::string &path, int width, int height, const std::vector<uint8_t> &rgb);
// idx: one palette index per pixel, rows top to bottom; palette: 256 R,G,B triples.
void AG_WriteBMP8(const std::string &path, int width, int height, const std::vector<uint8_t> &idx,
                  const std::vector<uint8_t> &palette);
// bits: one byte per pixel (0 or 1), rows top to bottom.
void AG_WriteBMP1(const std::string &path, int width, int height, const std::vector<uint8_t> &bits);
// PCM 16-bit at 44100 Hz; samples interleaved when channels is 2.
void AG_WriteWAV(const std::string &path, const std::vector<int16_t> &samples, int channels);
// Writes the file whole or not at all (through a temporary twin renamed into place).
void AG_WriteBytes(const std::string &path, const std::vector<uint8_t> &bytes);
void AG_WriteText(const std::string &path, const std::string &text);

// Every failure to write is fatal for the generator: the build must not go on with missing files.
[[noreturn]] void AG_Fail(const std::string &what);
