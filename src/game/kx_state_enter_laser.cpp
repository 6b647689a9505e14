// The enter-laser state: field cleared, lasers sliding in, bar refilling, title music fading out.
#include "kx_state_enter_laser.h"
#include "kx_bitmap.h"
#include "kx_game.h"
#include "kx_panel_game.h"
#include "kx_sprites.h"
#include "kx_world.h"
#include "dd_log.h"
#include "dd_sprites.h"
#include "kx_sound.h"

int TargetThreshold = 0;
int TitleMusicFade = 100;

enum { KX_LASER_CORNER = 432, KX_LASER_HOME = 212, KX_REFILL_TIME = 500, KX_FADE_STEP = 10 };

void KX_MoveSpritesTo(int time)
{
    // The sprite clock and the update time wrap as the millisecond clock does.
    while ((int)((unsigned int)DDSPRITE_MoveAll(time) - (unsigned int)time) < 0) {
    }
}

static void KX_ClearField()
{
    KX_SPRITES_RemoveLiveEnemies();
    KX_SPRITES_ShotsOff();
    for (TExplosionSprite *explosion : KXSprites_Explosion)
        if (explosion)
            explosion->SetActive(false);
    if (KXSprites_ElextroExp)
        KXSprites_ElextroExp->SetActive(false);
}

void KX_STATE_ENTER_LASER_Start()
{
    StateTime = GetClock();
    KX_SetPortalTime((int)StateTime);
    if (LaserEntry == 0)
        LaserEntry = 3;
    KX_ClearField();
    if (KXSprites_LaserX) {
        KXSprites_LaserX->SetActive(true);
        if (LaserEntry == 1 || LaserEntry == 3) {
            KXSprites_LaserX->SetPosition(KX_LASER_CORNER, KX_LASER_CORNER);
            KXSprites_LaserX->SetEntering(true);
            KXSprites_LaserX->SetMovement(-1);
        }
    }
    if (KXSprites_LaserY) {
        KXSprites_LaserY->SetActive(true);
        if (LaserEntry == 2 || LaserEntry == 3) {
            KXSprites_LaserY->SetPosition(KX_LASER_CORNER, KX_LASER_CORNER);
            KXSprites_LaserY->SetEntering(true);
            KXSprites_LaserY->SetMovement(-1);
        }
    }
    TargetThreshold = Threshold;
    Threshold = 0;
    TitleMusicFade = KX_SOUND_CurrentMusic() == KX_MUSIC_TITLE ? 0 : 100;
    DDSPRITE_SetStartTime((int)StateTime);
    KX_SOUND_PlayFx(KX_FX_LEVEL_READY);
}

void KX_STATE_ENTER_LASER_Update(int time)
{
    int t = (int)((unsigned int)time - StateTime);
    bool done = true;
    KX_MoveSpritesTo(time);

    int x, y;
    if (KXSprites_LaserX && (LaserEntry == 1 || LaserEntry == 3)) {
        KXSprites_LaserX->GetPosition(&x, &y);
        if (x > KX_LASER_HOME) {
            done = false;
        } else {
            KXSprites_LaserX->SetPosition(KX_LASER_HOME, y);
            KXSprites_LaserX->SetMovement(0);
            KXSprites_LaserX->SetEntering(false);
        }
    }
    if (KXSprites_LaserY && (LaserEntry == 2 || LaserEntry == 3)) {
        KXSprites_LaserY->GetPosition(&x, &y);
        if (y > KX_LASER_HOME) {
            done = false;
        } else {
            KXSprites_LaserY->SetPosition(x, KX_LASER_HOME);
            KXSprites_LaserY->SetMovement(0);
            KXSprites_LaserY->SetEntering(false);
        }
    }

    if (Threshold < TargetThreshold) {
        // The state may start a little after the frame's update time: never below empty.
        long long refill = (long long)(t > 0 ? t : 0) * LevelData[GameLevel].Threshold / KX_REFILL_TIME;
        Threshold = refill < TargetThreshold ? (int)refill : TargetThreshold;
        done = false;
    }
    if (TitleMusicFade != 100) {
        int fade = t / KX_FADE_STEP;
        TitleMusicFade = fade < 0 ? 0 : fade > 100 ? 100 : fade;
        KX_SOUND_SetMusicFade(TitleMusicFade);
        done = false;
    }

    KX_DrawPlayfield(time);
    KX_DrawStageCaption();
    KX_PANEL_GAME_Draw();
    if (done)
        GameState = KX_STATE_READY_WAIT;
}

void KX_STATE_ENTER_LASER_HandleKey(int) {}
