// The playing state: the players' controls, enemy spawning, the collision check after every sprite
// step, scoring, and the electro zap with its spreading ring of lights.
#include "kx_state_playing.h"
#include "bumpmap.h"
#include "dd.h"
#include "dd_input.h"
#include "dd_log.h"
#include "kx_bitmap.h"
#include "kx_field_fx.h"
#include "kx_game.h"
#include "kx_pad.h"
#include "kx_panel_game.h"
#include "kx_sound.h"
#include "kx_world.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

int NextXEnemyTime = 0;
int NextYEnemyTime = 0;
int LastXFireTime = 0;
int LastYFireTime = 0;
bool ElectroZapActive = false;
bool ElectroExplode = false;
unsigned int ElectroZapTime = 0;

// Clock readings are compared by their signed 32-bit difference, so a wrapping clock still works.
static int ClockDiff(int later, int earlier)
{
    return (int)((uint32_t)later - (uint32_t)earlier);
}

static const KX_LevelDataType &CurrentLevel()
{
    return LevelData[std::clamp(GameLevel, 0, KX_NUM_LEVELS - 1)];
}

void KX_STATE_PLAYING_Start()
{
    StateTime = GetClock();
    KX_SetPortalTime((int)StateTime);
    TurretX = TurretY = 212;
    NextXEnemyTime = KX_SpawnTime();
    NextYEnemyTime = KX_SpawnTime();
    ElectroZapActive = false;
}

// What the controls ask of the lasers this frame.
struct PlayControls {
    int MoveX = 0, MoveY = 0;
    bool TurnX = false, TurnY = false;
    bool FireX = false, FireY = false;
    bool Zap = false;
};

static int KeyAxis(const int *keys, int lowKey, int highKey)
{
    if (DDInput_KeyHeld(keys[lowKey]))
        return -1;
    return DDInput_KeyHeld(keys[highKey]) ? 1 : 0;
}

// Player 1 drives both lasers (in mode 1 the Y laser's orders are replaced by player 2's).
static void ReadPlayer1(PlayControls &c)
{
    const int *keys = ActiveInput1Keys;
    c.MoveX = KeyAxis(keys, DDINPUT_X_LEFT, DDINPUT_X_RIGHT);
    c.MoveY = KeyAxis(keys, DDINPUT_Y_UP, DDINPUT_Y_DOWN);
    c.TurnX = DDInput_KeyHeld(keys[DDINPUT_TURN_X]);
    c.TurnY = DDInput_KeyHeld(keys[DDINPUT_TURN_Y]);
    c.FireX = c.FireY = DDInput_KeyHeld(keys[DDINPUT_FIRE]);
    c.Zap = DDInput_KeyHeld(keys[DDINPUT_ZAP]);
    if (ActiveInput1 <= 0)
        return;
    int joystick = ActiveInput1 - 1;
    DDInput_Poll(joystick);
    switch (DDInput_GetDigital_Direction(joystick)) {
    case DDINPUT_DIR_UP: c.MoveY = -1; break;
    case DDINPUT_DIR_UP_RIGHT: c.TurnX = true; break;
    case DDINPUT_DIR_RIGHT: c.MoveX = 1; break;
    case DDINPUT_DIR_DOWN_RIGHT: c.MoveX = c.MoveY = 1; break;
    case DDINPUT_DIR_DOWN: c.MoveY = 1; break;
    case DDINPUT_DIR_DOWN_LEFT: c.TurnY = true; break;
    case DDINPUT_DIR_LEFT: c.MoveX = -1; break;
    case DDINPUT_DIR_UP_LEFT: c.MoveX = c.MoveY = -1; break;
    default: break;
    }
    DWORD buttons = DDInput_Buttons(joystick);
    if (buttons & 1)
        c.FireX = c.FireY = true;
    if (buttons & 2)
        c.Zap = true;
}

