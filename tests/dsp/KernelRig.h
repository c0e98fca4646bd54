#pragma once
// Drives an adapter the way a host does: pulls stereo input from arrays it owns and
// renders into output arrays, optionally with render events.
#include "audiotoolbox/AUAudioStatus.h"
#include "dsp/VYK_Wimbrax_ExtensionDSPKernelAdapter.h"
#include "RenderEvents.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace rig {

using Adapter = VYK_Wimbrax_ExtensionDSPKernelAdapter;
using Kernel = VYK_Wimbrax_Extension_DSPKernel;

struct Stereo {
    std::vector<float> l, r;
    explicit Stereo(std::size_t n = 0, float v = 0.0f) : l(n, v), r(n, v) {}
    std::size_t size() const { return l.size(); }
};

// Deterministic full-scale noise.
inline Stereo noise(std::size_t n, std::uint32_t seed = 1) {
    Stereo s(n);
    for (std::size_t i = 0; i < n; ++i) {
        seed = seed * 1664525u + 1013904223u;
        s.l[i] = float(int32_t(seed)) / 2147483648.0f;
        seed = seed * 1664525u + 1013904223u;
        s.r[i] = float(int32_t(seed)) / 2147483648.0f;
    }
    return s;
}

using vyk::test::parameterEvent;

// Links the events of `list` in order; returns the head or null.
inline const AURenderEvent* link(std::vector<AURenderEvent>& list) {
    for (std::size_t i = 0; i + 1 < list.size(); ++i) list[i].head.next = &list[i + 1];
    if (!list.empty()) list.back().head.next = nullptr;
    return list.empty() ? nullptr : &list.front();
}

class Host {
public:
    std::shared_ptr<Adapter> adapter = Adapter::make();
    double sampleTime = 0;

    // The values the parameter tree pushes: neutral width and panorama everywhere.
    explicit Host(bool threeBands = false, AUAudioFrameCount maxFrames = 4096) {
        adapter->setMaximumFramesToRender(maxFrames);
        for (int32_t a = Kernel::kStereoWidth0; a < int32_t(Kernel::kPhaseShift0); ++a)
            adapter->setParameterEx(a, 0.5f);
        adapter->setParameterEx(Kernel::kCurrentMode, threeBands ? 1.0f : 0.0f);
        adapter->allocateRenderResources();
    }

    // Renders `in` from `offset` for `frames` frames into `out` at the same offset.
    AUAudioUnitStatus render(const Stereo& in, Stereo& out, std::size_t offset, AUAudioFrameCount frames,
                             const AURenderEvent* events = nullptr) {
        AURenderPullInputBlock pull = [&](AudioUnitRenderActionFlags*, const AudioTimeStamp*, AUAudioFrameCount n,
                                          NSInteger, AudioBufferList* l) {
            std::memcpy(l->mBuffers[0].mData, in.l.data() + offset, n * sizeof(float));
            std::memcpy(l->mBuffers[1].mData, in.r.data() + offset, n * sizeof(float));
            return noErr;
        };
        AudioBufferList list{};
        list.mNumberBuffers = 2;
        list.mBuffers[0] = {1, frames * 4u, out.l.data() + offset};
        list.mBuffers[1] = {1, frames * 4u, out.r.data() + offset};
        AudioTimeStamp ts{};
        ts.mSampleTime = sampleTime;
        AudioUnitRenderActionFlags flags = 0;
        const AUAudioUnitStatus s = adapter->render(&flags, &ts, frames, 0, &list, events, &pull);
        if (s == noErr) sampleTime += frames;
        return s;
    }

    // Renders all of `in` in blocks of `block` frames.
    Stereo run(const Stereo& in, AUAudioFrameCount block) {
        Stereo out(in.size());
        for (std::size_t done = 0; done < in.size(); done += block)
            render(in, out, done, AUAudioFrameCount(std::min<std::size_t>(block, in.size() - done)));
        return out;
    }
};

} // namespace rig
