#pragma once
// One input or output connection point of a unit, with its format.
// Thread rules: configured off the render thread; not read on it.
#include "avfoundation/AVAudioFormat.h"

#include <memory>

class AUAudioUnitBus {
public:
    explicit AUAudioUnitBus(const AVAudioFormat& format);
    static std::shared_ptr<AUAudioUnitBus> make(const AVAudioFormat& format) {
        return std::make_shared<AUAudioUnitBus>(format);
    }

    const AVAudioFormat& format() const { return format_; }
    // Refuses (returns false, keeps the format) a channel count above maximumChannelCount.
    bool setFormat(const AVAudioFormat& format);

    // 0 means no limit beyond the format's own.
    AUAudioChannelCount maximumChannelCount() const { return maximumChannelCount_; }
    void setMaximumChannelCount(AUAudioChannelCount count) { maximumChannelCount_ = count; }

    bool shouldAllocateBuffer() const { return shouldAllocateBuffer_; }
    void setShouldAllocateBuffer(bool value) { shouldAllocateBuffer_ = value; }

private:
    AVAudioFormat format_;
    AUAudioChannelCount maximumChannelCount_ = 0;
    bool shouldAllocateBuffer_ = true;
};
