#pragma once
// The base of every audio unit: what a host reads and drives. A unit class derives from
// it, builds its own parts, then calls initialize() last; it overrides the capabilities,
// buses, parameters, state and presets it has, and the protected hooks below.
//
// Render resources follow a fixed road kept by the base: allocateRenderResources calls
// the unit's hook and counts as done only when the hook succeeds; renderBlock() refuses
// to render (status kAudioUnitErr_Uninitialized) while resources are not allocated; the
// maximum frame count cannot grow while they are.
//
// Thread rules:
// - Construction, render resources, reset, the host blocks, buses, state and presets:
//   configuring threads, never concurrently with each other for one unit.
// - The block from renderBlock(): the render thread only; it allocates, locks, logs and
//   throws nothing of its own.
// - maximumFramesToRender, shouldBypassEffect and renderResourcesAllocated: any thread.
// Units are held by std::shared_ptr.
#include "audiotoolbox/AUAudioUnitBusArray.h"
#include "audiotoolbox/AUAudioUnitError.h"
#include "audiotoolbox/AUAudioUnitPreset.h"
#include "audiotoolbox/AUHostBlocks.h"
#include "audiotoolbox/AUInternalRenderBlock.h"
#include "audiotoolbox/AUMIDIOutputEventBlock.h"
#include "audiotoolbox/AudioComponentDescription.h"
#include "foundation/PropertyList.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

class AUParameterTree;
class AUViewController;

// The block a host calls for every buffer; same arguments as the unit's internal one.
using AURenderBlock = AUInternalRenderBlock;

struct AUAudioUnitViewConfiguration {
    double width = 0;
    double height = 0;
    bool hostHasController = false;
};

class AUAudioUnit : public std::enable_shared_from_this<AUAudioUnit> {
public:
    virtual ~AUAudioUnit();
    AUAudioUnit(const AUAudioUnit&) = delete;
    AUAudioUnit& operator=(const AUAudioUnit&) = delete;

    const AudioComponentDescription& componentDescription() const { return description_; }

    // Buses. The base has none.
    virtual std::shared_ptr<AUAudioUnitBusArray> inputBusses();
    virtual std::shared_ptr<AUAudioUnitBusArray> outputBusses();

    // Render resources. allocateRenderResources fails (false, with the status in
    // `status`) when the unit's hook fails; the unit then stays unallocated. Allocating
    // again while allocated first releases the resources.
    bool allocateRenderResources(OSStatus* status = nullptr);
    void deallocateRenderResources();
    void reset();
    bool renderResourcesAllocated() const { return allocated_->load(std::memory_order_acquire); }

    // Default 4096. Raising it while render resources are allocated is refused with a line.
    AUAudioFrameCount maximumFramesToRender() const { return maximumFramesToRender_.load(std::memory_order_relaxed); }
    void setMaximumFramesToRender(AUAudioFrameCount frames);
    bool shouldBypassEffect() const { return shouldBypassEffect_.load(std::memory_order_relaxed); }
    void setShouldBypassEffect(bool bypass);

    // A new block around the unit's internalRenderBlock(); it keeps what it needs alive.
    AURenderBlock renderBlock();

    // Host blocks, read by the unit when it allocates render resources.
    std::shared_ptr<const AUHostMusicalContextBlock> musicalContextBlock() const;
    void setMusicalContextBlock(std::shared_ptr<const AUHostMusicalContextBlock> block);
    std::shared_ptr<const AUHostTransportStateBlock> transportStateBlock() const;
    void setTransportStateBlock(std::shared_ptr<const AUHostTransportStateBlock> block);
    std::shared_ptr<const AUScheduleMIDIEventBlock> scheduleMIDIEventBlock() const;
    void setScheduleMIDIEventBlock(std::shared_ptr<const AUScheduleMIDIEventBlock> block);
    // The host's receiver of the unit's MIDI output; the base just stores it.
    virtual std::shared_ptr<const AUMIDIOutputEventBlock> MIDIOutputEventBlock();
    virtual void setMIDIOutputEventBlock(std::shared_ptr<const AUMIDIOutputEventBlock> block);
    virtual std::vector<std::string> MIDIOutputNames();

