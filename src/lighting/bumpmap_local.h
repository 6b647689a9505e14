// Internals shared by the lighting module's own files.
#pragma once

#include "bumpmap.h"

// Writes count pixels from three colour planes into a locked surface row in the surface's format
// (16, 24 or 32 bits; the fourth byte of 32-bit pixels is kept). Null for other depths.
typedef void (*Bumpmap_RowWriter)(uint8_t *dest, const uint8_t *red, const uint8_t *green, const uint8_t *blue,
                                  int count);
Bumpmap_RowWriter Bumpmap_SelectRowWriter(int depth);

// Paints StaticImage if an earlier paint could not lock it.
void Bumpmap_RepaintIfStale();

// Planar copies for the frame's vector loops, per area pixel: the normal by component (made with
// AreaNormals) and the surface colour by channel (made from AreaColIdx and ColourPalette when a
// frame finds them out of date).
extern int16_t *AreaNormX, *AreaNormY, *AreaNormZ;
extern uint8_t *AreaPalRed, *AreaPalGreen, *AreaPalBlue;
extern bool AreaColoursStale;
extern PALETTEENTRY AreaColoursPalette[256]; // the palette the colour planes were made with

// Which loops draw: 0 the plain scalar ones, 1 eight pixels at a time, 2 (the default) sixteen
// where the processor can. Tests compare every level with the others.
extern int BumpmapVectorLevel;
