#pragma once
// The host's render-event list: a singly linked list of events, each starting with a
// common header, sorted by sample time. The list lives only for the render call.
#include "audiotoolbox/AUAudioTypes.h"

#include <cstdint>

enum AURenderEventType : std::uint8_t {
    AURenderEventParameter = 1,
    AURenderEventParameterRamp = 2,
    AURenderEventMIDI = 8,
    AURenderEventMIDISysEx = 9,
    AURenderEventMIDIEventList = 10,
};

// Sample times this far below any real time stamp mean "as soon as possible".
constexpr AUEventSampleTime AUEventSampleTimeImmediate = static_cast<AUEventSampleTime>(0xFFFFFFFF00000000ull);

union AURenderEvent;

struct AURenderEventHeader {
    const AURenderEvent* next = nullptr;
    AUEventSampleTime eventSampleTime = 0;
    AURenderEventType eventType = AURenderEventParameter;
    std::uint8_t reserved = 0;
};

struct AUParameterEvent {
    const AURenderEvent* next = nullptr;
    AUEventSampleTime eventSampleTime = 0;
    AURenderEventType eventType = AURenderEventParameter;
    std::uint8_t reserved[3] = {};
    AUAudioFrameCount rampDurationSampleFrames = 0;
    AUParameterAddress parameterAddress = 0;
    AUValue value = 0.0f;
};

struct AUMIDIEvent {
    const AURenderEvent* next = nullptr;
    AUEventSampleTime eventSampleTime = 0;
    AURenderEventType eventType = AURenderEventMIDI;
    std::uint8_t reserved = 0;
    std::uint16_t length = 0; // bytes valid in data
    std::uint8_t cable = 0;
    std::uint8_t data[3] = {};
};

// Every member starts with the same header fields, so `head` is valid whatever the type.
union AURenderEvent {
    AURenderEventHeader head;
    AUParameterEvent parameter;
    AUMIDIEvent MIDI;
};
