// The generator's own stroke typeface and text drawing onto canvases.
#include "ag_text.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct AG_GlyphDef {
    char c;
    float width;
    const char *strokes; // polylines "x,y x,y|x,y ..." in units
};

// An angular, chamfered face drawn for this game.
const AG_GlyphDef AG_Glyphs[] = {
    {' ', 4, ""},
    {'!', 2, "1,0 1,7|1,9.6 1,10"},
    {'"', 4, "1,0 1,2.5|3,0 3,2.5"},
    {'#', 6, "2,1 1,9|5,1 4,9|0,3.5 6,3.5|0,6.5 6,6.5"},
    {'$', 6, "6,1 2,1 0,2.5 0,3.5 2,5 4,5 6,6.5 6,7.5 4,9 0,9|3,-0.5 3,10.5"},
    {'%', 6, "0,0 2,0 2,2 0,2 0,0|4,8 6,8 6,10 4,10 4,8|6,0 0,10"},
    {'&', 6, "6,10 1,3 1,1 2,0 3,0 4,1 4,2 0,6 0,9 1,10 3,10 6,6"},
    {'\'', 2, "1,0 1,2.5"},
    {'(', 3, "3,-1 1,1 1,9 3,11"},
    {')', 3, "0,-1 2,1 2,9 0,11"},
    {'*', 6, "3,1 3,7|0.5,2.5 5.5,5.5|5.5,2.5 0.5,5.5"},
    {'+', 6, "3,3 3,9|0,6 6,6"},
    {',', 2, "1,9 1,10 0,12"},
    {'-', 5, "0,6 5,6"},
    {'.', 2, "1,9.6 1,10"},
    {'/', 6, "6,0 0,10"},
    {'0', 6, "2,0 4,0 6,2 6,8 4,10 2,10 0,8 0,2 2,0|4.5,3 1.5,7"},
    {'1', 6, "1,2 3,0 3,10|1,10 5,10"},
    {'2', 6, "0,2 2,0 4,0 6,2 6,4 0,10 6,10"},
    {'3', 6, "0,0 6,0 3,4 4,4 6,6 6,8 4,10 2,10 0,8"},
    {'4', 6, "5,10 5,0 0,7 6,7"},
    {'5', 6, "6,0 0,0 0,4 4,4 6,6 6,8 4,10 0,10"},
    {'6', 6, "5,0 2,0 0,2 0,8 2,10 4,10 6,8 6,6 4,4 0,4"},
    {'7', 6, "0,0 6,0 6,2 2,10"},
    {'8', 6, "2,0 4,0 6,2 6,3 4,5 2,5 0,3 0,2 2,0|2,5 4,5 6,7 6,8 4,10 2,10 0,8 0,7 2,5"},
    {'9', 6, "6,6 2,6 0,4 0,2 2,0 4,0 6,2 6,8 4,10 1,10"},
    {':', 2, "1,3.6 1,4|1,9.6 1,10"},
    {';', 2, "1,3.6 1,4|1,9 1,10 0,12"},
    {'<', 5, "5,2 0,6 5,10"},
    {'=', 5, "0,4.5 5,4.5|0,7.5 5,7.5"},
    {'>', 5, "0,2 5,6 0,10"},
    {'?', 6, "0,2 2,0 4,0 6,2 6,3 3,6 3,7|3,9.6 3,10"},
    {'@', 7, "5,4 3,4 2,5 2,7 3,8 5,8 5,3|5,8 7,8 7,2 5,0 2,0 0,2 0,8 2,10 6,10"},
    {'A', 6, "0,10 0,3 3,0 6,3 6,10|0,6 6,6"},
    {'B', 6, "0,5 4,5 6,7 6,8 4,10 0,10 0,0 4,0 6,2 6,3 4,5"},
    {'C', 6, "6,0 2,0 0,2 0,8 2,10 6,10"},
    {'D', 6, "0,0 4,0 6,2 6,8 4,10 0,10 0,0"},
    {'E', 6, "6,0 0,0 0,10 6,10|0,5 4,5"},
    {'F', 6, "6,0 0,0 0,10|0,5 4,5"},
    {'G', 6, "6,0 2,0 0,2 0,8 2,10 6,10 6,5 3,5"},
    {'H', 6, "0,0 0,10|6,0 6,10|0,5 6,5"},
    {'I', 4, "0,0 4,0|2,0 2,10|0,10 4,10"},
    {'J', 6, "6,0 6,8 4,10 2,10 0,8"},
    {'K', 6, "6,0 1,5 6,10|0,0 0,10|0,5 1,5"},
    {'L', 6, "0,0 0,10 6,10"},
    {'M', 8, "0,10 0,0 4,5 8,0 8,10"},
    {'N', 6, "0,10 0,0 6,10 6,0"},
    {'O', 6, "2,0 4,0 6,2 6,8 4,10 2,10 0,8 0,2 2,0"},
    {'P', 6, "0,10 0,0 4,0 6,2 6,4 4,6 0,6"},
    {'Q', 6, "2,0 4,0 6,2 6,8 4,10 2,10 0,8 0,2 2,0|3.5,7.5 6.5,11"},
    {'R', 6, "0,10 0,0 4,0 6,2 6,4 4,6 0,6|3,6 6,10"},
    {'S', 6, "6,0 2,0 0,2 0,3 2,5 4,5 6,7 6,8 4,10 0,10"},
    {'T', 6, "0,0 6,0|3,0 3,10"},
    {'U', 6, "0,0 0,8 2,10 4,10 6,8 6,0"},
    {'V', 6, "0,0 3,10 6,0"},
    {'W', 8, "0,0 2,10 4,4 6,10 8,0"},
    {'X', 6, "0,0 6,10|6,0 0,10"},
    {'Y', 6, "0,0 3,5 6,0|3,5 3,10"},
    {'Z', 6, "0,0 6,0 0,10 6,10"},
    {'[', 3, "3,-1 1,-1 1,11 3,11"},
    {'\\', 6, "0,0 6,10"},
    {']', 3, "0,-1 2,-1 2,11 0,11"},
    {'^', 6, "0,4 3,0 6,4"},
    {'_', 6, "0,12 6,12"},
    {'`', 2, "0,0 2,2"},
    {'a', 5, "0,4 4,4 5,5 5,10|5,7 1,7 0,8 0,9 1,10 5,10"},
    {'b', 5, "0,0 0,10 4,10 5,9 5,5 4,4 0,4"},
    {'c', 5, "5,4 1,4 0,5 0,9 1,10 5,10"},
    {'d', 5, "5,0 5,10 1,10 0,9 0,5 1,4 5,4"},
    {'e', 5, "0,7 5,7 5,5 4,4 1,4 0,5 0,9 1,10 5,10"},
    {'f', 4, "4,0 3,0 2,1 2,10|0,4 4,4"},
    {'g', 5, "5,4 5,12 4,13 0,13|5,10 1,10 0,9 0,5 1,4 5,4"},
    {'h', 5, "0,0 0,10|0,4 4,4 5,5 5,10"},
    {'i', 2, "1,4 1,10|1,1.6 1,2"},
    {'j', 3, "3,4 3,12 2,13 0,13|3,1.6 3,2"},
    {'k', 5, "5,4 1,7 0,7|0,0 0,10|1,7 5,10"},
    {'l', 2, "1,0 1,9 2,10"},
    {'m', 8, "0,10 0,4 3,4 4,5 4,10|4,5 5,4 7,4 8,5 8,10"},
    {'n', 5, "0,10 0,4 4,4 5,5 5,10"},
    {'o', 5, "1,4 4,4 5,5 5,9 4,10 1,10 0,9 0,5 1,4"},
    {'p', 5, "0,13 0,4 4,4 5,5 5,9 4,10 0,10"},
    {'q', 5, "5,13 5,4 1,4 0,5 0,9 1,10 5,10"},
    {'r', 5, "0,10 0,4|0,6 2,4 5,4"},
    {'s', 5, "5,4 1,4 0,5 0,6 1,7 4,7 5,8 5,9 4,10 0,10"},
    {'t', 4, "2,1 2,9 3,10 4,10|0,4 4,4"},
    {'u', 5, "0,4 0,9 1,10 5,10 5,4"},
    {'v', 5, "0,4 2.5,10 5,4"},
    {'w', 8, "0,4 2,10 4,6 6,10 8,4"},
    {'x', 5, "0,4 5,10|5,4 0,10"},
    {'y', 5, "0,4 0,9 1,10 5,10|5,4 5,12 4,13 0,13"},
    {'z', 5, "0,4 5,4 0,10 5,10"},
    {'{', 4, "4,-1 3,-1 2,0 2,4 1,5 2,6 2,10 3,11 4,11"},
    {'|', 2, "1,-1 1,11"},
    {'}', 4, "0,-1 1,-1 2,0 2,4 3,5 2,6 2,10 1,11 0,11"},
    {'~', 6, "0,6 1,5 2,5 4,7 5,7 6,6"},
};

