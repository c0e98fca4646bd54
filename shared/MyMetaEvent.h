#pragma once
// One meta-event record of variable length, owned by the object, lent out by pointer.
// Complete once constructed and never changed; any thread may read it.
#include "audiotoolbox/MIDIMetaEvent.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class MyMetaEvent {
public:
    // Throws std::length_error when the data cannot be counted in 32 bits.
    MyMetaEvent(std::uint8_t type, const std::vector<std::uint8_t>& data);
    MyMetaEvent(const MyMetaEvent&) = delete;
    MyMetaEvent& operator=(const MyMetaEvent&) = delete;

    // Calls body once with the record; the pointer is valid only during the call.
    void withMIDIMetaEventPtr(const std::function<void(const MIDIMetaEvent*)>& body) const;

    // Bytes in the buffer: the 12-byte record head plus the data bytes.
    std::ptrdiff_t size() const { return size_; }

private:
    const std::ptrdiff_t size_;
    const std::unique_ptr<std::uint8_t[]> mem_;
};

// Builds a META_SPECIFIC event with three zero data bytes, lends it out and frees it.
void test_MyMetaEvent();
