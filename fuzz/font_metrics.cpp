// Fuzz target: the font metrics reader, over a metrics file holding the input and a 128x32 font bitmap.
#include "dd.h"
#include "dd_font.h"
#include "dd_log.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

static std::string dir;

static bool WriteFile(const std::string &path, const void *data, size_t size)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(data, 1, size, f) == size;
    return fclose(f) == 0 && ok;
}

// A 24-bit bitmap whose pixels differ, so that drawing touches real data.
static bool WriteFontBitmap(const std::string &path)
{
    const int w = 128, h = 32, row = w * 3;
    std::vector<uint8_t> file(54 + row * h, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; i++)
            file[at + i] = (uint8_t)(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, (uint32_t)file.size());
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    file[26] = 1;
    file[28] = 24;
    for (int i = 54; i < (int)file.size(); i++)
        file[i] = (uint8_t)(i * 7);
    return WriteFile(path, file.data(), file.size());
}

static bool Setup()
{
    ErrorLog = fopen("/dev/null", "w");
    char name[] = "/tmp/kx_fuzz_font_XXXXXX";
    if (!mkdtemp(name))
        return false;
    dir = name;
    atexit([] {
        unlink((dir + "/font.bmp").c_str());
        unlink((dir + "/font.txt").c_str());
        rmdir(dir.c_str());
    });
    return WriteFontBitmap(dir + "/font.bmp") && DDInit((HWND)1) && DDCreateSurfaces(640, 480, 32);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static bool ready = Setup();
    if (!ready)
        return 0;
    std::string metrics = dir + "/font.txt";
    if (!WriteFile(metrics, data, size))
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
