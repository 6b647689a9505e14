// The playing state: steering and firing, spawning, collisions, scoring and the electro zap.
#pragma once

#include "kx_sprites.h"

extern int NextXEnemyTime; // earliest time the next enemy may appear on each axis
extern int NextYEnemyTime;
extern int LastXFireTime;  // clock reading of each laser's last shot
extern int LastYFireTime;
extern bool ElectroZapActive;
extern bool ElectroExplode; // the zap has reached its explosion phase
extern unsigned int ElectroZapTime;

enum {
    KX_FIRE_INTERVAL = 100,     // a laser fires at most once in this many milliseconds
    KX_ZAP_ARM_TIME = 200,      // the frozen field holds still this long before the ring
    KX_ZAP_RING_TIME = 1000,    // the ring spreads this long
    KX_ZAP_RING_SPEED = 362,    // pixels per second
    KX_PLAYFIELD_CENTRE = 220,
    KX_NUM_LIGHT_SLOTS = 4
};

void KX_STATE_PLAYING_Start();
void KX_STATE_PLAYING_InputPoll();
void KX_STATE_PLAYING_Update(int time);
void KX_UpdateNormal(int time);
void KX_UpdateCollide();
int KX_LaserHit(KX_SpriteIdType id);
void KX_AddScore(KX_SpriteIdType laser, int points);
void KX_StartElectroZap();
void KX_UpdateElectroZap(int time);
// The ring's radius s milliseconds into its spread, and where light 0 to 3 stands on it.
int KX_ZapRadius(int s);
void KX_ZapLightPos(int s, int light, int *x, int *y);
