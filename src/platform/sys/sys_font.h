// The built-in small font: text drawn through the drawing context, and notices over the picture.
#pragma once

#include <cstdint>

// Size of the built-in text font's cell.
enum { SYS_FONT_WIDTH = 6, SYS_FONT_HEIGHT = 8 };
// Whether the built-in font lights the pixel at col, row of the character's cell.
bool Sys_FontPixel(char c, int col, int row);
