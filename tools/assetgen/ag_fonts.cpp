// The two bitmap fonts and their metrics files: a fixed-width panel font and a larger variable one.
#include "ag_assets.h"
#include "ag_io.h"

#include <cstdio>

namespace {

const int AG_FirstChar = 32, AG_LastChar = 126;

// Fixed width: 11 x 16 cells, so six digits fill 66 pixels and three initials fit beside them.
void AG_Font1()
{
    const int cw = 11, ch = 16, cols = 16;
    int count = AG_LastChar - AG_FirstChar + 1, rows = (count + cols - 1) / cols;
    AG_Canvas cv(cw * cols, ch * rows, 4);
    AG_TextStyle st = AG_PlainType(10);
    st.slant = 0;
    st.stroke = 1.55f;
    st.outlineWidth = 1.0f;
    st.spacing = 0;
    for (int c = AG_FirstChar; c <= AG_LastChar; c++) {
        int n = c - AG_FirstChar;
        float x0 = float((n % cols) * cw), y0 = float((n / cols) * ch);
        std::string s(1, char(c));
        float gw = AG_TextWidth(s, st);
        AG_DrawText(cv, x0 + (cw - gw) * 0.5f, y0 + 2, s, st);
    }
    AG_SaveKeyed("kx_font1.bmp", cv.Resolve(), 0);
    char t[512];
    std::snprintf(t, sizeof t,
                  "# Panel font: fixed-width cells of 11 x 16, 16 to a row.\n"
                  "[FONT]\n[FIXED]\n1\n[FIRST_CHAR]\n%d\n[LAST_CHAR]\n%d\n[SIZE]\n(%d, %d)\n[MATRIX]\n(%d, %d)\n"
                  "[ROWS]\n[FONT_END]\n",
                  AG_FirstChar, AG_LastChar, cw, ch, cols, rows);
    AG_WriteText(AG_GfxPath("kx_font1.txt"), t);
}

// Variable width: larger amber type for the game-over lines.
void AG_Font2()
{
    const int H = 26, maxW = 400;
    AG_TextStyle st = AG_HighType(15);
    st.stroke = 2.2f;
    st.outlineWidth = 1.3f;
    st.spacing = 0;
    // Room on the left for the stroke, its outline and descenders slanting back under the baseline.
    float u = st.size / 10.0f, pad = st.stroke * 0.5f + st.outlineWidth, lean = 3 * st.slant * u + 0.5f;
    struct Cell {
        int x, y, w;
    };
    std::vector<Cell> cells;
    int x = 0, y = 0;
    for (int c = AG_FirstChar; c <= AG_LastChar; c++) {
        float ink = AG_GlyphAdvance(char(c), st) + 11 * st.slant * u + 2 * pad + lean;
        int w = int(std::ceil(ink)) + 1; // one clear column gives the gap between letters
        if (x + w > maxW) {
            x = 0;
            y += H;
        }
        cells.push_back({x, y, w});
        x += w;
    }
    AG_Canvas cv(maxW, y + H, 4);
    for (int c = AG_FirstChar; c <= AG_LastChar; c++) {
        const Cell &cl = cells[size_t(c - AG_FirstChar)];
        AG_DrawText(cv, cl.x + pad + lean, cl.y + 4, std::string(1, char(c)), st);
    }
    AG_SaveKeyed("kx_font2.bmp", cv.Resolve(), 0);
    std::string t = "# Heading font: variable width, one rectangle per character.\n"
                    "[FONT]\n[FIXED]\n0\n";
    char line[96];
    std::snprintf(line, sizeof line, "[FIRST_CHAR]\n%d\n[LAST_CHAR]\n%d\n[CHAR_RECTS]\n", AG_FirstChar, AG_LastChar);
    t += line;
    for (const Cell &cl : cells) {
        std::snprintf(line, sizeof line, "(%d, %d) - (%d, %d)\n", cl.x, cl.y, cl.x + cl.w, cl.y + H);
        t += line;
    }
    t += "[FONT_END]\n";
    AG_WriteText(AG_GfxPath("kx_font2.txt"), t);
}

} // namespace

void AG_GenFonts()
{
    AG_Font1();
    AG_Font2();
}
