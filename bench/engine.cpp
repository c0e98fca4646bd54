// The engine's own cost per frame: a player, an audio unit and the main mixer rendered
// through the manual sink (the render path a paced sink calls), against the same unit's
// render block called alone. Once with the effect, once with a pass-through unit.
#include "audiotoolbox/AUAudioStatus.h"
#include "audiounit/VYK_Wimbrax_Extension_AudioUnit.h"
#include "avfoundation/AVAudioEngine.h"
#include "avfoundation/ManualOutputSink.h"
#include "foundation/Console.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace {

constexpr std::uint32_t kFrames = 512;
constexpr AudioComponentDescription kEffect{0x61756D66, 0x766B7762, 0x464C4E52, 0, 0};

// Pulls its input into the host's buffers and hands it on.
class PassThroughUnit final : public AUAudioUnit {
public:
    PassThroughUnit() {
        const AVAudioFormat stereo(48000, 2);
        in_ = std::make_shared<AUAudioUnitBusArray>(this, AUAudioUnitBusType::input,
                                                    std::vector{AUAudioUnitBus::make(stereo)});
        out_ = std::make_shared<AUAudioUnitBusArray>(this, AUAudioUnitBusType::output,
                                                     std::vector{AUAudioUnitBus::make(stereo)});
        initialize(AudioComponentDescription{0x61756678, 1, 1, 0, 0}, 0);
    }
    std::shared_ptr<AUAudioUnitBusArray> inputBusses() override { return in_; }
    std::shared_ptr<AUAudioUnitBusArray> outputBusses() override { return out_; }

private:
    AUInternalRenderBlock internalRenderBlock() override {
        return [](AudioUnitRenderActionFlags* flags, const AudioTimeStamp* time, AUAudioFrameCount frames, NSInteger,
                  AudioBufferList* out, const AURenderEvent*,
                  const AURenderPullInputBlock* pull) { return (*pull)(flags, time, frames, 0, out); };
    }
    std::shared_ptr<AUAudioUnitBusArray> in_, out_;
};

// A 10-second stereo WAV of noise-like content, written once.
std::string testFile() {
    static const std::string path = [] {
        const std::string p =
            (std::filesystem::temp_directory_path() / ("vyk-bench-engine-" + std::to_string(getpid()) + ".wav"))
                .string();
        std::FILE* f = std::fopen(p.c_str(), "wb");
        const std::uint32_t frames = 480000, bytes = frames * 4;
        auto put = [&](std::uint32_t v, int n) { std::fwrite(&v, 1, std::size_t(n), f); };
        std::fwrite("RIFF", 1, 4, f);
        put(36 + bytes, 4);
        std::fwrite("WAVEfmt ", 1, 8, f);
        put(16, 4);
        put(1, 2);
        put(2, 2);
        put(48000, 4);
        put(48000 * 4, 4);
        put(4, 2);
        put(16, 2);
        std::fwrite("data", 1, 4, f);
        put(bytes, 4);
        for (std::uint32_t i = 0; i < frames * 2; ++i) put(std::uint16_t(std::int16_t(8000 * std::sin(i * 0.0137))), 2);
        std::fclose(f);
        return p;
    }();
    return path;
}

std::shared_ptr<AUAudioUnit> makeUnit(bool effect) {
    if (effect) return std::make_shared<VYK_Wimbrax_Extension_AudioUnit>(kEffect);
    return std::make_shared<PassThroughUnit>();
}

void unitAlone(benchmark::State& state, bool effect) {
    Console::setSink([](std::string_view) {});
    auto unit = makeUnit(effect);
    unit->setMaximumFramesToRender(4096);
    unit->allocateRenderResources();
    AURenderBlock block = unit->renderBlock();
    AVAudioPCMBuffer input(AVAudioFormat(48000, 2), kFrames);
    for (std::uint32_t i = 0; i < kFrames; ++i)
        input.floatChannelData()[0][i] = input.floatChannelData()[1][i] = float(std::sin(i * 0.0137)) * 0.25f;
    AURenderPullInputBlock pull = [&](AudioUnitRenderActionFlags*, const AudioTimeStamp*, AUAudioFrameCount frames,
                                      NSInteger, AudioBufferList* list) {
        for (std::uint32_t c = 0; c < list->mNumberBuffers; ++c) {
            if (list->mBuffers[c].mData == nullptr)
                list->mBuffers[c].mData = input.floatChannelData()[c];
            else
                std::memcpy(list->mBuffers[c].mData, input.floatChannelData()[c], frames * sizeof(float));
            list->mBuffers[c].mDataByteSize = frames * sizeof(float);
        }
        return noErr;
    };
    AudioBufferList out;
    AudioTimeStamp time{0, 0, kAudioTimeStampSampleTimeValid};
    for (auto _ : state) {
        out.mNumberBuffers = 2;
        for (auto& b : out.mBuffers) b = AudioBuffer{1, kFrames * 4, nullptr};
        AudioUnitRenderActionFlags flags = 0;
        benchmark::DoNotOptimize(block(&flags, &time, kFrames, 0, &out, nullptr, &pull));
        time.mSampleTime += kFrames;
    }
    state.counters["ns_per_frame"] = benchmark::Counter(double(state.iterations()) * kFrames,
                                                        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    unit->deallocateRenderResources();
}

void throughEngine(benchmark::State& state, bool effect) {
    Console::setSink([](std::string_view) {});
    auto sink = std::make_shared<avf::ManualOutputSink>();
    AVAudioEngine engine(sink);
    auto player = std::make_shared<AVAudioPlayerNode>();
    auto node = std::make_shared<AVAudioUnit>(makeUnit(effect));
    auto file = std::make_shared<AVAudioFile>(URL::fileURL(testFile()));
    engine.attach(player);
    engine.attach(node);
    engine.connect(player, node, std::nullopt);
    engine.connect(node, engine.mainMixerNode(), std::nullopt);
    for (int i = 0; i < 30; ++i) player->scheduleFile(file, nullptr); // 5 minutes
    engine.start();
    player->play();
    for (auto _ : state) benchmark::DoNotOptimize(sink->render(kFrames));
    state.counters["ns_per_frame"] = benchmark::Counter(double(state.iterations()) * kFrames,
                                                        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    engine.stop();
}

} // namespace

BENCHMARK_CAPTURE(unitAlone, passThrough, false)->Iterations(20000);
BENCHMARK_CAPTURE(throughEngine, passThrough, false)->Iterations(20000);
BENCHMARK_CAPTURE(unitAlone, effect, true)->Iterations(20000);
BENCHMARK_CAPTURE(throughEngine, effect, true)->Iterations(20000);
BENCHMARK_MAIN();
