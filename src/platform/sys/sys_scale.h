// The game's picture scaled onto a 32-bit surface in one pass: whole multiples by nearest neighbour, the rest blended only across the enlarged pixels' edges.
#pragma once

#include "sys_source.h"

#include <cstdint>
#include <vector>

// For each output column (or row): the source pixel it starts from and the weight (0 to 256) of
// the next one. It samples the picture enlarged multiple times by nearest neighbour and then
// stretched linearly to dstSize, as the GL path draws it; weights are 0 inside an enlarged pixel.
struct SysScaleTap {
    int first;
    int weight;
};
void Sys_ScaleTaps(int srcSize, int dstSize, int multiple, std::vector<SysScaleTap> &taps);

// Draws picture (16, 24 or 32 bits) w x h into dst (0xFFRRGGBB words, pitch in bytes); false for a
// depth it cannot read. The colours are the screenshot's colours.
bool Sys_ScalePicture(const SysPicture &picture, uint32_t *dst, int pitch, int w, int h, int multiple);