    // Parameters. The base has no tree and ignores one given to it.
    virtual std::shared_ptr<AUParameterTree> parameterTree();
    virtual void setParameterTree(std::shared_ptr<AUParameterTree> tree);
    virtual std::vector<AUParameterAddress> parametersForOverview(NSInteger count);
    // The indexes of the configurations the unit's view supports (all by default).
    virtual std::set<std::size_t>
    supportedViewConfigurations(const std::vector<AUAudioUnitViewConfiguration>& configurations);

    // Capabilities. Latency and tail time are in seconds.
    virtual double latency();
    virtual double tailTime();
    virtual bool canPerformInput();
    virtual bool canPerformOutput();
    virtual bool canProcessInPlace();
    virtual bool isMusicDeviceOrEffect();
    virtual NSInteger virtualMIDICableCount();
    // Pairs of supported (input, output) channel counts, -1 meaning any; empty: any.
    virtual std::vector<int> channelCapabilities();

    // State and presets. The base keeps nothing: no state, no presets.
    virtual std::optional<plist::Dictionary> fullState();
    virtual void setFullState(std::optional<plist::Dictionary> state);
    virtual bool supportsUserPresets();
    virtual std::vector<AUAudioUnitPreset> factoryPresets();
    virtual std::optional<AUAudioUnitPreset> currentPreset();
    virtual void setCurrentPreset(std::optional<AUAudioUnitPreset> preset);
    // Throws AUAudioUnitError when the preset's state cannot be read.
    virtual plist::Dictionary presetState(const AUAudioUnitPreset& preset);

    // The host's name for the context the unit runs in; the unit never reads it.
    std::string contextName() const;
    void setContextName(std::string name);

    // Instantiation of an installed component (AUAudioUnitInstantiation.cpp): the first
    // component on disk matching `description` is loaded and its factory makes the unit.
    // The completion runs on the main queue with a unit or an error, never both. The
    // options are accepted and ignored (units always run in the host's process).
    using InstantiationCompletion = std::function<void(std::shared_ptr<AUAudioUnit>, std::optional<AUAudioUnitError>)>;
    static void instantiate(const AudioComponentDescription& description, AudioComponentInstantiationOptions options,
                            InstantiationCompletion completion);
    // The view controller whose factory made this unit (null when there is none), given
    // to the completion on the main queue.
    void requestViewController(std::function<void(std::shared_ptr<AUViewController>)> completion);

protected:
    AUAudioUnit();
    // The base initialisation, called last by the unit's constructor. Throws
    // AUAudioUnitError for a description without a component type. No option changes
    // anything here.
    void initialize(const AudioComponentDescription& description, AudioComponentInstantiationOptions options);

    // The unit's side of render resources. The allocate hook checks the bus formats and
    // may throw AUAudioUnitError (or std::bad_alloc) to fail the allocation.
    virtual void internalAllocateRenderResources() {}
    virtual void internalDeallocateRenderResources() {}
    virtual void internalReset() {}
    // Called after each accepted write of the property.
    virtual void maximumFramesToRenderDidSet() {}
    virtual void shouldBypassEffectDidSet() {}
    // The unit's render callback; the base's renders nothing.
    virtual AUInternalRenderBlock internalRenderBlock();

private:
    AudioComponentDescription description_;
    // Shared with the render blocks, which may outlive a configuration change.
    std::shared_ptr<std::atomic<bool>> allocated_;
    std::atomic<AUAudioFrameCount> maximumFramesToRender_{4096};
    std::atomic<bool> shouldBypassEffect_{false};

    mutable std::mutex mutex_; // the host blocks and the context name
    std::shared_ptr<const AUHostMusicalContextBlock> musicalContextBlock_;
    std::shared_ptr<const AUHostTransportStateBlock> transportStateBlock_;
    std::shared_ptr<const AUScheduleMIDIEventBlock> scheduleMIDIEventBlock_;
    std::shared_ptr<const AUMIDIOutputEventBlock> midiOutputEventBlock_;
    std::string contextName_;
    // Set by instantiation before the unit is handed out. Weak: the controller owns the
    // unit, and what the host holds owns them both.
    std::weak_ptr<AUViewController> viewController_;
};
