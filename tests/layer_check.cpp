// Compiled, never linked, by the build's layer tests: with a game module's include folders, SDL cannot be reached.
#include "kx_world.h"
#ifndef KX_LAYER_CONTROL
#include <SDL.h>
#endif
