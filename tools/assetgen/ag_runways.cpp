// The runway frame along the playfield's bottom and right edges, the corner hatch and the portals.
#include "ag_assets.h"

namespace {

const float AG_Pi = 3.14159265f;

// The L-shaped frame in screen coordinates: a rail (the channel's outer wall) beside the
// playfield edge at 440, then a bolted plate out to 480.
AG_Sample AG_FrameAt(float X, float Y)
{
    AG_Sample o;
    if (X < 440 && Y < 440)
        return o;
    // Depth into the frame; beyond the corner the rail turns square round the playfield.
    bool bottom = Y >= 440 && (X < 440 || Y - 440 >= X - 440);
    float v = bottom ? Y - 440 : X - 440;
    float along = bottom ? X : Y;          // position along the runway
    o.a = 1;
    if (v < 11) {
        // The rail: a steel bar, round across its width.
        float n = (v - 5.5f) / 5.5f;
        float nx = bottom ? 0 : n, ny = bottom ? n : 0;
        AG_Colour c = AG_Lit({0.42f, 0.5f, 0.62f}, nx, ny, std::sqrt(std::fmax(0.05f, 1 - n * n)), 0.9f, 0.3f);
        // Joints every 55 pixels.
        if (std::fmod(along + 2, 55.0f) < 1.2f && X < 440.5f + 11 && Y < 440.5f + 11 && (X < 440 || Y < 440))
            c = AG_Scale(c, 0.45f);
        o.c = c;
        return o;
    }
    if (v < 13) {
        o.c = AG_Style::SteelLo;
        return o;
    }
    // The plate, with a bevel on its outer edge and bolts.
    AG_Colour c = AG_Scale(AG_Style::Steel, 0.85f + 0.12f * (AG_Fbm(X * 0.05f, Y * 0.05f, 0, 3, 5) - 0.5f));
    if (v > 37)
        c = AG_Style::SteelLo;
    else if (v < 15)
        c = AG_Mix(c, AG_Style::SteelHi, 0.4f);
    float bx = std::fmod(along + 11, 44.0f) - 22, by = v - 26;
    float bd = std::sqrt(bx * bx + by * by);
    if (bd < 2.6f && (X < 436 || Y < 436)) {
        float nx = bottom ? bx : by, ny = bottom ? by : bx;
        c = AG_Lit({0.5f, 0.56f, 0.66f}, nx / 2.6f, ny / 2.6f, 0.7f, 0.8f, 0.35f);
    } else if (bd < 3.4f && (X < 436 || Y < 436))
        c = AG_Style::SteelLo;
    // A lamp where the runways meet.
    float lx = X - 466, ly = Y - 466;
    float ld = std::sqrt(lx * lx + ly * ly);
    if (ld < 5)
        c = AG_Mix({1.0f, 0.7f, 0.2f}, {1, 1, 0.8f}, 1 - ld / 5);
    o.c = c;
    return o;
}

AG_Image AG_FramePiece(int x0, int y0, int w, int h)
{
    AG_Canvas cv(w, h, 3);
    cv.PaintAll([&](float x, float y) { return AG_FrameAt(x + x0, y + y0); });
    return cv.Resolve();
}

// The hatch over the corner where the lasers come in: an armoured octagon, hazard ring and lens.
AG_Image AG_Hatch()
{
    AG_Canvas cv(52, 52, 4);
    cv.PaintAll([](float x, float y) {
        AG_Sample o;
        float dx = x - 26, dy = y - 26;
        float ax = std::fabs(dx), ay = std::fabs(dy);
        float oct = std::fmax(std::fmax(ax, ay), (ax + ay) * 0.7071f);
        if (oct > 25)
            return o;
        o.a = 1;
        float d = std::sqrt(dx * dx + dy * dy);
        if (oct > 22.5f) {
            o.c = oct > 24 ? AG_Style::SteelLo : AG_Mix(AG_Style::SteelHi, AG_Style::Steel, (dx + dy + 50) / 100);
            return o;
        }
        if (oct > 16.5f) {
            // Hazard stripes.
            float s = std::fmod(dx + dy + 100, 8.0f);
            o.c = s < 4 ? AG_Colour{0.95f, 0.7f, 0.1f} : AG_Colour{0.08f, 0.08f, 0.1f};
            o.c = AG_Scale(o.c, 0.75f + 0.25f * (1 - (oct - 16.5f) / 6));
            return o;
        }
        if (d < 9) {
            // The lens, glowing from within.
            float t = d / 9;
            o.c = AG_Mix({0.85f, 1.0f, 1.0f}, {0.05f, 0.35f, 0.8f}, t);
            float hx = dx + 3, hy = dy + 3;
            if (hx * hx + hy * hy < 5)
                o.c = {1, 1, 1};
            return o;
        }
        // Armour plate, domed.
        o.c = AG_Lit({0.35f, 0.42f, 0.52f}, dx / 16.5f * 0.6f, dy / 16.5f * 0.6f, 1, 0.6f, 0.35f);
        if (d < 10.5f)
            o.c = AG_Style::SteelLo;
        // Four bolts.
        for (int k = 0; k < 4; k++) {
            float bx = dx - 12.5f * std::cos(AG_Pi * (0.25f + 0.5f * k)), by = dy - 12.5f * std::sin(AG_Pi * (0.25f + 0.5f * k));
            if (bx * bx + by * by < 3.2f)
                o.c = AG_Lit({0.7f, 0.75f, 0.8f}, bx, by, 1.2f, 1.0f);
        }
        return o;
    });
    return cv.Resolve();
}

// A portal strip: eight frames of a shimmering gate 10 wide across the 57-pixel runway.
AG_Image AG_PortalStrip(int seed)
{
    AG_Canvas cv(80, 57, 4);
    cv.PaintAll([&](float x, float y) {
        AG_Sample o;
        int f = int(x / 10);
        float u = x - f * 10 - 5; // across the gate
        float ph = f / 8.0f;
        if (y < 5 || y > 52) {
            // Emitters at the runway's edges.
            if (std::fabs(u) < 4.5f) {
                float ny = y < 5 ? (y - 2.5f) / 2.5f : (y - 54.5f) / 2.5f;
                o.c = AG_Lit({0.45f, 0.5f, 0.6f}, u / 4.5f, ny, 0.8f, 0.9f, 0.35f);
                if (std::fabs(u) < 1.5f)
                    o.c = AG_Mix({0.6f, 0.3f, 1.0f}, {1, 1, 1}, 0.5f + 0.5f * std::sin(2 * AG_Pi * ph));
                o.a = 1;
            }
            return o;
        }
        float wave = 0.5f + 0.5f * std::sin(2 * AG_Pi * (y / 19.0f - ph + seed * 0.3f));
        float wave2 = 0.5f + 0.5f * std::sin(2 * AG_Pi * (y / 7.125f + 2 * ph));
        float core = std::exp(-u * u / (4.0f + 3 * wave));
        float I = core * (0.35f + 0.5f * wave + 0.3f * wave2);
        if (I < 0.18f)
            return o;
        o.c = AG_Mix({0.35f, 0.15f, 0.9f}, {0.7f, 1.0f, 1.0f}, AG_Clamp(I, 0, 1));
        o.c = AG_Scale(o.c, 0.5f + 0.6f * AG_Clamp(I, 0, 1));
        o.a = 1;
        o.solid = false;
        return o;
    });
    return cv.Resolve();
}

} // namespace

void AG_GenRunways()
{
    const uint32_t magenta = 0xFF00FF;
    AG_SaveKeyed("runway_x.bmp", AG_FramePiece(0, 440, 440, 40), magenta);
    AG_SaveKeyed("runway_y.bmp", AG_FramePiece(440, 0, 40, 440), magenta);
    AG_SaveKeyed("runway_c.bmp", AG_FramePiece(395, 395, 85, 85), magenta);
    AG_SaveKeyed("runway_t.bmp", AG_Hatch(), magenta);
    AG_Image strip = AG_PortalStrip(0);
    AG_SaveKeyed("portal_left.bmp", strip, 0);
    AG_SaveKeyed("portal_right.bmp", AG_PortalStrip(1), 0);
    AG_SaveKeyed("portal_top.bmp", AG_Transpose(AG_PortalStrip(2)), 0);
    AG_SaveKeyed("portal_bottom.bmp", AG_Transpose(AG_PortalStrip(3)), 0);
}
