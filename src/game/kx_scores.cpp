// High scores (placeholder until they land).
#include "kx_scores.h"

void KX_PANEL_SCORES_Initialise() {}
void KX_PANEL_SCORES_Cleanup() {}
