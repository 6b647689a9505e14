// The splash picture shown at start-up: the game's name over a starfield with its invaders.
#include "ag_assets.h"
#include "ag_creatures.h"

void AG_GenSplash()
{
    const int W = 640, H = 480;
    AG_Canvas cv(W, H, 2);
    // Space: a deep gradient, a nebula, stars, and a glowing grid floor toward the horizon.
    cv.PaintAll([](float x, float y) {
        AG_Sample o;
        o.a = 1;
        float t = y / H;
        AG_Colour c = AG_Mix({0.01f, 0.02f, 0.06f}, {0.08f, 0.02f, 0.12f}, t);
        float n = AG_Fbm(x * 0.006f, y * 0.008f, 0, 5, 77);
        float m = AG_Fbm(x * 0.01f + 5, y * 0.01f, 0, 4, 78);
        float neb = AG_Smooth(0.45f, 0.8f, n);
        c = AG_Add(c, AG_Scale(AG_Mix({0.5f, 0.1f, 0.6f}, {0.1f, 0.5f, 0.8f}, m), neb * 0.35f));
        int sx = int(x / 3), sy = int(y / 3);
        float h = AG_Hash(sx, sy, 79);
        if (h > 0.985f && y < 330) {
            float cx = sx * 3 + 1.5f, cy = sy * 3 + 1.5f;
            float d = std::hypot(x - cx, y - cy);
            float b = (h - 0.985f) / 0.015f;
            if (d < 0.6f + b)
                c = AG_Add(c, AG_Scale({0.8f, 0.9f, 1.0f}, 1.2f * b));
        }
        if (y > 330) {
            // Perspective grid: lines converge on the vanishing point at (320, 330).
            float depth = 40 / (y - 330 + 0.5f);
            float gz = std::fmod(depth * 10 + 100, 1.0f);
            float gx = std::fmod((x - 320) * depth * 0.12f + 100.5f, 1.0f);
            float fade = AG_Clamp((y - 330) / 150, 0, 1);
            float line = std::fmax(AG_Smooth(0.9f, 1.0f, 1 - std::fabs(gz - 0.5f) * 2), AG_Smooth(0.92f, 1.0f, 1 - std::fabs(gx - 0.5f) * 2));
            c = AG_Mix(AG_Scale(c, 0.6f), {0.05f, 0.02f, 0.1f}, 0.5f);
            c = AG_Add(c, AG_Scale({0.2f, 0.8f, 1.0f}, line * fade));
        }
        float glow = std::exp(-std::fabs(y - 330) / 14.0f);
        c = AG_Add(c, AG_Scale({0.9f, 0.3f, 0.6f}, glow * 0.5f));
        o.c = c;
        return o;
    });
    // The invaders, large.
    struct Pose {
        void (*draw)(AG_Body &, float);
        float x, y, heading, scale, t;
    };
    const Pose poses[] = {
        {AG_DrawUfo, 540, 70, 0.3f, 2.2f, 0.3f},         {AG_DrawAmmonite, 95, 300, -0.3f, 3.0f, 0.2f},
        {AG_DrawMechwasp, 545, 290, 3.5f, 3.0f, 0.15f},  {AG_DrawSkull, 95, 80, -1.75f, 2.0f, 0.5f},
        {AG_DrawRocket, 470, 420, -1.2f, 2.2f, 0.1f},    {AG_DrawScarab, 180, 425, -1.9f, 1.8f, 0.4f},
        {AG_DrawSpectre, 330, 395, 0.1f, 1.8f, 0.6f},
    };
    for (const Pose &p : poses) {
        AG_Body b(cv, p.x, p.y, p.heading, p.scale);
        p.draw(b, p.t);
    }
    AG_Image img = cv.Resolve();
    // The name: chrome over a soft neon glow.
    AG_Canvas logo(W, H, 3);
    AG_TextStyle rim = AG_PlainType(84);
    rim.stroke = 24;
    rim.outlineWidth = 3;
    rim.spacing = 2.2f;
    rim.top = {0.35f, 0.95f, 1.0f};
    rim.bottom = {0.1f, 0.35f, 1.0f};
    AG_DrawTextCentred(logo, 320, 120, "KORDAX", rim);
    AG_TextStyle face = rim;
    face.stroke = 13;
    face.outlineWidth = 0;
    face.top = {1, 1, 1};
    face.bottom = {0.55f, 0.8f, 1.0f};
    AG_DrawTextCentred(logo, 320, 120, "KORDAX", face);
    AG_TextStyle sub = AG_HighType(16);
    sub.stroke = 2.8f;
    sub.spacing = 3;
    AG_DrawTextCentred(logo, 320, 232, "PERIMETER DEFENCE", sub);
    AG_TextStyle small = AG_PlainType(9);
    small.spacing = 3;
    AG_DrawTextCentred(logo, 320, 458, "LOADING", small);
    AG_Image L = logo.Resolve();
    AG_Over(img, AG_Glow(L, 9, {0.2f, 0.6f, 1.0f}, 1.1f), 0, 0);
    AG_Over(img, L, 0, 0);
    AG_SaveOpaque("splash640x480.bmp", img, {0, 0, 0});
}
