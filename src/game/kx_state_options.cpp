// The title state, for now without its menu: the title relief under four swinging coloured lights,
// the runway frame and the high scores, Return to start a one-player game and Escape to leave.
#include "kx_state_options.h"
#include "kx_bitmap.h"
#include "kx_game.h"
#include "kx_scores.h"
#include "kx_world.h"
#include "bumpmap.h"
#include "dd.h"
#include "dd_bitmap.h"
#include "dd_log.h"
#include "kx_sound.h"

#include <cmath>

float OptionPhase = 0;
float OptionPhase2 = 0;
int LastOptionTime = 0;

enum { KX_KEY_RETURN = 13, KX_KEY_ESCAPE = 27 };

void KX_STATE_OPTIONS_Start()
{
    StateTime = GetClock();
    LastOptionTime = (int)StateTime;
    Bumpmap_LoadTextures("gfx\\kx_title_c.bmp", "gfx\\kx_title_h.bmp");
    Bumpmap_ClearStaticLights();
    Bumpmap_AddStaticLight(220, 220, 600, 64, 64, 64);
    Bumpmap_RecalculateStatic();
    TLightSpec *lights[4] = { Light1, Light2, Light3, Light4 };
    for (int slot = 0; slot < 4; slot++)
        Bumpmap_ActivateLight(slot, lights[slot]);
    KX_SOUND_PlayMusic(KX_MUSIC_TITLE);
}

void KX_STATE_OPTIONS_Update(int time)
{
    int dt = time - LastOptionTime;
    LastOptionTime = time;
    OptionPhase += (float)(dt * 360.0 * 0.125 / 1000.0);
    if (OptionPhase > 360)
        OptionPhase -= 360;
    OptionPhase2 += (float)(dt * 360.0 / 25.0 / 1000.0);
    if (OptionPhase2 > 360)
        OptionPhase2 -= 360;
    // Lissajous figures of ratio 3 to 2 over the square 20 to 420, a quarter turn apart.
    const double degree = M_PI / 180.0;
    for (int i = 0; i < 4; i++) {
        double offset = 90.0 * i;
        int x = (int)(200.0 * sin(3.0 * (OptionPhase + offset) * degree) + 220.0);
        int y = (int)(200.0 * cos(2.0 * (OptionPhase2 + OptionPhase + offset) * degree) + 220.0);
        Bumpmap_SetLightPos(i, x, y);
    }
    Bumpmap_Draw();
    DDBitmap_Draw(g_pDDSBack, KX_Bitmaps[KX_BITMAP_RUNWAY_X], 0, 440);
    DDBitmap_Draw(g_pDDSBack, KX_Bitmaps[KX_BITMAP_RUNWAY_Y], 440, 0);
    DDBitmap_Draw(g_pDDSBack, KX_Bitmaps[KX_BITMAP_RUNWAY_C], 395, 395);
    DDBitmap_Draw(g_pDDSBack, KX_Bitmaps[KX_BITMAP_RUNWAY_T], 406, 406);
    KX_PANEL_SCORES_Draw();
}

void KX_STATE_OPTIONS_HandleKey(int key)
{
    if (key == KX_KEY_RETURN) {
        KX_NewGame();
        GameState = KX_STATE_LOAD_LEVEL;
    } else if (key == KX_KEY_ESCAPE) {
        GameState = KX_STATE_QUIT;
    }
}
