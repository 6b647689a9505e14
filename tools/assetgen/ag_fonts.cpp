// The two bitmap fonts and their metrics files: slanted, outlined, proportional type like the captions.
#include "ag_assets.h"
#include "ag_io.h"

#include <algorithm>
#include <cstdio>

namespace {

const int AG_FirstChar = 32, AG_LastChar = 126;

struct AG_FontLook {
    std::vector<AG_TextStyle> layers; // drawn one over another at the same pen
    int height;                       // line height, which every character rectangle shares
    float top;                        // y of the capitals' top within the line
    int gap;                          // clear columns after each glyph
    int digit;                        // every digit is this wide, so numbers line up
    int space;                        // width of the space
    int rowWidth;                     // width of the bitmap; glyphs wrap onto further lines
};

// One glyph drawn alone on a line-high strip, and the columns it inks.
struct AG_GlyphPic {
    AG_Image img;
    int x0, x1;
};

AG_GlyphPic AG_DrawGlyph(char c, const AG_FontLook &lk, float pen)
{
    // Room on the left for descenders slanting back under the baseline.
    int w = int(lk.layers[0].size * 2) + 16;
    AG_Canvas cv(w, lk.height, 4);
    for (const AG_TextStyle &st : lk.layers)
        AG_DrawText(cv, 6 + pen, lk.top, std::string(1, c), st);
    AG_GlyphPic g{cv.Resolve(), w, 0};
    for (int y = 0; y < g.img.h; y++)
        for (int x = 0; x < g.img.w; x++)
            // Fainter pixels become the key colour when saved, so they need no room.
            if (g.img.At(x, y)[3] >= 0.4f) {
                g.x0 = std::min(g.x0, x);
                g.x1 = std::max(g.x1, x + 1);
            }
    if (g.x1 < g.x0)
        g.x0 = g.x1 = 0;
    return g;
}

// Of a few sub-pixel placements, the one that inks the fewest columns: tighter and crisper.
AG_GlyphPic AG_FitGlyph(char c, const AG_FontLook &lk)
{
    AG_GlyphPic best = AG_DrawGlyph(c, lk, 0);
    for (int k = 1; k < 4; k++) {
        AG_GlyphPic g = AG_DrawGlyph(c, lk, k * 0.25f);
        if (g.x1 - g.x0 < best.x1 - best.x0)
            best = g;
    }
    return best;
}

// Packs the glyphs into rows, each in a rectangle as wide as its ink (digits and the space at their
// set widths) plus the gap, and writes the bitmap and its metrics.
void AG_WriteFont(const std::string &base, const std::string &comment, const AG_FontLook &lk)
{
    struct Cell {
        int x, y, w;
        AG_GlyphPic pic;
    };
    std::vector<Cell> cells;
    int x = 0, y = 0;
    for (int c = AG_FirstChar; c <= AG_LastChar; c++) {
        Cell cl{0, 0, 0, AG_FitGlyph(char(c), lk)};
        int ink = cl.pic.x1 - cl.pic.x0;
        cl.w = (c == ' ' ? lk.space : c >= '0' && c <= '9' ? std::max(lk.digit, ink) : ink) + lk.gap;
        if (x + cl.w > lk.rowWidth) {
            x = 0;
            y += lk.height;
        }
        cl.x = x;
        cl.y = y;
        x += cl.w;
        cells.push_back(cl);
    }
    AG_Image img(lk.rowWidth, y + lk.height);
    std::string t = comment + "[FONT]\n[FIXED]\n0\n";
    char line[96];
    std::snprintf(line, sizeof line, "[FIRST_CHAR]\n%d\n[LAST_CHAR]\n%d\n[CHAR_RECTS]\n", AG_FirstChar, AG_LastChar);
    t += line;
    for (const Cell &cl : cells) {
        int ink = cl.pic.x1 - cl.pic.x0;
        // Narrow digits sit in the middle of their set width.
        AG_Over(img, AG_Crop(cl.pic.img, cl.pic.x0, 0, ink, lk.height), cl.x + (cl.w - lk.gap - ink) / 2, cl.y);
        std::snprintf(line, sizeof line, "(%d, %d) - (%d, %d)\n", cl.x, cl.y, cl.x + cl.w, cl.y + lk.height);
        t += line;
    }
    t += "[FONT_END]\n";
    AG_SaveKeyed(base + ".bmp", img, 0);
    AG_WriteText(AG_GfxPath(base + ".txt"), t);
}

// The panel font: cyan type as the panel labels, for scores, initials and short notes. Six digits
// fill 66 pixels from x = 518, and three letters fit between x = 590 and the window's edge.
void AG_Font1()
{
    AG_FontLook lk;
    AG_TextStyle st = AG_PlainType(10);
    st.slant = 0.1f;
    st.stroke = 1.6f;
    st.outlineWidth = 1.0f;
    lk.layers = {st};
    lk.height = 19; // descenders and brackets whole, and still inside the score windows
    lk.top = 3;
    lk.gap = 0; // the outlines meet, as in the captions
    lk.digit = 11;
    lk.space = 11;
    lk.rowWidth = 256;
    AG_WriteFont("kx_font1", "# Panel font: one rectangle per character; digits and the space share one width.\n", lk);
}

// The heading font: amber type with a light core, as the game-over caption above it.
void AG_Font2()
{
    AG_FontLook lk;
    AG_TextStyle rim = AG_HighType(15);
    rim.top = {1.0f, 0.75f, 0.25f};
    rim.bottom = {0.85f, 0.3f, 0.05f};
    rim.stroke = 3.0f;
    rim.outlineWidth = 1.2f;
    AG_TextStyle face = rim;
    face.stroke = 1.3f;
    face.outlineWidth = 0;
    face.top = {1.0f, 1.0f, 1.0f};
    face.bottom = {1.0f, 0.85f, 0.45f};
    lk.layers = {rim, face};
    lk.height = 28;
    lk.top = 5;
    lk.gap = 1;
    lk.digit = 0;
    lk.space = 9;
    lk.rowWidth = 400;
    AG_WriteFont("kx_font2", "# Heading font: variable width, one rectangle per character.\n", lk);
}

} // namespace

void AG_GenFonts()
{
    AG_Font1();
    AG_Font2();
}
