// The status and high-score panels, life and zap icons and the threshold bar.
#include "ag_assets.h"

namespace {

void AG_PanelBase(AG_Canvas &cv, int seed)
{
    AG_DrawPlate(cv, 0, 0, 160, 480, 3, AG_Style::Steel, seed);
    // A dark seam at the left edge parts the panel from the runway frame.
    cv.Paint(0, 0, 3, 480, [](float, float) {
        AG_Sample o;
        o.c = AG_Style::SteelLo;
        o.a = 1;
        return o;
    });
    // The logo, with a lit groove under it.
    AG_TextStyle rim = AG_PlainType(22);
    rim.stroke = 7;
    rim.outlineWidth = 1.5f;
    rim.spacing = 2.2f;
    rim.top = {0.35f, 0.95f, 1.0f};
    rim.bottom = {0.1f, 0.4f, 1.0f};
    float w = AG_TextWidth("KORDAX", rim);
    AG_DrawText(cv, 80 - w * 0.5f - 1, 22, "KORDAX", rim);
    AG_TextStyle face = rim;
    face.stroke = 3.6f;
    face.outlineWidth = 0;
    face.top = {1, 1, 1};
    face.bottom = {0.6f, 0.85f, 1.0f};
    AG_DrawText(cv, 80 - w * 0.5f - 1, 22, "KORDAX", face);
    AG_TextStyle sub = AG_PlainType(7);
    sub.stroke = 1.2f;
    sub.outlineWidth = 0.8f;
    sub.top = sub.bottom = {0.45f, 0.65f, 0.85f};
    float sw = AG_TextWidth("PERIMETER DEFENCE", sub);
    AG_DrawText(cv, 80 - sw * 0.5f, 58, "PERIMETER DEFENCE", sub);
    AG_DrawWindow(cv, 12, 76, 148, 78);
}

void AG_Label(AG_Canvas &cv, float x, float y, const char *text, bool amber = false)
{
    AG_TextStyle st = amber ? AG_HighType(9) : AG_PlainType(9);
    st.stroke = 1.5f;
    st.outlineWidth = 1.0f;
    if (!amber) {
        st.top = {0.6f, 0.85f, 1.0f};
        st.bottom = {0.35f, 0.6f, 0.9f};
    }
    AG_DrawText(cv, x, y, text, st);
}

// A small indicator lamp.
void AG_Lamp(AG_Canvas &cv, float cx, float cy, AG_Colour c)
{
    cv.Paint(cx - 3, cy - 3, cx + 3, cy + 3, [&](float x, float y) {
        AG_Sample o;
        float dx = x - cx, dy = y - cy, d = std::sqrt(dx * dx + dy * dy);
        if (d > 2.6f)
            return o;
        o.c = AG_Lit(c, dx / 2.6f, dy / 2.6f, std::sqrt(std::fmax(0.0f, 1 - d * d / 6.76f)), 0.9f, 0.6f);
        o.a = 1;
        return o;
    });
}

void AG_GamePanel()
{
    AG_Canvas cv(160, 480, 3);
    AG_PanelBase(cv, 11);
    const AG_Colour p1 = {1.0f, 0.6f, 0.15f}, p2 = {0.3f, 1.0f, 0.5f};
    for (int p = 0; p < 2; p++) {
        float top = p == 0 ? 0 : 118; // player 2's block sits 118 pixels lower
        AG_Label(cv, 20, 114 + top, p == 0 ? "PLAYER 1" : "PLAYER 2", true);
        AG_Lamp(cv, 138, 119 + top, p == 0 ? p1 : p2);
        AG_DrawWindow(cv, 32, 133 + top, 110, 159 + top);
        AG_Label(cv, 20, 165 + top, "LIVES");
        AG_DrawWindow(cv, 17, 177 + top, 123, 201 + top);
    }
    AG_Label(cv, 20, 343, "ELECTRO ZAPS");
    AG_DrawWindow(cv, 17, 357, 123, 381);
    AG_Label(cv, 20, 400, "THRESHOLD");
    AG_DrawWindow(cv, 13, 417, 145, 437);
    // Footer grille.
    cv.Paint(12, 452, 148, 468, [](float x, float y) {
        AG_Sample o;
        int col = int(x) % 6;
        o.c = col < 3 ? AG_Style::SteelLo : AG_Mix(AG_Style::Steel, AG_Style::SteelHi, 0.25f);
        o.a = 1;
        return o;
    });
    AG_SaveOpaque("kx_panel_game.bmp", cv.Resolve(), AG_Style::Steel);
}

void AG_ScorePanel()
{
    AG_Canvas cv(160, 480, 3);
    AG_PanelBase(cv, 12);
    AG_TextStyle head = AG_HighType(12);
    head.stroke = 2.0f;
    float w = AG_TextWidth("HIGH SCORES", head);
    AG_DrawText(cv, 80 - w * 0.5f, 100, "HIGH SCORES", head);
    for (int k = 0; k < 10; k++) {
        float y = 146.0f + 32 * k;
        AG_DrawWindow(cv, 35, y - 3, 147, y + 19);
        AG_TextStyle rank = AG_HighType(9);
        rank.stroke = 1.5f;
        rank.outlineWidth = 1.0f;
        std::string s = std::to_string(k + 1);
        AG_DrawText(cv, 29 - AG_TextWidth(s, rank), y + 4, s, rank);
    }
    AG_SaveOpaque("kx_panel_score.bmp", cv.Resolve(), AG_Style::Steel);
}

// A life: a small turret, as on the runway.
void AG_LifeIcon()
{
    AG_Canvas cv(18, 18, 6);
    cv.PaintAll([](float x, float y) {
        AG_Sample o;
        float dx = x - 9, dy = y - 11;
        // Barrel.
        if (std::fabs(dx) < 1.6f && y > 1.5f && y < 10) {
            o.c = AG_Lit({0.75f, 0.8f, 0.9f}, dx / 1.6f, 0, 1, 0.8f);
            o.a = 1;
            return o;
        }
        // Dome.
        float d = std::sqrt(dx * dx + dy * dy);
        if (d < 5.5f && dy < 1) {
            o.c = AG_Lit({0.3f, 0.75f, 1.0f}, dx / 5.5f, dy / 5.5f, std::sqrt(std::fmax(0.0f, 1 - d * d / 30.25f)), 1.0f);
            o.a = 1;
            return o;
        }
        // Hull.
        if (y >= 11 && y < 16.5f && std::fabs(dx) < 8.2f - (y - 11) * 0.5f) {
            o.c = AG_Lit({0.55f, 0.6f, 0.7f}, dx / 9, 0.3f, 1, 0.5f);
            if (y > 14.5f)
                o.c = AG_Scale(o.c, 0.6f);
            o.a = 1;
        }
        return o;
    });
    AG_SaveKeyed("kx_life.bmp", cv.Resolve(), 0xFF00FF);
}

// An electro zap: a lightning bolt in a cyan orb.
void AG_ZapIcon()
{
    AG_Canvas cv(18, 18, 6);
    const float bolt[] = {10.5f, 1.5f, 4.5f, 10, 8.5f, 10, 6.5f, 16.5f, 13.5f, 7.5f, 9.5f, 7.5f};
    cv.PaintAll([&](float x, float y) {
        AG_Sample o;
        float dx = x - 9, dy = y - 9, d = std::sqrt(dx * dx + dy * dy);
        if (d > 8.6f)
            return o;
        if (AG_InPolygon(bolt, 6, x, y)) {
            o.c = AG_Mix({1, 1, 0.85f}, {1.0f, 0.85f, 0.3f}, y / 18);
        } else {
            float t = d / 8.6f;
            o.c = AG_Mix({0.2f, 0.7f, 1.0f}, {0.05f, 0.2f, 0.5f}, t);
            if (t > 0.85f)
                o.c = {0.5f, 0.95f, 1.0f};
        }
        o.a = 1;
        return o;
    });
    AG_SaveKeyed("kx_electro.bmp", cv.Resolve(), 0xFF00FF);
}

// The threshold bar: 26 lit segments, cyan to violet; the gaps show the panel.
void AG_ThresholdBar()
{
    AG_Canvas cv(130, 18, 4);
    cv.PaintAll([](float x, float y) {
        AG_Sample o;
        float sx = std::fmod(x, 5.0f);
        if (sx < 0.5f || sx > 4.5f || y < 1.5f || y > 16.5f)
            return o;
        float t = x / 130;
        AG_Colour c = AG_Mix({0.2f, 1.0f, 0.85f}, {0.75f, 0.3f, 1.0f}, t);
        float v = (y - 1.5f) / 15;
        // Rounded tube shading across the bar's height.
        float shade = 0.55f + 0.75f * std::sin(v * 3.14159f) + 0.35f * std::pow(1 - std::fabs(v - 0.3f), 12.0f);
        o.c = AG_Scale(c, shade);
        o.a = 1;
        return o;
    });
    AG_SaveKeyed("threshold_bar.bmp", cv.Resolve(), 0);
}

} // namespace

void AG_GenPanels()
{
    AG_GamePanel();
    AG_ScorePanel();
    AG_LifeIcon();
    AG_ZapIcon();
    AG_ThresholdBar();
}
