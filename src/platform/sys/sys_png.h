// A small PNG writer (zlib-compressed) for screenshots, contact sheets and icons.
#pragma once

#include <cstddef>
#include <cstdint>

// rgb holds width x height pixels as R,G,B bytes, rows top to bottom.
bool Sys_WritePNG(const char *path, const uint8_t *rgb, int width, int height);
// The same with R,G,B,A bytes (straight alpha), for icons.
bool Sys_WritePNGAlpha(const char *path, const uint8_t *rgba, int width, int height);
