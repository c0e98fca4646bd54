#include "avfoundation/AVAudioNode.h"

#include "avfoundation/AudioOutputSink.h"
#include "avfoundation/RenderPlan.h"
#include "avfoundation/SumStep.h"

namespace {

const AVAudioFormat kGraphFormat(avf::kOutputSampleRate, avf::kOutputChannels);

} // namespace

AVAudioNode::AVAudioNode() : inputFormat_(kGraphFormat), outputFormat_(kGraphFormat) {}

AVAudioNode::~AVAudioNode() = default;

AVAudioFormat AVAudioNode::inputFormat(AVAudioNodeBus) const {
    std::lock_guard lock(formatMutex_);
    return inputFormat_;
}

AVAudioFormat AVAudioNode::outputFormat(AVAudioNodeBus) const {
    std::lock_guard lock(formatMutex_);
    return outputFormat_;
}

void AVAudioNode::setInputFormat(const AVAudioFormat& format) {
    std::lock_guard lock(formatMutex_);
    inputFormat_ = format;
}

void AVAudioNode::setOutputFormat(const AVAudioFormat& format) {
    std::lock_guard lock(formatMutex_);
    outputFormat_ = format;
}

std::unique_ptr<avf::RenderStep> AVAudioOutputNode::makeRenderStep(const AVAudioFormat& format,
                                                                   AVAudioFrameCount capacity,
                                                                   std::vector<const avf::RenderStep*> inputs) {
    return std::make_unique<avf::SumStep>(format, capacity, std::move(inputs), nullptr);
}
