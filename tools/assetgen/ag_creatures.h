// The ten enemy designs, each drawn facing +u with animation phase t in [0, 1).
#pragma once

#include "ag_body.h"

void AG_DrawAmmonite(AG_Body &b, float t);
void AG_DrawScorpion(AG_Body &b, float t);
void AG_DrawSpectre(AG_Body &b, float t);
void AG_DrawMechwasp(AG_Body &b, float t);
void AG_DrawUfo(AG_Body &b, float t);
void AG_DrawTrilobite(AG_Body &b, float t);
void AG_DrawScarab(AG_Body &b, float t);
void AG_DrawSkull(AG_Body &b, float t);
void AG_DrawMechspider(AG_Body &b, float t);
void AG_DrawRocket(AG_Body &b, float t);
