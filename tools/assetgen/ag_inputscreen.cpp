// The input screen's pictures: a key-cap for every virtual-key code, the question mark, labels, titles.
#include "ag_assets.h"
#include "win_user.h"

#include <cstring>

namespace {

const float AG_Pi = 3.14159265f;

// The label on the cap of a virtual-key code; empty for a blank cap. Arrows are drawn, not lettered.
std::string AG_KeyLabel(int c)
{
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))
        return std::string(1, char(c));
    if (c >= 96 && c <= 105)
        return std::string(1, char('0' + c - 96));
    if (c >= 112 && c <= 135)
        return "F" + std::to_string(c - 111);
    switch (c) {
    case 1: return "LMB";
    case 2: return "RMB";
    case 4: return "MMB";
    case 8: return "BS";
    case 9: return "TAB";
    case 12: return "CLR";
    case 13: return "RET";
    case 16: return "SHF";
    case 17: return "CTL";
    case 18: return "ALT";
    case 19: return "PAU";
    case 20: return "CAP";
    case 27: return "ESC";
    case 32: return "SPC";
    case 33: return "PGU";
    case 34: return "PGD";
    case 35: return "END";
    case 36: return "HOM";
    case 44: return "PRT";
    case 45: return "INS";
    case 46: return "DEL";
    case 91: return "WIN";
    case 92: return "WIN";
    case 93: return "MNU";
    case 106: return "*";
    case 107: return "+";
    case 108: return "SEP";
    case 109: return "-";
    case 110: return ".";
    case 111: return "/";
    case 144: return "NUM";
    case 145: return "SCR";
    case 160: return "SHF";
    case 161: return "SHF";
    case 162: return "CTL";
    case 163: return "CTL";
    case 164: return "ALT";
    case 165: return "ALT";
    case 186: return ";";
    case 187: return "=";
    case 188: return ",";
    case 189: return "-";
    case 190: return ".";
    case 191: return "/";
    case 192: return "`";
    case 219: return "[";
    case 220: return "\\";
    case 221: return "]";
    case 222: return "'";
    default: break;
    }
    // Punctuation that no US key gives unshifted, with the codes the game gives it on Latin layouts.
    int other = c - VK_FIRST_OTHER_PUNCTUATION;
    if (other >= 0 && other < (int)sizeof Sys_OtherPunctuation - 1)
        return std::string(1, Sys_OtherPunctuation[other]);
    return "";
}

void AG_KeyCap(AG_Canvas &cv, float x0, float y0, int code)
{
    bool keypad = code >= 96 && code <= 111;
    bool fkey = code >= 112 && code <= 135;
    std::string label = AG_KeyLabel(code);
    bool arrow = code >= 37 && code <= 40;
    bool blank = label.empty() && !arrow;
    AG_Colour face = keypad ? AG_Colour{0.16f, 0.24f, 0.42f} : (fkey ? AG_Colour{0.26f, 0.2f, 0.36f} : AG_Colour{0.2f, 0.25f, 0.32f});
    if (blank)
        face = {0.13f, 0.15f, 0.19f};
    cv.Paint(x0, y0, x0 + 20, y0 + 20, [&](float x, float y) {
        AG_Sample o;
        float lx = x - x0, ly = y - y0;
        float qx = std::fmax(std::fmax(2.5f - lx, lx - 17.5f), 0.0f), qy = std::fmax(std::fmax(2.5f - ly, ly - 17.5f), 0.0f);
        float d = std::hypot(qx, qy);
        if (d > 2.2f)
            return o;
        o.a = 1;
        // Raised cap: bright upper-left rim, dark lower-right rim, slightly dished top.
        if (d > 1.0f || lx < 1.8f || ly < 1.8f || lx > 18.2f || ly > 18.2f)
            o.c = (lx + ly < 20) ? AG_Mix(face, {0.75f, 0.85f, 1.0f}, 0.5f) : AG_Scale(face, 0.45f);
        else
            o.c = AG_Scale(face, 1.05f - 0.012f * (lx + ly));
        return o;
    });
    if (arrow) {
        // 37 left, 38 up, 39 right, 40 down.
        float ang = (code == 37 ? AG_Pi : code == 38 ? -AG_Pi / 2 : code == 39 ? 0 : AG_Pi / 2);
        float ca = std::cos(ang), sa = std::sin(ang), cx = x0 + 10, cy = y0 + 10;
        cv.Paint(x0, y0, x0 + 20, y0 + 20, [&](float x, float y) {
            AG_Sample o;
            float dx = x - cx, dy = y - cy;
            float u = dx * ca + dy * sa, v = -dx * sa + dy * ca;
            bool head = u > 0 && u < 6 && std::fabs(v) < (6 - u) * 0.9f;
            bool shaft = u > -6 && u <= 0.5f && std::fabs(v) < 1.4f;
            if (head || shaft) {
                o.c = AG_Style::AmberTop;
                o.a = 1;
            }
            return o;
        });
        return;
    }
    if (blank)
        return;
    float size = label.size() == 1 ? 10.0f : (label.size() == 2 ? 7.0f : 5.6f);
    AG_TextStyle st = AG_PlainType(size);
    st.slant = 0;
    st.stroke = label.size() == 1 ? 1.7f : 1.25f;
    st.outlineWidth = 0.6f;
    st.spacing = label.size() == 3 ? 1.4f : 2.0f;
    st.top = {1, 1, 1};
    st.bottom = keypad ? AG_Colour{0.6f, 0.85f, 1.0f} : AG_Colour{0.8f, 0.9f, 1.0f};
    float w = AG_TextWidth(label, st);
    float h = size;
    AG_DrawText(cv, x0 + 10 - w * 0.5f, y0 + 10 - h * 0.5f - 0.5f, label, st);
    if (keypad) {
        // A small dot marks keypad keys.
        cv.Paint(x0 + 14, y0 + 14, x0 + 18, y0 + 18, [&](float x, float y) {
            AG_Sample o;
            if (std::hypot(x - x0 - 15.5f, y - y0 - 15.5f) < 1.1f) {
                o.c = AG_Style::Glow;
                o.a = 1;
            }
            return o;
        });
    }
}

