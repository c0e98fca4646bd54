#pragma once
// Non-interleaved sample buffers handed through a render call: one AudioBuffer per
// channel. The list has a fixed capacity instead of a variable-length tail, so every
// index below kAudioBufferListCapacity is a real array element.
#include <cstdint>

struct AudioBuffer {
    std::uint32_t mNumberChannels = 0; // channels interleaved in this buffer (1 here)
    std::uint32_t mDataByteSize = 0;   // bytes valid at mData
    void* mData = nullptr;             // null asks the unit to render into its own memory
};

constexpr std::uint32_t kAudioBufferListCapacity = 8;

struct AudioBufferList {
    std::uint32_t mNumberBuffers = 0; // at most kAudioBufferListCapacity
    AudioBuffer mBuffers[kAudioBufferListCapacity];
};
