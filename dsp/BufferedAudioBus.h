#pragma once
// A unit's bus together with the sample memory it renders through while render
// resources are allocated.
// Thread rules: init and the two resource calls run on the configuring thread, never
// while a render is in flight; the accessors are read on the render thread.
#include "audiotoolbox/AUAudioUnitBus.h"
#include "audiotoolbox/AudioBufferList.h"
#include "avfoundation/AVAudioPCMBuffer.h"

#include <memory>

class BufferedAudioBus {
public:
    BufferedAudioBus() = default;
    BufferedAudioBus(const BufferedAudioBus&) = delete;
    BufferedAudioBus& operator=(const BufferedAudioBus&) = delete;

    // A new bus with `format`, limited to `maxChannels`; any buffer is released.
    void init(const AVAudioFormat& format, AUAudioChannelCount maxChannels);
    // Buffer for `frames` frames in the bus's current format. Throws std::bad_alloc.
    void allocateRenderResources(AUAudioFrameCount frames);
    void deallocateRenderResources();

    const std::shared_ptr<AUAudioUnitBus>& bus() const { return bus_; }
    AUAudioFrameCount maxFrames() const { return maxFrames_; }
    bool isAllocated() const { return pcmBuffer_ != nullptr; }
    // Null unless allocated.
    const AudioBufferList* originalAudioBufferList() const { return originalAudioBufferList_; }
    AudioBufferList* mutableAudioBufferList() const { return mutableAudioBufferList_; }

private:
    std::shared_ptr<AUAudioUnitBus> bus_;
    AUAudioFrameCount maxFrames_ = 0;
    std::unique_ptr<AVAudioPCMBuffer> pcmBuffer_;
    const AudioBufferList* originalAudioBufferList_ = nullptr;
    AudioBufferList* mutableAudioBufferList_ = nullptr;
};
