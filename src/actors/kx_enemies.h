// The enemies that hunt the turrets, their animation records, and the explosions.
#pragma once

#include "dd_sprites.h"

enum {
    KX_ANIM_MAX_FRAMES = 16, // slots of a moving cycle
    KX_TURN_PHASES = 13,     // 0 faces the low direction, 6 the crossing, 12 the high direction
    KX_TURN_CROSS = 6,
    KX_TURN_HIGH = 12,
    KX_NUM_ENEMY_ANIMS = 10,
    KX_ENEMY_START = -64,    // enemies enter from this far beyond the left or top edge
    KX_EXPLOSION_FRAMES = 16,
    KX_ELECTRO_EXP_FRAMES = 12,
    KX_EXPLOSION_FRAME_TIME = 50
};

// How one enemy type is animated.
struct KX_EnemyAnimType {
    int Count; // frames in each moving cycle, at most 16
    int CrossFrames[KX_ANIM_MAX_FRAMES];
    int LowFrames[KX_ANIM_MAX_FRAMES];  // moving toward smaller coordinates on the runway
    int HighFrames[KX_ANIM_MAX_FRAMES]; // moving toward larger coordinates on the runway
    int TurnFrames[KX_TURN_PHASES];
    int LowStart;  // cycle position when a turn reaches phase 0
    int HighStart; // cycle position when a turn reaches phase 12
    int QuickTurn; // a full reversal is instant (X enemies only)
};

extern const KX_EnemyAnimType EnemyAnimData[KX_NUM_ENEMY_ANIMS];
// The definition (index into the definition table) each record animates.
extern const int EnemyAnimDefIndex[KX_NUM_ENEMY_ANIMS];
// Frames a definition needs to show every frame of a record.
int KX_EnemyAnimFramesNeeded(const KX_EnemyAnimType &anim);

// What the two kinds of enemy share: their movement pattern, speed and state.
class TEnemySprite : public TSprite {
public:
    TEnemySprite(TSpriteDef *definition, int id) : TSprite(definition, id) {}
    void SetAnimData(const KX_EnemyAnimType *anim) { AnimData = anim; }
    void SetSpeed(int speed, int time)
    {
        Speed = speed;
        SpeedTime = time;
    }
    void Freeze() { Frozen = true; }
    void Resume() { Frozen = false; }
    bool IsExploding() const { return Exploding; }

    const KX_EnemyAnimType *AnimData = nullptr;
    int AnimIndex = 0;
    bool Frozen = false;
    int Speed = 0;        // pixels per SpeedTime milliseconds
    int SpeedTime = 1000;
    int AnimTime = 0;
    bool Turned = false;  // on its runway
    bool Exploding = false;
    int TurnPhase = 0;
    float PosX = 0.0f;
    float PosY = 0.0f;
};

// Enters beyond the left edge, crosses rightward, then hunts the Y laser along the right runway.
class TEnemyXSprite : public TEnemySprite {
public:
    TEnemyXSprite(TSpriteDef *definition, int id);
    void Move(int deltaTime) override;
    void Spawn();
    void Explode();
};

// Enters above the top edge, crosses downward, then hunts the X laser along the bottom runway.
class TEnemyYSprite : public TEnemySprite {
public:
    TEnemyYSprite(TSpriteDef *definition, int id);
    void Move(int deltaTime) override;
    void Spawn();
    void Explode();
};

// Sixteen frames of about 50 ms, then gone.
class TExplosionSprite : public TSprite {
public:
    TExplosionSprite(TSpriteDef *definition, int id);
    void StartExplode(int x, int y);
    void Move(int deltaTime) override;

    int AnimTime = 0;
    int AnimFrame = 0;
};

// The electro zap's ring: twelve frames of about 50 ms.
class TElectroExpSprite : public TSprite {
public:
    TElectroExpSprite(TSpriteDef *definition, int id);
    void StartExplode(int x, int y);
    void Move(int deltaTime) override;

    int AnimTime = 0;
    int AnimFrame = 0;
};
