// The unit used from several threads at once, as hosts and the control panel do.
// Run under ThreadSanitizer in CI.
#include "UnitRig.h"
#include "audiotoolbox/AUParameterTree.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace unitrig;

namespace {

constexpr std::size_t kFrames = 256;

// Renders until told to stop, pulling silence-free input, from its own thread.
class RenderThread {
public:
    explicit RenderThread(std::function<AUAudioUnitStatus(Host&)> call = nullptr) : call_(std::move(call)) {}

    void start(Host& host) {
        thread_ = std::thread([this, &host] {
            Stereo in(kFrames, 0.25f), out(kFrames);
            while (!stop_.load()) {
                const AUAudioUnitStatus status = call_ ? call_(host) : host.render(in, out, 0, kFrames);
                if (status != noErr) failures_.fetch_add(1);
                renders_.fetch_add(1);
            }
        });
    }
    void stopAndJoin() {
        stop_.store(true);
        thread_.join();
    }
    int renders() const { return renders_.load(); }
    int failures() const { return failures_.load(); }

private:
    std::function<AUAudioUnitStatus(Host&)> call_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<int> renders_{0}, failures_{0};
};

} // namespace

TEST(AudioUnitThreads, ParametersAndStateFromTwoThreadsWhileRendering) {
    ConsoleCapture console;
    Host host(makeUnit());
    ASSERT_TRUE(host.allocate());
    RenderThread render;
    render.start(host);
    std::thread panel([&] {
        for (int i = 0; i < 300; ++i) host.unit->setParameter(14 + i % 8, float(i % 10) / 10.0f);
    });
    std::thread automation([&] {
        const auto tree = host.unit->parameterTree();
        for (int i = 0; i < 300; ++i) {
            tree->parameterWithAddress(AUParameterAddress(26 + i % 8))->setValue(float(i % 2));
            if (i % 50 == 0) host.unit->setFullState(host.unit->fullState());
            host.unit->setShouldBypassEffect(i % 3 == 0);
        }
    });
    panel.join();
    automation.join();
    while (render.renders() < 10) std::this_thread::yield();
    render.stopAndJoin();
    EXPECT_EQ(render.failures(), 0);
}

TEST(AudioUnitThreads, ObserversComeAndGoWhileValuesChange) {
    ConsoleCapture console;
    const auto unit = makeUnit();
    const auto tree = unit->parameterTree();
    std::atomic<int> heard{0}, keptHeard{0};
    std::atomic<bool> stop{false};
    const auto kept =
        tree->tokenByAddingParameterObserver([&](AUParameterAddress, AUValue) { keptHeard.fetch_add(1); });
    std::thread setter([&] {
        for (int i = 0; !stop.load(); ++i) unit->setParameter(i % 47, float(i % 7) / 7.0f);
    });
    while (keptHeard.load() == 0) std::this_thread::yield();
    std::thread observers([&] {
        for (int i = 0; i < 100; ++i) {
            const auto token =
                tree->tokenByAddingParameterObserver([&](AUParameterAddress, AUValue) { heard.fetch_add(1); });
            std::this_thread::yield();
            tree->removeParameterObserver(token);
        }
    });
    observers.join();
    stop.store(true);
    setter.join();
    tree->removeParameterObserver(kept);
    const int settled = heard.load() + keptHeard.load();
    unit->setParameter(14, 0.123f);
    EXPECT_EQ(heard.load() + keptHeard.load(), settled); // every added observer is gone
}

TEST(AudioUnitThreads, MIDIOutputBlockReplacedWhileRendering) {
    ConsoleCapture console;
    Host host(makeUnit());
    ASSERT_TRUE(host.allocate());
    // Render blocks made on the configuring thread, each with its own MIDI output block,
    // handed to the render thread by index.
    std::vector<AURenderBlock> blocks(201);
    blocks[0] = host.block;
    std::atomic<std::size_t> latest{0};
    Stereo in(kFrames, 0.25f), out(kFrames);
    RenderThread render([&](Host&) {
        AudioBufferList list{};
        list.mNumberBuffers = 2;
        list.mBuffers[0] = {1, kFrames * 4u, out.l.data()};
        list.mBuffers[1] = {1, kFrames * 4u, out.r.data()};
        AudioTimeStamp ts{};
        return blocks[latest.load(std::memory_order_acquire)](nullptr, &ts, kFrames, 0, &list, nullptr, nullptr);
    });
    render.start(host);
    for (std::size_t i = 1; i < blocks.size(); ++i) {
        host.unit->setMIDIOutputEventBlock(std::make_shared<AUMIDIOutputEventBlock>(
            [](AUEventSampleTime, std::uint8_t, NSInteger, const std::uint8_t*) { return 0; }));
        blocks[i] = host.unit->renderBlock();
        latest.store(i, std::memory_order_release);
        if (i % 40 == 0) host.unit->flushRenderErrors();
    }
    host.unit->setMIDIOutputEventBlock(nullptr);
    while (render.renders() < 10) std::this_thread::yield();
    render.stopAndJoin();
    EXPECT_EQ(render.failures(), 0);
}
