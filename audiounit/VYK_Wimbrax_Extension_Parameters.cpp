#include "audiounit/VYK_Wimbrax_Extension_Parameters.h"

#include <charconv>

namespace {

constexpr AudioUnitParameterOptions kReadWrite =
    kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_IsWritable;
constexpr AudioUnitParameterOptions kReadOnly = kAudioUnitParameterFlag_IsReadable;
constexpr auto kGeneric = kAudioUnitParameterUnit_Generic;
constexpr auto kIndexed = kAudioUnitParameterUnit_Indexed;
constexpr auto kBoolean = kAudioUnitParameterUnit_Boolean;
constexpr auto kSeconds = kAudioUnitParameterUnit_Seconds;

struct Row {
    const char* identifier;
    const char* name;
    AUValue min, max;
    AudioUnitParameterUnit unit;
    AudioUnitParameterOptions flags;
    AUValue defaultValue;
};

// In address order: row i is the parameter at address i.
constexpr Row kRows[] = {
    {"kVolumeIn", "Input Volume", 0, 1, kGeneric, kReadWrite, 0.5f},
    {"kVolumeOut", "Output Volume", 0, 1, kGeneric, kReadWrite, 0.5f},
    {"kCurrentMode", "Processing Mode", 0, 3, kIndexed, kReadWrite, 2},
    {"kSplit1", "Band Split 1", 0, 1, kGeneric, kReadWrite, 0.25f},
    {"kSplit2", "Band Split 2", 0, 1, kGeneric, kReadWrite, 0.75f},
    {"kActive1", "LP Active", 0, 1, kBoolean, kReadWrite, 1},
    {"kActive2", "BP Active", 0, 1, kBoolean, kReadWrite, 1},
    {"kActive3", "HP Active", 0, 1, kBoolean, kReadWrite, 1},
    {"kBypass1", "LP Processing Bypass", 0, 1, kBoolean, kReadOnly, 0},
    {"kBypass2", "BP Processing Bypass", 0, 1, kBoolean, kReadOnly, 0},
    {"kBypass3", "HP Processing Bypass", 0, 1, kBoolean, kReadOnly, 0},
    {"kVolume1", "LP Volume", 0, 1, kGeneric, kReadWrite, 0.5f},
    {"kVolume2", "BP Volume", 0, 1, kGeneric, kReadWrite, 0.5f},
    {"kVolume3", "HP Volume", 0, 1, kGeneric, kReadWrite, 0.5f},
    {"kStereoWidth0", "AP Stereo Width", 0, 1, kGeneric, kReadWrite, 0.5f},
    {"kStereoWidth1", "LP Stereo Width", 0, 1, kGeneric, kReadWrite, 0.5f},
    {"kStereoWidth2", "BP Stereo Width", 0, 1, kGeneric, kReadWrite, 0.5f},
    {"kStereoWidth3", "HP Stereo Width", 0, 1, kGeneric, kReadWrite, 0.5f},
    {"kPanorama0", "AP Pan", 0, 1, kGeneric, kReadWrite, 0.5f},
    {"kPanorama1", "LP Pan", 0, 1, kGeneric, kReadWrite, 0.5f},
    {"kPanorama2", "BP Pan", 0, 1, kGeneric, kReadWrite, 0.5f},
    {"kPanorama3", "HP Pan", 0, 1, kGeneric, kReadWrite, 0.5f},
    {"kPhaseShift0", "AP Phase Shift", 0, 1, kSeconds, kReadWrite, 0},
    {"kPhaseShift1", "LP Phase Shift", 0, 1, kSeconds, kReadWrite, 0},
    {"kPhaseShift2", "BP Phase Shift", 0, 1, kSeconds, kReadWrite, 0},
    {"kPhaseShift3", "HP Phase Shift", 0, 1, kSeconds, kReadWrite, 0},
    {"kSwapChannels0", "AP Swap Channels", 0, 1, kBoolean, kReadWrite, 0},
    {"kSwapChannels1", "LP Swap Channels", 0, 1, kBoolean, kReadWrite, 0},
    {"kSwapChannels2", "BP Swap Channels", 0, 1, kBoolean, kReadWrite, 0},
    {"kSwapChannels3", "HP Swap Channels", 0, 1, kBoolean, kReadWrite, 0},
    {"kInvertChannel0", "AP Invert A Channel", 0, 1, kBoolean, kReadWrite, 0},
    {"kInvertChannel1", "LP Invert A Channel", 0, 1, kBoolean, kReadWrite, 0},
    {"kInvertChannel2", "BP Invert A Channel", 0, 1, kBoolean, kReadWrite, 0},
    {"kInvertChannel3", "HP Invert A Channel", 0, 1, kBoolean, kReadWrite, 0},
    {"kRecoverMono0", "AP Recover Mono", 0, 1, kBoolean, kReadWrite, 0},
    {"kRecoverMono1", "LP Recover Mono", 0, 1, kBoolean, kReadWrite, 0},
    {"kRecoverMono2", "BP Recover Mono", 0, 1, kBoolean, kReadWrite, 0},
    {"kRecoverMono3", "HP Recover Mono", 0, 1, kBoolean, kReadWrite, 0},
    {"kTestMono0", "AP Audition Mono", 0, 1, kBoolean, kReadWrite, 0},
    {"kTestMono1", "LP Audition Mono", 0, 1, kBoolean, kReadWrite, 0},
    {"kTestMono2", "BP Audition Mono", 0, 1, kBoolean, kReadWrite, 0},
    {"kTestMono3", "HP Audition Mono", 0, 1, kBoolean, kReadWrite, 0},
    {"kDynamicsOn", "Limiter On", 0, 1, kBoolean, kReadWrite, 1},
    {"kDynamicsMultiplier", "Compander Multiplier", -1, 1, kGeneric, kReadWrite, 0},
    {"kDynamicsAttack", "Dynamics Attack", 0, 1, kSeconds, kReadWrite, 0.3f},
    {"kDynamicsHold", "Dynamics Hold", 0, 1, kSeconds, kReadWrite, 0.1f},
    {"kDynamicsRelease", "Dynamics Release", 0, 1, kSeconds, kReadWrite, 0.5f},
};
static_assert(std::size(kRows) == VYK_Wimbrax_Extension_Parameters::parameterCount);

} // namespace

