// Supersampled raster canvas, images, shading helpers and conversion to file pixels.
#include "ag_raster.h"

AG_Image AG_Canvas::Resolve() const
{
    AG_Image img(w, h);
    float k = 1.0f / (s * s);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            float acc[5] = {0, 0, 0, 0, 0};
            for (int j = 0; j < s; j++) {
                const float *p = &smp[((size_t(y) * s + j) * w * s + size_t(x) * s) * 5];
                for (int i = 0; i < s; i++)
                    for (int c = 0; c < 5; c++)
                        acc[c] += p[i * 5 + c];
            }
            float *d = img.At(x, y);
            for (int c = 0; c < 5; c++)
                d[c] = acc[c] * k;
        }
    return img;
}

void AG_Over(AG_Image &dst, const AG_Image &src, int dx, int dy)
{
    for (int y = 0; y < src.h; y++) {
        int ty = y + dy;
        if (ty < 0 || ty >= dst.h)
            continue;
        for (int x = 0; x < src.w; x++) {
            int tx = x + dx;
            if (tx < 0 || tx >= dst.w)
                continue;
            const float *s = src.At(x, y);
            float *d = dst.At(tx, ty);
            float k = 1 - s[3];
            for (int c = 0; c < 5; c++)
                d[c] = s[c] + d[c] * k;
        }
    }
}

AG_Image AG_Crop(const AG_Image &src, int x0, int y0, int w, int h)
{
    AG_Image img(w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            int sx = x + x0, sy = y + y0;
            if (sx < 0 || sy < 0 || sx >= src.w || sy >= src.h)
                continue;
            const float *s = src.At(sx, sy);
            float *d = img.At(x, y);
            for (int c = 0; c < 5; c++)
                d[c] = s[c];
        }
    return img;
}

AG_Image AG_Transpose(const AG_Image &src)
{
    AG_Image img(src.h, src.w);
    for (int y = 0; y < src.h; y++)
        for (int x = 0; x < src.w; x++) {
            const float *s = src.At(x, y);
            float *d = img.At(y, x);
            for (int c = 0; c < 5; c++)
                d[c] = s[c];
        }
    return img;
}

AG_Image AG_FlipX(const AG_Image &src)
{
    AG_Image img(src.w, src.h);
    for (int y = 0; y < src.h; y++)
        for (int x = 0; x < src.w; x++) {
            const float *s = src.At(src.w - 1 - x, y);
            float *d = img.At(x, y);
            for (int c = 0; c < 5; c++)
                d[c] = s[c];
        }
    return img;
}

AG_Image AG_Glow(const AG_Image &src, float radius, AG_Colour tint, float strength)
{
    // Separable Gaussian blur of alpha.
    int r = int(std::ceil(radius * 2.5f));
    std::vector<float> kern(size_t(2 * r + 1));
    float sum = 0;
    for (int i = -r; i <= r; i++) {
        kern[size_t(i + r)] = std::exp(-0.5f * (i * i) / (radius * radius));
        sum += kern[size_t(i + r)];
    }
    for (float &k : kern)
        k /= sum;
    std::vector<float> a(size_t(src.w) * src.h), t(a.size());
    for (int y = 0; y < src.h; y++)
        for (int x = 0; x < src.w; x++)
            a[size_t(y) * src.w + x] = src.At(x, y)[3];
    for (int y = 0; y < src.h; y++)
        for (int x = 0; x < src.w; x++) {
            float acc = 0;
            for (int i = -r; i <= r; i++) {
                int sx = x + i;
                if (sx >= 0 && sx < src.w)
                    acc += a[size_t(y) * src.w + sx] * kern[size_t(i + r)];
            }
            t[size_t(y) * src.w + x] = acc;
        }
    AG_Image img(src.w, src.h);
    for (int y = 0; y < src.h; y++)
        for (int x = 0; x < src.w; x++) {
            float acc = 0;
            for (int i = -r; i <= r; i++) {
                int sy = y + i;
                if (sy >= 0 && sy < src.h)
                    acc += t[size_t(sy) * src.w + x] * kern[size_t(i + r)];
            }
            float g = AG_Clamp(acc * strength, 0, 1);
            float *d = img.At(x, y);
            d[0] = tint.r * g;
            d[1] = tint.g * g;
            d[2] = tint.b * g;
            d[3] = g;
            d[4] = 0;
        }
    return img;
}

static uint8_t AG_Byte(float v)
{
    v = AG_Clamp(v, 0, 1) * 255.0f + 0.5f;
    return uint8_t(v);
}

std::vector<uint8_t> AG_ToRGB(const AG_Image &img, AG_Colour bg)
{
    std::vector<uint8_t> out(size_t(img.w) * img.h * 3);
    for (int y = 0; y < img.h; y++)
        for (int x = 0; x < img.w; x++) {
            const float *s = img.At(x, y);
            float k = 1 - s[3];
            uint8_t *d = &out[(size_t(y) * img.w + x) * 3];
            d[0] = AG_Byte(s[0] + bg.r * k);
            d[1] = AG_Byte(s[1] + bg.g * k);
            d[2] = AG_Byte(s[2] + bg.b * k);
        }
    return out;
}

