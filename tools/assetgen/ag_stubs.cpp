// Temporary.
#include "ag_assets.h"
void AG_GenCredits() {}
void AG_GenMaps() {}
void AG_GenSplash() {}
void AG_GenEffects() {}
void AG_GenMusic() {}