VYK_Wimbrax_Extension_Parameters::VYK_Wimbrax_Extension_Parameters(
    std::shared_ptr<VYK_Wimbrax_ExtensionDSPKernelAdapter> kernelAdapter) {
    createParameters();
    // Before the provider is installed, value() still reads the defaults just set.
    for (const auto& parameter : parameterTree_->allParameters())
        kernelAdapter->setParameter(*parameter, parameter->value());
    parameterTree_->setImplementorValueObserver(
        [kernelAdapter](const AUParameter& parameter, AUValue value) {
            kernelAdapter->setParameter(parameter, value);
        });
    parameterTree_->setImplementorValueProvider([kernelAdapter](const AUParameter& parameter) {
        return kernelAdapter->valueForParameter(parameter);
    });
    parameterTree_->setImplementorStringFromValueCallback(
        [](const AUParameter& parameter, const AUValue* value) {
            const AUValue v = value != nullptr ? *value : parameter.value();
            char text[32];
            const auto end = std::to_chars(text, text + sizeof text, v).ptr;
            return std::string(text, end);
        });
}

void VYK_Wimbrax_Extension_Parameters::createParameters() {
    std::vector<std::shared_ptr<AUParameterNode>> parameters;
    AUParameterAddress address = 0;
    for (const Row& row : kRows) {
        auto parameter = AUParameterTree::createParameter(
            row.identifier, row.name, address++, row.min, row.max, row.unit, std::nullopt,
            row.flags, std::nullopt, std::nullopt);
        parameter->setValue(row.defaultValue);
        parameters.push_back(std::move(parameter));
    }
    groups_.push_back(
        AUParameterTree::createGroup("kGlobalParameters", "VYK Wimbrax Global", std::move(parameters)));
    parameterTree_ = AUParameterTree::createTree({groups_.begin(), groups_.end()});
}
