// Sprite images, frame definition files, 1-bit hit masks and the review contact sheet.
#include "ag_assets.h"
#include "ag_io.h"
#include "sys_png.h"

#include <algorithm>
#include <cstdio>

static std::vector<AG_SheetEntry> AG_Sheet;

const std::vector<AG_SheetEntry> &AG_SheetEntries() { return AG_Sheet; }

namespace {

struct AG_Rect {
    int l, t, r, b;
};

// Frames of one size go in a grid; frames of differing sizes on shelves no wider than 1024.
std::vector<AG_Rect> AG_Layout(const std::vector<AG_Image> &frames, int columns, int &w, int &h)
{
    std::vector<AG_Rect> rects;
    bool same = true;
    for (const AG_Image &f : frames)
        same = same && f.w == frames[0].w && f.h == frames[0].h;
    if (same) {
        int cols = std::min(columns, int(frames.size()));
        int rows = (int(frames.size()) + cols - 1) / cols;
        w = cols * frames[0].w;
        h = rows * frames[0].h;
        for (size_t i = 0; i < frames.size(); i++) {
            int x = int(i % size_t(cols)) * frames[0].w, y = int(i / size_t(cols)) * frames[0].h;
            rects.push_back({x, y, x + frames[0].w, y + frames[0].h});
        }
        return rects;
    }
    int x = 0, y = 0, shelf = 0;
    w = 0;
    for (const AG_Image &f : frames) {
        if (x + f.w > 1024) {
            x = 0;
            y += shelf;
            shelf = 0;
        }
        rects.push_back({x, y, x + f.w, y + f.h});
        x += f.w;
        shelf = std::max(shelf, f.h);
        w = std::max(w, x);
    }
    h = y + shelf;
    return rects;
}

} // namespace

void AG_WriteSprite(const AG_SpriteInfo &info, const std::vector<AG_Image> &frames)
{
    int w = 0, h = 0;
    std::vector<AG_Rect> rects = AG_Layout(frames, info.columns, w, h);
    AG_Image atlas(w, h);
    for (size_t i = 0; i < frames.size(); i++)
        AG_Over(atlas, frames[i], rects[i].l, rects[i].t);
    const uint32_t magenta = 0xFF00FF;
    AG_WriteBMP24(AG_GfxPath(info.base + ".bmp"), w, h, AG_ToKeyed(atlas, magenta, 0.4f, AG_Style::Ink));
    if (info.maskFile)
        AG_WriteBMP1(AG_GfxPath(info.base + "_mask.bmp"), w, h, AG_SolidMask(atlas));

    // Comments only in the first column and only where a marker is expected; each value
    // line follows its marker directly.
    std::string t;
    char line[160];
    t += "# " + std::string(info.comment) + "\n";
    t += "# Written by assetgen; frame rectangles are (left, top) - (right, bottom).\n";
    t += "[SPRITE_IMAGE]\n\"gfx\\" + info.base + ".bmp\"\n";
    if (info.maskFile)
        t += "[SPRITE_HIT_MASK]\n\"gfx\\" + info.base + "_mask.bmp\"\n";
    std::snprintf(line, sizeof line, "[SPRITE_FRAMES]\n%d\n", int(frames.size()));
    t += line;
    t += "[HIT_TYPE]\n" + info.hitType + "\n";
    t += "[HANDLE]\nCENTRE\n";
    t += "[TRANSPARENT]\n0xFF00FF\n";
    for (size_t i = 0; i < frames.size(); i++) {
        std::snprintf(line, sizeof line, "[FRAME]\n%d\n[IMAGE_RECT]\n(%d, %d) - (%d, %d)\n", int(i), rects[i].l, rects[i].t,
                      rects[i].r, rects[i].b);
        t += line;
    }
    t += "[SPRITE_END]\n";
    AG_WriteText(AG_GfxPath(info.base + ".txt"), t);
    AG_Sheet.push_back({info.base, frames});
}

// The sheet: one band per sprite, its name, then every frame over a checker with its index.
bool AG_WriteSheet(const std::string &pngPath)
{
    const int W = 1280, pad = 4, label = 12;
    AG_TextStyle small = AG_PlainType(7);
    small.slant = 0;
    small.outlineWidth = 0.8f;
    small.stroke = 1.1f;
    AG_TextStyle head = AG_HighType(10);
    head.slant = 0;
    // First pass: measure.
    int y = pad;
    for (const AG_SheetEntry &e : AG_Sheet) {
        y += 16;
        int x = pad, rowH = 0;
        for (const AG_Image &f : e.frames) {
            int cw = std::max(f.w, 24) + pad;
            if (x + cw > W) {
                x = pad;
                y += rowH + label + pad;
                rowH = 0;
            }
            x += cw;
            rowH = std::max(rowH, f.h);
        }
        y += rowH + label + pad * 3;
    }
    int H = y;
    AG_Image sheet(W, H);
    AG_Canvas text(W, H, 2);
    y = pad;
    for (const AG_SheetEntry &e : AG_Sheet) {
        AG_DrawText(text, pad, y + 2, e.name, head);
        y += 16;
        int x = pad, rowH = 0;
        for (size_t i = 0; i < e.frames.size(); i++) {
            const AG_Image &f = e.frames[i];
            int cw = std::max(f.w, 24) + pad;
            if (x + cw > W) {
                x = pad;
                y += rowH + label + pad;
                rowH = 0;
            }
            // Checker behind the frame shows its transparent parts.
            AG_Image bg(f.w, f.h);
            for (int yy = 0; yy < f.h; yy++)
                for (int xx = 0; xx < f.w; xx++) {
                    float v = ((xx / 4 + yy / 4) % 2) ? 0.22f : 0.3f;
                    float *p = bg.At(xx, yy);
                    p[0] = v;
                    p[1] = v;
                    p[2] = v * 1.1f;
                    p[3] = 1;
                }
            AG_Over(bg, f, 0, 0);
            AG_Over(sheet, bg, x, y);
            AG_DrawText(text, x, y + f.h + 2, std::to_string(i), small);
            x += cw;
            rowH = std::max(rowH, f.h);
        }
        y += rowH + label + pad * 3;
    }
    AG_Over(sheet, text.Resolve(), 0, 0);
    std::vector<uint8_t> rgb = AG_ToRGB(sheet, {0.08f, 0.08f, 0.1f});
    return Sys_WritePNG(pngPath.c_str(), rgb.data(), W, H);
}