static void ReadPlayer2(PlayControls &c)
{
    const int *keys = ActiveInput2Keys;
    c.MoveY = KeyAxis(keys, DDINPUT_Y_UP, DDINPUT_Y_DOWN);
    c.TurnY = DDInput_KeyHeld(keys[DDINPUT_TURN_Y]);
    c.FireY = DDInput_KeyHeld(keys[DDINPUT_FIRE]);
    if (ActiveInput2 > 0) {
        int joystick = ActiveInput2 - 1;
        DDInput_Poll(joystick);
        switch (DDInput_GetDigital_Direction(joystick)) {
        case DDINPUT_DIR_UP:
        case DDINPUT_DIR_UP_RIGHT:
        case DDINPUT_DIR_UP_LEFT: c.MoveY = -1; break;
        case DDINPUT_DIR_DOWN_RIGHT:
        case DDINPUT_DIR_DOWN: c.MoveY = 1; break;
        case DDINPUT_DIR_DOWN_LEFT: c.TurnY = true; break;
        default: break;
        }
        DWORD buttons = DDInput_Buttons(joystick);
        if (buttons & 1)
            c.FireY = true;
        if (buttons & 2)
            c.Zap = true;
    }
    if (DDInput_KeyHeld(keys[DDINPUT_ZAP]))
        c.Zap = true;
}

void KX_STATE_PLAYING_InputPoll()
{
    int now = (int)GetClock();
    if (DDInput_KeyHeld(VK_ESCAPE)) {
        // The game is abandoned: nothing else is ordered on the way out.
        GameState = KX_STATE_OPTIONS;
        return;
    }
    if (ElectroZapActive)
        return;
    PlayControls c;
    ReadPlayer1(c);
    if (GameMode == KX_GAMEMODE_TOGETHER)
        ReadPlayer2(c);
    if (c.FireX && ClockDiff(now, LastXFireTime) < KX_FIRE_INTERVAL)
        c.FireX = false;
    if (c.FireY && ClockDiff(now, LastYFireTime) < KX_FIRE_INTERVAL)
        c.FireY = false;

    if (KXSprites_LaserX) {
        KXSprites_LaserX->SetMovement(c.MoveX);
        KXSprites_LaserX->SetTurn(c.TurnX);
    }
    if (KXSprites_LaserY) {
        KXSprites_LaserY->SetMovement(c.MoveY);
        KXSprites_LaserY->SetTurn(c.TurnY);
    }
    if (c.FireX && KXSprites_LaserX && KXSprites_LaserX->Fire())
        LastXFireTime = now;
    if (c.FireY && KXSprites_LaserY && KXSprites_LaserY->Fire())
        LastYFireTime = now;
    if (c.Zap && !ElectroZapActive && ElectroZapCount > 0)
        KX_StartElectroZap();
}

void KX_STATE_PLAYING_Update(int time)
{
    if (ElectroZapActive)
        KX_UpdateElectroZap(time);
    else
        KX_UpdateNormal(time);

    // Collisions are checked after every bounded step; a change of state stops the stepping.
    int clock;
    do {
        clock = DDSPRITE_MoveAll(time);
        if (!ElectroZapActive)
            KX_UpdateCollide();
    } while (ClockDiff(time, clock) > 0 && GameState == KX_STATE_PLAYING);

    Bumpmap_Draw();
    KX_UpdatePortalFrame(time);
    KX_DrawRunways1();
    DDSPRITE_DrawAll(g_pDDSBack);
    KX_DrawRunways2();
    KX_FIELDFX_DrawRunwayWarnings(time);
    KX_PANEL_GAME_Draw();
}

template <class E> static bool SpawnFirstFree(E *const (&enemies)[KX_NUM_ENEMIES])
{
    for (E *enemy : enemies) {
        if (enemy && !enemy->GetActive()) {
            enemy->Spawn();
            return true;
        }
    }
    return false;
}

