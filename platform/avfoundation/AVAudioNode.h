#pragma once
// A node of an engine's graph. Nodes are made by the caller, attached to one engine and
// wired by it. Every node has one input and one output bus (the mixer: many inputs).
// Thread rules: control threads; the formats may be read from any of them.
#include "avfoundation/AVAudioPCMBuffer.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class AVAudioEngine;
namespace avf {
struct RenderStep;
}

using AVAudioNodeBus = std::uint32_t;

class AVAudioNode : public std::enable_shared_from_this<AVAudioNode> {
public:
    virtual ~AVAudioNode();
    AVAudioNode(const AVAudioNode&) = delete;
    AVAudioNode& operator=(const AVAudioNode&) = delete;

    AVAudioFormat inputFormat(AVAudioNodeBus bus) const;
    AVAudioFormat outputFormat(AVAudioNodeBus bus) const;
    // The engine the node is attached to, or null.
    AVAudioEngine* engine() const { return engine_.load(); }

protected:
    AVAudioNode();

    // The graph's side, called by the engine under its graph lock.
    virtual void setInputFormat(const AVAudioFormat& format);
    virtual void setOutputFormat(const AVAudioFormat& format);
    // A new step of a render plan that fills `format` from `inputs` (all already in
    // the plan), or null when the node cannot render now (it says why).
    virtual std::unique_ptr<avf::RenderStep> makeRenderStep(const AVAudioFormat& format, AVAudioFrameCount capacity,
                                                            std::vector<const avf::RenderStep*> inputs) = 0;
    virtual bool takesManyInputs() const { return false; }

private:
    friend class AVAudioEngine;

    mutable std::mutex formatMutex_;
    AVAudioFormat inputFormat_;
    AVAudioFormat outputFormat_;
    std::atomic<AVAudioEngine*> engine_{nullptr};
};

// The engine's end of the graph: what reaches it goes to the output sink.
class AVAudioOutputNode final : public AVAudioNode {
private:
    std::unique_ptr<avf::RenderStep> makeRenderStep(const AVAudioFormat& format, AVAudioFrameCount capacity,
                                                    std::vector<const avf::RenderStep*> inputs) override;
};
