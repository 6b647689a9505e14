// Benchmark: one device buffer of the mix (32 voices, then the limiter), beside a memcpy of the same bytes.
#include "sys_sound_mix.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

const int Frames = 1024; // one device buffer, 23 ms at 44100 Hz

void BM_SoundMix32VoicesAndLimit(benchmark::State &state)
{
    std::vector<std::vector<float>> pcm(32, std::vector<float>(44100 * 2));
    for (size_t v = 0; v < pcm.size(); v++)
        for (size_t i = 0; i < pcm[v].size(); i++)
            pcm[v][i] = 0.5f * std::sin((float)(i * (v + 1)) * 0.01f);
    std::vector<SysMixVoice> voices;
    for (auto &p : pcm)
        voices.push_back({ p.data(), p.size() / 2, 0, 0.8f, true });
    std::vector<float> out((size_t)Frames * 2);
    SysLimiter lim;
    Sys_LimiterReset(lim, 44100);
    for (auto _ : state) {
        std::fill(out.begin(), out.end(), 0.0f);
        Sys_MixVoices(voices.data(), (int)voices.size(), out.data(), Frames);
        Sys_Limit(lim, out.data(), Frames);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * (int64_t)out.size() * sizeof(float) * 32);
}
BENCHMARK(BM_SoundMix32VoicesAndLimit);

void BM_SoundMixMemcpyYardstick(benchmark::State &state)
{
    std::vector<float> src((size_t)Frames * 2 * 32, 0.25f), dst(src.size());
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size() * sizeof(float));
        benchmark::DoNotOptimize(dst.data());
    }
    state.SetBytesProcessed(state.iterations() * (int64_t)src.size() * sizeof(float));
}
BENCHMARK(BM_SoundMixMemcpyYardstick);

} // namespace
