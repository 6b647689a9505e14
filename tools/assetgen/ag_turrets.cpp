// The two laser turrets (8 animation frames x 4 barrel positions) and their shots.
#include "ag_assets.h"

namespace {
const float AG_Pi = 3.14159265f;
} // namespace

// The X turret facing up, barrel turned by turn x 15 degrees toward the right; the Y turret
// is its mirror image across the diagonal.
AG_Image AG_Turret(int anim, int turn, float unit)
{
    const int S = 40;
    AG_Canvas cv(int(S * unit + 0.5f), int(S * unit + 0.5f), 4);
    cv.unit = unit;
    float cx = 20, cy = 22;
    float ang = turn * 15.0f * AG_Pi / 180.0f;
    float bx = std::sin(ang), by = -std::cos(ang); // barrel direction
    float pulse = 0.5f + 0.5f * std::cos(2 * AG_Pi * anim / 8.0f);

    // Thruster glow under the sled (not solid: it does not count for collisions).
    cv.PaintAll([&](float x, float y) {
        AG_Sample o;
        for (int side = -1; side <= 1; side += 2) {
            float dx = x - (cx + side * 13), dy = y - 33.5f;
            float d = dx * dx / 9 + dy * dy / (2.2f + 1.8f * pulse);
            if (d < 1) {
                o.c = AG_Mix({1, 1, 0.9f}, {0.2f, 0.9f, 0.4f}, d);
                o.a = 1;
                o.solid = false;
            }
        }
        return o;
    });
    // The sled: a hull with sloping sides.
    cv.PaintAll([&](float x, float y) {
        AG_Sample o;
        float top = 19, bottom = 33;
        if (y < top || y > bottom)
            return o;
        float t = (y - top) / (bottom - top);
        float half = 12 + 6 * std::sin(t * AG_Pi * 0.5f) - (t > 0.8f ? (t - 0.8f) * 20 : 0);
        float dx = x - cx;
        if (std::fabs(dx) > half)
            return o;
        float edge = std::fabs(dx) / half;
        float nx = dx > 0 ? std::pow(edge, 6.0f) : -std::pow(edge, 6.0f);
        float ny = t < 0.2f ? -0.7f : (t > 0.8f ? 0.8f : 0.0f);
        AG_Colour base = {0.42f, 0.5f, 0.62f};
        // Amber warning stripes on the flanks.
        if (edge > 0.55f && edge < 0.75f && t > 0.3f && t < 0.75f)
            base = {0.95f, 0.6f, 0.15f};
        o.c = AG_Lit(base, nx, ny, 1, 0.7f);
        if (t > 0.88f)
            o.c = AG_Scale(o.c, 0.55f);
        o.a = 1;
        return o;
    });
    // The barrel, with a muzzle and a green charge light at its tip.
    cv.PaintAll([&](float x, float y) {
        AG_Sample o;
        float px = x - cx, py = y - cy;
        float along = px * bx + py * by, across = px * by - py * bx;
        if (along < 0 || along > 19)
            return o;
        float w = along > 15.5f ? 3.0f : (along > 14 ? 2.2f : 2.5f);
        if (std::fabs(across) > w)
            return o;
        float n = across / w;
        // Normal across the barrel, in screen space.
        float nx = n * by, ny = -n * bx;
        o.c = AG_Lit({0.7f, 0.76f, 0.85f}, nx, ny, std::sqrt(std::fmax(0.05f, 1 - n * n)), 1.0f, 0.35f);
        if (along > 18)
            o.c = AG_Mix({0.3f, 1.0f, 0.4f}, {1, 1, 1}, pulse * 0.6f);
        o.a = 1;
        return o;
    });
    // The dome, with four running lights that turn with the animation.
    cv.PaintAll([&](float x, float y) {
        AG_Sample o;
        float dx = x - cx, dy = y - cy, r = 8.5f;
        float d = std::sqrt(dx * dx + dy * dy);
        if (d > r)
            return o;
        float nz = std::sqrt(std::fmax(0.0f, 1 - d * d / (r * r)));
        o.c = AG_Lit({0.2f, 0.55f, 0.95f}, dx / r, dy / r, nz, 1.2f);
        float a = std::atan2(dy, dx) - 2 * AG_Pi * anim / 32.0f;
        float ring = std::fabs(d - 6.2f);
        if (ring < 1.1f && std::fmod(a + 8 * AG_Pi, AG_Pi / 2) < 0.5f)
            o.c = {0.6f, 1.0f, 0.7f};
        o.a = 1;
        return o;
    });
    AG_Image img = cv.Resolve();
    AG_Outline(img, AG_Style::Ink);
    return img;
}

namespace {

// A shot of the X laser: frames 0 to 5 fly straight up, 6 to 11 up and to the right.
AG_Image AG_Shot(int frame)
{
    const int S = 24;
    AG_Canvas cv(S, S, 4);
    bool diag = frame >= 6;
    float pulse = 0.5f + 0.5f * std::cos(2 * AG_Pi * (frame % 6) / 6.0f);
    float ax, ay, bx, by; // tail to head
    if (diag) {
        ax = 5.5f;
        ay = 18.5f;
        bx = 18.5f;
        by = 5.5f;
    } else {
        ax = 12;
        ay = 21;
        bx = 12;
        by = 3;
    }
    cv.PaintAll([&](float x, float y) {
        AG_Sample o;
        float d = AG_SegDist(x, y, ax, ay, bx, by);
        float len = std::sqrt((bx - ax) * (bx - ax) + (by - ay) * (by - ay));
        float t = AG_Clamp(((x - ax) * (bx - ax) + (y - ay) * (by - ay)) / (len * len), 0, 1);
        float r = 1.2f + 1.6f * t; // the head is fatter than the tail
        float halo = r + 1.6f + 0.6f * pulse;
        if (d > halo)
            return o;
        if (d < r) {
            float k = d / r;
            o.c = AG_Mix({1, 1, 1}, {0.45f, 1.0f, 0.5f}, k * k);
            o.solid = true;
        } else {
            o.c = AG_Mix({0.2f, 0.9f, 0.35f}, {0.05f, 0.45f, 0.15f}, (d - r) / (halo - r));
            o.solid = false;
        }
        o.a = 1;
        return o;
    });
    return cv.Resolve();
}

} // namespace

void AG_GenTurretsAndShots()
{
    std::vector<AG_Image> tx, ty;
    for (int turn = 0; turn < 4; turn++)
        for (int anim = 0; anim < 8; anim++) {
            AG_Image im = AG_Turret(anim, turn);
            tx.push_back(im);
            ty.push_back(AG_Transpose(im));
        }
    AG_WriteSprite({"kx_turretx", "PIXEL", true, 8, "X laser turret: frame = animation frame + 8 x barrel position"}, tx);
    AG_WriteSprite({"kx_turrety", "PIXEL", true, 8, "Y laser turret: frame = animation frame + 8 x barrel position"}, ty);
    std::vector<AG_Image> sx, sy;
    for (int f = 0; f < 12; f++) {
        AG_Image im = AG_Shot(f);
        sx.push_back(im);
        sy.push_back(AG_Transpose(im));
    }
    AG_WriteSprite({"laser_xb", "PIXEL", false, 6, "X laser shot: frames 0-5 straight up, 6-11 up and right"}, sx);
    AG_WriteSprite({"laser_yb", "PIXEL", false, 6, "Y laser shot: frames 0-5 straight left, 6-11 left and down"}, sy);
}
