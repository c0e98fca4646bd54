#include "avfoundation/RenderPlan.h"

#include <cstring>

namespace avf {

void mixInto(AVAudioPCMBuffer& to, const RenderStep& from, AVAudioFrameCount frames, float gain, bool add) {
    const AVAudioChannelCount inputs = from.channels;
    for (AVAudioChannelCount c = 0; c < to.format().channelCount(); ++c) {
        const AVAudioChannelCount source = inputs == 1 ? 0 : c;
        float* __restrict dst = to.floatChannelData()[c];
        if (source >= inputs) {
            if (!add) std::memset(dst, 0, frames * sizeof(float));
            continue;
        }
        const float* __restrict src = from.data[source];
        if (add)
            for (AVAudioFrameCount i = 0; i < frames; ++i) dst[i] += gain * src[i];
        else
            for (AVAudioFrameCount i = 0; i < frames; ++i) dst[i] = gain * src[i];
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
