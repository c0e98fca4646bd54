#include "avfoundation/SDLOutputSink.h"

#include "avfoundation/AVAudioError.h"

#include <SDL.h>

#include <algorithm>
#include <string>

namespace avf {

SDLOutputSink::SDLOutputSink() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        throw AVAudioError(kAVAudioErrorOutputFailed, std::string("SDL has no audio output: ") + SDL_GetError());
}

SDLOutputSink::~SDLOutputSink() {
    stop();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SDLOutputSink::start(AudioOutputRenderer& renderer) {
    if (device_ != 0) return;
    for (auto& channel : channels_) channel.assign(kOutputCycleFrames, 0.0f);
    renderer_ = &renderer;
    SDL_AudioSpec want{};
    want.freq = int(kOutputSampleRate);
    want.format = AUDIO_F32SYS;
    want.channels = kOutputChannels;
    want.samples = kOutputCycleFrames;
    want.callback = &SDLOutputSink::callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0)
        throw AVAudioError(kAVAudioErrorOutputFailed,
                           std::string("The sound card could not be opened: ") + SDL_GetError());
    SDL_PauseAudioDevice(device_, 0);
}

void SDLOutputSink::stop() {
    if (device_ == 0) return;
    SDL_CloseAudioDevice(device_); // returns once no callback runs
    device_ = 0;
}

void SDLOutputSink::callback(void* self, std::uint8_t* stream, int bytes) {
    auto& sink = *static_cast<SDLOutputSink*>(self);
    auto* out = reinterpret_cast<float*>(stream);
    std::uint32_t frames = std::uint32_t(bytes) / (kOutputChannels * sizeof(float));
    float* pointers[kOutputChannels] = {sink.channels_[0].data(), sink.channels_[1].data()};
    while (frames > 0) {
        const std::uint32_t n = std::min(frames, kOutputCycleFrames);
        sink.renderer_->render(pointers, n);
        for (std::uint32_t i = 0; i < n; ++i)
            for (std::uint32_t c = 0; c < kOutputChannels; ++c) *out++ = pointers[c][i];
        frames -= n;
    }
}

} // namespace avf
