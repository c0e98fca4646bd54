#pragma once
// Sample memory for one format: one 64-byte-aligned array of frameCapacity floats per
// channel, zeroed at creation. It offers two buffer lists over that memory: its own,
// which stays as made, and a mutable one that a host may repoint during a pull.
// Not copyable; shared through std::shared_ptr.
#include "audiotoolbox/AudioBufferList.h"
#include "avfoundation/AVAudioFormat.h"

#include <cstdint>

using AVAudioFrameCount = std::uint32_t;

class AVAudioPCMBuffer {
public:
    // Throws std::bad_alloc when the memory cannot be had.
    AVAudioPCMBuffer(const AVAudioFormat& format, AVAudioFrameCount frameCapacity);
    ~AVAudioPCMBuffer();
    AVAudioPCMBuffer(const AVAudioPCMBuffer&) = delete;
    AVAudioPCMBuffer& operator=(const AVAudioPCMBuffer&) = delete;

    const AVAudioFormat& format() const { return format_; }
    AVAudioFrameCount frameCapacity() const { return frameCapacity_; }
    // Frames holding valid audio, at most frameCapacity; 0 after creation.
    AVAudioFrameCount frameLength() const { return frameLength_; }
    // Values above the capacity are clamped to it.
    void setFrameLength(AVAudioFrameCount frames);

    // One pointer per channel.
    float* const* floatChannelData() const { return channels_; }
    const AudioBufferList* audioBufferList() const { return &original_; }
    AudioBufferList* mutableAudioBufferList() { return &mutable_; }

private:
    AVAudioFormat format_;
    AVAudioFrameCount frameCapacity_;
    AVAudioFrameCount frameLength_ = 0;
    float* channels_[kAudioBufferListCapacity] = {};
    AudioBufferList original_;
    AudioBufferList mutable_;
};
