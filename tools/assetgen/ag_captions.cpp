// Captions over the playfield: level, phase, stage numbers, players, ready banner, complete, game over.
#include "ag_assets.h"

namespace {

// Big chrome type with a neon rim: a wide cyan stroke under a narrower white-to-blue one.
void AG_DrawChrome(AG_Canvas &cv, float x, float y, const std::string &text, float size, bool amber = false)
{
    AG_TextStyle rim = AG_PlainType(size);
    rim.stroke = size * 0.2f + 2.6f;
    rim.outlineWidth = std::fmax(1.4f, size * 0.06f);
    rim.spacing = 2.4f;
    rim.top = amber ? AG_Colour{1.0f, 0.75f, 0.25f} : AG_Colour{0.35f, 0.95f, 1.0f};
    rim.bottom = amber ? AG_Colour{0.85f, 0.3f, 0.05f} : AG_Colour{0.1f, 0.45f, 1.0f};
    AG_DrawText(cv, x, y, text, rim);
    AG_TextStyle face = rim;
    face.stroke = size * 0.2f;
    face.outlineWidth = 0;
    face.top = {1.0f, 1.0f, 1.0f};
    face.bottom = amber ? AG_Colour{1.0f, 0.85f, 0.45f} : AG_Colour{0.55f, 0.8f, 1.0f};
    AG_DrawText(cv, x, y, text, face);
}

float AG_ChromeWidth(const std::string &text, float size)
{
    AG_TextStyle st = AG_PlainType(size);
    st.spacing = 2.4f;
    return AG_TextWidth(text, st) + size * 0.12f;
}

// A caption centred in its picture, or set against its right edge (beside a stage number).
void AG_Caption(const std::string &file, const std::string &text, int w, int h, float size, bool amber = false,
                bool right = false)
{
    AG_Canvas cv(w, h, 4);
    float tw = AG_ChromeWidth(text, size);
    AG_DrawChrome(cv, right ? w - tw - 14 : (w - tw) * 0.5f, (h - size) * 0.5f, text, size, amber);
    AG_SaveKeyed(file, cv.Resolve(), 0);
}

// Stage numbers: ten cells of 36 x 35, digit n in cell n.
void AG_StageNumbers()
{
    AG_Canvas cv(360, 35, 4);
    for (int n = 0; n < 10; n++) {
        std::string s(1, char('0' + n));
        float tw = AG_ChromeWidth(s, 24);
        AG_DrawChrome(cv, 36.0f * n + (36 - tw) * 0.5f, 5.5f, s, 24, true);
    }
    AG_SaveKeyed("kx_lvlnum.bmp", cv.Resolve(), 0);
}

// The ready banner: four 177 x 34 pictures from a dim trail to the full banner; the last, which
// stays until play starts, also says how to start it.
void AG_ReadyBanner()
{
    AG_Canvas cv(177, 136, 4);
    for (int p = 0; p < 4; p++) {
        float k = 0.25f + 0.25f * p;
        AG_TextStyle st = AG_HighType(15);
        st.stroke = 4.0f;
        st.spacing = 2.4f;
        st.outlineWidth = 1.4f;
        st.top = AG_Mix({0.05f, 0.15f, 0.35f}, {1.0f, 0.98f, 0.8f}, k);
        st.bottom = AG_Mix({0.04f, 0.08f, 0.25f}, {1.0f, 0.5f, 0.08f}, k);
        float tw = AG_TextWidth("GET READY", st);
        float y = 34.0f * p + 2.5f;
        AG_DrawText(cv, (177 - tw) * 0.5f - 2, y, "GET READY", st);
        if (p == 3) {
            AG_TextStyle face = st;
            face.stroke = 1.6f;
            face.outlineWidth = 0;
            face.top = {1, 1, 1};
            face.bottom = {1.0f, 0.9f, 0.6f};
            AG_DrawText(cv, (177 - tw) * 0.5f - 2, y, "GET READY", face);
            AG_TextStyle hint = AG_PlainType(7);
            hint.stroke = 1.3f;
            hint.spacing = 2.6f;
            hint.outlineWidth = 1.1f;
            hint.top = {1.0f, 1.0f, 1.0f};
            hint.bottom = {0.55f, 0.85f, 1.0f};
            AG_DrawTextCentred(cv, 88.5f - 1, y + 21, "PRESS FIRE", hint);
        }
    }
    AG_SaveKeyed("kx_ready.bmp", cv.Resolve(), 0);
}

} // namespace

void AG_GenCaptions()
{
    AG_Caption("kx_level.bmp", "LEVEL", 190, 35, 24, false, true);
    AG_Caption("kx_phase.bmp", "PHASE", 190, 35, 24, false, true);
    AG_StageNumbers();
    AG_Caption("kx_player1.bmp", "PLAYER 1", 280, 48, 30);
    AG_Caption("kx_player2.bmp", "PLAYER 2", 280, 48, 30);
    AG_Caption("kx_complete.bmp", "COMPLETE", 280, 48, 30, true);
    AG_Caption("kx_gameover.bmp", "GAME OVER", 320, 56, 36, true);
    AG_Caption("kx_loading.bmp", "LOADING", 240, 44, 26);
    AG_Caption("kx_paused.bmp", "PAUSED", 240, 44, 26);
    AG_ReadyBanner();
}
