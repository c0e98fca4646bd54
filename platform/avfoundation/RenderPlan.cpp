#include "avfoundation/RenderPlan.h"

#include <cstring>

namespace avf {

void mixInto(AVAudioPCMBuffer& to, const AVAudioPCMBuffer& from, AVAudioFrameCount frames, float gain) {
    const AVAudioChannelCount inputs = from.format().channelCount();
    for (AVAudioChannelCount c = 0; c < to.format().channelCount(); ++c) {
        const AVAudioChannelCount source = inputs == 1 ? 0 : c;
        if (source >= inputs) continue;
        float* __restrict dst = to.floatChannelData()[c];
        const float* __restrict src = from.floatChannelData()[source];
        for (AVAudioFrameCount i = 0; i < frames; ++i) dst[i] += gain * src[i];
    }
}

void copyMapped(float* const* to, AVAudioChannelCount toChannels, const float* const* from,
                AVAudioChannelCount fromChannels, AVAudioFrameCount offset, AVAudioFrameCount frames) {
    for (AVAudioChannelCount c = 0; c < toChannels; ++c) {
        const AVAudioChannelCount source = fromChannels == 1 ? 0 : c;
        if (source < fromChannels)
            std::memcpy(to[c], from[source] + offset, frames * sizeof(float));
        else
            std::memset(to[c], 0, frames * sizeof(float));
    }
}

void silence(AVAudioPCMBuffer& buffer, AVAudioFrameCount frames) {
    for (AVAudioChannelCount c = 0; c < buffer.format().channelCount(); ++c)
        std::memset(buffer.floatChannelData()[c], 0, frames * sizeof(float));
}

} // namespace avf
