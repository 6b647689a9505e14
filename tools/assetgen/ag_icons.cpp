// The desktop icons: the X laser turret on its runway, on a rounded night-blue tile.
#include "ag_assets.h"
#include "ag_io.h"
#include "sys_png.h"

#include <cerrno>
#include <sys/stat.h>

namespace {

// The tile is drawn in 48 units whatever the size, so every size shows the same picture.
const float AG_IconUnits = 48;

AG_Image AG_IconTile(int size)
{
    AG_Canvas cv(size, size, 4);
    cv.unit = size / AG_IconUnits;
    const float x0 = 2, y0 = 2, x1 = 46, y1 = 46, r = 9;
    cv.PaintAll([&](float x, float y) {
        AG_Sample o;
        // Distance inside the rounded square (negative outside).
        float qx = std::fmax(std::fmax(x0 + r - x, x - (x1 - r)), 0.0f);
        float qy = std::fmax(std::fmax(y0 + r - y, y - (y1 - r)), 0.0f);
        float inside = r - std::sqrt(qx * qx + qy * qy);
        inside = std::fmin(inside, std::fmin(std::fmin(x - x0, x1 - x), std::fmin(y - y0, y1 - y)));
        if (inside < 0)
            return o;
        float t = (y - y0) / (y1 - y0);
        AG_Colour c = AG_Mix({0.05f, 0.10f, 0.24f}, {0.01f, 0.02f, 0.07f}, t);
        // A faint relief, as on the playfield.
        c = AG_Add(c, AG_Scale({0.2f, 0.35f, 0.6f}, (AG_Fbm(x * 0.12f, y * 0.12f, 0, 3, 401) - 0.5f) * 0.25f));
        // The runway along the bottom, with its guide lights.
        if (y > 35 && y < 41) {
            c = AG_Mix(AG_Style::Steel, AG_Style::SteelHi, y < 36.2f ? 0.8f : 0.15f);
            if (y > 37.5f && y < 38.5f && std::fmod(x + 1.5f, 6.0f) < 1.5f)
                c = AG_Style::Glow;
        }
        // A glowing rim.
        if (inside < 1.2f)
            c = AG_Mix(c, AG_Style::Glow, 0.8f * (1 - inside / 1.2f));
        o.c = c;
        o.a = 1;
        return o;
    });
    return cv.Resolve();
}

void AG_WriteIcon(const std::string &path, int size)
{
    AG_Image img = AG_IconTile(size);
    float unit = size / AG_IconUnits;
    AG_Image turret = AG_Turret(0, 0, unit * 0.95f);
    // Turret centre over the tile's centre line, its sled on the runway.
    AG_Over(img, turret, int(24 * unit - turret.w / 2.0f + 0.5f), int(6 * unit + 0.5f));
    std::vector<uint8_t> rgba(size_t(size) * size * 4);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            const float *p = img.At(x, y);
            uint8_t *d = &rgba[(size_t(y) * size + x) * 4];
            float a = AG_Clamp(p[3], 0, 1);
            for (int c = 0; c < 3; c++)
                d[c] = uint8_t(AG_Clamp(a > 0 ? p[c] / a : 0, 0, 1) * 255 + 0.5f);
            d[3] = uint8_t(a * 255 + 0.5f);
        }
    if (!Sys_WritePNGAlpha(path.c_str(), rgba.data(), size, size))
        AG_Fail("cannot write " + path);
}

} // namespace

void AG_GenIcons()
{
    // The run directory is where gfx/ lies.
    std::string gfx = AG_GfxPath("");
    std::string dir = gfx.substr(0, gfx.size() - 4) + "icons";
    if (mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST)
        AG_Fail("cannot create " + dir);
    for (int size : {32, 64, 128, 256})
        AG_WriteIcon(dir + "/kordax_" + std::to_string(size) + ".png", size);
}
