// The bump-mapped background: height and colour maps, static lighting, dynamic lights.
#pragma once

#include "win_ddraw.h"
#include "win_gdi.h"

#include <cstdint>

enum BumpmapLightingType { BUMPMAP_LIGHTING_FULL = 0, BUMPMAP_LIGHTING_FAST = 1, BUMPMAP_LIGHTING_OFF = 2 };

enum { BUMPMAP_SPECULAR_SIZE = 4097 }; // highlight tables, indexed by a dot product shifted right 16

// A light that does not move, lit once into the static image.
struct TStaticLight {
    int X, Y;              // pixels from the area's top-left corner
    int Red, Green, Blue;  // 256 = full strength
    int Z;                 // height above the relief, pixels
    TStaticLight *Next;    // older light
};

// A moving light precomputed over its square footprint; the centre is cell (Radius, Radius).
struct TLightSpec {
    int Red, Green, Blue; // 255 = full
    int Z;
    int Radius;
    int Size;                  // 2 * Radius + 1
    int16_t *Directions;       // Size * Size triples, unit vector from the cell to the light, 16384 = 1.0
    uint8_t *RedMap, *GreenMap, *BlueMap; // intensity after fall-off, per cell
    uint8_t RedSpecular[BUMPMAP_SPECULAR_SIZE];
    uint8_t GreenSpecular[BUMPMAP_SPECULAR_SIZE];
    uint8_t BlueSpecular[BUMPMAP_SPECULAR_SIZE];
    // Planar copies of Directions for the frame's vector loops, and the first highlight index
    // at which any of the three tables is above zero (they never fall).
    int16_t *DirX, *DirY, *DirZ;
    int SpecularStart;
};

// One place in which a light is drawn.
struct TLightSlot {
    bool Active;
    int X, Y; // centre, screen pixels
    TLightSpec *Spec;
};

// The lit area on the screen (right and bottom exclusive) and the relief's settings.
extern int AreaLeft, AreaTop, AreaRight, AreaBottom;
extern int AreaWidth, AreaHeight;
extern float AreaHeightScale;
extern float Hardness;
extern BumpmapLightingType CurrentLighting;
extern int AmbientRed, AmbientGreen, AmbientBlue;
extern TStaticLight *StaticLights;
extern int BumpMaxLights;
extern TLightSlot *Lights;

// The loaded maps: both 8 bits per pixel and of one size, rows bottom-up.
extern HBITMAP ColourBitmap, HeightBitmap;
extern BITMAP ColourBM, HeightBM;
extern int ColourWidth, ColourHeight;
extern PALETTEENTRY ColourPalette[256];
extern int NColours;

// Per area pixel, index x + y * AreaWidth from the area's top-left corner.
extern int16_t *AreaNormals; // 3 per pixel, 16384 = 1.0
extern uint8_t *AreaColIdx;
extern uint8_t *AreaStaticRed, *AreaStaticGreen, *AreaStaticBlue;
extern uint8_t *AreaRed, *AreaGreen, *AreaBlue; // working planes of the frame's light squares
extern IDirectDrawSurface *StaticImage;

void Bumpmap_Init(int left, int top, int right, int bottom, int maxLights, float heightScale);
void Bumpmap_Close();
void BumpMap_SetLightingType(BumpmapLightingType type);
void Bumpmap_LoadTextures(const char *colourFile, const char *heightFile);
void Bumpmap_SetAmbient(int red, int green, int blue);
void Bumpmap_AddStaticLight(int x, int y, int z, int red, int green, int blue);
void Bumpmap_ClearStaticLights();
void Bumpmap_RecalculateStatic();
void Bumpmap_RestoreSurfaces();

TLightSpec *Bumpmap_CreateLightSpec(int z, int red, int green, int blue, int radius);
void Bumpmap_FreeLightSpec(TLightSpec *spec);
void Bumpmap_ActivateLight(int slot, TLightSpec *spec);
void Bumpmap_DeactivateLight(int slot);
void Bumpmap_SetLightPos(int slot, int x, int y);
void Bumpmap_Draw();
