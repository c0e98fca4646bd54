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

TEST(MyMetaEvent, EmptyDataGivesATwelveByteRecord) {
    MyMetaEvent event(META_TEXT, {});
    EXPECT_EQ(event.size(), 12);
    auto expected = head(META_TEXT, 0);
    expected.resize(12, 0);
    EXPECT_EQ(bytesOf(event), expected);
}

TEST(MyMetaEvent, DataFollowsTheHeadAndTheRecordReadsBack) {
    MyMetaEvent event(META_TRACKNAME, {'a', 'b', 'c', 'd', 'e', 'f'});
    EXPECT_EQ(event.size(), 18);
    auto expected = head(META_TRACKNAME, 6);
    for (char c : std::string("abcdef")) expected.push_back(std::uint8_t(c));
    expected.resize(18, 0);
    EXPECT_EQ(bytesOf(event), expected);
    int calls = 0;
    event.withMIDIMetaEventPtr([&](const MIDIMetaEvent* r) {
        ++calls;
        EXPECT_EQ(r->metaEventType, META_TRACKNAME);
        EXPECT_EQ(r->dataLength, 6u);
        EXPECT_EQ(r->data[0], 'a');
    });
    EXPECT_EQ(calls, 1);
}

// The self-test's record: 0x7F, three zero bytes, the length 3, then seven zero bytes
// (three data bytes and the four after them).
TEST(MyMetaEvent, SelfTestRecordLayout) {
    MyMetaEvent event(META_SPECIFIC, {0, 0, 0});
    auto expected = head(0x7F, 3);
    expected.resize(15, 0);
    EXPECT_EQ(event.size(), 15);
    EXPECT_EQ(bytesOf(event), expected);
    test_MyMetaEvent();
}

TEST(MyMetaEvent, LongDataIsCopiedWhole) {
    std::vector<std::uint8_t> data(1000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = std::uint8_t(i * 7 + 1);
    MyMetaEvent event(META_SYSEX, data);
    auto bytes = bytesOf(event);
    ASSERT_EQ(bytes.size(), 1012u);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), bytes.begin() + 8));
}

TEST(MIDIConstants, AliasesAreKeptAsGiven) {
    static_assert(STATUS_META == STATUS_RESERVED4 && STATUS_META == 0xFD);
    static_assert(STATUS_META != STATUS_RESET && STATUS_RESET == 0xFF);
    static_assert(CONTROLLER_NOTES_OFF == 123 && CONTROLLER_SOUNDS_OFF == 123);
    static_assert(META_UNKNOWN == 0xFF && META_EXTENDEDNOTE == 0xFF &&
                  META_AUPARAMETER == 0xFF && META_AUPRESET == 0xFF);
    static_assert(CONTROLLER_016 == 16 && CONTROLLER_031 == 31 && CONTROLLER_102 == 102 &&
                  CONTROLLER_112 == 112);
    static_assert(STATUS_PPRESSURE == 0xA0 && STATUS_CPRESSURE == 0xD0 && META_EOT == 0x2F &&
                  META_SMTPOFFSET == 0x54);
}

} // namespace
