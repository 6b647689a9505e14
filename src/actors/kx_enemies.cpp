// Enemies: spawning, crossing, turning onto the runway, hunting a turret, freezing and exploding;
// the explosion sprites.
#include "kx_enemies.h"
#include "kx_lasers.h"
#include "kx_sprites.h"
#include "kx_sound.h"
#include "kx_world.h"

#include <algorithm>
#include <cstdlib>

// clang-format off
const KX_EnemyAnimType EnemyAnimData[KX_NUM_ENEMY_ANIMS] = {
    { 8, { 0, 1, 2, 3, 4, 5, 6, 7 }, { 16, 17, 18, 19, 20, 21, 22, 23 }, { 8, 9, 10, 11, 12, 13, 14, 15 },
      { 21, 33, 32, 31, 30, 29, 0, 24, 25, 26, 27, 28, 14 }, 6, 6, 0 },
    { 12, { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11 }, { 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35 },
      { 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23 },
      { 29, 40, 39, 38, 37, 36, 0, 41, 42, 43, 44, 45, 17 }, 6, 6, 0 },
    { 10, { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 }, { 10, 11, 12, 13, 14, 15, 16, 17, 18, 19 },
      { 20, 21, 22, 23, 24, 25, 26, 27, 28, 20 },
      { 16, 34, 33, 32, 31, 30, 0, 35, 36, 37, 38, 39, 26 }, 7, 2, 0 },
    { 10, { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 }, { 10, 11, 12, 13, 14, 15, 16, 17, 18, 19 },
      { 20, 21, 22, 23, 24, 25, 26, 27, 28, 20 },
      { 15, 34, 33, 32, 31, 30, 4, 35, 36, 37, 38, 39, 29 }, 6, 2, 0 },
    { 8, { 0, 1, 2, 3, 4, 5, 6, 7 }, { 8, 9, 10, 11, 12, 13, 14, 15 }, { 16, 17, 18, 19, 20, 21, 22, 23 },
      { 14, 28, 27, 26, 25, 24, 0, 29, 30, 31, 32, 33, 21 }, 1, 1, 0 },
    { 8, { 0, 1, 2, 3, 4, 5, 6, 7 }, { 16, 17, 18, 19, 20, 21, 22, 23 }, { 8, 9, 10, 11, 12, 13, 14, 15 },
      { 16, 33, 32, 31, 30, 29, 0, 24, 25, 26, 27, 28, 8 }, 1, 1, 0 },
    { 10, { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 }, { 10, 11, 12, 13, 14, 15, 16, 17, 18, 19 },
      { 20, 21, 22, 23, 24, 25, 26, 27, 28, 20 },
      { 16, 34, 33, 32, 31, 30, 0, 35, 36, 37, 38, 39, 26 }, 7, 2, 0 },
    { 10, { 0, 1, 2, 3, 4, 5, 4, 3, 2, 1 }, { 6, 7, 8, 9, 10, 11, 10, 9, 8, 7 },
      { 12, 13, 14, 15, 16, 17, 16, 15, 14, 12 },
      { 10, 22, 21, 20, 19, 18, 0, 23, 24, 25, 26, 27, 17 }, 6, 6, 0 },
    { 14, { 0, 1, 2, 3, 4, 5, 6, 7, 6, 5, 4, 3, 2, 1 }, { 8, 9, 10, 11, 12, 13, 14, 15, 14, 13, 12, 11, 10, 9 },
      { 16, 17, 18, 19, 20, 21, 22, 23, 22, 21, 20, 19, 18, 17 },
      { 14, 28, 27, 26, 25, 24, 0, 29, 30, 31, 32, 33, 21 }, 1, 1, 0 },
    { 9, { 0, 1, 2, 3, 4, 5, 6, 7, 8 }, { 9, 10, 11, 12, 13, 14, 15, 16, 17 },
      { 17, 16, 15, 14, 13, 12, 11, 10, 9 },
      { 15, 22, 21, 20, 19, 18, 0, 18, 19, 20, 21, 22, 12 }, 7, 7, 1 },
};
// clang-format on

const int EnemyAnimDefIndex[KX_NUM_ENEMY_ANIMS] = { 9, 4, 10, 5, 11, 6, 12, 7, 13, 8 };

