// ns per stereo frame through the kernel adapter at 48 kHz: full band and three bands,
// blocks of 64 and 512 frames, default parameters and with every switch on.
#include "audiotoolbox/AUAudioStatus.h"
#include "dsp/VYK_Wimbrax_ExtensionDSPKernelAdapter.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

using Kernel = VYK_Wimbrax_Extension_DSPKernel;

void renderAdapter(benchmark::State& state) {
    const bool threeBands = state.range(0) != 0;
    const auto frames = static_cast<AUAudioFrameCount>(state.range(1));
    const bool switches = state.range(2) != 0;

    auto adapter = VYK_Wimbrax_ExtensionDSPKernelAdapter::make();
    // The parameter tree's defaults: neutral width and panorama.
    for (int32_t a = Kernel::kStereoWidth0; a < int32_t(Kernel::kPhaseShift0); ++a) adapter->setParameterEx(a, 0.5f);
    adapter->setParameterEx(Kernel::kCurrentMode, threeBands ? 1.0f : 0.0f);
    if (switches) {
        for (int32_t a = Kernel::kStereoWidth0; a < int32_t(Kernel::kPhaseShift0); ++a)
            adapter->setParameterEx(a, 0.8f);
        for (int32_t a = Kernel::kSwapChannels0; a < int32_t(Kernel::kDynamicsOn); ++a)
            adapter->setParameterEx(a, 1.0f);
    }
    adapter->allocateRenderResources();

    // A second of noise, read in a loop.
    std::vector<float> source(2 * 48000);
    std::uint32_t seed = 1;
    for (float& s : source) {
        seed = seed * 1664525u + 1013904223u;
        s = float(int32_t(seed)) / 2147483648.0f * 0.5f;
    }
    std::vector<float> outL(frames), outR(frames);
    std::size_t at = 0;
    AURenderPullInputBlock pull = [&](AudioUnitRenderActionFlags*, const AudioTimeStamp*, AUAudioFrameCount n,
                                      NSInteger, AudioBufferList* l) {
        std::memcpy(l->mBuffers[0].mData, source.data() + at, n * sizeof(float));
        std::memcpy(l->mBuffers[1].mData, source.data() + 48000 + at, n * sizeof(float));
        return noErr;
    };
    AudioTimeStamp ts{};
    for (auto _ : state) {
        AudioBufferList list{};
        list.mNumberBuffers = 2;
        list.mBuffers[0] = {1, frames * 4u, outL.data()};
        list.mBuffers[1] = {1, frames * 4u, outR.data()};
        if (adapter->render(nullptr, &ts, frames, 0, &list, nullptr, &pull) != noErr)
            state.SkipWithError("render failed");
        benchmark::DoNotOptimize(outL.data());
        ts.mSampleTime += frames;
        at = (at + frames) % (48000 - frames);
    }
    state.counters["ns/frame"] = benchmark::Counter(double(state.iterations()) * frames,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(renderAdapter)
    ->ArgNames({"threeBands", "frames", "switches"})
    ->ArgsProduct({{0, 1}, {64, 512}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
