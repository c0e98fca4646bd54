#include "avfoundation/AVAudioMixerNode.h"

#include "avfoundation/SumStep.h"

AVAudioMixerNode::AVAudioMixerNode() = default;

void AVAudioMixerNode::setOutputVolume(float volume) {
    volume_.store(!(volume > 0.0f) ? 0.0f : volume > 1.0f ? 1.0f : volume, std::memory_order_relaxed);
}

std::unique_ptr<avf::RenderStep> AVAudioMixerNode::makeRenderStep(const AVAudioFormat& format,
                                                                  AVAudioFrameCount capacity,
                                                                  std::vector<const avf::RenderStep*> inputs) {
    return std::make_unique<avf::SumStep>(format, capacity, std::move(inputs), &volume_);
}
