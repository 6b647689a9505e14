// Title menu pictures: the eight items with their variants, instruction lines and percent digits.
#include "ag_assets.h"

namespace {

const int AG_ItemW = 399, AG_ItemH = 40, AG_ItemPitch = 41;

// The highlight bar behind a selected item.
void AG_SelectBar(AG_Canvas &cv, float y0)
{
    float x0 = 3, x1 = AG_ItemW - 3, y1 = y0 + AG_ItemH, r = 8;
    cv.Paint(x0, y0, x1, y1, [&](float x, float y) {
        AG_Sample o;
        // Rounded rectangle by distance to the inner box.
        float qx = std::fmax(std::fmax(x0 + r - x, x - (x1 - r)), 0.0f);
        float qy = std::fmax(std::fmax(y0 + r - y, y - (y1 - r)), 0.0f);
        float d = std::sqrt(qx * qx + qy * qy);
        if (d > r)
            return o;
        float t = (y - y0) / AG_ItemH;
        AG_Colour c = AG_Mix({0.05f, 0.20f, 0.34f}, {0.02f, 0.07f, 0.15f}, t);
        // Brighter toward the left, where the cursor chevron sits.
        c = AG_Add(c, AG_Scale({0.02f, 0.08f, 0.12f}, 1 - (x - x0) / (x1 - x0)));
        if (d > r - 1.6f)
            c = AG_Mix(AG_Style::Glow, {1, 1, 1}, 0.2f * (1 - t));
        o.c = c;
        o.a = 1;
        return o;
    });
    // Cursor chevron at the left end.
    float cy = y0 + AG_ItemH * 0.5f;
    const float tri[] = {9, cy - 7, 17, cy, 9, cy + 7};
    cv.Paint(8, cy - 8, 18, cy + 8, [&](float x, float y) {
        AG_Sample o;
        if (AG_InPolygon(tri, 3, x, y)) {
            o.c = AG_Style::AmberTop;
            o.a = 1;
        }
        return o;
    });
}

struct AG_Variant {
    bool selected;
    const char *label;
    const char *value;      // shown from x = valueX, or null
    bool raisedValue;       // value kept in the upper half, leaving room for a joystick name
    float valueX = 220;
};

void AG_DrawVariant(AG_Canvas &cv, float y0, const AG_Variant &v)
{
    if (v.selected)
        AG_SelectBar(cv, y0);
    AG_TextStyle label = v.selected ? AG_HighType(16) : AG_PlainType(16);
    AG_DrawText(cv, 26, y0 + 12, v.label, label);
    if (v.value) {
        AG_TextStyle val = v.selected ? AG_HighType(13) : AG_PlainType(13);
        if (!v.selected) {
            val.top = {0.75f, 0.85f, 0.95f};
            val.bottom = {0.45f, 0.6f, 0.8f};
        }
        if (v.raisedValue) {
            val.size = 11;
            AG_DrawText(cv, v.valueX, y0 + 5, v.value, val);
        } else
            AG_DrawText(cv, v.valueX, y0 + 14, v.value, val);
    }
}

void AG_SaveItem(const std::string &file, const std::vector<AG_Variant> &variants)
{
    AG_Canvas cv(AG_ItemW, AG_ItemPitch * int(variants.size()), 4);
    for (size_t i = 0; i < variants.size(); i++)
        AG_DrawVariant(cv, 1.0f + AG_ItemPitch * float(i), variants[i]);
    AG_SaveKeyed(file, cv.Resolve(), 0);
}

// An instruction line: key names in amber, what they do in cyan, centred in the line.
struct AG_Part {
    const char *text;
    bool key;
};

void AG_DrawInstruction(AG_Canvas &cv, float y0, float width, const std::vector<AG_Part> &parts)
{
    AG_TextStyle key = AG_HighType(9), act = AG_PlainType(9);
    key.stroke = act.stroke = 1.45f;
    key.outlineWidth = act.outlineWidth = 1.0f;
    key.slant = act.slant = 0.08f;
    key.spacing = act.spacing = 1.8f;
    float total = 0;
    for (const AG_Part &p : parts)
        total += AG_TextWidth(p.text, p.key ? key : act) + key.spacing * key.size / 10.0f;
    float x = (width - total) * 0.5f;
    for (const AG_Part &p : parts)
        x = AG_DrawText(cv, x, y0 + 5, p.text, p.key ? key : act);
}

void AG_Instructions()
{
    const std::vector<std::vector<AG_Part>> lines = {
        {{"UP/DOWN", true}, {" SELECT   ", false}, {"LEFT/RIGHT", true}, {" CHANGE", false}},
        {{"UP/DOWN", true}, {" SELECT   ", false}, {"RETURN", true}, {" START GAME", false}},
        {{"UP/DOWN", true}, {" SELECT   ", false}, {"RETURN", true}, {" QUIT KORDAX", false}},
        {{"UP/DOWN", true}, {" SELECT   ", false}, {"RETURN", true}, {" SHOW CREDITS", false}},
        {{"UP/DOWN", true}, {" CHOOSE   ", false}, {"RETURN", true}, {" REDEFINE KEY", false}},
        {{"PRESS THE NEW KEY", true}, {"   ", false}, {"ESCAPE", true}, {" CANCELS", false}},
        {{"ESCAPE", true}, {" BACK TO THE MENU", false}},
    };
    AG_Canvas one(288, 140, 4);
    for (size_t i = 0; i < lines.size(); i++)
        AG_DrawInstruction(one, 20.0f * float(i), 288, lines[i]);
    AG_SaveKeyed("instr1.bmp", one.Resolve(), 0);
    AG_Canvas two(256, 20, 4);
    AG_DrawInstruction(two, 0, 256, {{"RETURN", true}, {" REDEFINE THE KEYS", false}});
    AG_SaveKeyed("instr2.bmp", two.Resolve(), 0);
}

// Digits 15 x 27 and a percent sign 23 wide; highlighted row on top, plain row below.
void AG_OptNumbers()
{
    AG_Canvas cv(173, 54, 4);
    for (int row = 0; row < 2; row++) {
        AG_TextStyle st = row == 0 ? AG_HighType(17) : AG_PlainType(17);
        st.slant = 0;
        st.stroke = 2.1f;
        st.outlineWidth = 1.0f;
        for (int d = 0; d < 10; d++) {
            std::string s(1, char('0' + d));
            AG_DrawText(cv, 15.0f * d + (15 - AG_TextWidth(s, st)) * 0.5f, 27.0f * row + 5, s, st);
        }
        st.size = 15;
        AG_DrawText(cv, 150 + (23 - AG_TextWidth("%", st)) * 0.5f, 27.0f * row + 6, "%", st);
    }
    AG_SaveKeyed("opt_numbers.bmp", cv.Resolve(), 0);
}

} // namespace

