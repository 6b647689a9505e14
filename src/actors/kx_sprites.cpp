// The one-time actor set-up: every sprite definition read, the 47 sprites created in list order.
#include "kx_sprites.h"
#include "dd_log.h"
#include "kordax.h"

#include <cstdio>
#include <new>

const char *const SpriteDefFiles[KX_NUM_SPRITE_DEFS] = {
    "gfx\\kx_turretx.txt", "gfx\\kx_turrety.txt", "gfx\\laser_xb.txt",   "gfx\\laser_yb.txt",
    "gfx\\ammonite.txt",   "gfx\\scorpion.txt",   "gfx\\spectre.txt",    "gfx\\mechwasp.txt",
    "gfx\\ufo.txt",        "gfx\\trilobite.txt",  "gfx\\scarab.txt",     "gfx\\skull.txt",
    "gfx\\mechspider.txt", "gfx\\rocket.txt",     "gfx\\explosion1.txt", "gfx\\explosion2.txt",
    "gfx\\explosion3.txt", nullptr,               nullptr,               "gfx\\electro_exp.txt",
};

DDSPRITE_FrameDataType *SpriteFrameData[KX_NUM_SPRITE_DEFS];
TSpriteDef *KXSprites_Def[KX_NUM_SPRITE_DEFS];

TSprite *KXSprites[KX_NUM_SPRITE_IDS];
TLaserXSprite *KXSprites_LaserX;
TLaserYSprite *KXSprites_LaserY;
TShotXSprite *KXSprites_Shot_X[KX_NUM_SHOTS];
TShotYSprite *KXSprites_Shot_Y[KX_NUM_SHOTS];
TEnemyXSprite *KXSprites_Enemy_X[KX_NUM_ENEMIES];
TEnemyYSprite *KXSprites_Enemy_Y[KX_NUM_ENEMIES];
TExplosionSprite *KXSprites_Explosion[KX_NUM_EXPLOSIONS];
TElectroExpSprite *KXSprites_ElextroExp;

static void LogWithName(const char *text, const char *fileName)
{
    DDErrorLog(text);
    DDErrorLog(fileName);
}

// The frames the actor code shows from each definition.
static int FramesNeeded(int index)
{
    switch (index) {
    case KX_DEF_TURRET_X:
    case KX_DEF_TURRET_Y: return KX_TURRET_FRAMES;
    case KX_DEF_SHOT_X:
    case KX_DEF_SHOT_Y: return KX_SHOT_FRAMES;
    case KX_DEF_EXPLOSION:
    case KX_DEF_EXPLOSION + 1:
    case KX_DEF_TURRET_EXPLOSION: return KX_EXPLOSION_FRAMES;
    case KX_DEF_ELECTRO_EXP: return KX_ELECTRO_EXP_FRAMES;
    default: break;
    }
    int needed = 0;
    for (int r = 0; r < KX_NUM_ENEMY_ANIMS; r++)
        if (EnemyAnimDefIndex[r] == index && KX_EnemyAnimFramesNeeded(EnemyAnimData[r]) > needed)
            needed = KX_EnemyAnimFramesNeeded(EnemyAnimData[r]);
    return needed;
}

// A short definition still loads (frames beyond it draw nothing and hit nothing), but is reported.
static void CheckFrameCount(int index)
{
    int needed = FramesNeeded(index);
    int have = KXSprites_Def[index]->NumFrames();
    if (have >= needed)
        return;
    char text[200];
    snprintf(text, sizeof text, "Warning: Sprite definition %s has %d frames, %d needed", SpriteDefFiles[index], have,
             needed);
    DDErrorLog(text);
}

// The start-up failure box names the file that failed: the image or mask the loader reported,
// else the definition itself.
static bool DefinitionFailed(const char *text, const char *fileName)
{
    LogWithName(text, fileName);
    if (!*DDLastFileProblem())
        DDLogFile(fileName);
    return false;
}

static bool LoadDefinition(int index)
{
    const char *fileName = SpriteDefFiles[index];
    if (DebugLevel > 0)
        DDErrorLog(fileName);
    SpriteFrameData[index] = DDSPRITE_ReadFrameData(fileName);
    if (!SpriteFrameData[index])
        return DefinitionFailed("Error: Failed to read sprite definition file:", fileName);
    TSpriteDef *def = new (std::nothrow) TSpriteDef(SpriteFrameData[index]);
    if (!def)
        return DefinitionFailed("Error:Failed to allocate sprite definition:", fileName);
    if (!def->Created()) {
        // A definition that failed is in no list, so nothing else would free it.
        delete def;
        return DefinitionFailed("Error:Failed to create sprite definition:", fileName);
    }
    KXSprites_Def[index] = def;
    CheckFrameCount(index);
    return true;
}

// Stores a new sprite under its id and appends it to the sprite list; false (logged) if it is null.
template <class S> static bool Enlist(S *sprite, S *&slot, const char *failure)
{
    slot = sprite;
    if (!sprite) {
        DDErrorLog(failure);
        return false;
    }
    KXSprites[sprite->GetId()] = sprite;
    DDSPRITE_Add(sprite);
    return true;
}

