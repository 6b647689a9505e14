// Supersampled raster canvas, images, shading helpers and conversion to file pixels.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

struct AG_Colour {
    float r = 0, g = 0, b = 0;
};

inline AG_Colour AG_RGB(int r, int g, int b) { return {r / 255.0f, g / 255.0f, b / 255.0f}; }
inline AG_Colour AG_Mix(AG_Colour a, AG_Colour b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
inline AG_Colour AG_Scale(AG_Colour a, float k) { return {a.r * k, a.g * k, a.b * k}; }
inline AG_Colour AG_Add(AG_Colour a, AG_Colour b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline float AG_Clamp(float v, float lo, float hi) { return v < lo ? lo : (v > hi ? hi : v); }
inline float AG_Smooth(float e0, float e1, float x)
{
    float t = AG_Clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

// What a shader returns for one sample: colour, opacity, and whether it counts for collisions.
struct AG_Sample {
    AG_Colour c;
    float a = 0;
    bool solid = true;
};

// Final-resolution image: premultiplied colour, alpha, and the solid (hit) coverage.
struct AG_Image {
    int w = 0, h = 0;
    std::vector<float> px; // r, g, b, a, solid per pixel
    AG_Image() = default;
    AG_Image(int width, int height) : w(width), h(height), px(size_t(width) * height * 5, 0.0f) {}
    float *At(int x, int y) { return &px[(size_t(y) * w + x) * 5]; }
    const float *At(int x, int y) const { return &px[(size_t(y) * w + x) * 5]; }
};

// A canvas sampled S x S times per final pixel; coordinates are in drawing units, which are
// final pixels unless unit says how many final pixels one unit spans (icons drawn larger).
struct AG_Canvas {
    int w, h, s;
    float unit = 1;
    std::vector<float> smp; // r, g, b, a, solid per sample (premultiplied colour)
    AG_Canvas(int width, int height, int supersample)
        : w(width), h(height), s(supersample), smp(size_t(width) * height * supersample * supersample * 5, 0.0f)
    {
    }

    // Calls shade(x, y) for every sample centre within the box and composites the result over.
    template <class F> void Paint(float x0, float y0, float x1, float y1, F shade)
    {
        float scale = s * unit;
        int sx0 = int(std::floor(x0 * scale)), sy0 = int(std::floor(y0 * scale));
        int sx1 = int(std::ceil(x1 * scale)), sy1 = int(std::ceil(y1 * scale));
        if (sx0 < 0) sx0 = 0;
        if (sy0 < 0) sy0 = 0;
        if (sx1 > w * s) sx1 = w * s;
        if (sy1 > h * s) sy1 = h * s;
        float inv = 1.0f / scale;
        for (int sy = sy0; sy < sy1; sy++) {
            float y = (sy + 0.5f) * inv;
            float *row = &smp[(size_t(sy) * w * s) * 5];
            for (int sx = sx0; sx < sx1; sx++) {
                AG_Sample o = shade((sx + 0.5f) * inv, y);
                if (o.a <= 0)
                    continue;
                float a = o.a > 1 ? 1 : o.a;
                float *d = row + size_t(sx) * 5;
                float k = 1 - a;
                d[0] = o.c.r * a + d[0] * k;
                d[1] = o.c.g * a + d[1] * k;
                d[2] = o.c.b * a + d[2] * k;
                d[3] = a + d[3] * k;
                d[4] = (o.solid ? a : 0) + d[4] * k;
            }
        }
    }
    template <class F> void PaintAll(F shade) { Paint(0, 0, w / unit, h / unit, shade); }

    AG_Image Resolve() const;
};

// Blending and compositing of finished images.
void AG_Over(AG_Image &dst, const AG_Image &src, int dx, int dy);
AG_Image AG_Crop(const AG_Image &src, int x, int y, int w, int h);
AG_Image AG_Transpose(const AG_Image &src);
AG_Image AG_FlipX(const AG_Image &src);
// A soft glow of the image's alpha, tinted, for halos behind text and sprites.
AG_Image AG_Glow(const AG_Image &src, float radius, AG_Colour tint, float strength);

// Pixels for files. Opaque: composited over a background colour.
std::vector<uint8_t> AG_ToRGB(const AG_Image &img, AG_Colour background);
// Keyed: pixels below the alpha threshold become the key; the rest are composited over the
// fringe colour, and kept clear of the key even after 16-bit quantisation.
std::vector<uint8_t> AG_ToKeyed(const AG_Image &img, uint32_t keyRGB, float threshold, AG_Colour fringe);
// Solid coverage at or above one half, as 0/1 bytes.
std::vector<uint8_t> AG_SolidMask(const AG_Image &img);
// Keeps a byte colour away from the key once the display reduces it to 5-6-5.
void AG_AvoidKey(uint8_t *rgb, uint32_t keyRGB);

// Lighting for sprites: a fixed light from the upper left, Lambert plus a highlight.
AG_Colour AG_Lit(AG_Colour base, float nx, float ny, float nz, float shine, float ambient = 0.38f);

// Deterministic random numbers and value noise.
struct AG_Rand {
    uint64_t state;
    explicit AG_Rand(uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 0x1234567ull) {}
    uint32_t Next()
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return uint32_t(state >> 16);
    }
    float Uniform() { return (Next() & 0xFFFFFF) / 16777216.0f; }
    float Range(float lo, float hi) { return lo + (hi - lo) * Uniform(); }
};
float AG_Hash(int x, int y, int seed);
// Smooth value noise, periodic with the given period (in lattice cells).
float AG_Noise(float x, float y, int period, int seed);
float AG_Fbm(float x, float y, int period, int octaves, int seed);

// Geometry helpers in final-pixel coordinates.
float AG_SegDist(float px, float py, float ax, float ay, float bx, float by);
bool AG_InPolygon(const float *xy, int n, float px, float py);

// Rings the image's opaque shape with a one-pixel outline of the given colour (not solid).
void AG_Outline(AG_Image &img, AG_Colour ink, float threshold = 0.4f);
