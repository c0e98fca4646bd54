#pragma once
// The effect's 47 parameters, in address order: row i is the parameter at address i.
// The kernel (ranges, starting values), the parameter tree (everything else), the preset
// apply order and the state code (the split addresses) all read this one table.
// Constant data; any thread.
#include "audiotoolbox/AUAudioTypes.h"
#include "audiotoolbox/AUParameterTypes.h"

#include <iterator>

namespace vyk::param {

enum Address : AUParameterAddress {
    kVolumeIn = 0,
    kVolumeOut = 1,
    kCurrentMode = 2,
    kSplit1 = 3,
    kSplit2 = 4,
    kActive1 = 5,
    kBypass1 = 8,
    kVolume1 = 11,
    kStereoWidth0 = 14,
    kPanorama0 = 18,
    kPhaseShift0 = 22,
    kSwapChannels0 = 26,
    kInvertChannel0 = 30,
    kRecoverMono0 = 34,
    kTestMono0 = 38,
    kDynamicsOn = 42,
    kDynamicsMultiplier = 43,
    kDynamicsAttack = 44,
    kDynamicsHold = 45,
    kDynamicsRelease = 46,
};

struct Metadata {
    const char* identifier;
    const char* name;
    AudioUnitParameterUnit unit;
    bool writable; // in the tree; the kernel stores nothing for the read-only ones
    AUValue min, max;
    AUValue defaultValue;               // the tree's, pushed into the kernel when the tree is built
    AUValue kernelStart = defaultValue; // the kernel's own value before that push
};

constexpr auto kGeneric = kAudioUnitParameterUnit_Generic;
constexpr auto kIndexed = kAudioUnitParameterUnit_Indexed;
constexpr auto kBoolean = kAudioUnitParameterUnit_Boolean;
constexpr auto kSeconds = kAudioUnitParameterUnit_Seconds;

// The last column, where given, is the kernel's construction value. It differs from the
// tree's default on purpose: the kernel's fields have starting values of their own (full
// band, width and pan 0, multiplier 1, attack 0.2), and the tree pushes its defaults over
// them as soon as it is built; only a kernel driven without a tree runs with them.
inline constexpr Metadata kParameters[] = {
    {"kVolumeIn", "Input Volume", kGeneric, true, 0, 1, 0.5f},
    {"kVolumeOut", "Output Volume", kGeneric, true, 0, 1, 0.5f},
    {"kCurrentMode", "Processing Mode", kIndexed, true, 0, 3, 2, 0},
    {"kSplit1", "Band Split 1", kGeneric, true, 0, 1, 0.25f},
    {"kSplit2", "Band Split 2", kGeneric, true, 0, 1, 0.75f},
    {"kActive1", "LP Active", kBoolean, true, 0, 1, 1},
    {"kActive2", "BP Active", kBoolean, true, 0, 1, 1},
    {"kActive3", "HP Active", kBoolean, true, 0, 1, 1},
    {"kBypass1", "LP Processing Bypass", kBoolean, false, 0, 1, 0},
    {"kBypass2", "BP Processing Bypass", kBoolean, false, 0, 1, 0},
    {"kBypass3", "HP Processing Bypass", kBoolean, false, 0, 1, 0},
    {"kVolume1", "LP Volume", kGeneric, true, 0, 1, 0.5f},
    {"kVolume2", "BP Volume", kGeneric, true, 0, 1, 0.5f},
    {"kVolume3", "HP Volume", kGeneric, true, 0, 1, 0.5f},
    {"kStereoWidth0", "AP Stereo Width", kGeneric, true, 0, 1, 0.5f, 0},
    {"kStereoWidth1", "LP Stereo Width", kGeneric, true, 0, 1, 0.5f, 0},
    {"kStereoWidth2", "BP Stereo Width", kGeneric, true, 0, 1, 0.5f, 0},
    {"kStereoWidth3", "HP Stereo Width", kGeneric, true, 0, 1, 0.5f, 0},
    {"kPanorama0", "AP Pan", kGeneric, true, 0, 1, 0.5f, 0},
    {"kPanorama1", "LP Pan", kGeneric, true, 0, 1, 0.5f, 0},
    {"kPanorama2", "BP Pan", kGeneric, true, 0, 1, 0.5f, 0},
    {"kPanorama3", "HP Pan", kGeneric, true, 0, 1, 0.5f, 0},
    {"kPhaseShift0", "AP Phase Shift", kSeconds, true, 0, 1, 0},
    {"kPhaseShift1", "LP Phase Shift", kSeconds, true, 0, 1, 0},
    {"kPhaseShift2", "BP Phase Shift", kSeconds, true, 0, 1, 0},
    {"kPhaseShift3", "HP Phase Shift", kSeconds, true, 0, 1, 0},
    {"kSwapChannels0", "AP Swap Channels", kBoolean, true, 0, 1, 0},
    {"kSwapChannels1", "LP Swap Channels", kBoolean, true, 0, 1, 0},
    {"kSwapChannels2", "BP Swap Channels", kBoolean, true, 0, 1, 0},
    {"kSwapChannels3", "HP Swap Channels", kBoolean, true, 0, 1, 0},
    {"kInvertChannel0", "AP Invert A Channel", kBoolean, true, 0, 1, 0},
    {"kInvertChannel1", "LP Invert A Channel", kBoolean, true, 0, 1, 0},
    {"kInvertChannel2", "BP Invert A Channel", kBoolean, true, 0, 1, 0},
    {"kInvertChannel3", "HP Invert A Channel", kBoolean, true, 0, 1, 0},
    {"kRecoverMono0", "AP Recover Mono", kBoolean, true, 0, 1, 0},
    {"kRecoverMono1", "LP Recover Mono", kBoolean, true, 0, 1, 0},
    {"kRecoverMono2", "BP Recover Mono", kBoolean, true, 0, 1, 0},
    {"kRecoverMono3", "HP Recover Mono", kBoolean, true, 0, 1, 0},
    {"kTestMono0", "AP Audition Mono", kBoolean, true, 0, 1, 0},
    {"kTestMono1", "LP Audition Mono", kBoolean, true, 0, 1, 0},
    {"kTestMono2", "BP Audition Mono", kBoolean, true, 0, 1, 0},
    {"kTestMono3", "HP Audition Mono", kBoolean, true, 0, 1, 0},
    {"kDynamicsOn", "Limiter On", kBoolean, true, 0, 1, 1},
    {"kDynamicsMultiplier", "Compander Multiplier", kGeneric, true, -1, 1, 0, 1},
    {"kDynamicsAttack", "Dynamics Attack", kSeconds, true, 0, 1, 0.3f, 0.2f},
    {"kDynamicsHold", "Dynamics Hold", kSeconds, true, 0, 1, 0.1f},
    {"kDynamicsRelease", "Dynamics Release", kSeconds, true, 0, 1, 0.5f},
};

inline constexpr AUParameterAddress kCount = std::size(kParameters);
static_assert(kCount == kDynamicsRelease + 1);

} // namespace vyk::param
