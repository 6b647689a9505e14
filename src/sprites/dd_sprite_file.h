// Sprite frame definition files: the parsed record and its reader.
#pragma once

#include "win_types.h"

#include <cstdio>

// Fixed to int: a record made by hand may hold any value, which the definition refuses.
enum DDSPRITE_CollisionType : int {
    DDSPRITE_COLLIDE_NONE = 0,
    DDSPRITE_COLLIDE_RECT = 1,
    DDSPRITE_COLLIDE_PIXEL = 2,
    DDSPRITE_COLLIDE_HOTSPOT = 3,
};

enum DDSPRITE_HandleType : int {
    DDSPRITE_HANDLE_TOPLEFT = 0,
    DDSPRITE_HANDLE_CENTRE = 1,
    DDSPRITE_HANDLE_POINT = 2,
};

// Block numbers: places in BlockStrings.
enum {
    DDSPRITE_BLOCK_NONE = 0,
    DDSPRITE_BLOCK_SPRITE_IMAGE,
    DDSPRITE_BLOCK_SPRITE_HIT_MASK,
    DDSPRITE_BLOCK_SPRITE_FRAMES,
    DDSPRITE_BLOCK_HIT_TYPE,
    DDSPRITE_BLOCK_HANDLE,
    DDSPRITE_BLOCK_TRANSPARENT,
    DDSPRITE_BLOCK_FRAME,
    DDSPRITE_BLOCK_IMAGE_RECT,
    DDSPRITE_BLOCK_HANDLE_POINT,
    DDSPRITE_BLOCK_HIT_RECT,
    DDSPRITE_BLOCK_HOTSPOT,
    DDSPRITE_BLOCK_SPRITE_END,
    DDSPRITE_BLOCK_COUNT
};

// The largest frame count a file may give: far beyond any sprite, small enough to allocate.
enum { DDSPRITE_MAX_FRAMES = 65536 };

struct DDSPRITE_FrameDataType {
    char *SpriteImage;
    char *SpriteHitMask;
    int NFrames;
    RECT *ImageRect;
    DDSPRITE_CollisionType HitType;
    int Transparent; // 0x00BBGGRR, or -1 for none
    RECT *HitRect;
    POINT *HotSpot;
    DDSPRITE_HandleType Handle;
    POINT *HandlePoint;
};

extern const char *const BlockStrings[DDSPRITE_BLOCK_COUNT];
extern const char *const CollisionStrings[4];
extern const char *const HandleStrings[3];

DDSPRITE_FrameDataType *DDSPRITE_ReadFrameData(char const *fileName);
void DDSPRITE_FreeFrameData(DDSPRITE_FrameDataType *frameData);
int DDSPRITE_GetBlockMarker(char *line);
bool DDSPRITE_ReadCollision(FILE *file, DDSPRITE_CollisionType *type);
bool DDSPRITE_ReadHandle(FILE *file, DDSPRITE_HandleType *type);
