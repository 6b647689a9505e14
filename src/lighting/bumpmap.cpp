// The bump-mapped background (placeholder until the lighting lands).
#include "bumpmap.h"

void Bumpmap_Init(int, int, int, int, int, float) {}
void Bumpmap_Close() {}
void BumpMap_SetLightingType(BumpmapLightingType) {}
void Bumpmap_LoadTextures(const char *, const char *) {}
void Bumpmap_SetAmbient(int, int, int) {}
void Bumpmap_AddStaticLight(int, int, int, int, int, int) {}
void Bumpmap_ClearStaticLights() {}
void Bumpmap_RecalculateStatic() {}
void Bumpmap_RestoreSurfaces() {}
TLightSpec *Bumpmap_CreateLightSpec(int, int, int, int, int) { return nullptr; }
void Bumpmap_FreeLightSpec(TLightSpec *) {}
void Bumpmap_ActivateLight(int, TLightSpec *) {}
void Bumpmap_DeactivateLight(int) {}
void Bumpmap_SetLightPos(int, int, int) {}
void Bumpmap_Draw() {}
