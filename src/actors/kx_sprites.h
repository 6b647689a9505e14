// The game's actors: sprite identities, the fixed pools, the definition table and their set-up.
#pragma once

#include "dd_sprite_file.h"
#include "dd_sprites.h"
#include "kx_enemies.h"
#include "kx_lasers.h"

// The identity of every sprite; each sprite's Id holds it, and TSprite::Collision returns it.
enum KX_SpriteIdType {
    KX_SPRITE_NONE = 0,
    KX_SPRITE_LASER_X = 1,
    KX_SPRITE_LASER_Y = 2,
    KX_SPRITE_SHOT_X1 = 3,
    KX_SPRITE_SHOT_X2 = 4,
    KX_SPRITE_SHOT_Y1 = 5,
    KX_SPRITE_SHOT_Y2 = 6,
    KX_SPRITE_ENEMY_X1 = 7,
    KX_SPRITE_ENEMY_X10 = 16,
    KX_SPRITE_ENEMY_Y1 = 17,
    KX_SPRITE_ENEMY_Y10 = 26,
    KX_SPRITE_EXPLOSION1 = 27,
    KX_SPRITE_EXPLOSION20 = 46,
    KX_SPRITE_ELECTRO_EXP = 47,
    KX_NUM_SPRITE_IDS = 48
};

enum {
    KX_NUM_SHOTS = 2,       // per laser
    KX_NUM_ENEMIES = 10,    // per axis
    KX_NUM_EXPLOSIONS = 20,
    KX_NUM_SPRITE_DEFS = 20
};

// Places in the definition table.
enum {
    KX_DEF_TURRET_X = 0,
    KX_DEF_TURRET_Y = 1,
    KX_DEF_SHOT_X = 2,
    KX_DEF_SHOT_Y = 3,
    KX_DEF_ENEMY_X = 4,  // the X enemies' definition at set-up
    KX_DEF_ENEMY_Y = 9,  // the Y enemies' definition at set-up
    KX_DEF_EXPLOSION = 14,
    KX_DEF_TURRET_EXPLOSION = 16,
    KX_DEF_ELECTRO_EXP = 19
};

// Definition files by index; null where there is none.
extern const char *const SpriteDefFiles[KX_NUM_SPRITE_DEFS];
extern DDSPRITE_FrameDataType *SpriteFrameData[KX_NUM_SPRITE_DEFS];
extern TSpriteDef *KXSprites_Def[KX_NUM_SPRITE_DEFS];

// Every sprite by id (entry 0 null), and the pools.
extern TSprite *KXSprites[KX_NUM_SPRITE_IDS];
extern TLaserXSprite *KXSprites_LaserX;
extern TLaserYSprite *KXSprites_LaserY;
extern TShotXSprite *KXSprites_Shot_X[KX_NUM_SHOTS];
extern TShotYSprite *KXSprites_Shot_Y[KX_NUM_SHOTS];
extern TEnemyXSprite *KXSprites_Enemy_X[KX_NUM_ENEMIES];
extern TEnemyYSprite *KXSprites_Enemy_Y[KX_NUM_ENEMIES];
extern TExplosionSprite *KXSprites_Explosion[KX_NUM_EXPLOSIONS];
extern TElectroExpSprite *KXSprites_ElextroExp;

// Reads every definition and creates all 47 sprites; false after the first failure (logged).
bool KX_SPRITES_Initialise();
// Destroys every sprite and definition and frees the parsed files.
void KX_SPRITES_CleanUp();
// The first explosion sprite not in use, or null when all are busy.
TExplosionSprite *KX_SPRITES_GetFreeExplosion();
// Stops both lasers where they are and switches every shot off (with its light).
void KX_SPRITES_HaltLasersAndShots();
// Switches every shot off, with its light.
void KX_SPRITES_ShotsOff();
// Takes every live enemy off the field at once; exploding ones play out.
void KX_SPRITES_RemoveLiveEnemies();