int KX_EnemyAnimFramesNeeded(const KX_EnemyAnimType &anim)
{
    int count = std::clamp(anim.Count, 1, (int)KX_ANIM_MAX_FRAMES);
    int highest = 0;
    for (int i = 0; i < count; i++)
        highest = std::max({ highest, anim.CrossFrames[i], anim.LowFrames[i], anim.HighFrames[i] });
    for (int phase : anim.TurnFrames)
        highest = std::max(highest, phase);
    return highest + 1;
}

// An enemy given no record yet still moves; it shows frame 0.
static const KX_EnemyAnimType NoAnim = { 1, {}, {}, {}, {}, 0, 0, 0 };

// A record could come from anywhere: cycle positions are kept inside it.
static int CycleCount(const KX_EnemyAnimType &anim)
{
    return std::clamp(anim.Count, 1, (int)KX_ANIM_MAX_FRAMES);
}

static int CyclePos(int pos, int count)
{
    return pos >= 0 && pos < count ? pos : 0;
}

static void AdvanceCycle(int &animTime, int &animIndex, int count, int deltaTime)
{
    animTime += deltaTime;
    while (animTime > KX_ACTOR_TICK) {
        animIndex = animIndex + 1 >= count ? 0 : animIndex + 1;
        animTime -= KX_ACTOR_TICK;
    }
}

// The enemies are mirror images: `cross` is the coordinate along which an enemy crosses the field
// and `runway` the one along which it hunts; `runwayPos` is its drawn position on that axis.
template <class E>
static void StepEnemy(E &e, int deltaTime, float &cross, float &runway, int runwayPos, int turret, bool quickTurn,
                      bool &active, int &frame)
{
    if (e.Exploding) {
        e.AnimTime += deltaTime;
        if (e.AnimTime > KX_EXPLODE_TIME)
            active = false;
        return;
    }
    if (e.Frozen)
        return;
    const KX_EnemyAnimType &anim = e.AnimData ? *e.AnimData : NoAnim;
    const int count = CycleCount(anim);
    e.AnimIndex = CyclePos(e.AnimIndex, count);
    const float movement = e.SpeedTime > 0 ? (float)deltaTime * (float)e.Speed / (float)e.SpeedTime : 0.0f;

    if (!e.Turned) {
        cross += movement;
        AdvanceCycle(e.AnimTime, e.AnimIndex, count, deltaTime);
        frame = anim.CrossFrames[e.AnimIndex];
        if (cross >= (float)KX_RUNWAY_POS) {
            cross = (float)KX_RUNWAY_POS;
            e.Turned = true;
        }
        return;
    }
    if (runwayPos > turret) {
        if (e.TurnPhase == 0) {
            runway -= movement;
            AdvanceCycle(e.AnimTime, e.AnimIndex, count, deltaTime);
            frame = anim.LowFrames[e.AnimIndex];
        } else if (e.TurnPhase == KX_TURN_HIGH && quickTurn && anim.QuickTurn) {
            e.TurnPhase = 0;
            e.AnimIndex = count - e.AnimIndex - 1;
        } else {
            e.AnimTime += deltaTime;
            while (e.TurnPhase > 0 && e.AnimTime > KX_ACTOR_TICK) {
                e.TurnPhase--;
                e.AnimTime -= KX_ACTOR_TICK;
            }
            if (e.TurnPhase == 0)
                e.AnimIndex = CyclePos(anim.LowStart, count);
            frame = anim.TurnFrames[e.TurnPhase];
        }
    } else {
        if (e.TurnPhase == KX_TURN_HIGH) {
            runway += movement;
            AdvanceCycle(e.AnimTime, e.AnimIndex, count, deltaTime);
            frame = anim.HighFrames[e.AnimIndex];
        } else if (e.TurnPhase == 0 && quickTurn && anim.QuickTurn) {
            e.TurnPhase = KX_TURN_HIGH;
            e.AnimIndex = count - e.AnimIndex - 1;
        } else {
            e.AnimTime += deltaTime;
            while (e.TurnPhase < KX_TURN_HIGH && e.AnimTime > KX_ACTOR_TICK) {
                e.TurnPhase++;
                e.AnimTime -= KX_ACTOR_TICK;
            }
            if (e.TurnPhase == KX_TURN_HIGH)
                e.AnimIndex = CyclePos(anim.HighStart, count);
            frame = anim.TurnFrames[e.TurnPhase];
        }
    }
}

