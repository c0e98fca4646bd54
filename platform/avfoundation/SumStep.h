#pragma once
// The render step of the mixer and the output node: the sum of the inputs, mapped to
// the output's channels, times the volume.
#include "avfoundation/RenderPlan.h"

#include <atomic>

namespace avf {

struct SumStep final : RenderStep {
    SumStep(const AVAudioFormat& format, AVAudioFrameCount capacity,
            std::vector<const RenderStep*> inputs, const std::atomic<float>* volume)
        : RenderStep(format, capacity, std::move(inputs)), volume(volume) {}

    void render(const AudioTimeStamp&, AVAudioFrameCount frames) override {
        silence(output, frames);
        const float gain = volume != nullptr ? volume->load(std::memory_order_relaxed) : 1.0f;
        for (const RenderStep* input : inputs) mixInto(output, input->output, frames, gain);
    }

    const std::atomic<float>* volume;
};

} // namespace avf