void KX_UpdateNormal(int time)
{
    // With all ten of an axis in play nothing spawns, and the check repeats next frame.
    if (ClockDiff(time, NextXEnemyTime) > 0 && SpawnFirstFree(KXSprites_Enemy_X))
        NextXEnemyTime = KX_SpawnTime();
    if (ClockDiff(time, NextYEnemyTime) > 0 && SpawnFirstFree(KXSprites_Enemy_Y))
        NextYEnemyTime = KX_SpawnTime();
}

static bool IsEnemyX(int id)
{
    return id >= KX_SPRITE_ENEMY_X1 && id <= KX_SPRITE_ENEMY_X10;
}

static bool IsEnemyY(int id)
{
    return id >= KX_SPRITE_ENEMY_Y1 && id <= KX_SPRITE_ENEMY_Y10;
}

template <class S> static void CheckShots(S *const (&shots)[KX_NUM_SHOTS], KX_SpriteIdType laser)
{
    for (S *shot : shots) {
        if (!shot)
            continue;
        int id = shot->Collision();
        if (id == KX_SPRITE_NONE)
            continue;
        int points = KX_LaserHit((KX_SpriteIdType)id);
        shot->Off();
        KX_AddScore(laser, points);
    }
}

void KX_UpdateCollide()
{
    // Only enemies can be hit, and only those not already exploding when the check begins.
    for (int id = 1; id < KX_NUM_SPRITE_IDS; id++) {
        TSprite *s = KXSprites[id];
        if (!s)
            continue;
        if (IsEnemyX(id))
            s->SetCollisionActive(!KXSprites_Enemy_X[id - KX_SPRITE_ENEMY_X1]->IsExploding());
        else if (IsEnemyY(id))
            s->SetCollisionActive(!KXSprites_Enemy_Y[id - KX_SPRITE_ENEMY_Y1]->IsExploding());
        else
            s->SetCollisionActive(false);
    }
    CheckShots(KXSprites_Shot_X, KX_SPRITE_LASER_X);
    CheckShots(KXSprites_Shot_Y, KX_SPRITE_LASER_Y);
    if (Threshold < 1)
        GameState = KX_STATE_END_LEVEL;
    if (GameState != KX_STATE_PLAYING)
        return;
    if (KXSprites_LaserX && KXSprites_LaserX->Collision() != KX_SPRITE_NONE) {
        GameState = KX_STATE_DYING;
        LaserEntry = 1;
    } else if (KXSprites_LaserY && KXSprites_LaserY->Collision() != KX_SPRITE_NONE) {
        GameState = KX_STATE_DYING;
        LaserEntry = 2;
    }
}

int KX_LaserHit(KX_SpriteIdType id)
{
    if (IsEnemyX(id) && KXSprites_Enemy_X[id - KX_SPRITE_ENEMY_X1])
        KXSprites_Enemy_X[id - KX_SPRITE_ENEMY_X1]->Explode();
    else if (IsEnemyY(id) && KXSprites_Enemy_Y[id - KX_SPRITE_ENEMY_Y1])
        KXSprites_Enemy_Y[id - KX_SPRITE_ENEMY_Y1]->Explode();
    else
        return 0;
    Threshold = std::max(Threshold - 1, 0);
    return CurrentLevel().Score;
}

void KX_AddScore(KX_SpriteIdType laser, int points)
{
    bool toPlayer2 = false;
    if (GameMode == KX_GAMEMODE_TOGETHER)
        toPlayer2 = laser != Player1Turret;
    else if (GameMode == KX_GAMEMODE_ALTERNATE)
        toPlayer2 = CurrentPlayer != 1;
    if (toPlayer2)
        ScoreP2 += points;
    else
        ScoreP1 += points;
}

