#pragma once
// The sound card through SDL2: the default device opened as 48 kHz float stereo,
// 512-frame callbacks, SDL converting to whatever the device takes.
#include "avfoundation/AudioOutputSink.h"

#include <cstdint>
#include <vector>

namespace avf {

class SDLOutputSink final : public AudioOutputSink {
public:
    // Initialises SDL's audio; call on the main thread. Throws AVAudioError when SDL
    // has no audio driver.
    SDLOutputSink();
    ~SDLOutputSink() override;
    void start(AudioOutputRenderer& renderer) override; // throws AVAudioError
    void stop() override;
    std::string description() const override { return "the sound card"; }

private:
    static void callback(void* self, std::uint8_t* stream, int bytes);

    AudioOutputRenderer* renderer_ = nullptr;
    std::uint32_t device_ = 0;
    std::vector<float> channels_[kOutputChannels];
};

} // namespace avf
