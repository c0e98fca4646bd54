#pragma once
// The render step of the mixer and the output node: the sum of the inputs, mapped to
// the output's channels, times the volume.
#include "avfoundation/RenderPlan.h"

#include <atomic>

namespace avf {

struct SumStep final : RenderStep {
    SumStep(const AVAudioFormat& format, AVAudioFrameCount capacity, std::vector<const RenderStep*> inputs,
            const std::atomic<float>* volume)
        : RenderStep(format, capacity, std::move(inputs)), volume(volume) {}

    void render(const AudioTimeStamp&, AVAudioFrameCount frames) override {
        const float gain = volume != nullptr ? volume->load(std::memory_order_relaxed) : 1.0f;
        // One input that needs nothing done is handed on as it is.
        if (inputs.size() == 1 && gain == 1.0f && inputs[0]->channels == channels) {
            for (AVAudioChannelCount c = 0; c < channels; ++c) data[c] = inputs[0]->data[c];
            return;
        }
        for (AVAudioChannelCount c = 0; c < channels; ++c) data[c] = output.floatChannelData()[c];
        if (inputs.empty()) silence(output, frames);
        for (std::size_t i = 0; i < inputs.size(); ++i) mixInto(output, *inputs[i], frames, gain, i > 0);
    }

    const std::atomic<float>* volume;
};

} // namespace avf
