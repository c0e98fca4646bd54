#pragma once
// The render thread's view of a graph: an immutable list of steps in pull order, built
// on a control thread and published whole. Each step owns its output buffer; a step's
// inputs are earlier steps. Nothing here allocates, locks or waits while rendering.
#include "audiotoolbox/AudioTimeStamp.h"
#include "avfoundation/AVAudioPCMBuffer.h"

#include <memory>
#include <vector>

class AVAudioNode;

namespace avf {

struct RenderStep {
    RenderStep(const AVAudioFormat& format, AVAudioFrameCount capacity, std::vector<const RenderStep*> inputs)
        : output(format, capacity), channels(format.channelCount()), inputs(std::move(inputs)) {
        for (AVAudioChannelCount c = 0; c < channels; ++c) data[c] = output.floatChannelData()[c];
    }
    virtual ~RenderStep() = default;
    // Render thread: makes `data` hold `frames` frames (at most the plan's slice), in
    // `output` or wherever the step points `data` to, valid until the next slice.
    virtual void render(const AudioTimeStamp& time, AVAudioFrameCount frames) = 0;

    AVAudioPCMBuffer output;
    const AVAudioChannelCount channels;
    float* data[kAudioBufferListCapacity] = {}; // readers may process it in place
    const std::vector<const RenderStep*> inputs;
    std::shared_ptr<AVAudioNode> node; // kept alive while the plan lives
};

struct RenderPlan {
    std::vector<std::unique_ptr<RenderStep>> steps; // in pull order
    const RenderStep* last = nullptr;               // what the sink gets: 2 channels
    AVAudioFrameCount slice = 0;                    // the largest frame count of one pass
};

// Writes (or adds) `from` (any channel count) times `gain` into `to`, mapped as the
// mixer maps channels; with `add` false the unmapped channels become silent.
void mixInto(AVAudioPCMBuffer& to, const RenderStep& from, AVAudioFrameCount frames, float gain, bool add);
// Copies, mapped the same way; the output's unmapped channels become silent.
void copyMapped(float* const* to, AVAudioChannelCount toChannels, const float* const* from,
                AVAudioChannelCount fromChannels, AVAudioFrameCount offset, AVAudioFrameCount frames);
void silence(AVAudioPCMBuffer& buffer, AVAudioFrameCount frames);

} // namespace avf
