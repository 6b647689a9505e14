// Fuzz target: the configuration reader over any file contents; every key must be one a key can give.
#include "fuzz_scratch.h"
#include "kx_config.h"
#include "dd_input.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (!FuzzEnterScratchDir("kx_fuzz_config", { "kordax.ini" }))
        return 0;
    if (!KxSaveBytes("kordax.ini", data, size))
        return 0;
    memcpy(P1InputKeys, DefaultP1InputKeys, sizeof P1InputKeys);
    memcpy(P2InputKeys, DefaultP2InputKeys, sizeof P2InputKeys);
    ReadIniFile();
    for (int i = 0; i < DDINPUT_NUM_ACTIONS; i++)
        if (P1InputKeys[i] < 1 || P1InputKeys[i] > 255 || P2InputKeys[i] < 1 || P2InputKeys[i] > 255)
            abort();
    return 0;
}
