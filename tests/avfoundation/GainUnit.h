#pragma once
// The tests' audio unit: pulls its input, multiplies it by a gain and counts what the
// host asked of it. Input and output must have the same channel count.
#include "audiotoolbox/AUAudioStatus.h"
#include "audiotoolbox/AUAudioUnit.h"
#include "avfoundation/AVAudioPCMBuffer.h"

#include <atomic>
#include <memory>

class GainUnit final : public AUAudioUnit {
public:
    static std::shared_ptr<GainUnit> make(float gain) { return std::shared_ptr<GainUnit>(new GainUnit(gain)); }

    std::shared_ptr<AUAudioUnitBusArray> inputBusses() override { return inputs_; }
    std::shared_ptr<AUAudioUnitBusArray> outputBusses() override { return outputs_; }

    std::atomic<AUAudioFrameCount> largestCall{0};
    std::atomic<long> calls{0};
    std::atomic<int> inside{0};
    std::atomic<bool> overlapped{false}; // two render calls at once
    std::atomic<AUAudioUnitStatus> failWith{noErr};

private:
    explicit GainUnit(float gain) : gain_(gain) {
        const AVAudioFormat stereo(48000, 2);
        inputs_ = std::make_shared<AUAudioUnitBusArray>(this, AUAudioUnitBusType::input,
                                                        std::vector{AUAudioUnitBus::make(stereo)});
        outputs_ = std::make_shared<AUAudioUnitBusArray>(this, AUAudioUnitBusType::output,
                                                         std::vector{AUAudioUnitBus::make(stereo)});
        initialize(AudioComponentDescription{0x61756678 /* aufx */, 0x6761696e, 0x56796b54, 0, 0}, 0);
    }

    void internalAllocateRenderResources() override {
        const AVAudioFormat in = (*inputs_)[0]->format();
        if (in.channelCount() != (*outputs_)[0]->format().channelCount())
            throw AUAudioUnitError(kAudioUnitErr_FormatNotSupported, "channel counts differ");
        buffer_ = std::make_unique<AVAudioPCMBuffer>(in, maximumFramesToRender());
    }
    void internalDeallocateRenderResources() override { buffer_.reset(); }

    AUInternalRenderBlock internalRenderBlock() override {
        return [this](AudioUnitRenderActionFlags* flags, const AudioTimeStamp* time, AUAudioFrameCount frames,
                      NSInteger, AudioBufferList* out, const AURenderEvent*,
                      const AURenderPullInputBlock* pull) -> AUAudioUnitStatus {
            if (inside.fetch_add(1) != 0) overlapped = true;
            calls.fetch_add(1);
            if (frames > largestCall.load()) largestCall.store(frames);
            AUAudioUnitStatus status = failWith.load();
            if (status == noErr && frames > maximumFramesToRender()) status = kAudioUnitErr_TooManyFramesToProcess;
            AudioBufferList* in = buffer_->mutableAudioBufferList();
            *in = *buffer_->audioBufferList();
            if (status == noErr)
                status = pull == nullptr ? kAudioUnitErr_NoConnection : (*pull)(flags, time, frames, 0, in);
            if (status == noErr) {
                for (std::uint32_t c = 0; c < out->mNumberBuffers; ++c) {
                    if (out->mBuffers[c].mData == nullptr) out->mBuffers[c].mData = in->mBuffers[c].mData;
                    auto* to = static_cast<float*>(out->mBuffers[c].mData);
                    const auto* from = static_cast<const float*>(in->mBuffers[c].mData);
                    for (AUAudioFrameCount i = 0; i < frames; ++i) to[i] = gain_ * from[i];
                }
            }
            inside.fetch_sub(1);
            return status;
        };
    }

    float gain_;
    std::shared_ptr<AUAudioUnitBusArray> inputs_, outputs_;
    std::unique_ptr<AVAudioPCMBuffer> buffer_;
};
