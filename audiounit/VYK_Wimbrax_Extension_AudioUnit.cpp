#include "audiounit/VYK_Wimbrax_Extension_AudioUnit.h"

#include "audiotoolbox/AUAudioStatus.h"
#include "foundation/Console.h"
#include "shared/FourCharCode.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

std::string shortest(double value) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

std::optional<std::int32_t> narrow(NSInteger value) {
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace

VYK_Wimbrax_Extension_AudioUnit::VYK_Wimbrax_Extension_AudioUnit(const AudioComponentDescription& description,
                                                                 AudioComponentInstantiationOptions) {
    debugprint("AUExtension::init()");
    debugprint(stringValue(description.componentManufacturer) + " : " + stringValue(description.componentSubType));
    debugprint("AUExtension: We will prepare required resources now...");
    kernelAdapter = VYK_Wimbrax_ExtensionDSPKernelAdapter::make();
    parameters = std::make_unique<VYK_Wimbrax_Extension_Parameters>(kernelAdapter);
    // Built now, not on first use, so hosts may read them from any thread.
    inputBusArray = std::make_shared<AUAudioUnitBusArray>(
        this, AUAudioUnitBusType::input, std::vector<std::shared_ptr<AUAudioUnitBus>>{kernelAdapter->inputBus()});
    outputBusArray = std::make_shared<AUAudioUnitBusArray>(
        this, AUAudioUnitBusType::output, std::vector<std::shared_ptr<AUAudioUnitBus>>{kernelAdapter->outputBus()});
    renderErrors_ = std::make_shared<RenderErrorReport>();
    initialize(description, 0);
    renderErrors_->startFlushingOnMainLoop();
}

VYK_Wimbrax_Extension_AudioUnit::~VYK_Wimbrax_Extension_AudioUnit() { renderErrors_->flush(); }

void VYK_Wimbrax_Extension_AudioUnit::debugprint(const std::string& text) const { Console::write(text + "\n"); }

// Buses and parameter tree

std::shared_ptr<AUAudioUnitBusArray> VYK_Wimbrax_Extension_AudioUnit::inputBusses() {
    debugprint("AUExtension::inputBusses: " + std::to_string(inputBusArray->count()));
    return inputBusArray;
}

std::shared_ptr<AUAudioUnitBusArray> VYK_Wimbrax_Extension_AudioUnit::outputBusses() {
    debugprint("AUExtension::outputBusses: " + std::to_string(outputBusArray->count()));
    return outputBusArray;
}

std::shared_ptr<AUParameterTree> VYK_Wimbrax_Extension_AudioUnit::parameterTree() {
    return parameters->parameterTree();
}

void VYK_Wimbrax_Extension_AudioUnit::setParameterTree(std::shared_ptr<AUParameterTree>) {
    debugprint("AUExtension::parameterTree (set) !!!");
}

std::vector<AUParameterAddress> VYK_Wimbrax_Extension_AudioUnit::parametersForOverview(NSInteger) {
    debugprint("AUExtension::parametersForOverview()");
    return {};
}

std::set<std::size_t>
VYK_Wimbrax_Extension_AudioUnit::supportedViewConfigurations(const std::vector<AUAudioUnitViewConfiguration>&) {
    debugprint("AUExtension::supportedViewConfigurations()");
    return {};
}

// Capabilities

double VYK_Wimbrax_Extension_AudioUnit::latency() {
    // The processed signal lags the input by latencyFrames, and bypass is delayed alike,
    // so hosts can compensate in both states. Mono passes through undelayed.
    const AVAudioFormat& format = kernelAdapter->outputBus()->format();
    const double frames = format.channelCount() == 2 ? latencyFrames : 0.0;
    const double seconds = frames / format.sampleRate();
    debugprint("AUExtension::latency: " + shortest(seconds));
    return seconds;
}

double VYK_Wimbrax_Extension_AudioUnit::tailTime() {
    debugprint("AUExtension::tailTime: 0");
    return 0.0;
}

bool VYK_Wimbrax_Extension_AudioUnit::canPerformInput() {
    debugprint("AUExtension::canPerformInput: true");
    return true;
}

bool VYK_Wimbrax_Extension_AudioUnit::canPerformOutput() {
    debugprint("AUExtension::canPerformOutput: true");
    return true;
}

bool VYK_Wimbrax_Extension_AudioUnit::canProcessInPlace() {
    debugprint("AUExtension::canProcessInPlace() true");
    return true;
}

bool VYK_Wimbrax_Extension_AudioUnit::isMusicDeviceOrEffect() {
    debugprint("AUExtension::isMusicDeviceOrEffect: true");
    return true;
}

NSInteger VYK_Wimbrax_Extension_AudioUnit::virtualMIDICableCount() {
    debugprint("AUExtension::virtualMIDICableCount: 1");
    return 1;
}

std::vector<std::string> VYK_Wimbrax_Extension_AudioUnit::MIDIOutputNames() {
    debugprint("AUExtension::midiOutputNames: [\"VYK Wimbrax MIDI Out\"]");
    return {"VYK Wimbrax MIDI Out"};
}

std::vector<int> VYK_Wimbrax_Extension_AudioUnit::channelCapabilities() {
    debugprint("AUExtension::channelCapabilities");
    return {2, 2};
}

// Render resources and render block

void VYK_Wimbrax_Extension_AudioUnit::internalAllocateRenderResources() {
    debugprint("AUExtension::allocateRenderResources()");
    const std::size_t count = outputBusses()->count();
    for (std::size_t i = 0; i < count; ++i) (*outputBusses())[i]->setShouldAllocateBuffer(true);

    // The kernel is set up from the output format and reads as many input channels:
    // stereo is processed, mono passes through.
    const AVAudioFormat& in = kernelAdapter->inputBus()->format();
    const AVAudioFormat& out = kernelAdapter->outputBus()->format();
    if (in.channelCount() != out.channelCount() || out.channelCount() < 1 || out.channelCount() > 2 ||
        in.sampleRate() != out.sampleRate()) {
        debugprint("AUExtension::ERROR: The bus formats are not supported: both buses must be "
                   "mono or both stereo, at one sample rate.");
        throw AUAudioUnitError(kAudioUnitErr_FormatNotSupported, "Unsupported bus formats.");
    }
    kernelAdapter->allocateRenderResources();
    passHostBlocks();
}

void VYK_Wimbrax_Extension_AudioUnit::passHostBlocks() {
    auto pass = [this](const char* property, auto read, auto give) {
        if (!read()) {
            debugprint(std::string("AUExtension: WARNING: The property '") + property + "' is NOT defined.");
            return;
        }
        debugprint(std::string("AUExtension: The property '") + property + "' is defined.");
        give(read());
    };
    auto& adapter = *kernelAdapter;
    pass(
        "musicalContextBlock", [this] { return musicalContextBlock(); },
        [&](auto block) { adapter.setAUHostMusicalContextBlock(std::move(block)); });
    pass(
        "transportStateBlock", [this] { return transportStateBlock(); },
        [&](auto block) { adapter.setAUHostTransportStateBlock(std::move(block)); });
    pass(
        "scheduleMIDIEventBlock", [this] { return scheduleMIDIEventBlock(); },
        [&](auto block) { adapter.setAUScheduleMIDIEventBlock(std::move(block)); });
    pass(
        "midiOutputEventBlock", [this] { return MIDIOutputEventBlock(); },
        [&](auto block) { adapter.setAUMIDIOutputEventBlock(block); });
}

void VYK_Wimbrax_Extension_AudioUnit::internalDeallocateRenderResources() {
    debugprint("AUExtension::deallocateRenderResources()");
    kernelAdapter->deallocateRenderResources();
    renderErrors_->flush();
}

void VYK_Wimbrax_Extension_AudioUnit::internalReset() {
    debugprint("AUExtension::reset()");
    kernelAdapter->reset();
}

void VYK_Wimbrax_Extension_AudioUnit::maximumFramesToRenderDidSet() {
    const AUAudioFrameCount frames = maximumFramesToRender();
    debugprint("AUExtension::maximumFramesToRender (set): " + std::to_string(frames));
    kernelAdapter->setMaximumFramesToRender(frames);
}

void VYK_Wimbrax_Extension_AudioUnit::shouldBypassEffectDidSet() {
    debugprint("AUExtension::shouldBypassEffect (did set)");
    kernelAdapter->setBypass(shouldBypassEffect());
}

std::shared_ptr<const AUMIDIOutputEventBlock> VYK_Wimbrax_Extension_AudioUnit::MIDIOutputEventBlock() {
    debugprint("AUExtension::midiOutputEventBlock (get) ");
    return AUAudioUnit::MIDIOutputEventBlock();
}

void VYK_Wimbrax_Extension_AudioUnit::setMIDIOutputEventBlock(std::shared_ptr<const AUMIDIOutputEventBlock> block) {
    debugprint("AUExtension::midiOutputEventBlock (set) ");
    AUAudioUnit::setMIDIOutputEventBlock(std::move(block));
}

AUInternalRenderBlock VYK_Wimbrax_Extension_AudioUnit::internalRenderBlock() {
    // The block hands the MIDI output block of this moment to the adapter on every call;
    // the adapter holds it from now on, so that hand-over neither locks nor allocates.
    std::shared_ptr<const AUMIDIOutputEventBlock> midiOut = MIDIOutputEventBlock();
    kernelAdapter->keepAUMIDIOutputEventBlock(midiOut);
    return [adapter = kernelAdapter, midiOut = std::move(midiOut), errors = renderErrors_](
               AudioUnitRenderActionFlags* actionFlags, const AudioTimeStamp* timestamp, AUAudioFrameCount frameCount,
               NSInteger outputBusNumber, AudioBufferList* outputData, const AURenderEvent* events,
               const AURenderPullInputBlock* pullInputBlock) noexcept {
        if (midiOut) adapter->setAUMIDIOutputEventBlock(midiOut);
        const AUAudioUnitStatus status =
            adapter->render(actionFlags, timestamp, frameCount, outputBusNumber, outputData, events, pullInputBlock);
        if (status != noErr) errors->note(status);
        return status;
    };
}

// Operations of the control panel and the presets

void VYK_Wimbrax_Extension_AudioUnit::setParameter(std::int32_t address, AUValue value) {
    const auto tree = parameterTree();
    if (!tree || address < 0) return;
    const auto parameter = tree->parameterWithAddress(AUParameterAddress(address));
    if (!parameter || !std::isfinite(value)) return;
    // Panel, state and preset values enter in range, so the tree's observers never see
    // a value the kernel would not hold.
    value = std::clamp(value, parameter->minValue(), parameter->maxValue());
    if (parameter->value() != value) parameter->setValue(value);
    kernelAdapter->setParameter(*parameter, value);
}

AUValue VYK_Wimbrax_Extension_AudioUnit::getParameter(std::int32_t address) {
    const auto tree = parameterTree();
    if (!tree || address < 0) return 0;
    const auto parameter = tree->parameterWithAddress(AUParameterAddress(address));
    return parameter ? kernelAdapter->valueForParameter(*parameter) : 0.0f;
}

void VYK_Wimbrax_Extension_AudioUnit::dumpParameters(const std::string&, const AUParameterGroup* tree,
                                                     std::int64_t level) {
    const std::string indent(static_cast<std::size_t>(std::max<std::int64_t>(level, 0)), ' ');
    if (tree == nullptr) return;
    for (const auto& child : tree->children()) {
        debugprint(indent + child->displayName());
        if (const auto* group = dynamic_cast<const AUParameterGroup*>(child.get()))
            dumpParameters(group->displayName(), group, level + 1);
    }
}

void VYK_Wimbrax_Extension_AudioUnit::updateParameters() {
    const auto tree = parameterTree();
    if (!tree) {
        debugprint("VYKQuendal_AudioUnit::updateParameters() : ERROR: The parameter tree is nil.");
        return;
    }
    for (const auto& parameter : tree->allParameters())
        setParameter(static_cast<std::int32_t>(parameter->address()), parameter->value());
}

float VYK_Wimbrax_Extension_AudioUnit::getPeakInput() const { return kernelAdapter->getPeakInput(); }
float VYK_Wimbrax_Extension_AudioUnit::getPeakOutput() const { return kernelAdapter->getPeakOutput(); }

const float* VYK_Wimbrax_Extension_AudioUnit::getBufferLeft(NSInteger mode) {
    const auto band = narrow(mode);
    return band ? kernelAdapter->getBufferLeft(*band) : nullptr;
}

const float* VYK_Wimbrax_Extension_AudioUnit::getBufferRight(NSInteger mode) {
    const auto band = narrow(mode);
    return band ? kernelAdapter->getBufferRight(*band) : nullptr;
}

std::int32_t VYK_Wimbrax_Extension_AudioUnit::getBufferSize() const { return kernelAdapter->getBufferSize(); }

void VYK_Wimbrax_Extension_AudioUnit::onFoundParameter(std::int64_t, const std::string&, AUParameterAddress address,
                                                       AUValue value) {
    // An address beyond 32 bits would name another parameter once narrowed.
    if (address > AUParameterAddress(std::numeric_limits<std::int32_t>::max())) return;
    setParameter(static_cast<std::int32_t>(address), value);
}
