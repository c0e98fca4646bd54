// The audio unit's own costs: what its render block adds per call over rendering through
// the bare kernel adapter (same settings, 64-frame calls, in ns), and reading and
// restoring the full state (µs).
#include "audiotoolbox/AUAudioStatus.h"
#include "audiounit/VYK_Wimbrax_Extension_AudioUnit.h"
#include "foundation/Console.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr AudioComponentDescription kDescription{0x61756D66, 0x766B7762, 0x464C4E52, 0, 0};
constexpr AUAudioFrameCount kFrames = 64;

// Silences the unit's construction and allocation lines.
struct Quiet {
    Quiet() {
        previous = Console::setSink([](std::string_view) {});
    }
    ~Quiet() { Console::setSink(previous); }
    Console::Sink previous;
};

struct Buffers {
    std::vector<float> l = std::vector<float>(kFrames, 0.25f), r = std::vector<float>(kFrames, -0.25f);
    std::vector<float> outL = std::vector<float>(kFrames), outR = std::vector<float>(kFrames);
    AURenderPullInputBlock pull = [this](AudioUnitRenderActionFlags*, const AudioTimeStamp*, AUAudioFrameCount n,
                                         NSInteger, AudioBufferList* list) {
        std::copy_n(l.data(), n, static_cast<float*>(list->mBuffers[0].mData));
        std::copy_n(r.data(), n, static_cast<float*>(list->mBuffers[1].mData));
        return noErr;
    };
    AudioBufferList list() {
        AudioBufferList out{};
        out.mNumberBuffers = 2;
        out.mBuffers[0] = {1, kFrames * 4u, outL.data()};
        out.mBuffers[1] = {1, kFrames * 4u, outR.data()};
        return out;
    }
};

void renderBareAdapter(benchmark::State& state) {
    Quiet quiet;
    VYK_Wimbrax_Extension_AudioUnit unit(kDescription); // sets the tree's defaults
    auto adapter = VYK_Wimbrax_ExtensionDSPKernelAdapter::make();
    for (std::int32_t a = 0; a < 47; ++a) adapter->setParameterEx(a, unit.getParameter(a));
    adapter->allocateRenderResources();
    Buffers buffers;
    AudioTimeStamp ts{};
    for (auto _ : state) {
        AudioBufferList list = buffers.list();
        benchmark::DoNotOptimize(adapter->render(nullptr, &ts, kFrames, 0, &list, nullptr, &buffers.pull));
        ts.mSampleTime += kFrames;
    }
}
BENCHMARK(renderBareAdapter);

void renderUnitBlock(benchmark::State& state) {
    Quiet quiet;
    auto unit = std::make_shared<VYK_Wimbrax_Extension_AudioUnit>(kDescription);
    unit->setMIDIOutputEventBlock(std::make_shared<AUMIDIOutputEventBlock>(
        [](AUEventSampleTime, std::uint8_t, NSInteger, const std::uint8_t*) { return 0; }));
    unit->allocateRenderResources();
    const AURenderBlock block = unit->renderBlock();
    Buffers buffers;
    AudioTimeStamp ts{};
    for (auto _ : state) {
        AudioBufferList list = buffers.list();
        benchmark::DoNotOptimize(block(nullptr, &ts, kFrames, 0, &list, nullptr, &buffers.pull));
        ts.mSampleTime += kFrames;
    }
}
BENCHMARK(renderUnitBlock);

void readFullState(benchmark::State& state) {
    Quiet quiet;
    auto unit = std::make_shared<VYK_Wimbrax_Extension_AudioUnit>(kDescription);
    for (auto _ : state) benchmark::DoNotOptimize(unit->fullState());
}
BENCHMARK(readFullState)->Unit(benchmark::kMicrosecond);

void restoreFullState(benchmark::State& state) {
    Quiet quiet;
    auto unit = std::make_shared<VYK_Wimbrax_Extension_AudioUnit>(kDescription);
    const auto saved = unit->fullState();
    for (auto _ : state) unit->setFullState(saved);
}
BENCHMARK(restoreFullState)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
