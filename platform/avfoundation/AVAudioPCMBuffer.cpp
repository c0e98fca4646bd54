#include "avfoundation/AVAudioPCMBuffer.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {
constexpr std::size_t kAlignment = 64;
}

AVAudioPCMBuffer::AVAudioPCMBuffer(const AVAudioFormat& format, AVAudioFrameCount frameCapacity)
    : format_(format), frameCapacity_(frameCapacity) {
    const std::size_t bytes = std::size_t(frameCapacity) * sizeof(float);
    // Whole cache lines, and never a zero-sized request.
    const std::size_t rounded = (bytes + kAlignment - 1) / kAlignment * kAlignment + kAlignment;
    const AVAudioChannelCount n = format.channelCount();
    for (AVAudioChannelCount c = 0; c < n; ++c) {
        void* p = nullptr;
        if (posix_memalign(&p, kAlignment, rounded) != 0) {
            for (AVAudioChannelCount k = 0; k < c; ++k) std::free(channels_[k]);
            throw std::bad_alloc();
        }
        std::memset(p, 0, rounded);
        channels_[c] = static_cast<float*>(p);
    }
    original_.mNumberBuffers = n;
    for (AVAudioChannelCount c = 0; c < n; ++c) {
        original_.mBuffers[c].mNumberChannels = 1;
        original_.mBuffers[c].mDataByteSize = static_cast<std::uint32_t>(bytes);
        original_.mBuffers[c].mData = channels_[c];
    }
    mutable_ = original_;
}

AVAudioPCMBuffer::~AVAudioPCMBuffer() {
    for (float* p : channels_) std::free(p);
}

void AVAudioPCMBuffer::setFrameLength(AVAudioFrameCount frames) {
    frameLength_ = frames < frameCapacity_ ? frames : frameCapacity_;
}
