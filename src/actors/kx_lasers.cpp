// The laser turrets and their shots: steering, wrapping, barrel turning, firing, flight and loss.
#include "kx_lasers.h"
#include "kx_enemies.h"
#include "kx_sprites.h"
#include "bumpmap.h"
#include "kx_game.h"
#include "kx_sound.h"

int TurretX = 212;
int TurretY = 212;

// Off the playfield by this much a shot is gone.
enum { KX_SHOT_EXIT_LOW = -32, KX_SHOT_EXIT_HIGH = 448 };

// Both shot classes start the same way once placed.
static void StartShot(TSprite &shot, int light, bool diagonal, int x, int y)
{
    shot.SetPosition(x, y);
    shot.SetFrame(diagonal ? KX_SHOT_FRAME_DIAGONAL : KX_SHOT_FRAME_STRAIGHT);
    shot.SetActive(true);
    Bumpmap_ActivateLight(light, Light3);
    Bumpmap_SetLightPos(light, x, y);
    KX_SOUND_PlayFx(KX_FX_LASER);
}

static void EndShot(TSprite &shot, int light)
{
    shot.SetActive(false);
    Bumpmap_DeactivateLight(light);
}

TShotXSprite::TShotXSprite(TSpriteDef *definition, int id, int light) : TSprite(definition, id), Light(light) {}

void TShotXSprite::Fire(int pos, bool diagonal)
{
    Diagonal = diagonal;
    if (diagonal)
        StartShot(*this, Light, true, pos + 10, 430);
    else
        StartShot(*this, Light, false, pos, 420);
}

void TShotXSprite::Move(int deltaTime)
{
    if (Diagonal) {
        int d = (354 * deltaTime) / 1000;
        X += d;
        Y -= d;
    } else {
        Y -= deltaTime / 2;
    }
    Bumpmap_SetLightPos(Light, X, Y);
    if (Y < KX_SHOT_EXIT_LOW || X > KX_SHOT_EXIT_HIGH)
        EndShot(*this, Light);
}

void TShotXSprite::Off()
{
    EndShot(*this, Light);
}

TShotYSprite::TShotYSprite(TSpriteDef *definition, int id, int light) : TSprite(definition, id), Light(light) {}

void TShotYSprite::Fire(int pos, bool diagonal)
{
    Diagonal = diagonal;
    if (diagonal)
        StartShot(*this, Light, true, 430, pos + 10);
    else
        StartShot(*this, Light, false, 420, pos);
}

void TShotYSprite::Move(int deltaTime)
{
    if (Diagonal) {
        int d = (354 * deltaTime) / 1000;
        Y += d;
        X -= d;
    } else {
        X -= deltaTime / 2;
    }
    Bumpmap_SetLightPos(Light, X, Y);
    if (X < KX_SHOT_EXIT_LOW || Y > KX_SHOT_EXIT_HIGH)
        EndShot(*this, Light);
}

void TShotYSprite::Off()
{
    EndShot(*this, Light);
}

// The turrets are mirror images: `along` is the coordinate on the turret's own runway.
template <class L> static void StepTurret(L &laser, int deltaTime, int &along, bool &active, int &frame)
{
    laser.AnimTime += deltaTime;
    if (laser.Exploding) {
        if (laser.AnimTime > KX_EXPLODE_TIME) {
            laser.Exploding = false;
            active = false;
        }
        return;
    }
    while (laser.AnimTime > KX_ACTOR_TICK) {
        laser.AnimFrame = (laser.AnimFrame + 1) % 8;
        if (laser.Turn) {
            if (laser.TurnPos < 3)
                laser.TurnPos++;
        } else if (laser.TurnPos > 0) {
            laser.TurnPos--;
        }
        laser.AnimTime -= KX_ACTOR_TICK;
    }
    frame = laser.AnimFrame + 8 * laser.TurnPos;
    if (laser.Movement != 0)
        along += (laser.Movement * deltaTime) / 5;
    if (!laser.Entering) {
        const int span = KX_TURRET_MAX - KX_TURRET_MIN;
        if (along < KX_TURRET_MIN)
            along += span;
        if (along > KX_TURRET_MAX)
            along -= span;
    }
}

// A turret fires only with its barrel fully straight or fully diagonal, and has two shots.
template <class S> static bool FireFrom(S *const shots[2], int turnPos, int pos)
{
    if (turnPos == 1 || turnPos == 2)
        return false;
    for (int i = 0; i < 2; i++) {
        if (shots[i] && !shots[i]->GetActive()) {
            shots[i]->Fire(pos, turnPos == 3);
            return true;
        }
    }
    return false;
}

template <class L> static void ExplodeTurret(L &laser, int x, int y)
{
    if (laser.Exploding)
        return;
    TExplosionSprite *explosion = KX_SPRITES_GetFreeExplosion();
    if (explosion) {
        explosion->SetDefinition(KXSprites_Def[KX_DEF_TURRET_EXPLOSION]);
        explosion->StartExplode(x, y);
    }
    KX_SOUND_PlayFx(KX_FX_EXPL02);
    laser.Exploding = true;
    laser.AnimTime = 0;
}

TLaserXSprite::TLaserXSprite(TSpriteDef *definition, int id) : TLaserSprite(definition, id) {}

void TLaserXSprite::SetEntering(bool entering)
{
    Entering = entering;
    Exploding = false;
}

void TLaserXSprite::Move(int deltaTime)
{
    bool wasExploding = Exploding;
    StepTurret(*this, deltaTime, X, Active, Frame);
    if (!wasExploding)
        TurretX = X;
}

bool TLaserXSprite::Fire()
{
    return FireFrom(KXSprites_Shot_X, TurnPos, X);
}

void TLaserXSprite::Explode()
{
    ExplodeTurret(*this, X, Y);
}

TLaserYSprite::TLaserYSprite(TSpriteDef *definition, int id) : TLaserSprite(definition, id) {}

void TLaserYSprite::SetEntering(bool entering)
{
    Entering = entering;
    Exploding = false;
}

void TLaserYSprite::Move(int deltaTime)
{
    bool wasExploding = Exploding;
    StepTurret(*this, deltaTime, Y, Active, Frame);
    if (!wasExploding)
        TurretY = Y;
}

bool TLaserYSprite::Fire()
{
    return FireFrom(KXSprites_Shot_Y, TurnPos, Y);
}

void TLaserYSprite::Explode()
{
    ExplodeTurret(*this, X, Y);
}
