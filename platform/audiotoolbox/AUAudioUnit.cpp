#include "audiotoolbox/AUAudioUnit.h"

#include "audiotoolbox/AUAudioStatus.h"
#include "foundation/Console.h"

#include <new>

AUAudioUnit::AUAudioUnit() : allocated_(std::make_shared<std::atomic<bool>>(false)) {}

AUAudioUnit::~AUAudioUnit() = default;

void AUAudioUnit::initialize(const AudioComponentDescription& description, AudioComponentInstantiationOptions) {
    if (description.componentType == 0)
        throw AUAudioUnitError(kAudioUnitErr_FailedInitialization, "The component description has no component type.");
    description_ = description;
}

std::shared_ptr<AUAudioUnitBusArray> AUAudioUnit::inputBusses() {
    return std::make_shared<AUAudioUnitBusArray>(this, AUAudioUnitBusType::input,
                                                 std::vector<std::shared_ptr<AUAudioUnitBus>>{});
}

std::shared_ptr<AUAudioUnitBusArray> AUAudioUnit::outputBusses() {
    return std::make_shared<AUAudioUnitBusArray>(this, AUAudioUnitBusType::output,
                                                 std::vector<std::shared_ptr<AUAudioUnitBus>>{});
}

bool AUAudioUnit::allocateRenderResources(OSStatus* status) {
    if (renderResourcesAllocated()) deallocateRenderResources();
    OSStatus result = noErr;
    try {
        internalAllocateRenderResources();
    } catch (const AUAudioUnitError& e) {
        result = e.code();
    } catch (const std::bad_alloc&) {
        result = kAudioUnitErr_FailedInitialization;
    }
    if (status != nullptr) *status = result;
    if (result != noErr) return false;
    allocated_->store(true, std::memory_order_release);
    return true;
}

void AUAudioUnit::deallocateRenderResources() {
    allocated_->store(false, std::memory_order_release);
    internalDeallocateRenderResources();
}

void AUAudioUnit::reset() { internalReset(); }

void AUAudioUnit::setMaximumFramesToRender(AUAudioFrameCount frames) {
    if (renderResourcesAllocated() && frames > maximumFramesToRender()) {
        // The unit's buffers were sized for the old maximum.
        Console::write("AUAudioUnit: WARNING: maximumFramesToRender cannot grow while render "
                       "resources are allocated.\n");
        return;
    }
    maximumFramesToRender_.store(frames, std::memory_order_relaxed);
    maximumFramesToRenderDidSet();
}

void AUAudioUnit::setShouldBypassEffect(bool bypass) {
    shouldBypassEffect_.store(bypass, std::memory_order_relaxed);
    shouldBypassEffectDidSet();
}

AURenderBlock AUAudioUnit::renderBlock() {
    return [allocated = allocated_, internal = internalRenderBlock()](
               AudioUnitRenderActionFlags* actionFlags, const AudioTimeStamp* timestamp, AUAudioFrameCount frameCount,
               NSInteger outputBusNumber, AudioBufferList* outputData, const AURenderEvent* events,
               const AURenderPullInputBlock* pullInputBlock) noexcept -> AUAudioUnitStatus {
        if (!allocated->load(std::memory_order_acquire) || !internal) return kAudioUnitErr_Uninitialized;
        return internal(actionFlags, timestamp, frameCount, outputBusNumber, outputData, events, pullInputBlock);
    };
}

AUInternalRenderBlock AUAudioUnit::internalRenderBlock() { return nullptr; }

std::shared_ptr<const AUHostMusicalContextBlock> AUAudioUnit::musicalContextBlock() const {
    std::lock_guard lock(mutex_);
    return musicalContextBlock_;
}

void AUAudioUnit::setMusicalContextBlock(std::shared_ptr<const AUHostMusicalContextBlock> block) {
    std::lock_guard lock(mutex_);
    musicalContextBlock_ = std::move(block);
}

std::shared_ptr<const AUHostTransportStateBlock> AUAudioUnit::transportStateBlock() const {
    std::lock_guard lock(mutex_);
    return transportStateBlock_;
}

void AUAudioUnit::setTransportStateBlock(std::shared_ptr<const AUHostTransportStateBlock> block) {
    std::lock_guard lock(mutex_);
    transportStateBlock_ = std::move(block);
}

std::shared_ptr<const AUScheduleMIDIEventBlock> AUAudioUnit::scheduleMIDIEventBlock() const {
    std::lock_guard lock(mutex_);
    return scheduleMIDIEventBlock_;
}

void AUAudioUnit::setScheduleMIDIEventBlock(std::shared_ptr<const AUScheduleMIDIEventBlock> block) {
    std::lock_guard lock(mutex_);
    scheduleMIDIEventBlock_ = std::move(block);
}

std::shared_ptr<const AUMIDIOutputEventBlock> AUAudioUnit::MIDIOutputEventBlock() {
    std::lock_guard lock(mutex_);
    return midiOutputEventBlock_;
}

void AUAudioUnit::setMIDIOutputEventBlock(std::shared_ptr<const AUMIDIOutputEventBlock> block) {
    std::lock_guard lock(mutex_);
    midiOutputEventBlock_ = std::move(block);
}

std::vector<std::string> AUAudioUnit::MIDIOutputNames() { return {}; }

std::shared_ptr<AUParameterTree> AUAudioUnit::parameterTree() { return nullptr; }
void AUAudioUnit::setParameterTree(std::shared_ptr<AUParameterTree>) {}
std::vector<AUParameterAddress> AUAudioUnit::parametersForOverview(NSInteger) { return {}; }

std::set<std::size_t>
AUAudioUnit::supportedViewConfigurations(const std::vector<AUAudioUnitViewConfiguration>& configurations) {
    std::set<std::size_t> all;
    for (std::size_t i = 0; i < configurations.size(); ++i) all.insert(i);
    return all;
}

double AUAudioUnit::latency() { return 0.0; }
double AUAudioUnit::tailTime() { return 0.0; }
bool AUAudioUnit::canPerformInput() { return true; }
bool AUAudioUnit::canPerformOutput() { return true; }
bool AUAudioUnit::canProcessInPlace() { return false; }
bool AUAudioUnit::isMusicDeviceOrEffect() { return false; }
NSInteger AUAudioUnit::virtualMIDICableCount() { return 0; }
std::vector<int> AUAudioUnit::channelCapabilities() { return {}; }

std::optional<plist::Dictionary> AUAudioUnit::fullState() { return plist::Dictionary{}; }
void AUAudioUnit::setFullState(std::optional<plist::Dictionary>) {}
bool AUAudioUnit::supportsUserPresets() { return false; }
std::vector<AUAudioUnitPreset> AUAudioUnit::factoryPresets() { return {}; }
std::optional<AUAudioUnitPreset> AUAudioUnit::currentPreset() { return std::nullopt; }
void AUAudioUnit::setCurrentPreset(std::optional<AUAudioUnitPreset>) {}

plist::Dictionary AUAudioUnit::presetState(const AUAudioUnitPreset&) {
    throw AUAudioUnitError(kAudioUnitErr_InvalidProperty, "The unit has no preset states.");
}

std::string AUAudioUnit::contextName() const {
    std::lock_guard lock(mutex_);
    return contextName_;
}

void AUAudioUnit::setContextName(std::string name) {
    std::lock_guard lock(mutex_);
    contextName_ = std::move(name);
}