const AG_GlyphDef *AG_FindGlyph(char c)
{
    for (const AG_GlyphDef &g : AG_Glyphs)
        if (g.c == c)
            return &g;
    return nullptr;
}

struct AG_Seg {
    float ax, ay, bx, by;
};

// The glyph's segments in units; a polyline of one point is a dot.
std::vector<AG_Seg> AG_GlyphSegs(const AG_GlyphDef &g)
{
    std::vector<AG_Seg> segs;
    const char *p = g.strokes;
    while (*p) {
        std::vector<float> pts;
        while (*p && *p != '|') {
            if (*p == ' ') {
                p++;
                continue;
            }
            char *end;
            float x = std::strtof(p, &end);
            p = end + 1; // skip ','
            float y = std::strtof(p, &end);
            p = end;
            pts.push_back(x);
            pts.push_back(y);
        }
        if (*p == '|')
            p++;
        size_t n = pts.size() / 2;
        if (n == 1)
            segs.push_back({pts[0], pts[1], pts[0], pts[1]});
        for (size_t i = 1; i < n; i++)
            segs.push_back({pts[i * 2 - 2], pts[i * 2 - 1], pts[i * 2], pts[i * 2 + 1]});
    }
    return segs;
}

} // namespace

bool AG_HasGlyph(char c) { return AG_FindGlyph(c) != nullptr; }

