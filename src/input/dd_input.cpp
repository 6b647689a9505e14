// Joysticks and key tables (placeholder until input lands).
#include "dd_input.h"

bool DDInput_Initialise(HINSTANCE, HWND) { return true; }
void DDInput_Close() {}
void SetActiveInput() {}
