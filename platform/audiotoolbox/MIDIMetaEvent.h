#pragma once
// The meta-event record of the music sequencing interface: a 12-byte head whose
// data field begins a variable-length tail of dataLength bytes. Records are built in
// byte buffers and lent out by pointer; only the head is a C++ object.
#include <cstddef>
#include <cstdint>

struct MIDIMetaEvent {
    std::uint8_t metaEventType;
    std::uint8_t unused1;
    std::uint8_t unused2;
    std::uint8_t unused3;
    std::uint32_t dataLength;
    std::uint8_t data[1];
};

static_assert(sizeof(MIDIMetaEvent) == 12);
static_assert(offsetof(MIDIMetaEvent, dataLength) == 4);
static_assert(offsetof(MIDIMetaEvent, data) == 8);
