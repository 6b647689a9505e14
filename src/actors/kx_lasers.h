// The player's two laser turrets and the shots they fire.
#pragma once

#include "dd_sprites.h"

// The X laser's x and the Y laser's y, kept current by the lasers; the enemies steer by them.
extern int TurretX;
extern int TurretY;

// Where the runways lie and how the turrets travel along them.
enum {
    KX_RUNWAY_POS = 432,    // the runways' line, and the corner where they meet
    KX_TURRET_MIN = 16,     // a turret travels from here...
    KX_TURRET_MAX = 385,    // ...to here, and wraps between the two
    KX_TURRET_FRAMES = 32,  // 8 animation frames in each of 4 barrel positions
    KX_SHOT_FRAMES = 12,    // frames a shot definition needs
    KX_SHOT_FRAME_STRAIGHT = 5,
    KX_SHOT_FRAME_DIAGONAL = 11,
    KX_ACTOR_TICK = 66,     // milliseconds per animation tick of turrets and enemies
    KX_EXPLODE_TIME = 200   // how long a destroyed turret or enemy stays on screen
};

// A shot of the X laser: flies up, or up and to the right when diagonal.
class TShotXSprite : public TSprite {
public:
    TShotXSprite(TSpriteDef *definition, int id, int light);
    void Move(int deltaTime) override;
    void Fire(int pos, bool diagonal);
    void Off();

    bool Diagonal = false;
    int Light; // the dynamic light slot that travels with the shot
};

// A shot of the Y laser: flies left, or left and down when diagonal.
class TShotYSprite : public TSprite {
public:
    TShotYSprite(TSpriteDef *definition, int id, int light);
    void Move(int deltaTime) override;
    void Fire(int pos, bool diagonal);
    void Off();

    bool Diagonal = false;
    int Light;
};

// What the two turrets share: steering, the barrel and their state.
class TLaserSprite : public TSprite {
public:
    TLaserSprite(TSpriteDef *definition, int id) : TSprite(definition, id) {}
    void SetMovement(int movement) { Movement = movement; }
    void SetTurn(bool turn) { Turn = turn; }

    bool Entering = false;
    int Movement = 0;  // -1, 0 or +1 along the runway
    bool Turn = false; // the barrel turns toward diagonal (true) or back to straight
    int AnimFrame = 0; // 0 to 7
    int TurnPos = 0;   // 0 straight to 3 diagonal
    int AnimTime = 0;
    bool Exploding = false;
};

// The turret on the bottom runway; fires upward.
class TLaserXSprite : public TLaserSprite {
public:
    TLaserXSprite(TSpriteDef *definition, int id);
    void Move(int deltaTime) override;
    void SetEntering(bool entering);
    bool Fire();
    void Explode();
};

// The turret on the right-hand runway; fires leftward.
class TLaserYSprite : public TLaserSprite {
public:
    TLaserYSprite(TSpriteDef *definition, int id);
    void Move(int deltaTime) override;
    void SetEntering(bool entering);
    bool Fire();
    void Explode();
};
