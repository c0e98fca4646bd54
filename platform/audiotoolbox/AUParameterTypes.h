#pragma once
// The kinds of unit a parameter's value is in, and the option flags a parameter carries.
#include <cstdint>

enum AudioUnitParameterUnit : std::uint32_t {
    kAudioUnitParameterUnit_Generic = 0,
    kAudioUnitParameterUnit_Indexed = 1,
    kAudioUnitParameterUnit_Boolean = 2,
    kAudioUnitParameterUnit_Percent = 3,
    kAudioUnitParameterUnit_Seconds = 4,
    kAudioUnitParameterUnit_SampleFrames = 5,
    kAudioUnitParameterUnit_Phase = 6,
    kAudioUnitParameterUnit_Rate = 7,
    kAudioUnitParameterUnit_Hertz = 8,
    kAudioUnitParameterUnit_Cents = 9,
    kAudioUnitParameterUnit_RelativeSemiTones = 10,
    kAudioUnitParameterUnit_MIDINoteNumber = 11,
    kAudioUnitParameterUnit_MIDIController = 12,
    kAudioUnitParameterUnit_Decibels = 13,
    kAudioUnitParameterUnit_LinearGain = 14,
    kAudioUnitParameterUnit_Degrees = 15,
    kAudioUnitParameterUnit_EqualPowerCrossfade = 16,
    kAudioUnitParameterUnit_MixerFaderCurve1 = 17,
    kAudioUnitParameterUnit_Pan = 18,
    kAudioUnitParameterUnit_Meters = 19,
    kAudioUnitParameterUnit_AbsoluteCents = 20,
    kAudioUnitParameterUnit_Octaves = 21,
    kAudioUnitParameterUnit_BPM = 22,
    kAudioUnitParameterUnit_Beats = 23,
    kAudioUnitParameterUnit_Milliseconds = 24,
    kAudioUnitParameterUnit_Ratio = 25,
    kAudioUnitParameterUnit_CustomUnit = 26,
};

using AudioUnitParameterOptions = std::uint32_t;

constexpr AudioUnitParameterOptions kAudioUnitParameterFlag_CFNameRelease = 0x10;
constexpr AudioUnitParameterOptions kAudioUnitParameterFlag_OmitFromPresets = 0x2000;
constexpr AudioUnitParameterOptions kAudioUnitParameterFlag_PlotHistory = 0x4000;
constexpr AudioUnitParameterOptions kAudioUnitParameterFlag_MeterReadOnly = 0x8000;
constexpr AudioUnitParameterOptions kAudioUnitParameterFlag_DisplayMask = 0x470000;
constexpr AudioUnitParameterOptions kAudioUnitParameterFlag_DisplaySquareRoot = 0x10000;
constexpr AudioUnitParameterOptions kAudioUnitParameterFlag_DisplaySquared = 0x20000;
constexpr AudioUnitParameterOptions kAudioUnitParameterFlag_DisplayCubed = 0x30000;
constexpr AudioUnitParameterOptions kAudioUnitParameterFlag_DisplayCubeRoot = 0x40000;
constexpr AudioUnitParameterOptions kAudioUnitParameterFlag_DisplayExponential = 0x50000;
constexpr AudioUnitParameterOptions kAudioUnitParameterFlag_HasClump = 0x100000;
constexpr AudioUnitParameterOptions kAudioUnitParameterFlag_ValuesHaveStrings = 0x200000;
constexpr AudioUnitParameterOptions kAudioUnitParameterFlag_DisplayLogarithmic = 0x400000;
constexpr AudioUnitParameterOptions kAudioUnitParameterFlag_IsHighResolution = 0x800000;
constexpr AudioUnitParameterOptions kAudioUnitParameterFlag_NonRealTime = 0x1000000;
constexpr AudioUnitParameterOptions kAudioUnitParameterFlag_CanRamp = 0x2000000;
constexpr AudioUnitParameterOptions kAudioUnitParameterFlag_ExpertMode = 0x4000000;
constexpr AudioUnitParameterOptions kAudioUnitParameterFlag_HasCFNameString = 0x8000000;
constexpr AudioUnitParameterOptions kAudioUnitParameterFlag_IsGlobalMeta = 0x10000000;
constexpr AudioUnitParameterOptions kAudioUnitParameterFlag_IsElementMeta = 0x20000000;
constexpr AudioUnitParameterOptions kAudioUnitParameterFlag_IsReadable = 0x40000000;
constexpr AudioUnitParameterOptions kAudioUnitParameterFlag_IsWritable = 0x80000000;