void AG_GenMenus()
{
    AG_SaveItem("start.bmp", {{true, "START GAME", nullptr, false}, {false, "START GAME", nullptr, false}});
    const char *modes[3] = {"ONE PLAYER", "TWO PLAYERS AT ONCE", "TWO PLAYERS IN TURN"};
    std::vector<AG_Variant> gm;
    for (int sel = 1; sel >= 0; sel--)
        for (int m = 0; m < 3; m++)
            gm.push_back({sel == 1, "GAME MODE", modes[m], false, 190});
    AG_SaveItem("gamemode.bmp", gm);
    for (int p = 1; p <= 2; p++) {
        const char *label = p == 1 ? "PLAYER 1" : "PLAYER 2";
        AG_SaveItem(p == 1 ? "p1_input.bmp" : "p2_input.bmp",
                    {{true, label, "KEYBOARD", false}, {true, label, "JOYSTICK", true},
                     {false, label, "KEYBOARD", false}, {false, label, "JOYSTICK", true}});
    }
    AG_SaveItem("sound_vol.bmp", {{true, "SOUND FX", nullptr, false}, {false, "SOUND FX", nullptr, false}});
    AG_SaveItem("music_vol.bmp", {{true, "MUSIC", nullptr, false}, {false, "MUSIC", nullptr, false}});
    AG_SaveItem("credits.bmp", {{true, "CREDITS", nullptr, false}, {false, "CREDITS", nullptr, false}});
    AG_SaveItem("exit.bmp", {{true, "EXIT", nullptr, false}, {false, "EXIT", nullptr, false}});
    AG_Instructions();
    AG_OptNumbers();
}