static bool CreateSprites()
{
    TSpriteDef **def = KXSprites_Def;
    if (!Enlist(new (std::nothrow) TLaserXSprite(def[KX_DEF_TURRET_X], KX_SPRITE_LASER_X), KXSprites_LaserX,
                "Error: Failed to allocate X Turret sprite"))
        return false;
    if (!Enlist(new (std::nothrow) TLaserYSprite(def[KX_DEF_TURRET_Y], KX_SPRITE_LASER_Y), KXSprites_LaserY,
                "Error: Failed to allocate Y Turret sprite"))
        return false;
    for (int i = 0; i < KX_NUM_SHOTS; i++)
        if (!Enlist(new (std::nothrow) TShotXSprite(def[KX_DEF_SHOT_X], KX_SPRITE_SHOT_X1 + i, i), KXSprites_Shot_X[i],
                    "Error: Failed to allocate shot X sprite."))
            return false;
    for (int i = 0; i < KX_NUM_SHOTS; i++)
        if (!Enlist(new (std::nothrow) TShotYSprite(def[KX_DEF_SHOT_Y], KX_SPRITE_SHOT_Y1 + i, 2 + i),
                    KXSprites_Shot_Y[i], "Error: Failed to allocate shot Y sprite."))
            return false;
    for (int i = 0; i < KX_NUM_ENEMIES; i++)
        if (!Enlist(new (std::nothrow) TEnemyXSprite(def[KX_DEF_ENEMY_X], KX_SPRITE_ENEMY_X1 + i),
                    KXSprites_Enemy_X[i], "Error: Failed to allocate enemy X sprite."))
            return false;
    for (int i = 0; i < KX_NUM_ENEMIES; i++)
        if (!Enlist(new (std::nothrow) TEnemyYSprite(def[KX_DEF_ENEMY_Y], KX_SPRITE_ENEMY_Y1 + i),
                    KXSprites_Enemy_Y[i], "Error: Failed to allocate enemy Y sprite."))
            return false;
    for (int i = 0; i < KX_NUM_EXPLOSIONS; i++)
        if (!Enlist(new (std::nothrow) TExplosionSprite(def[KX_DEF_EXPLOSION], KX_SPRITE_EXPLOSION1 + i),
                    KXSprites_Explosion[i], "Error: Failed to allocate explosion sprite."))
            return false;
    return Enlist(new (std::nothrow) TElectroExpSprite(def[KX_DEF_ELECTRO_EXP], KX_SPRITE_ELECTRO_EXP),
                  KXSprites_ElextroExp, "Error: Failed to allocate electrozap explosion sprite.");
}

bool KX_SPRITES_Initialise()
{
    DDForgetFileProblem(); // files reported before (a missing picture) did not stop the start
    DDSPRITE_Initialise(20);
    DDSPRITE_SetClipRect(0, 0, 480, 480);
    for (int i = 0; i < KX_NUM_SPRITE_DEFS; i++) {
        SpriteFrameData[i] = nullptr;
        KXSprites_Def[i] = nullptr;
    }
    for (int i = 0; i < KX_NUM_SPRITE_DEFS; i++)
        if (SpriteDefFiles[i] && !LoadDefinition(i))
            return false;
    return CreateSprites();
}

void KX_SPRITES_CleanUp()
{
    DDSPRITE_Cleanup();
    for (int i = 0; i < KX_NUM_SPRITE_DEFS; i++) {
        if (SpriteFrameData[i])
            DDSPRITE_FreeFrameData(SpriteFrameData[i]);
        SpriteFrameData[i] = nullptr;
        KXSprites_Def[i] = nullptr;
    }
    // Nothing may point at the destroyed sprites afterwards.
    for (TSprite *&s : KXSprites)
        s = nullptr;
    KXSprites_LaserX = nullptr;
    KXSprites_LaserY = nullptr;
    for (int i = 0; i < KX_NUM_SHOTS; i++) {
        KXSprites_Shot_X[i] = nullptr;
        KXSprites_Shot_Y[i] = nullptr;
    }
    for (int i = 0; i < KX_NUM_ENEMIES; i++) {
        KXSprites_Enemy_X[i] = nullptr;
        KXSprites_Enemy_Y[i] = nullptr;
    }
    for (TExplosionSprite *&e : KXSprites_Explosion)
        e = nullptr;
    KXSprites_ElextroExp = nullptr;
}

TExplosionSprite *KX_SPRITES_GetFreeExplosion()
{
    for (TExplosionSprite *e : KXSprites_Explosion)
        if (e && !e->GetActive())
            return e;
    return nullptr;
}

void KX_SPRITES_HaltLasersAndShots()
{
    if (KXSprites_LaserX) {
        KXSprites_LaserX->SetMovement(0);
        KXSprites_LaserX->SetTurn(false);
    }
    if (KXSprites_LaserY) {
        KXSprites_LaserY->SetMovement(0);
        KXSprites_LaserY->SetTurn(false);
    }
    KX_SPRITES_ShotsOff();
}

void KX_SPRITES_ShotsOff()
{
    for (TShotXSprite *shot : KXSprites_Shot_X)
        if (shot)
            shot->Off();
    for (TShotYSprite *shot : KXSprites_Shot_Y)
        if (shot)
            shot->Off();
}

void KX_SPRITES_RemoveLiveEnemies()
{
    for (TEnemyXSprite *enemy : KXSprites_Enemy_X)
        if (enemy && enemy->GetActive() && !enemy->IsExploding())
            enemy->SetActive(false);
    for (TEnemyYSprite *enemy : KXSprites_Enemy_Y)
        if (enemy && enemy->GetActive() && !enemy->IsExploding())
            enemy->SetActive(false);
}
