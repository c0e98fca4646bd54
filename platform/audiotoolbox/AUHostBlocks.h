#pragma once
// Callbacks through which a host tells a unit about its musical context, its transport
// and its MIDI scheduling.
#include "audiotoolbox/AUAudioTypes.h"

#include <cstdint>
#include <functional>

using AUHostMusicalContextBlock = std::function<bool(
    double* currentTempo, double* timeSignatureNumerator, NSInteger* timeSignatureDenominator,
    double* currentBeatPosition, NSInteger* sampleOffsetToNextBeat, double* currentMeasureDownbeatPosition)>;

using AUHostTransportStateFlags = std::uint32_t;
using AUHostTransportStateBlock =
    std::function<bool(AUHostTransportStateFlags* transportStateFlags, double* currentSamplePosition,
                       double* cycleStartBeatPosition, double* cycleEndBeatPosition)>;

using AUScheduleMIDIEventBlock = std::function<void(AUEventSampleTime eventSampleTime, std::uint8_t cable,
                                                    NSInteger length, const std::uint8_t* midiBytes)>;
