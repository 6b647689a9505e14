// Drawing creatures in their own frame (facing +u) onto a canvas at any heading, lit in screen space.
#pragma once

#include "ag_raster.h"

// What a part's shape function reports for a point in its local frame.
struct AG_Local {
    bool in = false;
    AG_Colour c;
    float nx = 0, ny = 0, nz = 1; // normal in the creature's frame
    float shine = 0.6f;
    bool solid = true;
    bool lit = true;
};

struct AG_Body {
    AG_Canvas &cv;
    float cx, cy, ch, sh, k;

    AG_Body(AG_Canvas &canvas, float x, float y, float heading, float scale = 1.0f)
        : cv(canvas), cx(x), cy(y), ch(std::cos(heading)), sh(std::sin(heading)), k(scale)
    {
    }

    // A part centred near (u, v) within radius r; f(u, v) gives the local sample.
    template <class F> void Part(float u, float v, float r, F f)
    {
        float sx = cx + (u * ch - v * sh) * k, sy = cy + (u * sh + v * ch) * k;
        cv.Paint(sx - r * k, sy - r * k, sx + r * k, sy + r * k, [&](float x, float y) {
            AG_Sample o;
            float dx = (x - cx) / k, dy = (y - cy) / k;
            float lu = dx * ch + dy * sh, lv = -dx * sh + dy * ch;
            AG_Local l = f(lu, lv);
            if (!l.in)
                return o;
            o.a = 1;
            o.solid = l.solid;
            if (l.lit) {
                float nx = l.nx * ch - l.ny * sh, ny = l.nx * sh + l.ny * ch;
                o.c = AG_Lit(l.c, nx, ny, l.nz, l.shine);
            } else
                o.c = l.c;
            return o;
        });
    }

    // A domed ellipse with semi-axes a (along its own axis) and b, turned by rot radians.
    void Ellipse(float u, float v, float a, float b, float rot, AG_Colour c, float shine = 0.6f, float dome = 1.0f,
                 bool solid = true)
    {
        float cr = std::cos(rot), sr = std::sin(rot);
        Part(u, v, std::fmax(a, b) + 1, [=](float lu, float lv) {
            AG_Local l;
            float du = lu - u, dv = lv - v;
            float eu = (du * cr + dv * sr) / a, ev = (-du * sr + dv * cr) / b;
            float d2 = eu * eu + ev * ev;
            if (d2 > 1)
                return l;
            l.in = true;
            l.c = c;
            l.shine = shine;
            l.solid = solid;
            float nu = eu * dome, nv = ev * dome;
            l.nx = nu * cr - nv * sr;
            l.ny = nu * sr + nv * cr;
            l.nz = std::sqrt(std::fmax(0.02f, 1 - d2));
            return l;
        });
    }

    // A tapered capsule from (u0, v0) radius r0 to (u1, v1) radius r1, round across.
    void Capsule(float u0, float v0, float u1, float v1, float r0, float r1, AG_Colour c, float shine = 0.6f,
                 bool solid = true)
    {
        float mu = (u0 + u1) * 0.5f, mv = (v0 + v1) * 0.5f;
        float half = 0.5f * std::sqrt((u1 - u0) * (u1 - u0) + (v1 - v0) * (v1 - v0));
        Part(mu, mv, half + std::fmax(r0, r1) + 1, [=](float lu, float lv) {
            AG_Local l;
            float du = u1 - u0, dv = v1 - v0, l2 = du * du + dv * dv;
            float t = l2 > 0 ? AG_Clamp(((lu - u0) * du + (lv - v0) * dv) / l2, 0, 1) : 0;
            float pu = u0 + du * t, pv = v0 + dv * t;
            float ru = lu - pu, rv = lv - pv, d = std::sqrt(ru * ru + rv * rv);
            float r = r0 + (r1 - r0) * t;
            if (d > r)
                return l;
            l.in = true;
            l.c = c;
            l.shine = shine;
            l.solid = solid;
            l.nx = ru / r;
            l.ny = rv / r;
            l.nz = std::sqrt(std::fmax(0.02f, 1 - (d * d) / (r * r)));
            return l;
        });
    }

    // A flat polygon (points u, v pairs), lightly tilted by (tx, ty).
    void Polygon(std::initializer_list<float> pts, AG_Colour c, float tx = 0, float ty = 0, float shine = 0.3f,
                 bool solid = true)
    {
        std::vector<float> p(pts);
        int n = int(p.size() / 2);
        float mu = 0, mv = 0, r = 0;
        for (int i = 0; i < n; i++) {
            mu += p[size_t(i) * 2] / n;
            mv += p[size_t(i) * 2 + 1] / n;
        }
        for (int i = 0; i < n; i++)
            r = std::fmax(r, std::hypot(p[size_t(i) * 2] - mu, p[size_t(i) * 2 + 1] - mv));
        Part(mu, mv, r + 1, [=](float lu, float lv) {
            AG_Local l;
            if (!AG_InPolygon(p.data(), n, lu, lv))
                return l;
            l.in = true;
            l.c = c;
            l.nx = tx;
            l.ny = ty;
            l.nz = 1;
            l.shine = shine;
            l.solid = solid;
            return l;
        });
    }

    // A bright unlit dot (eyes, lamps): not lit, optionally not solid.
    void Glow(float u, float v, float r, AG_Colour c, bool solid = true)
    {
        Part(u, v, r + 1, [=](float lu, float lv) {
            AG_Local l;
            float d = std::hypot(lu - u, lv - v);
            if (d > r)
                return l;
            l.in = true;
            l.lit = false;
            l.solid = solid;
            l.c = AG_Mix({1, 1, 1}, c, AG_Clamp(d / r * 1.4f, 0, 1));
            return l;
        });
    }
};
