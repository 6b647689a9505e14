// The end-of-level state: the rest explodes, a zap is awarded, four seconds later the next level.
#include "kx_state_end_level.h"
#include "kx_bitmap.h"
#include "kx_game.h"
#include "kx_panel_game.h"
#include "kx_sprites.h"
#include "kx_state_enter_laser.h"
#include "kx_world.h"
#include "dd.h"
#include "dd_bitmap.h"
#include "dd_log.h"
#include "kx_sound.h"

bool PlayedEndLevel = false;

void KX_STATE_END_LEVEL_Start()
{
    StateTime = GetClock();
    // These explosions score nothing and leave the threshold alone.
    for (TEnemyXSprite *enemy : KXSprites_Enemy_X)
        if (enemy && enemy->GetActive() && !enemy->IsExploding())
            enemy->Explode();
    for (TEnemyYSprite *enemy : KXSprites_Enemy_Y)
        if (enemy && enemy->GetActive() && !enemy->IsExploding())
            enemy->Explode();
    KX_SPRITES_HaltLasersAndShots();
    PlayedEndLevel = false;
}

void KX_STATE_END_LEVEL_Update(int time)
{
    int t = (int)((unsigned int)time - StateTime);
    KX_MoveSpritesTo(time);
    KX_DrawPlayfield(time);
    KX_PANEL_GAME_Draw();
    if (t > KX_END_LEVEL_REWARD_TIME) {
        if (!PlayedEndLevel) {
            KX_SOUND_PlayFx(KX_FX_END_LEVEL);
            ElectroZapCount = ElectroZapCount + 1 > KX_MAX_ZAPS ? KX_MAX_ZAPS : ElectroZapCount + 1;
            PlayedEndLevel = true;
        }
        KX_DrawStageCaption();
        DDBitmap_Draw(g_pDDSBack, KX_Bitmaps[KX_BITMAP_COMPLETE], 80, 280);
    }
    if (t > KX_END_LEVEL_TIME) {
        KX_NextLevel();
        LaserEntry = 3;
        GameState = KX_STATE_LOAD_LEVEL;
    }
}
