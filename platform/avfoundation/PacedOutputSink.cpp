#include "avfoundation/PacedOutputSink.h"

#include <chrono>

namespace avf {

PacedOutputSink::~PacedOutputSink() { stop(); }

void PacedOutputSink::start(AudioOutputRenderer& renderer) {
    if (thread_.joinable()) return;
    for (auto& channel : channels_) channel.assign(kOutputCycleFrames, 0.0f);
    open();
    stopping_.store(false);
    thread_ = std::thread([this, &renderer] { run(renderer); });
}

void PacedOutputSink::stop() {
    if (!thread_.joinable()) return;
    stopping_.store(true);
    thread_.join();
    close();
}

void PacedOutputSink::run(AudioOutputRenderer& renderer) {
    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(kOutputCycleFrames / kOutputSampleRate));
    float* pointers[kOutputChannels] = {channels_[0].data(), channels_[1].data()};
    auto next = Clock::now();
    while (!stopping_.load()) {
        renderer.render(pointers, kOutputCycleFrames);
        deliver(pointers, kOutputCycleFrames);
        next += period;
        const auto now = Clock::now();
        // Far behind (a suspended process): start afresh rather than race to catch up.
        if (now - next > std::chrono::seconds(1)) next = now;
        std::this_thread::sleep_until(next);
    }
}

} // namespace avf