template <class E> static void SpawnEnemy(E &e, int &frame, bool &active)
{
    const KX_EnemyAnimType &anim = e.AnimData ? *e.AnimData : NoAnim;
    e.AnimIndex = 0;
    e.AnimTime = 0;
    e.Frozen = false;
    frame = anim.CrossFrames[0];
    active = true;
    e.TurnPhase = KX_TURN_CROSS;
    e.Turned = false;
    e.Exploding = false;
}

static TSpriteDef *LevelExplosion(bool xEnemy)
{
    const KX_LevelDataType &level = LevelData[std::clamp(GameLevel, 0, KX_NUM_LEVELS - 1)];
    int index = xEnemy ? level.XExplosionDef : level.YExplosionDef;
    return index >= 0 && index < KX_NUM_SPRITE_DEFS ? KXSprites_Def[index] : nullptr;
}

template <class E> static void ExplodeEnemy(E &e, bool xEnemy, int x, int y)
{
    if (e.Exploding)
        return;
    TExplosionSprite *explosion = KX_SPRITES_GetFreeExplosion();
    if (explosion) {
        explosion->SetDefinition(LevelExplosion(xEnemy));
        explosion->StartExplode(x, y);
    }
    KX_SOUND_PlayFx(KX_FX_EXPL01);
    e.Exploding = true;
    e.AnimTime = 0;
}

TEnemyXSprite::TEnemyXSprite(TSpriteDef *definition, int id) : TEnemySprite(definition, id) {}

void TEnemyXSprite::Spawn()
{
    SpawnEnemy(*this, Frame, Active);
    PosX = (float)KX_ENEMY_START;
    PosY = (float)(32 + rand() % 360);
    X = (int)PosX;
    Y = (int)PosY;
}

void TEnemyXSprite::Move(int deltaTime)
{
    StepEnemy(*this, deltaTime, PosX, PosY, Y, TurretY, true, Active, Frame);
    X = (int)PosX;
    Y = (int)PosY;
}

void TEnemyXSprite::Explode()
{
    ExplodeEnemy(*this, true, X, Y);
}

TEnemyYSprite::TEnemyYSprite(TSpriteDef *definition, int id) : TEnemySprite(definition, id) {}

void TEnemyYSprite::Spawn()
{
    SpawnEnemy(*this, Frame, Active);
    PosY = (float)KX_ENEMY_START;
    PosX = (float)(32 + rand() % 360);
    X = (int)PosX;
    Y = (int)PosY;
}

void TEnemyYSprite::Move(int deltaTime)
{
    // Y enemies always turn through the phases, whatever their record says.
    StepEnemy(*this, deltaTime, PosY, PosX, X, TurretX, false, Active, Frame);
    X = (int)PosX;
    Y = (int)PosY;
}

void TEnemyYSprite::Explode()
{
    ExplodeEnemy(*this, false, X, Y);
}

template <class S> static void StartExplosion(S &s, int x, int y, int &frame, bool &active)
{
    s.SetPosition(x, y);
    s.AnimFrame = 0;
    frame = 0;
    s.AnimTime = 0;
    active = true;
}

template <class S> static void StepExplosion(S &s, int deltaTime, int frames, int &frame, bool &active)
{
    s.AnimTime += deltaTime;
    while (s.AnimFrame < frames && s.AnimTime > KX_EXPLOSION_FRAME_TIME) {
        s.AnimFrame++;
        s.AnimTime -= KX_EXPLOSION_FRAME_TIME;
    }
    if (s.AnimFrame < frames)
        frame = s.AnimFrame;
    else
        active = false;
}

TExplosionSprite::TExplosionSprite(TSpriteDef *definition, int id) : TSprite(definition, id) {}

void TExplosionSprite::StartExplode(int x, int y)
{
    StartExplosion(*this, x, y, Frame, Active);
}

void TExplosionSprite::Move(int deltaTime)
{
    StepExplosion(*this, deltaTime, KX_EXPLOSION_FRAMES, Frame, Active);
}

TElectroExpSprite::TElectroExpSprite(TSpriteDef *definition, int id) : TSprite(definition, id) {}

void TElectroExpSprite::StartExplode(int x, int y)
{
    StartExplosion(*this, x, y, Frame, Active);
}

void TElectroExpSprite::Move(int deltaTime)
{
    StepExplosion(*this, deltaTime, KX_ELECTRO_EXP_FRAMES, Frame, Active);
}
