#pragma once
// A sink with its own render thread that renders one 512-frame cycle each time the
// steady clock says the previous one has played, as a sound card would ask for it.
// What happens to each rendered cycle is the derived sink's business.
#include "avfoundation/AudioOutputSink.h"

#include <atomic>
#include <thread>
#include <vector>

namespace avf {

class PacedOutputSink : public AudioOutputSink {
public:
    ~PacedOutputSink() override;
    void start(AudioOutputRenderer& renderer) override;
    void stop() override;

protected:
    // On the sink's thread, outside the render call.
    virtual void open() {} // on start(), on the caller's thread; may throw AVAudioError
    virtual void deliver(const float* const* channels, std::uint32_t frames) = 0;
    virtual void close() {} // on stop(), after the thread has ended

private:
    void run(AudioOutputRenderer& renderer);

    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::vector<float> channels_[kOutputChannels];
};

// Renders and drops the audio: the engine runs in real time with no sound.
class NullOutputSink final : public PacedOutputSink {
public:
    std::string description() const override { return "the silent output"; }

private:
    void deliver(const float* const*, std::uint32_t) override {}
};

} // namespace avf
