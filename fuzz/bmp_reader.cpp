// Fuzz target: the BMP reader behind LoadImageA and the palette reader of the lighting maps.
#include "dd_draw.h"
#include "win_gdi.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    HBITMAP bitmap = Sys_ReadBMP(data, size, nullptr);
    if (bitmap) {
        BITMAP bm;
        GetObjectA(bitmap, sizeof bm, &bm);
        // Touch every corner and the first row: indices past the colour table must read safely.
        for (int x = 0; x < bm.bmWidth && x < 64; x++)
            Sys_BitmapPixel(bitmap, x, 0);
        Sys_BitmapPixel(bitmap, bm.bmWidth - 1, bm.bmHeight - 1);
        DeleteObject(bitmap);
    }
    char path[] = "/tmp/kx_fuzz_bmp_XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0)
        return 0;
    FILE *f = fdopen(fd, "wb");
    fwrite(data, 1, size, f);
    fclose(f);
    PALETTEENTRY entries[256];
    int count = 256;
    DDLoadPalette(path, entries, &count);
    unlink(path);
    return 0;
}
