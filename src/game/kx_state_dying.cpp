// The dying state: the hit laser explodes, the field flashes and shakes, and three seconds later a life is lost.
#include "kx_state_dying.h"
#include "kx_bitmap.h"
#include "kx_field_fx.h"
#include "kx_pad.h"
#include "kx_panel_game.h"
#include "kx_sprites.h"
#include "kx_state_enter_laser.h"
#include "kx_world.h"
#include "dd_log.h"

void KX_STATE_DYING_Start()
{
    StateTime = GetClock();
    KX_SetPortalTime((int)StateTime);
    // Together, the pad of the player whose laser was hit; otherwise the player's own.
    KX_PAD_Rumble(GameMode == KX_GAMEMODE_TOGETHER ? LaserEntry : 0, KX_PAD_RUMBLE_HIT, KX_PAD_RUMBLE_HIT_MS);
    if (KXSprites_LaserX) {
        KXSprites_LaserX->SetMovement(0);
        KXSprites_LaserX->SetTurn(false);
        if (LaserEntry == 1)
            KXSprites_LaserX->Explode();
    }
    if (KXSprites_LaserY) {
        KXSprites_LaserY->SetMovement(0);
        KXSprites_LaserY->SetTurn(false);
        if (LaserEntry == 2)
            KXSprites_LaserY->Explode();
    }
}

void KX_STATE_DYING_Update(int time)
{
    int t = (int)((unsigned int)time - StateTime);
    KX_MoveSpritesTo(time);
    KX_DrawPlayfield(time);
    KX_FIELDFX_TurretDeath(t); // before the panel, which stays steady
    KX_PANEL_GAME_Draw();
    if (t > KX_DYING_TIME)
        KX_LoseLife();
}
