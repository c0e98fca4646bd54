#include "avfoundation/ManualOutputSink.h"

#include <algorithm>
#include <thread>

namespace avf {

void ManualOutputSink::start(AudioOutputRenderer& renderer) { renderer_.store(&renderer); }

void ManualOutputSink::stop() {
    renderer_.store(nullptr);
    while (rendering_.load()) std::this_thread::yield();
}

const std::vector<float>* ManualOutputSink::render(std::uint32_t frames) {
    float* pointers[kOutputChannels];
    for (std::uint32_t c = 0; c < kOutputChannels; ++c) {
        if (channels_[c].size() < frames) channels_[c].resize(frames);
        pointers[c] = channels_[c].data();
    }
    rendering_.store(true);
    if (AudioOutputRenderer* renderer = renderer_.load())
        renderer->render(pointers, frames);
    else
        for (auto& channel : channels_) std::fill_n(channel.begin(), frames, 0.0f);
    rendering_.store(false);
    return channels_;
}

} // namespace avf
