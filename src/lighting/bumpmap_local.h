// Internals shared by the lighting module's own files.
#pragma once

#include "bumpmap.h"

// Writes count pixels from three colour planes into a locked surface row in the surface's format
// (16, 24 or 32 bits; the fourth byte of 32-bit pixels is kept). Null for other depths.
typedef void (*Bumpmap_RowWriter)(uint8_t *dest, const uint8_t *red, const uint8_t *green, const uint8_t *blue,
                                  int count);
Bumpmap_RowWriter Bumpmap_SelectRowWriter(int depth);

// Writes the static planes into StaticImage; false when it cannot be locked, and then it is
// painted when next restored or drawn.
bool Bumpmap_PaintStaticImage();
// Paints StaticImage if an earlier paint could not lock it.
void Bumpmap_RepaintIfStale();

// Planar copies for the vector loops, per area pixel: the normal by component (made with
// AreaNormals) and the surface colour by channel (made with AreaColIdx, and made again by a frame
// that finds ColourPalette changed since).
extern int16_t *AreaNormX, *AreaNormY, *AreaNormZ;
extern uint8_t *AreaPalRed, *AreaPalGreen, *AreaPalBlue;
extern bool AreaColoursStale;
extern PALETTEENTRY AreaColoursPalette[256]; // the palette the colour planes were made with

// True (the default): the eight-lane loops where the processor has them; false: the plain ones.
// Tests compare the two.
extern bool BumpmapVectorLoops;

// One light's square after clipping: area coordinates of its first pixel, its size, first cell.
struct LightSquare {
    const TLightSpec *spec;
    int ax, ay, w, h;
    int cx, cy;
};

// Columns [a, b) of the area.
struct Span {
    int a, b;
};

#if defined(__SSE2__)
// Lights the clipped squares of the frame in slot order and writes them to the back buffer (the
// same frame as the plain reset, add and write passes); spans is room for count entries.
void Bumpmap_DrawLightsVector(const LightSquare *list, int count, Span *spans, Bumpmap_RowWriter write, int bytes);
#endif
