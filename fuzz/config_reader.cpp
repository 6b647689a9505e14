// Fuzz target: the configuration reader over any file contents; every key read must be a valid code.
#include "kx_config.h"
#include "dd_input.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

static char ScratchDir[] = "/tmp/kx_fuzz_config_XXXXXX";

static void RemoveScratchDir()
{
    unlink("kordax.ini");
    rmdir(ScratchDir);
}

// All runs share one scratch directory, so the file the reader opens is the input.
static bool EnterScratchDir()
{
    static bool entered = false;
    if (!entered) {
        entered = mkdtemp(ScratchDir) && chdir(ScratchDir) == 0;
        if (entered)
            atexit(RemoveScratchDir);
    }
    return entered;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (!EnterScratchDir())
        return 0;
    FILE *f = fopen("kordax.ini", "wb");
    if (!f)
        return 0;
    fwrite(data, 1, size, f);
    fclose(f);
    memcpy(P1InputKeys, DefaultP1InputKeys, sizeof P1InputKeys);
    memcpy(P2InputKeys, DefaultP2InputKeys, sizeof P2InputKeys);
    ReadIniFile();
    for (int i = 0; i < DDINPUT_NUM_ACTIONS; i++)
        if (P1InputKeys[i] < 0 || P1InputKeys[i] > 255 || P2InputKeys[i] < 0 || P2InputKeys[i] > 255)
            abort();
    return 0;
}
