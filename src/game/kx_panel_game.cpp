// The status panel: its picture, life and zap icons, the threshold bar and both scores.
#include "kx_panel_game.h"
#include "kx_bitmap.h"
#include "kx_world.h"
#include "dd.h"
#include "dd_bitmap.h"
#include "dd_font.h"

#include <cstdio>

// At most five icons, 20 pixels apart from (x, y); a count of zero or less draws none.
static void KX_DrawIcons(DDBitmap *icon, int count, int x, int y)
{
    if (count > KX_PANEL_MAX_ICONS)
        count = KX_PANEL_MAX_ICONS;
    for (int i = 0; i < count; i++)
        DDBitmap_Draw(g_pDDSBack, icon, x + 20 * i, y);
}

int KX_PANEL_GAME_BarWidth()
{
    if (GameLevel < 0 || GameLevel >= KX_NUM_LEVELS)
        return 0;
    int target = LevelData[GameLevel].Threshold;
    long long width = (long long)Threshold * KX_THRESHOLD_BAR_WIDTH / target;
    // A threshold outside 0 to the target would draw past the bar's ends.
    if (width < 0)
        return 0;
    return width > KX_THRESHOLD_BAR_WIDTH ? KX_THRESHOLD_BAR_WIDTH : (int)width;
}

void KX_PANEL_GAME_Draw()
{
    DDBitmap_Draw(g_pDDSBack, KX_Bitmaps[KX_BITMAP_PANEL_GAME], 480, 0);
    KX_DrawIcons(KX_Bitmaps[KX_BITMAP_LIFE], LivesP1, 500, 180);
    KX_DrawIcons(KX_Bitmaps[KX_BITMAP_LIFE], LivesP2, 500, 300);
    KX_DrawIcons(KX_Bitmaps[KX_BITMAP_ELECTRO], ElectroZapCount, 500, 360);
    int width = KX_PANEL_GAME_BarWidth();
    if (width > 0)
        DDBitmap_DrawSub(g_pDDSBack, KX_Bitmaps[KX_BITMAP_THRESHOLD_BAR], 494, 418, 0, 0, width,
                         KX_THRESHOLD_BAR_HEIGHT);
    char text[16];
    snprintf(text, sizeof text, "%6d", ScoreP1);
    DDBitmap_DrawText(g_pDDSBack, KX_Bitmaps[KX_BITMAP_FONT1], text, 518, 138);
    snprintf(text, sizeof text, "%6d", ScoreP2);
    DDBitmap_DrawText(g_pDDSBack, KX_Bitmaps[KX_BITMAP_FONT1], text, 518, 256);
}