void AG_AvoidKey(uint8_t *p, uint32_t key)
{
    int kr = (key >> 16) & 255, kg = (key >> 8) & 255, kb = key & 255;
    // Equal after reduction to 5-6-5 (the coarsest depth the game runs at) means transparent.
    if ((p[0] >> 3) == (kr >> 3) && (p[1] >> 2) == (kg >> 2) && (p[2] >> 3) == (kb >> 3)) {
        if (kr < 128) {
            p[0] = uint8_t(p[0] < 10 ? 10 : p[0]);
            p[2] = uint8_t(p[2] < 14 ? 14 : p[2]);
        } else {
            p[1] = 24;
        }
    }
}

std::vector<uint8_t> AG_ToKeyed(const AG_Image &img, uint32_t key, float threshold, AG_Colour fringe)
{
    std::vector<uint8_t> out(size_t(img.w) * img.h * 3);
    for (int y = 0; y < img.h; y++)
        for (int x = 0; x < img.w; x++) {
            const float *s = img.At(x, y);
            uint8_t *d = &out[(size_t(y) * img.w + x) * 3];
            if (s[3] < threshold) {
                d[0] = uint8_t(key >> 16);
                d[1] = uint8_t(key >> 8);
                d[2] = uint8_t(key);
                continue;
            }
            float k = 1 - s[3];
            d[0] = AG_Byte(s[0] + fringe.r * k);
            d[1] = AG_Byte(s[1] + fringe.g * k);
            d[2] = AG_Byte(s[2] + fringe.b * k);
            AG_AvoidKey(d, key);
        }
    return out;
}

std::vector<uint8_t> AG_SolidMask(const AG_Image &img)
{
    std::vector<uint8_t> out(size_t(img.w) * img.h);
    for (int y = 0; y < img.h; y++)
        for (int x = 0; x < img.w; x++)
            out[size_t(y) * img.w + x] = img.At(x, y)[4] >= 0.5f ? 1 : 0;
    return out;
}

AG_Colour AG_Lit(AG_Colour base, float nx, float ny, float nz, float shine, float ambient)
{
    const float lx = -0.45f, ly = -0.6f, lz = 0.66f; // normalised, upper left and in front
    float len = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (len > 0) {
        nx /= len;
        ny /= len;
        nz /= len;
    }
    float d = nx * lx + ny * ly + nz * lz;
    if (d < 0)
        d = 0;
    // Half vector between the light and the viewer (0, 0, 1).
    float hx = lx, hy = ly, hz = lz + 1;
    float hl = std::sqrt(hx * hx + hy * hy + hz * hz);
    float sp = (nx * hx + ny * hy + nz * hz) / hl;
    sp = sp > 0 ? std::pow(sp, 28.0f) * shine : 0;
    float k = ambient + (1 - ambient) * 1.15f * d;
    return {base.r * k + sp, base.g * k + sp, base.b * k + sp};
}

float AG_Hash(int x, int y, int seed)
{
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / 16777216.0f;
}

float AG_Noise(float x, float y, int period, int seed)
{
    float fx = std::floor(x), fy = std::floor(y);
    int ix = int(fx), iy = int(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    auto wrap = [period](int v) { return period > 0 ? ((v % period) + period) % period : v; };
    float a = AG_Hash(wrap(ix), wrap(iy), seed), b = AG_Hash(wrap(ix + 1), wrap(iy), seed);
    float c = AG_Hash(wrap(ix), wrap(iy + 1), seed), d = AG_Hash(wrap(ix + 1), wrap(iy + 1), seed);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

float AG_Fbm(float x, float y, int period, int octaves, int seed)
{
    float sum = 0, amp = 0.5f, norm = 0;
    for (int o = 0; o < octaves; o++) {
        sum += AG_Noise(x, y, period, seed + o * 17) * amp;
        norm += amp;
        x *= 2;
        y *= 2;
        period *= 2;
        amp *= 0.5f;
    }
    return sum / norm;
}

float AG_SegDist(float px, float py, float ax, float ay, float bx, float by)
{
    float dx = bx - ax, dy = by - ay;
    float l2 = dx * dx + dy * dy;
    float t = l2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / l2 : 0;
    t = AG_Clamp(t, 0, 1);
    float ex = ax + dx * t - px, ey = ay + dy * t - py;
    return std::sqrt(ex * ex + ey * ey);
}

bool AG_InPolygon(const float *xy, int n, float px, float py)
{
    bool in = false;
    for (int i = 0, j = n - 1; i < n; j = i++) {
        float xi = xy[i * 2], yi = xy[i * 2 + 1], xj = xy[j * 2], yj = xy[j * 2 + 1];
        if (((yi > py) != (yj > py)) && (px < (xj - xi) * (py - yi) / (yj - yi) + xi))
            in = !in;
    }
    return in;
}

void AG_Outline(AG_Image &img, AG_Colour ink, float threshold)
{
    AG_Image src = img;
    for (int y = 0; y < img.h; y++)
        for (int x = 0; x < img.w; x++) {
            if (src.At(x, y)[3] >= threshold)
                continue;
            bool edge = false;
            for (int k = 0; k < 4 && !edge; k++) {
                int nx = x + (k == 0) - (k == 1), ny = y + (k == 2) - (k == 3);
                edge = nx >= 0 && ny >= 0 && nx < img.w && ny < img.h && src.At(nx, ny)[3] >= threshold;
            }
            if (!edge)
                continue;
            float *d = img.At(x, y);
            float a = d[3];
            // Keep whatever faint colour was there, under the ink.
            d[0] = ink.r * (1 - a) + d[0];
            d[1] = ink.g * (1 - a) + d[1];
            d[2] = ink.b * (1 - a) + d[2];
            d[3] = 1;
        }
}
