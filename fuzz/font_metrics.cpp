// Fuzz target: the font metrics reader, over a metrics file holding the input and a 128x32 font bitmap.
#include "dd.h"
#include "dd_font.h"
#include "dd_log.h"
#include "fuzz_scratch.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

static std::string dir;

// A 24-bit bitmap whose pixels differ, so that drawing touches real data.
static bool WriteFontBitmap(const std::string &path)
{
    std::vector<uint8_t> file = KxBmpFile(128, 32);
    for (int i = 54; i < (int)file.size(); i++)
        file[i] = (uint8_t)(i * 7);
    return KxSaveBytes(path, file);
}

static bool Setup()
{
    ErrorLog = fopen("/dev/null", "w");
    dir = FuzzScratchDir("kx_fuzz_font", { "font.bmp", "font.txt" });
    if (dir.empty())
        return false;
    return WriteFontBitmap(dir + "/font.bmp") && DDInit((HWND)1) && DDCreateSurfaces(640, 480, 32);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static bool ready = Setup();
    if (!ready)
        return 0;
    std::string metrics = dir + "/font.txt";
    if (!KxSaveBytes(metrics, data, size))
        return 0;
    DDBitmap *font = DDBITMAP_LoadFont((dir + "/font.bmp").c_str(), metrics.c_str());
    if (font) {
        char text[256];
        for (int i = 0; i < 255; i++)
            text[i] = (char)(i + 1);
        text[255] = '\0';
        int w, h;
        DDBitmap_TextSize(font, text, &w, &h);
        DDBitmap_DrawText(g_pDDSBack, font, text, -100, -3);
        DDBitmap_DrawText(g_pDDSBack, font, text, 600, 470);
        DDBitmap_Release(font);
    }
    return 0;
}
