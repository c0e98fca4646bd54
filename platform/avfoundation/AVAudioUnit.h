#pragma once
// An audio unit in an engine's graph. The engine sets the unit's bus formats on
// connection, sets its maximum frame count and allocates its render resources before
// it renders, and calls its render block with a pull block that hands it the upstream
// audio. A unit whose allocation or render fails renders silence (said in one line).
#include "audiotoolbox/AUAudioUnit.h"
#include "avfoundation/AVAudioNode.h"

class AVAudioUnit final : public AVAudioNode {
public:
    explicit AVAudioUnit(std::shared_ptr<AUAudioUnit> audioUnit);
    const std::shared_ptr<AUAudioUnit>& auAudioUnit() const { return unit_; }

    // AUAudioUnit::instantiate, giving the unit as a node (AVAudioUnitInstantiation.cpp).
    using InstantiationCompletion = std::function<void(std::shared_ptr<AVAudioUnit>, std::optional<AUAudioUnitError>)>;
    static void instantiate(const AudioComponentDescription& description, AudioComponentInstantiationOptions options,
                            InstantiationCompletion completion);

private:
    friend class AVAudioEngine;
    struct Step;

    void setInputFormat(const AVAudioFormat& format) override;
    void setOutputFormat(const AVAudioFormat& format) override;
    std::unique_ptr<avf::RenderStep> makeRenderStep(const AVAudioFormat& format, AVAudioFrameCount capacity,
                                                    std::vector<const avf::RenderStep*> inputs) override;
    // Graph lock held, unit not in the live plan. True when allocated; the render block
    // is fetched after the allocation, so it sees the host blocks set before.
    bool prepareToRender();
    void releaseResources();
    // True when a new format differs from the bus's and so needs a reallocation.
    bool formatChanges(bool input, const AVAudioFormat& format) const;

    std::shared_ptr<AUAudioUnit> unit_;
    AURenderBlock block_;
    std::atomic<AUAudioUnitStatus>* renderStatus_ = nullptr; // the engine's, set on attach
};
