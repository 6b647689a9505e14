// The artwork and sound families the generator writes, and the shared look they use.
#pragma once

#include "ag_raster.h"
#include "ag_text.h"

#include <string>
#include <vector>

// Families, each writing its files under the run directory.
void AG_GenFonts();
void AG_GenMenus();
void AG_GenCaptions();
void AG_GenPanels();
void AG_GenRunways();
void AG_GenInputScreens();
void AG_GenCredits();
void AG_GenTurretsAndShots();
void AG_GenExplosions();
void AG_GenEnemies();
void AG_GenMaps();
void AG_GenSplash();
void AG_GenEffects();
void AG_GenMusic();
// The desktop icons, <rundir>/icons/kordax_<size>.png, drawn from the X turret.
void AG_GenIcons();

// The X turret sprite's frame (40 x 40 units), drawn unit final pixels to a unit.
AG_Image AG_Turret(int anim, int turn, float unit = 1);

// The house palette shared by panels, menus and captions.
namespace AG_Style {
const AG_Colour Ink = {0.02f, 0.04f, 0.10f};      // outlines and fringes
const AG_Colour CyanTop = {0.90f, 0.98f, 1.00f};  // ordinary type, top
const AG_Colour CyanLow = {0.30f, 0.78f, 1.00f};  // ordinary type, bottom
const AG_Colour AmberTop = {1.00f, 0.97f, 0.75f}; // highlighted type, top
const AG_Colour AmberLow = {1.00f, 0.55f, 0.10f}; // highlighted type, bottom
const AG_Colour Steel = {0.11f, 0.15f, 0.23f};    // panel plates
const AG_Colour SteelHi = {0.40f, 0.52f, 0.68f};  // bevel highlights
const AG_Colour SteelLo = {0.04f, 0.06f, 0.10f};  // bevel shadows
const AG_Colour Glow = {0.20f, 0.85f, 1.00f};     // accent lights
} // namespace AG_Style

// Text styles for the two kinds of type: plain and highlighted.
AG_TextStyle AG_PlainType(float size);
AG_TextStyle AG_HighType(float size);

// A bevelled steel plate, and a recessed display window, drawn on a canvas.
void AG_DrawPlate(AG_Canvas &cv, float x0, float y0, float x1, float y1, float bevel, AG_Colour base, int seed);
void AG_DrawWindow(AG_Canvas &cv, float x0, float y0, float x1, float y1);

// Writes a 24-bit picture keyed on black or magenta, or opaque.
void AG_SaveKeyed(const std::string &name, const AG_Image &img, uint32_t key);
void AG_SaveOpaque(const std::string &name, const AG_Image &img, AG_Colour background);

// Sprites: frames laid out in an image, a definition file, and optionally a 1-bit hit mask.
struct AG_SpriteInfo {
    std::string base;          // file base name, as in "ammonite"
    std::string hitType;       // "PIXEL" or "NONE"
    bool maskFile = false;     // write "<base>_mask.bmp" and name it in the definition
    int columns = 8;           // frames per row when all frames share one size
    const char *comment = "";  // one line saying what the sprite is
};
void AG_WriteSprite(const AG_SpriteInfo &info, const std::vector<AG_Image> &frames);

// Every sprite written, for the contact sheet.
struct AG_SheetEntry {
    std::string name;
    std::vector<AG_Image> frames;
};
const std::vector<AG_SheetEntry> &AG_SheetEntries();
bool AG_WriteSheet(const std::string &pngPath);
