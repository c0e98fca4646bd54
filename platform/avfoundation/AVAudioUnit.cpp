#include "avfoundation/AVAudioUnit.h"

#include "audiotoolbox/AUAudioStatus.h"
#include "avfoundation/RenderPlan.h"
#include "foundation/Console.h"

#include <cstring>
#include <string>

namespace {

std::shared_ptr<AUAudioUnitBus> bus(AUAudioUnit& unit, bool input) {
    auto busses = input ? unit.inputBusses() : unit.outputBusses();
    return busses ? (*busses)[0] : nullptr;
}

} // namespace

struct AVAudioUnit::Step final : avf::RenderStep {
    Step(const AVAudioFormat& format, AVAudioFrameCount capacity, std::vector<const RenderStep*> inputs,
         AURenderBlock block, std::atomic<AUAudioUnitStatus>* status)
        : RenderStep(format, capacity, std::move(inputs)), block(std::move(block)), status(status),
          silent(AVAudioFormat(format.sampleRate(), kAudioBufferListCapacity), capacity) {
        pull = [this](AudioUnitRenderActionFlags*, const AudioTimeStamp*, AUAudioFrameCount frames, NSInteger,
                      AudioBufferList* list) { return provideInput(frames, list); };
    }

    // Hands the upstream audio to the unit: into its buffers when it gives some,
    // otherwise by pointing at ours (which it may then process in place).
    AUAudioUnitStatus provideInput(AUAudioFrameCount frames, AudioBufferList* list) {
        if (list == nullptr || frames > output.frameCapacity()) return kAudio_ParamError;
        const RenderStep* source = inputs.empty() ? nullptr : inputs[0];
        const AVAudioChannelCount channels = source ? source->channels : 0;
        for (std::uint32_t c = 0; c < list->mNumberBuffers && c < kAudioBufferListCapacity; ++c) {
            AudioBuffer& buffer = list->mBuffers[c];
            const AVAudioChannelCount from = channels == 1 ? 0 : c;
            float* data;
            if (from < channels) {
                data = source->data[from];
            } else {
                // Fresh silence each time: the unit may have processed it in place.
                data = silent.floatChannelData()[c];
                std::memset(data, 0, frames * sizeof(float));
            }
            if (buffer.mData == nullptr)
                buffer.mData = data;
            else
                std::memcpy(buffer.mData, data, frames * sizeof(float));
            buffer.mDataByteSize = frames * sizeof(float);
        }
        return noErr;
    }

    void render(const AudioTimeStamp& time, AVAudioFrameCount frames) override {
        const AVAudioChannelCount channels = output.format().channelCount();
        list.mNumberBuffers = channels;
        for (AVAudioChannelCount c = 0; c < channels; ++c)
            list.mBuffers[c] = AudioBuffer{1, frames * std::uint32_t(sizeof(float)), nullptr};
        AudioUnitRenderActionFlags flags = 0;
        const AUAudioUnitStatus result = block(&flags, &time, frames, 0, &list, nullptr, &pull);
        if (result != noErr) {
            status->store(result, std::memory_order_relaxed);
            avf::silence(output, frames);
            for (AVAudioChannelCount c = 0; c < channels; ++c) data[c] = output.floatChannelData()[c];
            return;
        }
        // The unit's buffers (or the ones it was handed) hold the result until its next call.
        for (AVAudioChannelCount c = 0; c < channels; ++c) {
            data[c] = static_cast<float*>(list.mBuffers[c].mData);
            if (data[c] == nullptr) {
                data[c] = output.floatChannelData()[c];
                std::memset(data[c], 0, frames * sizeof(float));
            }
        }
    }

    const AURenderBlock block;
    std::atomic<AUAudioUnitStatus>* status;
    AVAudioPCMBuffer silent;
    AURenderPullInputBlock pull;
    AudioBufferList list;
};

AVAudioUnit::AVAudioUnit(std::shared_ptr<AUAudioUnit> audioUnit) : unit_(std::move(audioUnit)) {
    // The node shows the unit's own formats until a connection sets them.
    if (auto in = bus(*unit_, true)) AVAudioNode::setInputFormat(in->format());
    if (auto out = bus(*unit_, false)) AVAudioNode::setOutputFormat(out->format());
}

bool AVAudioUnit::formatChanges(bool input, const AVAudioFormat& format) const {
    auto b = bus(*unit_, input);
    return b && !(b->format() == format);
}

void AVAudioUnit::setInputFormat(const AVAudioFormat& format) {
    if (auto in = bus(*unit_, true); in && !in->setFormat(format)) {
        Console::write("AVAudioEngine: ERROR: The audio unit refused an input of " +
                       std::to_string(format.channelCount()) + " channels.\n");
        return;
    }
    AVAudioNode::setInputFormat(format);
}

void AVAudioUnit::setOutputFormat(const AVAudioFormat& format) {
    if (auto out = bus(*unit_, false); out && !out->setFormat(format)) {
        Console::write("AVAudioEngine: ERROR: The audio unit refused an output of " +
                       std::to_string(format.channelCount()) + " channels.\n");
        return;
    }
    AVAudioNode::setOutputFormat(format);
}

bool AVAudioUnit::prepareToRender() {
    if (unit_->renderResourcesAllocated() && block_) return true;
    if (!unit_->renderResourcesAllocated()) {
        unit_->setMaximumFramesToRender(4096);
        OSStatus status = noErr;
        if (!unit_->allocateRenderResources(&status)) {
            Console::write("AVAudioEngine: ERROR: The audio unit could not allocate its render resources "
                           "(status " +
                           std::to_string(status) + "); it plays silence.\n");
            return false;
        }
    }
    block_ = unit_->renderBlock();
    return true;
}

void AVAudioUnit::releaseResources() {
    block_ = nullptr;
    if (unit_->renderResourcesAllocated()) unit_->deallocateRenderResources();
}

std::unique_ptr<avf::RenderStep> AVAudioUnit::makeRenderStep(const AVAudioFormat& format, AVAudioFrameCount capacity,
                                                             std::vector<const avf::RenderStep*> inputs) {
    if (!block_) return nullptr;
    return std::make_unique<Step>(format, capacity, std::move(inputs), block_, renderStatus_);
}
