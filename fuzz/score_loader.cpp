// Fuzz target: the high-score loader over any file contents, then ranking and drawing names from it.
#include "fuzz_scratch.h"
#include "kx_scores.h"
#include "kx_world.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (!FuzzEnterScratchDir("kx_fuzz_scores", { "kx_scores.dat", "kx_scores.dat.tmp" }))
        return 0;
    if (!KxSaveBytes("kx_scores.dat", data, size))
        return 0;
    memset(KX_Scores, 0xAB, sizeof KX_Scores);
    KX_ScoresLoaded = false;
    KX_PANEL_SCORES_Initialise();

    size_t total = 0;
    for (const KX_ScoreType &s : KX_Scores) {
        char name[5];
        KX_SCORES_NameText(s, name);
        total += strlen(name);
    }
    if (total > (size_t)KX_NUM_SCORES * 4)
        abort();
    for (int mode = 0; mode < KX_SCORE_TABLES; mode++) {
        GameMode = mode;
        int score = size >= 4 ? (int)(data[0] | data[1] << 8 | data[2] << 16 | (uint32_t)data[3] << 24) : 1;
        int place = KX_PANEL_SCORES_ScorePosition(0, score);
        if (place != -1 && (place < 1 || place > KX_SCORES_PER_TABLE))
            abort();
        KX_PANEL_SCORES_AddScore(0, score, (const char *)KX_Scores[mode * 10].Name);
    }
    GameMode = 0;
    return 0;
}
