#pragma once
// The sink a test drives: each render() call is one device callback, made on the
// calling thread, which is then the render thread.
#include "avfoundation/AudioOutputSink.h"

#include <atomic>
#include <vector>

namespace avf {

class ManualOutputSink final : public AudioOutputSink {
public:
    void start(AudioOutputRenderer& renderer) override;
    // Waits for a render() in progress on another thread to end.
    void stop() override;
    std::string description() const override { return "the manual output"; }

    // Renders `frames` frames (silence while stopped) into the sink's two channels and
    // returns them. It allocates only when `frames` is larger than ever before.
    const std::vector<float>* render(std::uint32_t frames);
    bool isStarted() const { return renderer_.load() != nullptr; }

private:
    std::atomic<AudioOutputRenderer*> renderer_{nullptr};
    std::atomic<bool> rendering_{false};
    std::vector<float> channels_[kOutputChannels];
};

} // namespace avf
