#include "shared/MyMetaEvent.h"

#include "shared/MIDIConstants.h"

#include <cstring>
#include <limits>
#include <stdexcept>

namespace {
std::ptrdiff_t bufferSize(std::size_t dataBytes) {
    if (dataBytes > std::numeric_limits<std::uint32_t>::max() - sizeof(MIDIMetaEvent))
        throw std::length_error("MyMetaEvent: too much data for one meta event");
    return static_cast<std::ptrdiff_t>(sizeof(MIDIMetaEvent) + dataBytes);
}
} // namespace

MyMetaEvent::MyMetaEvent(std::uint8_t type, const std::vector<std::uint8_t>& data)
    : size_(bufferSize(data.size())), mem_(new std::uint8_t[static_cast<std::size_t>(size_)]()) {
    // The tail runs past the declared one-byte data field, so it is filled byte-wise
    // rather than through the struct.
    const auto length = static_cast<std::uint32_t>(data.size());
    mem_[offsetof(MIDIMetaEvent, metaEventType)] = type;
    std::memcpy(mem_.get() + offsetof(MIDIMetaEvent, dataLength), &length, sizeof length);
    if (!data.empty()) std::memcpy(mem_.get() + offsetof(MIDIMetaEvent, data), data.data(), data.size());
}

void MyMetaEvent::withMIDIMetaEventPtr(const std::function<void(const MIDIMetaEvent*)>& body) const {
    body(reinterpret_cast<const MIDIMetaEvent*>(mem_.get()));
}

void test_MyMetaEvent() {
    MyMetaEvent event(META_SPECIFIC, {0, 0, 0});
    event.withMIDIMetaEventPtr([](const MIDIMetaEvent*) {});
}