void AG_AllKeys()
{
    AG_Canvas cv(320, 320, 4);
    for (int c = 0; c < 256; c++)
        AG_KeyCap(cv, 20.0f * (c % 16), 20.0f * (c / 16), c);
    AG_SaveKeyed("allkeys.bmp", cv.Resolve(), 0);
}

// The question mark waiting for a key: it pulses and two sparks circle it.
void AG_QMark()
{
    AG_Canvas cv(180, 80, 4);
    for (int f = 0; f < 36; f++) {
        float x0 = 20.0f * (f % 9), y0 = 20.0f * (f / 9);
        float ph = AG_Pi * 2 * f / 36.0f;
        float k = 0.5f + 0.5f * std::sin(ph * 2);
        AG_TextStyle st = AG_HighType(11.5f + 2.0f * k);
        st.slant = 0;
        st.stroke = 2.2f;
        st.outlineWidth = 0.9f;
        st.top = AG_Mix({1.0f, 0.9f, 0.5f}, {1, 1, 1}, k);
        float w = AG_TextWidth("?", st);
        AG_DrawText(cv, x0 + 10 - w * 0.5f, y0 + 10 - st.size * 0.5f, "?", st);
        for (int s = 0; s < 2; s++) {
            float a = ph + s * AG_Pi;
            float sx = x0 + 10 + 8 * std::cos(a), sy = y0 + 10 + 8 * std::sin(a);
            cv.Paint(sx - 2, sy - 2, sx + 2, sy + 2, [&](float x, float y) {
                AG_Sample o;
                float d = std::hypot(x - sx, y - sy);
                if (d < 1.5f) {
                    o.c = AG_Mix({1, 1, 1}, AG_Style::Glow, d / 1.5f);
                    o.a = 1;
                }
                return o;
            });
        }
    }
    AG_SaveKeyed("qmark.bmp", cv.Resolve(), 0);
}

// The eight action labels, 160 x 26: plain on the left, highlighted on the right.
void AG_ActionLabels()
{
    const char *names[8] = {"X LASER LEFT", "X LASER RIGHT", "Y LASER UP", "Y LASER DOWN",
                            "TURN X LASER", "TURN Y LASER", "FIRE",         "ELECTRO ZAP"};
    AG_Canvas cv(320, 208, 4);
    for (int i = 0; i < 8; i++) {
        float y0 = 26.0f * i;
        // The highlight bar.
        cv.Paint(160, y0 + 1, 320, y0 + 25, [&](float x, float y) {
            AG_Sample o;
            float lx = x - 160, ly = y - y0 - 1;
            if (lx < 1 || lx > 159 || ly < 0 || ly > 24)
                return o;
            o.c = AG_Mix({0.05f, 0.2f, 0.34f}, {0.02f, 0.07f, 0.15f}, ly / 24);
            if (ly < 1.2f || ly > 22.8f || lx < 2.2f)
                o.c = AG_Style::Glow;
            o.a = 1;
            return o;
        });
        AG_TextStyle plain = AG_PlainType(11), high = AG_HighType(11);
        AG_DrawText(cv, 8, y0 + 8, names[i], plain);
        AG_DrawText(cv, 168, y0 + 8, names[i], high);
    }
    AG_SaveKeyed("kx_input.bmp", cv.Resolve(), 0);
}

void AG_PlayerTitles()
{
    AG_Canvas cv(299, 84, 4);
    for (int p = 0; p < 2; p++) {
        std::string s = p == 0 ? "PLAYER 1 KEYS" : "PLAYER 2 KEYS";
        AG_TextStyle rim = AG_PlainType(22);
        rim.stroke = 7;
        rim.outlineWidth = 1.5f;
        rim.spacing = 2.2f;
        rim.top = {0.35f, 0.95f, 1.0f};
        rim.bottom = {0.1f, 0.4f, 1.0f};
        float w = AG_TextWidth(s, rim);
        float y = 42.0f * p + 10;
        AG_DrawText(cv, (299 - w) * 0.5f, y, s, rim);
        AG_TextStyle face = rim;
        face.stroke = 3.4f;
        face.outlineWidth = 0;
        face.top = {1, 1, 1};
        face.bottom = {0.6f, 0.85f, 1.0f};
        AG_DrawText(cv, (299 - w) * 0.5f, y, s, face);
    }
    AG_SaveKeyed("kx_p_inp.bmp", cv.Resolve(), 0);
}

} // namespace

void AG_GenInputScreens()
{
    AG_AllKeys();
    AG_QMark();
    AG_ActionLabels();
    AG_PlayerTitles();
}
