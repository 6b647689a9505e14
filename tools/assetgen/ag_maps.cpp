// Colour and height maps (8-bit, 440 x 440) of the title relief and the five level themes.
#include "ag_assets.h"
#include "ag_io.h"

#include <algorithm>
#include <cmath>

namespace {

const int N = 440;
const float AG_Pi = 3.14159265f;
// How far the fields' small faces lean toward the light: enough to glint under the moving
// lights, little enough that their shadowed edges stay faint and the field reads as a backdrop.
const float AG_FieldTilt = 0.6f;

// Four materials of 64 shades each make the palette; the last is always the runway metal.
struct AG_Theme {
    AG_Colour dark[4], bright[4];
};

struct AG_Map {
    std::vector<float> h;         // height 0..255
    std::vector<uint8_t> mat;     // material 0..3
    std::vector<float> shade;     // 0..1 within the material's ramp
    std::vector<float> tilt;      // the light-facing cells' slopes, added after the blur: planes
                                  // need no smoothing, and their shadowed edges stay thin
    AG_Map() : h(size_t(N) * N, 0), mat(size_t(N) * N, 0), shade(size_t(N) * N, 0.5f), tilt(size_t(N) * N, 0) {}
    size_t I(int x, int y) const { return size_t(y) * N + x; }
};

// The runway channels cut into every map along the bottom and right edges.
void AG_CutRunways(AG_Map &m)
{
    for (int y = 0; y < N; y++)
        for (int x = 0; x < N; x++) {
            bool bottom = y >= 404, right = x >= 404;
            if (!bottom && !right)
                continue;
            float d = bottom && right ? float(std::min(x, y) - 404) : float((bottom ? y : x) - 404);
            float along = bottom && !right ? float(x) : (right && !bottom ? float(y) : 0.0f);
            float h, s;
            if (d < 2) {
                h = 150 - d * 10; // the channel's lip
                s = 0.85f;
            } else if (d < 6) {
                h = 130 - (d - 2) * 22;
                s = 0.55f;
            } else {
                h = 42;
                s = 0.35f;
                // Cross ties every 22 pixels and a guide groove down the middle.
                if (std::fmod(along + 400, 22.0f) < 3 && (bottom != right))
                    h = 58, s = 0.5f;
                if (std::fabs(d - 28) < 1.5f)
                    h = 30, s = 0.2f;
            }
            size_t i = m.I(x, y);
            m.h[i] = h;
            m.mat[i] = 3;
            m.shade[i] = s;
        }
}

// Small cells (chips, shards, grains, plates) that each face the light give the field its shine
// without drawing rings: a cell's face rises away from the centre at the slope that points it at
// the light above the middle, so it catches the highlight, and its outer edge drops into a thin
// shadow. Seeds lie on a jittered grid of `spacing`; nearer the middle, where a flat face is lit
// anyway and the slopes are gentle, some are dropped so the cells grow up to `widest`.
// stretch > 1 draws the cells out sideways (bedding in stone).
struct AG_Cells {
    std::vector<int> id;      // cell of each pixel
    std::vector<float> edge;  // distance to the cell's border, in pixels
    std::vector<float> cx, cy; // each cell's centroid
};

AG_Cells AG_MakeCells(float spacing, float widest, float jitter, float stretch, int seed)
{
    const int G = int(std::ceil(N / spacing)) + 1;
    std::vector<float> sx, sy;
    std::vector<int> grid(size_t(G) * G, -1);
    for (int j = 0; j < G; j++)
        for (int i = 0; i < G; i++) {
            float x = (i + 0.5f + jitter * (AG_Hash(i, j, seed) - 0.5f) + (j % 2) * 0.5f * (1 - jitter)) * spacing;
            float y = (j + 0.5f + jitter * (AG_Hash(i, j, seed + 1) - 0.5f)) * spacing;
            float r = std::hypot(x - 220.0f, y - 220.0f);
            float want = AG_Clamp(spacing * 300 / std::fmax(r, 1.0f), spacing, widest);
            if (AG_Hash(i, j, seed + 2) > (spacing / want) * (spacing / want))
                continue;
            grid[size_t(j) * G + i] = int(sx.size());
            sx.push_back(x);
            sy.push_back(y);
        }
    AG_Cells c;
    c.id.assign(size_t(N) * N, 0);
    c.edge.assign(size_t(N) * N, 0);
    const int K = int(std::ceil(widest * stretch / spacing)) + 1;
    std::vector<float> sumX(sx.size(), 0), sumY(sx.size(), 0), count(sx.size(), 0);
    for (int y = 0; y < N; y++)
        for (int x = 0; x < N; x++) {
            int gi = int(x / spacing), gj = int(y / spacing), best = 0;
            float d1 = 1e9f, d2 = 1e9f;
            for (int j = std::max(0, gj - K); j <= std::min(G - 1, gj + K); j++)
                for (int i = std::max(0, gi - K); i <= std::min(G - 1, gi + K); i++) {
                    int k = grid[size_t(j) * G + i];
                    if (k < 0)
                        continue;
                    float dx = (x - sx[size_t(k)]) / stretch, dy = y - sy[size_t(k)];
                    float d = std::sqrt(dx * dx + dy * dy);
                    if (d < d1) {
                        d2 = d1;
                        d1 = d;
                        best = k;
                    } else if (d < d2)
                        d2 = d;
                }
            size_t i = size_t(y) * N + x;
            c.id[i] = best;
            c.edge[i] = (d2 - d1) * 0.5f;
            sumX[size_t(best)] += x;
            sumY[size_t(best)] += y;
            count[size_t(best)] += 1;
        }
    c.cx.resize(sx.size());
    c.cy.resize(sx.size());
    for (size_t k = 0; k < sx.size(); k++) {
        c.cx[k] = count[k] > 0 ? sumX[k] / count[k] : sx[k];
        c.cy[k] = count[k] > 0 ? sumY[k] / count[k] : sy[k];
    }
    return c;
}

// The tilt of pixel i's cell as a height offset around 0, times `amount` (1 points the cell's
// centre exactly at the light; `scatter` varies it per cell so that they glint unevenly).
float AG_CellTilt(const AG_Cells &c, int x, int y, float amount, float scatter, int seed)
{
    int k = c.id[size_t(y) * N + x];
    float ox = c.cx[size_t(k)] - 220.0f, oy = c.cy[size_t(k)] - 220.0f;
    float a = amount * (1 + scatter * (AG_Hash(k, 0, seed) - 0.5f));
    return a * (ox * (x - c.cx[size_t(k)]) + oy * (y - c.cy[size_t(k)])) / 6;
}

// A soft blur of the heights so that the lit slopes have smooth normals; wraps at the edges.
void AG_BlurHeights(AG_Map &m)
{
    std::vector<float> t(m.h.size());
    for (int y = 0; y < N; y++)
        for (int x = 0; x < N; x++)
            t[m.I(x, y)] = (m.h[m.I((x + N - 1) % N, y)] + 2 * m.h[m.I(x, y)] + m.h[m.I((x + 1) % N, y)]) * 0.25f;
    for (int y = 0; y < N; y++)
        for (int x = 0; x < N; x++)
            m.h[m.I(x, y)] = (t[m.I(x, (y + N - 1) % N)] + 2 * t[m.I(x, y)] + t[m.I(x, (y + 1) % N)]) * 0.25f;
}

void AG_SaveMap(const std::string &base, AG_Map &m, const AG_Theme &th)
{
    AG_CutRunways(m);
    AG_BlurHeights(m);
    for (size_t i = 0; i < m.h.size(); i++)
        m.h[i] += m.mat[i] == 3 ? 0 : m.tilt[i];
    std::vector<uint8_t> pal(256 * 3), grey(256 * 3), idx(size_t(N) * N), hgt(size_t(N) * N);
    for (int mat = 0; mat < 4; mat++)
        for (int s = 0; s < 64; s++) {
            AG_Colour c = AG_Mix(th.dark[mat], th.bright[mat], s / 63.0f);
            int i = mat * 64 + s;
            pal[size_t(i) * 3 + 0] = uint8_t(AG_Clamp(c.r, 0, 1) * 255 + 0.5f);
            pal[size_t(i) * 3 + 1] = uint8_t(AG_Clamp(c.g, 0, 1) * 255 + 0.5f);
            pal[size_t(i) * 3 + 2] = uint8_t(AG_Clamp(c.b, 0, 1) * 255 + 0.5f);
        }
    for (int i = 0; i < 256; i++)
        grey[size_t(i) * 3] = grey[size_t(i) * 3 + 1] = grey[size_t(i) * 3 + 2] = uint8_t(i);
    for (size_t i = 0; i < idx.size(); i++) {
        idx[i] = uint8_t(m.mat[i] * 64 + int(AG_Clamp(m.shade[i], 0, 1) * 63 + 0.5f));
        hgt[i] = uint8_t(AG_Clamp(m.h[i], 0, 255) + 0.5f);
    }
    AG_WriteBMP8(AG_GfxPath(base + "_c.bmp"), N, N, idx, pal);
    AG_WriteBMP8(AG_GfxPath(base + "_h.bmp"), N, N, hgt, grey);
}


// Title: a circuit-board plate with the game's name pressed softly into it: the menu is drawn
// over the whole plate, so the relief under it stays low and the traces thin.
void AG_TitleMap()
{
    AG_Map m;
    AG_Canvas letters(N, N, 2);
    AG_TextStyle st;
    st.size = 78;
    st.stroke = 15;
    st.spacing = 2.2f;
    st.slant = 0.12f;
    st.outlineWidth = 0;
    st.top = st.bottom = {1, 1, 1};
    float w = AG_TextWidth("KORDAX", st);
    AG_DrawText(letters, (N - w) * 0.5f - 6, 140, "KORDAX", st);
    AG_Image L = letters.Resolve();
    // Distance to the letters' edge, approximated by blurring their coverage.
    AG_Image soft = AG_Glow(L, 2.2f, {1, 1, 1}, 1.0f);
    for (int y = 0; y < N; y++)
        for (int x = 0; x < N; x++) {
            size_t i = m.I(x, y);
            // Circuit traces on a grid of 20, with pads at some crossings.
            int gx = x % 20, gy = y % 20, cx = x / 20, cy = y / 20;
            float hh = 70 + 10 * AG_Fbm(x * 0.05f, y * 0.05f, 22, 3, 9);
            float sh = 0.3f;
            int mat = 0;
            bool hTrace = AG_Hash(cx, cy, 1) > 0.45f && gy >= 9 && gy <= 11;
            bool vTrace = AG_Hash(cx, cy, 2) > 0.55f && gx >= 9 && gx <= 11;
            if (hTrace || vTrace) {
                hh += 10;
                sh = 0.6f;
                mat = 1;
            }
            float px = float(gx) - 10, py = float(gy) - 10;
            if (AG_Hash(cx, cy, 3) > 0.7f && px * px + py * py < 20) {
                hh += 14;
                sh = 0.8f;
                mat = 1;
            }
            sh += 0.25f * (AG_Fbm(x * 0.03f, y * 0.03f, 0, 3, 8) - 0.5f);
            float a = L.At(x, y)[3], s = soft.At(x, y)[3];
            if (s > 0.02f) {
                float lift = AG_Smooth(0.0f, 1.0f, s) * 0.6f + a * 0.4f;
                hh += 22 * lift;
                if (lift > 0.3f) {
                    mat = 2;
                    sh = 0.3f + 0.3f * lift;
                }
            }
            m.h[i] = hh;
            m.mat[i] = uint8_t(mat);
            m.shade[i] = sh;
        }
    // A light plate: the swinging coloured lights can only show on a surface that reflects them.
    AG_Theme th = {{{0.22f, 0.26f, 0.34f}, {0.1f, 0.35f, 0.4f}, {0.55f, 0.42f, 0.16f}, {0.15f, 0.17f, 0.22f}},
                   {{0.6f, 0.66f, 0.8f}, {0.5f, 1.0f, 0.95f}, {1.0f, 0.95f, 0.75f}, {0.65f, 0.7f, 0.8f}}};
    AG_SaveMap("kx_title", m, th);
}

// Level 1: sunlit shallows of pale golden sand, soft drifts and a few starfish and shells. The
// sand is a fine grain of tiny faces leaning toward the light: it shines evenly without drawing
// rings, and the moving lights glint on it.
void AG_Level1()
{
    AG_Map m;
    AG_Cells grains = AG_MakeCells(5.0f, 5.0f, 1.0f, 1.0f, 12);
    AG_Rand rnd(11);
    struct Shell {
        float x, y, r, rot;
        bool star;
    };
    std::vector<Shell> shells;
    for (int i = 0; i < 14; i++) {
        bool star = i < 6;
        shells.push_back({rnd.Range(20, 390), rnd.Range(20, 390), star ? rnd.Range(10, 15) : rnd.Range(2.5f, 4.5f),
                          rnd.Range(0, 6.28f), star});
    }
    for (int y = 0; y < N; y++)
        for (int x = 0; x < N; x++) {
            size_t i = m.I(x, y);
            float n = AG_Fbm(x * 0.01f, y * 0.01f, 0, 3, 21);
            // Ripples only in patches, bent by noise, shallow: a texture, not a pattern.
            float bend = AG_Fbm(x * 0.02f, y * 0.02f, 0, 3, 22);
            float patch = AG_Smooth(0.45f, 0.7f, AG_Fbm(x * 0.007f + 5, y * 0.007f, 0, 2, 24));
            float ripple = std::sin(x * 0.11f + y * 0.05f + bend * 12) * patch;
            float hh = 100 + 50 * n + 4 * ripple;
            float sh = 0.67f + 0.35f * (n - 0.5f) + 0.05f * ripple + 0.08f * (AG_Hash(grains.id[i], 1, 13) - 0.5f);
            m.tilt[i] = AG_CellTilt(grains, x, y, AG_FieldTilt, 0.2f, 14);
            int mat = 0;
            for (const Shell &f : shells) {
                float dx = x - f.x, dy = y - f.y, r = std::hypot(dx, dy);
                if (r > f.r)
                    continue;
                float phi = std::atan2(dy, dx) + f.rot;
                if (f.star) {
                    // Five tapering arms, studded along their backs.
                    float arm = f.r * (0.3f + 0.7f * std::pow(std::fabs(std::cos(2.5f * phi)), 4.0f));
                    if (r > arm)
                        continue;
                    float k = 1 - r / arm;
                    hh += 18 * std::sqrt(k);
                    mat = 1;
                    sh = 0.5f + 0.4f * k + (AG_Noise(x * 0.6f, y * 0.6f, 0, 23) > 0.62f ? 0.1f : 0);
                } else {
                    float k = r / f.r;
                    hh += 10 * std::sqrt(1 - k * k);
                    mat = 2;
                    sh = 0.85f - 0.3f * k;
                }
                m.tilt[i] *= 0.3f;
            }
            m.h[i] = hh;
            m.mat[i] = uint8_t(mat);
            m.shade[i] = sh;
        }
    AG_Theme th = {{{0.45f, 0.85f, 0.18f}, {0.9f, 0.36f, 0.22f}, {0.92f, 0.86f, 0.78f}, {0.15f, 0.17f, 0.22f}},
                   {{0.76f, 1.0f, 0.4f}, {1.0f, 0.66f, 0.45f}, {1.0f, 1.0f, 0.96f}, {0.65f, 0.7f, 0.8f}}};
    AG_SaveMap("kx_level1", m, th);
}

// Level 2: sandstone temple blocks with carved glyphs, sand drifted between them. The blocks
// are rough-hewn: their faces are broken into chips drawn out along the bedding.
void AG_Level2()
{
    AG_Map m;
    AG_Cells chips = AG_MakeCells(5.0f, 5.0f, 0.9f, 1.6f, 34);
    for (int y = 0; y < N; y++)
        for (int x = 0; x < N; x++) {
            size_t i = m.I(x, y);
            int row = y / 40;
            int off = (row % 2) * 30;
            int bx = (x + off) % 60, by = y % 40, col = (x + off) / 60;
            float edge = std::fmin(std::fmin(float(bx), float(59 - bx)), std::fmin(float(by), float(39 - by)));
            float grain = AG_Fbm(x * 0.08f, y * 0.08f, 0, 3, 31);
            float face = AG_Clamp(edge / 2.5f, 0, 1);
            int chip = chips.id[i];
            float hh = 50 + 90 * face + 10 * grain;
            m.tilt[i] = face * AG_CellTilt(chips, x, y, AG_FieldTilt, 0.2f, 35);
            float sh = 0.56f + 0.45f * grain + 0.1f * face + 0.06f * (AG_Hash(chip, 1, 36) - 0.5f);
            int mat = 0;
            // A carved glyph on some blocks: an eye, a sun, a zigzag or a bar.
            int kind = int(AG_Hash(col, row, 7) * 5);
            float gx = bx - 30.0f, gy = by - 20.0f;
            bool carve = false;
            if (kind == 0)
                carve = std::fabs(std::hypot(gx * 0.6f, gy) - 8) < 1.6f || std::hypot(gx, gy) < 3;
            else if (kind == 1)
                carve = std::fabs(std::hypot(gx, gy) - 9) < 1.5f || (std::hypot(gx, gy) < 14 && std::fabs(std::sin(std::atan2(gy, gx) * 6)) < 0.12f && std::hypot(gx, gy) > 11);
            else if (kind == 2)
                carve = std::fabs(gy - 5 * std::fabs(std::fmod(gx + 40, 10.0f) - 5) + 2) < 1.4f && std::fabs(gx) < 18;
            else if (kind == 3)
                carve = (std::fabs(gx) < 14 && std::fabs(gy) < 1.5f) || (std::fabs(gx) < 1.5f && std::fabs(gy) < 10);
            if (carve && edge > 5) {
                hh = 105 + 10 * grain;
                m.tilt[i] *= 0.5f;
                sh = 0.55f;
                mat = 1;
            }
            // Sand drifts pooled in the joints.
            float drift = AG_Fbm(x * 0.015f, y * 0.015f, 0, 3, 33);
            if (edge < 4 && drift > 0.45f) {
                hh = 70 + 30 * drift;
                m.tilt[i] = 0;
                mat = 2;
                sh = 0.5f + 0.4f * drift;
            }
            m.h[i] = hh;
            m.mat[i] = uint8_t(mat);
            m.shade[i] = sh;
        }
    AG_Theme th = {{{1.0f, 0.65f, 0.39f}, {0.5f, 0.2f, 0.15f}, {0.95f, 0.6f, 0.45f}, {0.15f, 0.17f, 0.22f}},
                   {{1.0f, 0.82f, 0.56f}, {0.85f, 0.42f, 0.32f}, {1.0f, 0.88f, 0.72f}, {0.65f, 0.7f, 0.8f}}};
    AG_SaveMap("kx_level2", m, th);
}

// Level 3: a crypt floor of irregular flagstones with moss in the joints, each stone worn into
// rounded setts that shine on their inner sides.
void AG_Level3()
{
    AG_Map m;
    AG_Cells setts = AG_MakeCells(5.0f, 5.0f, 1.0f, 1.0f, 48);
    AG_Cells stones = AG_MakeCells(56, 56, 0.6f, 1.0f, 41);
    for (int y = 0; y < N; y++)
        for (int x = 0; x < N; x++) {
            size_t i = m.I(x, y);
            int best = stones.id[i];
            float edge = stones.edge[i];
            float tilt = AG_Hash(best, 0, 43);
            float grain = AG_Fbm(x * 0.1f, y * 0.1f, 0, 3, 44);
            float face = AG_Clamp(edge / 4, 0, 1);
            int sett = setts.id[i];
            float hh = 35 + 55 * face + 10 * grain + 10 * tilt;
            m.tilt[i] = face * AG_CellTilt(setts, x, y, AG_FieldTilt, 0.2f, 49);
            float sh = 0.8f + 0.2f * grain + 0.12f * tilt + 0.08f * (AG_Hash(sett, 2, 50) - 0.5f);
            int mat = 0;
            if (edge < 1.5f) {
                float moss = AG_Fbm(x * 0.06f, y * 0.06f, 0, 3, 46);
                hh = 30 + 25 * moss;
                m.tilt[i] = 0;
                mat = 1;
                sh = 0.3f + 0.6f * moss;
            }
            // Runes carved in a few stones.
            if (AG_Hash(best, 1, 47) > 0.75f) {
                float dx = x - stones.cx[size_t(best)], dy = y - stones.cy[size_t(best)];
                float r = std::hypot(dx, dy);
                if (std::fabs(r - 12) < 1.3f || (r < 12 && std::fabs(dx * 0.7f - std::fabs(dy)) < 1.2f)) {
                    hh -= 12;
                    m.tilt[i] *= 0.5f;
                    mat = 2;
                    sh = 0.8f;
                }
            }
            m.h[i] = hh;
            m.mat[i] = uint8_t(mat);
            m.shade[i] = sh;
        }
    AG_Theme th = {{{0.94f, 0.35f, 0.94f}, {0.42f, 0.72f, 0.42f}, {0.75f, 0.45f, 1.0f}, {0.15f, 0.17f, 0.22f}},
                   {{1.0f, 0.62f, 1.0f}, {0.62f, 0.9f, 0.6f}, {1.0f, 0.85f, 1.0f}, {0.65f, 0.7f, 0.8f}}};
    AG_SaveMap("kx_level3", m, th);
}

// Level 4: a machine deck of riveted plates, hexagonal vents and pipes. The plates are pressed
// with a hexagonal tread whose studs all lean toward the light.
void AG_Level4()
{
    AG_Map m;
    AG_Cells tread = AG_MakeCells(5, 5, 0.8f, 1, 54);
    for (int y = 0; y < N; y++)
        for (int x = 0; x < N; x++) {
            size_t i = m.I(x, y);
            int bx = x % 55, by = y % 55;
            float edge = std::fmin(std::fmin(float(bx), float(54 - bx)), std::fmin(float(by), float(54 - by)));
            float face = AG_Clamp(edge / 3, 0, 1);
            float hh = 70 + 40 * face;
            m.tilt[i] = face * AG_CellTilt(tread, x, y, AG_FieldTilt, 0.2f, 55);
            float sh = 0.8f + 0.1f * AG_Fbm(x * 0.1f, y * 0.1f, 0, 2, 51);
            int mat = 0;
            // Rivets near the plate corners.
            for (int cy = 0; cy < 2; cy++)
                for (int cx = 0; cx < 2; cx++) {
                    float rx = bx - (cx ? 48.0f : 6.0f), ry = by - (cy ? 48.0f : 6.0f);
                    float r = std::hypot(rx, ry);
                    if (r < 2.6f) {
                        hh = 110 + 40 * std::sqrt(1 - r * r / 6.76f);
                        m.tilt[i] = 0;
                        sh = 0.85f;
                    }
                }
            int px = x / 55, py = y / 55;
            float kind = AG_Hash(px, py, 52);
            float gx = bx - 27.5f, gy = by - 27.5f;
            if (kind < 0.35f) {
                // Hexagonal vent grille.
                float ax = std::fabs(gx), ay = std::fabs(gy);
                float hex = std::fmax(ax * 0.866f + ay * 0.5f, ay);
                if (hex < 17) {
                    hh = 60;
                    m.tilt[i] *= 0.5f;
                    mat = 1;
                    sh = 0.45f;
                    if (std::fmod(gx + gy + 100, 5.0f) < 2.2f)
                        hh = 52, sh = 0.35f;
                }
                if (std::fabs(hex - 17) < 1.5f)
                    hh = 120, sh = 0.8f, m.tilt[i] = 0;
            } else if (kind < 0.6f) {
                // A hazard-striped hatch.
                if (std::fabs(gx) < 18 && std::fabs(gy) < 18) {
                    mat = 2;
                    sh = std::fmod(gx - gy + 100, 10.0f) < 5 ? 0.75f : 0.45f;
                    hh = 90;
                    m.tilt[i] = 0;
                }
            }
            // Pipes running across the deck.
            float p1 = std::fabs(float((y + 20) % 110) - 55);
            if (p1 < 6) {
                hh = 110 + 60 * std::sqrt(1 - p1 * p1 / 36);
                m.tilt[i] = 0;
                mat = 0;
                sh = 0.5f + 0.4f * (1 - p1 / 6);
                if (x % 88 < 4)
                    hh += 15;
            }
            // Grime and wear, so the plates are not flat colour.
            sh += 0.12f * (AG_Fbm(x * 0.04f, y * 0.04f, 0, 4, 53) - 0.5f);
            m.h[i] = hh;
            m.mat[i] = uint8_t(mat);
            m.shade[i] = sh;
        }
    AG_Theme th = {{{0.58f, 0.86f, 0.92f}, {0.2f, 0.5f, 0.6f}, {0.35f, 0.3f, 0.1f}, {0.15f, 0.17f, 0.22f}},
                   {{0.6f, 1.0f, 1.0f}, {0.5f, 0.92f, 1.0f}, {1.0f, 0.9f, 0.2f}, {0.65f, 0.7f, 0.8f}}};
    AG_SaveMap("kx_level4", m, th);
}

// Level 5: a moon of pale dust with soft, worn craters and a few glowing mineral veins. The dust
// is a fine grain of faces leaning toward the light, so the plain shines without a pattern.
void AG_Level5()
{
    AG_Map m;
    AG_Cells grains = AG_MakeCells(5.0f, 5.0f, 1.0f, 1.0f, 63);
    AG_Rand rnd(55);
    struct Crater {
        float x, y, r;
    };
    std::vector<Crater> craters;
    for (int i = 0; i < 16; i++) {
        float r = i < 3 ? rnd.Range(35, 55) : rnd.Range(8, 22);
        craters.push_back({rnd.Range(0, N), rnd.Range(0, N), r});
    }
    for (int y = 0; y < N; y++)
        for (int x = 0; x < N; x++) {
            size_t i = m.I(x, y);
            float n = AG_Fbm(x * 0.015f, y * 0.015f, 0, 4, 61);
            float hh = 110 + 50 * n;
            float sh = 0.7f + 0.4f * (n - 0.5f) + 0.08f * (AG_Hash(grains.id[i], 3, 64) - 0.5f);
            m.tilt[i] = AG_CellTilt(grains, x, y, AG_FieldTilt, 0.2f, 65);
            int mat = 0;
            for (const Crater &c : craters) {
                // Craters wrap around the edges so the surface tiles; worn, so bowl and rim are low.
                float dx = std::fabs(x - c.x), dy = std::fabs(y - c.y);
                dx = std::fmin(dx, N - dx);
                dy = std::fmin(dy, N - dy);
                float r = std::hypot(dx, dy) / c.r;
                if (r < 1.6f) {
                    float bowl = r < 1 ? -36 * (1 - r * r) : 0;
                    float rim = 16 * std::exp(-(r - 1) * (r - 1) / 0.06f);
                    hh += bowl + rim;
                    if (r < 1)
                        sh -= 0.2f * (1 - r * r);
                }
            }
            float vein = std::fabs(AG_Fbm(x * 0.012f, y * 0.012f, 0, 4, 62) - 0.5f);
            if (vein < 0.008f) {
                mat = 1;
                sh = 1 - vein * 50;
                m.tilt[i] *= 0.5f;
            }
            m.h[i] = hh;
            m.mat[i] = uint8_t(mat);
            m.shade[i] = sh;
        }
    AG_Theme th = {{{0.88f, 0.88f, 0.92f}, {0.9f, 0.3f, 0.7f}, {0.8f, 0.8f, 0.8f}, {0.15f, 0.17f, 0.22f}},
                   {{1.0f, 1.0f, 1.0f}, {1.0f, 0.6f, 0.92f}, {1.0f, 1.0f, 1.0f}, {0.65f, 0.7f, 0.8f}}};
    AG_SaveMap("kx_level5", m, th);
}

} // namespace

void AG_GenMaps()
{
    AG_TitleMap();
    AG_Level1();
    AG_Level2();
    AG_Level3();
    AG_Level4();
    AG_Level5();
}
