// Per-frame cost of the DSP classes that dominate three-band rendering:
// the band splitter (split + mix) and the compander, at host block sizes.
#include "dsp/BandSplitFilter3.h"
#include "dsp/CircularBuffer2.h"
#include "dsp/Compander.h"
#include "dsp/Latency.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

namespace {

std::vector<float> noise(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> dist(-0.5f, 0.5f);
    std::vector<float> v(n);
    for (float& x : v) x = dist(rng);
    return v;
}

void perFrame(benchmark::State& state, int frames) {
    state.SetItemsProcessed(state.iterations() * frames);
    state.counters["ns/frame"] = benchmark::Counter(static_cast<double>(state.iterations()) * frames,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_BandSplit(benchmark::State& state) {
    const int frames = static_cast<int>(state.range(0));
    auto bands = std::make_unique<BandSplitFilter3>();
    bands->setCutoff1(0.25f);
    bands->setCutoff2(0.75f);
    const std::vector<float> l = noise(static_cast<size_t>(frames), 1), r = noise(static_cast<size_t>(frames), 2);
    std::vector<float> outL(l.size()), outR(r.size());
    for (auto _ : state) {
        bands->split(l.data(), r.data(), frames);
        bands->mix(outL.data(), outR.data(), frames);
        benchmark::DoNotOptimize(outL.data());
    }
    perFrame(state, frames);
}
BENCHMARK(BM_BandSplit)->Arg(64)->Arg(512);

void BM_Compander(benchmark::State& state) {
    const int frames = static_cast<int>(state.range(0));
    Compander compander;
    const std::vector<float> l0 = noise(static_cast<size_t>(frames), 3), r0 = noise(static_cast<size_t>(frames), 4);
    std::vector<float> l = l0, r = r0;
    // The input is restored on every pass (a copy of a few kilobytes, included).
    for (auto _ : state) {
        std::copy(l0.begin(), l0.end(), l.begin());
        std::copy(r0.begin(), r0.end(), r.begin());
        compander.processBuffers(l.data(), r.data(), frames);
        benchmark::DoNotOptimize(l.data());
    }
    perFrame(state, frames);
}
BENCHMARK(BM_Compander)->Arg(64)->Arg(512);

// The per-band delays: the one-frame latency line and the 1024-frame analysis ring.
void BM_LatencyAndRing(benchmark::State& state) {
    const int frames = static_cast<int>(state.range(0));
    Latency line;
    line.setSize(1);
    line.reset();
    CircularBuffer2 ring;
    std::vector<float> l = noise(static_cast<size_t>(frames), 5), r = noise(static_cast<size_t>(frames), 6);
    for (auto _ : state) {
        line.processBufferEx(l.data(), frames);
        ring.processBufferEx(l.data(), r.data(), frames);
        benchmark::DoNotOptimize(l.data());
    }
    perFrame(state, frames);
}
BENCHMARK(BM_LatencyAndRing)->Arg(64)->Arg(512);

} // namespace

BENCHMARK_MAIN();
