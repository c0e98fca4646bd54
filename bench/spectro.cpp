// Cost of the spectrum analyser per analysed frame, and of the FFT alone.
#include <benchmark/benchmark.h>

#include <random>
#include <string_view>
#include <vector>

#include "dsp/spectro/Analyzer.h"
#include "foundation/Console.h"

namespace {

std::vector<float> noise(size_t n) {
    std::mt19937 rng(1);
    std::uniform_real_distribution<float> d(-1.0f, 1.0f);
    std::vector<float> v(n);
    for (float& x : v) x = d(rng);
    return v;
}

void quiet() {
    Console::setSink([](std::string_view) {});
}

// One hop of input per iteration, each completing and analysing one frame.
void analysedFrame(benchmark::State& state, bool chromatic) {
    quiet();
    SPECTRO::Analyzer a(4096, 4, 48000.0f);
    a.setUpdateRate(0);
    a.setChromatic(chromatic);
    auto x = noise(static_cast<size_t>(a.getStepSize()) * 16);
    size_t at = 0;
    for (auto _ : state) {
        a.process(x.data() + at, a.getStepSize());
        at = (at + static_cast<size_t>(a.getStepSize())) % x.size();
        benchmark::DoNotOptimize(a.getMagnitudes());
    }
}

void BM_AnalyzerFrame4096x4(benchmark::State& state) { analysedFrame(state, false); }
void BM_AnalyzerFrame4096x4Chromatic(benchmark::State& state) { analysedFrame(state, true); }

void BM_FFT(benchmark::State& state) {
    quiet();
    const int n = static_cast<int>(state.range(0));
    SPECTRO::Analyzer a(n, 1, 48000.0f);
    auto data = noise(2 * static_cast<size_t>(n));
    for (auto _ : state) {
        a.fft(-1, data.data());
        benchmark::DoNotOptimize(data.data());
    }
    state.SetComplexityN(n);
}

} // namespace

BENCHMARK(BM_AnalyzerFrame4096x4)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AnalyzerFrame4096x4Chromatic)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FFT)->RangeMultiplier(4)->Range(64, 65536)->Unit(benchmark::kMicrosecond)->Complexity(benchmark::oNLogN);

BENCHMARK_MAIN();
