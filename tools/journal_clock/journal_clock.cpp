// Reads a replay journal's clock records and prints the time between frames: the longest gaps and how many pass a limit.
#include "sys_journal_codec.h"
#include "sys_util.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char **argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: kx_journal_clock JOURNAL [LIMIT_MS]\n");
        return 2;
    }
    long limit = argc > 2 ? atol(argv[2]) : 40;
    FILE *f = fopen(argv[1], "rb");
    std::vector<uint8_t> data;
    bool tooLarge;
    if (!f || !Sys_ReadAll(f, MaxJournalBytes, data, tooLarge) || data.size() < sizeof Magic + 1) {
        fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    fclose(f);
    Inflater in;
    SysJournalHeader header;
    Record r;
    Jnl_InflateStart(in, data.data() + sizeof Magic + 1, data.size() - sizeof Magic - 1);
    Jnl_GetHeader(in, header);
    int64_t now = 0, lastFrame = -1;
    std::vector<std::pair<int64_t, int64_t>> gaps; // length, at
    while (Jnl_GetRecord(in, r) && r.tag != TAG_END) {
        if (r.tag == TAG_CLOCK)
            now += r.value;
        if (r.tag != TAG_FRAME && r.tag != TAG_FRAME_SUM)
            continue;
        if (lastFrame >= 0)
            gaps.push_back({ now - lastFrame, now });
        lastFrame = now;
    }
    std::sort(gaps.rbegin(), gaps.rend());
    long over = std::count_if(gaps.begin(), gaps.end(), [&](const auto &g) { return g.first > limit; });
    printf("%zu frame gaps; %ld over %ld ms; longest:", gaps.size(), over, limit);
    for (size_t i = 0; i < gaps.size() && i < 5; i++)
        printf(" %lld ms (at %lld ms)", (long long)gaps[i].first, (long long)gaps[i].second);
    printf("\n");
    return over ? 1 : 0;
}
