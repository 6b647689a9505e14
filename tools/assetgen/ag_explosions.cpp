// Explosions (three kinds, 16 frames each) and the electro zap's spreading ring (12 frames).
#include "ag_assets.h"

namespace {

const float AG_Pi = 3.14159265f;

struct AG_Burst {
    int size;
    AG_Colour hot, mid, cool, smoke;
    int seed;
    int sparks;
    bool shockRing;
};

// Colour ramp by heat: smoke, cool, mid, hot, white.
AG_Colour AG_HeatColour(const AG_Burst &b, float h)
{
    if (h < 0.25f)
        return AG_Mix(b.smoke, b.cool, h / 0.25f);
    if (h < 0.5f)
        return AG_Mix(b.cool, b.mid, (h - 0.25f) / 0.25f);
    if (h < 0.8f)
        return AG_Mix(b.mid, b.hot, (h - 0.5f) / 0.3f);
    return AG_Mix(b.hot, {1, 1, 1}, AG_Clamp((h - 0.8f) / 0.4f, 0, 1));
}

AG_Image AG_BurstFrame(const AG_Burst &b, int f)
{
    AG_Canvas cv(b.size, b.size, 2);
    float t = f / 15.0f, c = b.size * 0.5f;
    // The cloud swells quickly, then slowly, while it cools and tears into smoke.
    float R = b.size * 0.47f * (0.2f + 0.8f * (1 - (1 - t) * (1 - t) * (1 - t)));
    float fade = std::pow(1 - t, 1.1f);
    float erosion = std::pow(t, 1.5f) * 0.64f;
    AG_Rand rnd(uint64_t(b.seed));
    struct Spark {
        float dx, dy, speed, len;
    };
    std::vector<Spark> sparks;
    for (int i = 0; i < b.sparks; i++) {
        float a = rnd.Range(0, 2 * AG_Pi);
        sparks.push_back({std::cos(a), std::sin(a), rnd.Range(0.55f, 1.0f), rnd.Range(2.0f, 5.0f)});
    }
    cv.PaintAll([&](float x, float y) {
        AG_Sample o;
        o.solid = false;
        float dx = x - c, dy = y - c;
        float d = std::sqrt(dx * dx + dy * dy) / R;
        // Turbulence scaled with the cloud, so its billows grow with it.
        float n = AG_Fbm(dx / R * 1.6f + b.seed * 0.37f, dy / R * 1.6f - t * 0.8f, 0, 4, b.seed);
        float shape = 1 - d + (n - 0.5f) * 0.9f;
        // Late on, the cloud keeps its size but tears into puffs of smoke.
        float puff = erosion > 0 && shape > 0.05f ? AG_Fbm(dx * 0.18f + b.seed, dy * 0.18f, 0, 3, b.seed + 5) : 1;
        if (shape > 0.05f && puff > erosion + (1 - shape) * 0.15f) {
            float heat = AG_Clamp(shape * 1.5f + (1 - d) * 0.7f, 0, 1.6f) * fade;
            o.c = AG_HeatColour(b, heat);
            o.a = AG_Clamp((shape - 0.05f) * 8, 0, 1);
        }
        if (b.shockRing && t < 0.5f) {
            float rr = b.size * 0.5f * (0.25f + t * 1.3f);
            float ring = std::fabs(std::sqrt(dx * dx + dy * dy) - rr);
            if (ring < 1.1f * (1 - t * 1.6f)) {
                o.c = AG_Mix({1, 1, 1}, b.hot, t * 2);
                o.a = 1;
            }
        }
        if (t < 0.65f)
            for (const Spark &s : sparks) {
                float dist = (0.2f + t * 1.25f) * s.speed * b.size * 0.5f;
                float hx = c + s.dx * dist, hy = c + s.dy * dist;
                float len = s.len * (1 - t);
                float tx = hx - s.dx * len, ty = hy - s.dy * len;
                if (AG_SegDist(x, y, tx, ty, hx, hy) < 0.75f) {
                    o.c = AG_Mix({1, 1, 0.8f}, b.hot, t * 1.4f);
                    o.a = 1;
                }
            }
        return o;
    });
    return cv.Resolve();
}

void AG_WriteBurst(const char *name, const char *comment, const AG_Burst &b)
{
    std::vector<AG_Image> frames;
    for (int f = 0; f < 16; f++)
        frames.push_back(AG_BurstFrame(b, f));
    AG_WriteSprite({name, "NONE", false, 8, comment}, frames);
}

// The electro ring: frame f shows the ring at the radius the zap's lights reach then: two
// wandering strands of lightning with bolts forking off them.
AG_Image AG_ElectroFrame(int f)
{
    float r = 0.362f * (50.0f * f + 25); // the ring grows 362 pixels a second; 50 ms a frame
    int size = 2 * (int(r) + 16);
    AG_Canvas cv(size, size, 2);
    float c = size * 0.5f;
    float fade = 1 - f / 14.0f;
    // Forks: short jagged polylines leaving the ring inward and outward.
    AG_Rand rnd(uint64_t(900 + f));
    std::vector<float> segs; // x0, y0, x1, y1
    int forks = 10 + f;
    for (int k = 0; k < forks; k++) {
        float a = rnd.Range(0, 2 * AG_Pi), out = rnd.Uniform() > 0.5f ? 1.0f : -1.0f;
        float len = rnd.Range(6, 13) * (0.6f + 0.4f * fade);
        float px = c + r * std::cos(a), py = c + r * std::sin(a);
        for (int j = 0; j < 4; j++) {
            float step = len / 4;
            float ja = a + rnd.Range(-0.9f, 0.9f) / (r * 0.05f + 1);
            float nx = px + std::cos(ja) * step * out, ny = py + std::sin(ja) * step * out;
            nx += rnd.Range(-2, 2);
            ny += rnd.Range(-2, 2);
            segs.insert(segs.end(), {px, py, nx, ny});
            px = nx;
            py = ny;
        }
    }
    cv.PaintAll([&](float x, float y) {
        AG_Sample o;
        o.solid = false;
        float dx = x - c, dy = y - c;
        float d = std::sqrt(dx * dx + dy * dy);
        if (std::fabs(d - r) > 16)
            return o;
        float a = std::atan2(dy, dx);
        float k = a / (2 * AG_Pi) + 0.5f;
        for (int strand = 0; strand < 2; strand++) {
            float wob = (AG_Noise(k * 24, float(f) * 3.1f + strand * 7, 24, 77 + strand) - 0.5f) * 8 +
                        (AG_Noise(k * 64, float(f) + strand * 3, 64, 78 + strand) - 0.5f) * 4;
            float ring = std::fabs(d - r - wob);
            float w = (strand == 0 ? 1.3f : 0.8f) + 0.9f * fade;
            if (ring < w) {
                o.c = AG_Mix({1, 1, 1}, {0.35f, 0.95f, 1.0f}, ring / w);
                o.a = 1;
                return o;
            }
        }
        for (size_t i = 0; i < segs.size(); i += 4)
            if (AG_SegDist(x, y, segs[i], segs[i + 1], segs[i + 2], segs[i + 3]) < 0.7f) {
                o.c = {0.6f, 0.95f, 1.0f};
                o.a = 1;
                return o;
            }
        return o;
    });
    return cv.Resolve();
}

} // namespace

void AG_GenExplosions()
{
    AG_WriteBurst("explosion1", "Enemy explosion: a fireball",
                  {64, {1.0f, 0.9f, 0.45f}, {1.0f, 0.5f, 0.1f}, {0.7f, 0.15f, 0.05f}, {0.18f, 0.12f, 0.12f}, 101, 10, false});
    AG_WriteBurst("explosion2", "Enemy explosion: a plasma burst",
                  {64, {0.8f, 1.0f, 1.0f}, {0.3f, 0.6f, 1.0f}, {0.45f, 0.15f, 0.8f}, {0.12f, 0.1f, 0.22f}, 202, 12, false});
    AG_WriteBurst("explosion3", "Turret explosion: white-hot with a shock ring",
                  {128, {1.0f, 0.95f, 0.7f}, {1.0f, 0.6f, 0.15f}, {0.8f, 0.2f, 0.05f}, {0.16f, 0.14f, 0.15f}, 303, 16, true});
    std::vector<AG_Image> ring;
    for (int f = 0; f < 12; f++)
        ring.push_back(AG_ElectroFrame(f));
    AG_WriteSprite({"electro_exp", "NONE", false, 12, "Electro zap: a ring of lightning spreading from the centre"}, ring);
}
