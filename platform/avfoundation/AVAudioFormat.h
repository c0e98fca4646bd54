#pragma once
// An audio format. Only the standard layout exists here: non-interleaved 32-bit float,
// one buffer per channel, at most kAudioBufferListCapacity channels.
#include "audiotoolbox/AUAudioTypes.h"

#include <cstdint>

using AVAudioChannelCount = std::uint32_t;

class AVAudioFormat {
public:
    // Throws std::invalid_argument for a rate that is not finite and positive, or a
    // channel count of 0 or above kAudioBufferListCapacity.
    AVAudioFormat(double sampleRate, AVAudioChannelCount channels);

    double sampleRate() const { return sampleRate_; }
    AVAudioChannelCount channelCount() const { return channels_; }
    bool isInterleaved() const { return false; }
    // Bytes per frame of one channel's buffer.
    std::uint32_t bytesPerFrame() const { return sizeof(float); }

    bool operator==(const AVAudioFormat& other) const = default;

private:
    double sampleRate_;
    AVAudioChannelCount channels_;
};
