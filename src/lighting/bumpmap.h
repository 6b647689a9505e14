// The bump-mapped background: height and colour maps, static lighting, dynamic lights.
#pragma once

#include "win_ddraw.h"

enum BumpmapLightingType { BUMPMAP_LIGHTING_FULL = 0, BUMPMAP_LIGHTING_FAST = 1, BUMPMAP_LIGHTING_OFF = 2 };

struct TLightSpec;

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
