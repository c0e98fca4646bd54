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
    RenderStep(const AVAudioFormat& format, AVAudioFrameCount capacity,
               std::vector<const RenderStep*> inputs)
        : output(format, capacity), inputs(std::move(inputs)) {}
    virtual ~RenderStep() = default;
    // Render thread: fills `output` with `frames` frames, at most the plan's slice.
    virtual void render(const AudioTimeStamp& time, AVAudioFrameCount frames) = 0;

    AVAudioPCMBuffer output;
    const std::vector<const RenderStep*> inputs;
    std::shared_ptr<AVAudioNode> node;  // kept alive while the plan lives
};

struct RenderPlan {
    std::vector<std::unique_ptr<RenderStep>> steps;  // the last one is the output's
    AVAudioFrameCount slice = 0;                     // the largest frame count of one pass
};

// Adds `from` (any channel count) into `to`, mapped as the mixer maps channels.
void mixInto(AVAudioPCMBuffer& to, const AVAudioPCMBuffer& from, AVAudioFrameCount frames, float gain);
// Copies, mapped the same way; the output's unmapped channels become silent.
void copyMapped(float* const* to, AVAudioChannelCount toChannels, const float* const* from,
                AVAudioChannelCount fromChannels, AVAudioFrameCount offset, AVAudioFrameCount frames);
void silence(AVAudioPCMBuffer& buffer, AVAudioFrameCount frames);

} // namespace avf
