#include "shared/MIDIConstants.h"
#include "shared/MyMetaEvent.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<std::uint8_t> bytesOf(const MyMetaEvent& event) {
    std::vector<std::uint8_t> bytes;
    event.withMIDIMetaEventPtr([&](const MIDIMetaEvent* record) {
        const auto* p = reinterpret_cast<const std::uint8_t*>(record);
        bytes.assign(p, p + event.size());
    });
    return bytes;
}

std::vector<std::uint8_t> head(std::uint8_t type, std::uint32_t length) {
    std::vector<std::uint8_t> b(8, 0);
    b[0] = type;
    std::memcpy(b.data() + 4, &length, 4); // host byte order
    return b;
}

// The record is the type, three zero bytes, the length in host order, the data and
// four zero bytes: the self-test's record (0x7F, length 3, seven zero bytes) among them.
TEST(MyMetaEvent, RecordLayout) {
    std::vector<std::uint8_t> longData(1000);
    for (size_t i = 0; i < longData.size(); ++i) longData[i] = std::uint8_t(i * 7 + 1);
    const std::pair<std::uint8_t, std::vector<std::uint8_t>> cases[] = {
        {META_TEXT, {}}, {META_TRACKNAME, {'a', 'b', 'c', 'd', 'e', 'f'}}, {0x7F, {0, 0, 0}}, {META_SYSEX, longData}};
    for (const auto& [type, data] : cases) {
        MyMetaEvent event(type, data);
        auto expected = head(type, std::uint32_t(data.size()));
        expected.insert(expected.end(), data.begin(), data.end());
        expected.resize(expected.size() + 4, 0);
        EXPECT_EQ(event.size(), std::ptrdiff_t(expected.size()));
        EXPECT_EQ(bytesOf(event), expected) << int(type);
    }
    test_MyMetaEvent();
}

} // namespace
