// The generator's own stroke typeface and text drawing onto canvases.
#pragma once

#include "ag_raster.h"

#include <string>

// Glyphs are drawn in units: capitals span y 0..10, lower case 4..10, descenders to 13.
struct AG_TextStyle {
    float size = 12;      // cap height in pixels
    float stroke = 1.6f;  // stroke width in pixels
    float spacing = 2.0f; // gap between glyphs, in units
    float slant = 0.12f;  // italic shear (x shift per unit of height above the baseline)
    AG_Colour top = {0.85f, 0.97f, 1.0f};
    AG_Colour bottom = {0.3f, 0.75f, 1.0f};
    AG_Colour outline = {0.03f, 0.05f, 0.12f};
    float outlineWidth = 1.2f; // pixels beyond the stroke
    bool solid = true;
};

// Advance of one glyph and of a text, in pixels for the style.
float AG_GlyphAdvance(char c, const AG_TextStyle &st);
float AG_TextWidth(const std::string &text, const AG_TextStyle &st);
bool AG_HasGlyph(char c);
// Draws text with the top of its capitals at y; returns the pen x after the text.
float AG_DrawText(AG_Canvas &cv, float x, float y, const std::string &text, const AG_TextStyle &st);
// Draws text centred on cx.
void AG_DrawTextCentred(AG_Canvas &cv, float cx, float y, const std::string &text, const AG_TextStyle &st);
