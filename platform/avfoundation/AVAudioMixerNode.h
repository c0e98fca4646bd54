#pragma once
// Sums its inputs into its output and applies the output volume. An input with other
// channel counts is mapped: mono to every output channel, a wider one's first channels
// taken, a narrower one's missing channels left silent.
#include "avfoundation/AVAudioNode.h"

class AVAudioMixerNode final : public AVAudioNode {
public:
    AVAudioMixerNode();
    // 0 to 1; any thread; read by the render thread once per slice.
    float outputVolume() const { return volume_.load(std::memory_order_relaxed); }
    void setOutputVolume(float volume);

private:
    std::unique_ptr<avf::RenderStep> makeRenderStep(const AVAudioFormat& format, AVAudioFrameCount capacity,
                                                    std::vector<const avf::RenderStep*> inputs) override;
    bool takesManyInputs() const override { return true; }

    std::atomic<float> volume_{1.0f};
};