void KX_StartElectroZap()
{
    ElectroZapTime = GetClock();
    ElectroZapActive = true;
    KX_PAD_Rumble(0, KX_PAD_RUMBLE_ZAP, KX_PAD_RUMBLE_ZAP_MS);
    ElectroExplode = false;
    ElectroZapCount -= 1;
    for (TEnemyXSprite *e : KXSprites_Enemy_X)
        if (e && e->GetActive() && !e->IsExploding())
            e->Freeze();
    for (TEnemyYSprite *e : KXSprites_Enemy_Y)
        if (e && e->GetActive() && !e->IsExploding())
            e->Freeze();
    // The shots give up the four light slots to the zap.
    KX_SPRITES_HaltLasersAndShots();
}

int KX_ZapRadius(int s)
{
    return (int)(((int64_t)KX_ZAP_RING_SPEED * s) / 1000);
}

void KX_ZapLightPos(int s, int light, int *x, int *y)
{
    const double pi = 3.14159265358979323846;
    double angle = (double)s * 360.0 / 1000.0 * pi / 180.0;
    int r = KX_ZapRadius(s);
    int dx = (int)(r * cos(angle));
    int dy = (int)(r * sin(angle));
    // Four lights a quarter turn apart: each is the one before turned by 90 degrees.
    const int c = KX_PLAYFIELD_CENTRE;
    switch (light & 3) {
    case 0: *x = c + dx; *y = c + dy; break;
    case 1: *x = c - dy; *y = c + dx; break;
    case 2: *x = c - dx; *y = c - dy; break;
    default: *x = c + dy; *y = c - dx; break;
    }
}

template <class E> static void RingHits(E *const (&enemies)[KX_NUM_ENEMIES], int r)
{
    const int64_t r2 = (int64_t)r * r;
    const int half = CurrentLevel().Score / 2;
    for (E *e : enemies) {
        if (!e || !e->GetActive() || e->IsExploding())
            continue;
        int x, y;
        e->GetPosition(&x, &y);
        int64_t dx = (int64_t)x - KX_PLAYFIELD_CENTRE, dy = (int64_t)y - KX_PLAYFIELD_CENTRE;
        if (dx * dx + dy * dy >= r2)
            continue;
        e->Explode();
        KX_AddScore(KX_SPRITE_LASER_X, half);
        KX_AddScore(KX_SPRITE_LASER_Y, half);
        Threshold = std::max(Threshold - 1, 0);
    }
}

void KX_UpdateElectroZap(int time)
{
    int t = ClockDiff(time, (int)ElectroZapTime);
    if (t <= KX_ZAP_ARM_TIME)
        return;
    if (!ElectroExplode) {
        if (KXSprites_ElextroExp)
            KXSprites_ElextroExp->StartExplode(KX_PLAYFIELD_CENTRE, KX_PLAYFIELD_CENTRE);
        ElectroExplode = true;
        for (int slot = 0; slot < KX_NUM_LIGHT_SLOTS; slot++) {
            Bumpmap_ActivateLight(slot, Light4);
            Bumpmap_SetLightPos(slot, KX_PLAYFIELD_CENTRE, KX_PLAYFIELD_CENTRE);
        }
        KX_SOUND_PlayFx(KX_FX_ELECTRO);
    }
    int s = t - KX_ZAP_ARM_TIME;
    int r = KX_ZapRadius(s);
    if (r > 0) {
        for (int slot = 0; slot < KX_NUM_LIGHT_SLOTS; slot++) {
            int x, y;
            KX_ZapLightPos(s, slot, &x, &y);
            Bumpmap_SetLightPos(slot, x, y);
        }
    }
    RingHits(KXSprites_Enemy_X, r);
    RingHits(KXSprites_Enemy_Y, r);
    if (s > KX_ZAP_RING_TIME) {
        ElectroZapActive = false;
        for (int slot = 0; slot < KX_NUM_LIGHT_SLOTS; slot++)
            Bumpmap_DeactivateLight(slot);
        NextXEnemyTime = KX_SpawnTime();
        NextYEnemyTime = KX_SpawnTime();
    }
}
