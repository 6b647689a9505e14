// Shared look and file helpers for the generator's picture families.
#include "ag_assets.h"
#include "ag_io.h"

AG_TextStyle AG_PlainType(float size)
{
    AG_TextStyle st;
    st.size = size;
    st.stroke = std::fmax(1.3f, size * 0.16f);
    st.outlineWidth = std::fmax(1.0f, size * 0.08f);
    st.top = AG_Style::CyanTop;
    st.bottom = AG_Style::CyanLow;
    st.outline = AG_Style::Ink;
    return st;
}

AG_TextStyle AG_HighType(float size)
{
    AG_TextStyle st = AG_PlainType(size);
    st.top = AG_Style::AmberTop;
    st.bottom = AG_Style::AmberLow;
    return st;
}

void AG_DrawPlate(AG_Canvas &cv, float x0, float y0, float x1, float y1, float bevel, AG_Colour base, int seed)
{
    cv.Paint(x0, y0, x1, y1, [&](float x, float y) {
        AG_Sample o;
        o.a = 1;
        float dl = x - x0, dr = x1 - x, dt = y - y0, db = y1 - y;
        float grain = (AG_Fbm(x * 0.08f, y * 0.5f, 0, 3, seed) - 0.5f) * 0.06f;
        AG_Colour c = AG_Scale(base, 1.0f + grain + 0.25f * (1 - (y - y0) / (y1 - y0 + 1)));
        float m = std::fmin(std::fmin(dl, dr), std::fmin(dt, db));
        if (m < bevel) {
            // Light from the upper left: top and left edges bright, the others dark.
            bool lit = (dt < bevel && dt <= dl + 0.01f && dt <= dr) || (dl < bevel && dl < db);
            bool shade = (db < bevel && db <= dr) || (dr < bevel && dr < dt);
            if (lit && !shade)
                c = AG_Mix(c, AG_Style::SteelHi, 0.55f);
            else
                c = AG_Mix(c, AG_Style::SteelLo, 0.6f);
        }
        o.c = c;
        return o;
    });
}

void AG_DrawWindow(AG_Canvas &cv, float x0, float y0, float x1, float y1)
{
    cv.Paint(x0 - 1, y0 - 1, x1 + 1, y1 + 1, [&](float x, float y) {
        AG_Sample o;
        o.a = 1;
        bool rim = x < x0 || y < y0 || x >= x1 || y >= y1;
        if (rim) {
            // Recessed: dark upper-left rim, light lower-right rim.
            o.c = (x < x0 || y < y0) ? AG_Style::SteelLo : AG_Mix(AG_Style::Steel, AG_Style::SteelHi, 0.6f);
        } else {
            float t = (y - y0) / (y1 - y0);
            o.c = AG_Mix({0.03f, 0.07f, 0.12f}, {0.015f, 0.03f, 0.06f}, t);
            // Faint scan lines, as on a display.
            if (int(y) % 2 == 0)
                o.c = AG_Scale(o.c, 1.25f);
        }
        return o;
    });
}

void AG_SaveKeyed(const std::string &name, const AG_Image &img, uint32_t key)
{
    AG_WriteBMP24(AG_GfxPath(name), img.w, img.h, AG_ToKeyed(img, key, 0.4f, AG_Style::Ink));
}

void AG_SaveOpaque(const std::string &name, const AG_Image &img, AG_Colour background)
{
    AG_WriteBMP24(AG_GfxPath(name), img.w, img.h, AG_ToRGB(img, background));
}
