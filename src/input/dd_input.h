// Joysticks, the players' key tables and the inputs in force during play.
#pragma once

#include "win_types.h"

bool DDInput_Initialise(HINSTANCE instance, HWND window);
void DDInput_Close();
void SetActiveInput();