float AG_GlyphAdvance(char c, const AG_TextStyle &st)
{
    const AG_GlyphDef *g = AG_FindGlyph(c);
    float u = st.size / 10.0f;
    return g ? (g->width + st.spacing) * u : 0;
}

float AG_TextWidth(const std::string &text, const AG_TextStyle &st)
{
    float w = 0;
    for (char c : text)
        w += AG_GlyphAdvance(c, st);
    // The last glyph needs no trailing gap.
    return text.empty() ? 0 : w - st.spacing * st.size / 10.0f;
}

float AG_DrawText(AG_Canvas &cv, float x, float y, const std::string &text, const AG_TextStyle &st)
{
    float u = st.size / 10.0f;
    float r = st.stroke * 0.5f, ro = r + st.outlineWidth;
    struct Placed {
        std::vector<AG_Seg> segs;
        float x0, y0, x1, y1;
    };
    std::vector<Placed> placed;
    float pen = x;
    for (char c : text) {
        const AG_GlyphDef *g = AG_FindGlyph(c);
        if (!g)
            continue;
        Placed pl;
        pl.x0 = 1e9f;
        pl.y0 = 1e9f;
        pl.x1 = -1e9f;
        pl.y1 = -1e9f;
        for (AG_Seg s : AG_GlyphSegs(*g)) {
            // Shear around the baseline for the slant.
            AG_Seg t = {pen + (s.ax + (10 - s.ay) * st.slant) * u, y + s.ay * u, pen + (s.bx + (10 - s.by) * st.slant) * u,
                        y + s.by * u};
            pl.segs.push_back(t);
            pl.x0 = std::fmin(pl.x0, std::fmin(t.ax, t.bx));
            pl.x1 = std::fmax(pl.x1, std::fmax(t.ax, t.bx));
            pl.y0 = std::fmin(pl.y0, std::fmin(t.ay, t.by));
            pl.y1 = std::fmax(pl.y1, std::fmax(t.ay, t.by));
        }
        if (!pl.segs.empty())
            placed.push_back(pl);
        pen += (g->width + st.spacing) * u;
    }
    auto dist = [](const Placed &pl, float px, float py) {
        float d = 1e9f;
        for (const AG_Seg &s : pl.segs)
            d = std::fmin(d, AG_SegDist(px, py, s.ax, s.ay, s.bx, s.by));
        return d;
    };
    if (st.outlineWidth > 0)
        for (const Placed &pl : placed)
            cv.Paint(pl.x0 - ro, pl.y0 - ro, pl.x1 + ro, pl.y1 + ro, [&](float px, float py) {
                AG_Sample o;
                if (dist(pl, px, py) <= ro) {
                    o.c = st.outline;
                    o.a = 1;
                    o.solid = st.solid;
                }
                return o;
            });
    float capTop = y, capBottom = y + 10 * u;
    for (const Placed &pl : placed)
        cv.Paint(pl.x0 - r, pl.y0 - r, pl.x1 + r, pl.y1 + r, [&](float px, float py) {
            AG_Sample o;
            float d = dist(pl, px, py);
            if (d <= r) {
                float t = AG_Clamp((py - capTop) / (capBottom - capTop), 0, 1);
                o.c = AG_Mix(st.top, st.bottom, t);
                // A lighter core along the stroke's centre gives the type a rounded, lit look.
                float core = 1 - d / (r > 0 ? r : 1);
                o.c = AG_Add(o.c, AG_Scale({1, 1, 1}, 0.18f * core * core));
                o.a = 1;
                o.solid = st.solid;
            }
            return o;
        });
    return pen;
}

void AG_DrawTextCentred(AG_Canvas &cv, float cx, float y, const std::string &text, const AG_TextStyle &st)
{
    AG_DrawText(cv, cx - AG_TextWidth(text, st) * 0.5f, y, text, st);
}
