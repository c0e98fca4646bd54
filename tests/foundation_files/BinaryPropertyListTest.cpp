// Binary property lists assembled byte by byte: objects are written by hand,
// and a small helper lays out the offset table and the trailer.
#include "foundation/PropertyList.h"

#include <gtest/gtest.h>

#include <limits>

using namespace plist;

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Layout {
    std::uint8_t offsetSize = 1;
    std::uint8_t refSize = 1;
    std::uint64_t top = 0;
    // Overrides for hostile trailers.
    std::optional<std::uint64_t> count = std::nullopt;
    std::optional<std::uint64_t> tableOffset = std::nullopt;
};

void putBE(std::string& out, std::uint64_t v, int n) {
    for (int i = n - 1; i >= 0; --i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string bplist(const std::vector<Bytes>& objects, Layout layout = {}) {
    std::string out = "bplist00";
    std::vector<std::uint64_t> offsets;
    for (const auto& object : objects) {
        offsets.push_back(out.size());
        out.append(object.begin(), object.end());
    }
    const std::uint64_t table = out.size();
    for (auto offset : offsets) putBE(out, offset, layout.offsetSize);
    out.append(6, '\0');
    out += static_cast<char>(layout.offsetSize);
    out += static_cast<char>(layout.refSize);
    putBE(out, layout.count.value_or(objects.size()), 8);
    putBE(out, layout.top, 8);
    putBE(out, layout.tableOffset.value_or(table), 8);
    return out;
}

Bytes ascii(std::string_view s) {
    Bytes b{static_cast<std::uint8_t>(0x50 | s.size())};
    for (char c : s) b.push_back(static_cast<std::uint8_t>(c));
    return b;
}

std::string failureOf(const std::string& file) {
    const auto r = readBinary(file);
    EXPECT_FALSE(r);
    return r.error.reason;
}

} // namespace

TEST(BinaryPropertyList, ReadsAHandAssembledFile) {
    // 0: the root dictionary of 11 pairs: keys 1..11, values 12..22.
    Bytes root{0xDB};
    for (int i = 1; i <= 22; ++i) root.push_back(static_cast<std::uint8_t>(i));
    std::vector<Bytes> objects = {
        root,
        ascii("name"),
        ascii("count"),
        ascii("neg"),
        ascii("umax"),
        ascii("half"),
        ascii("quarter"),
        ascii("when"),
        ascii("on"),
        ascii("blob"),
        ascii("text"),
        ascii("list"),
        ascii("Wide"),                                                                  // 12
        {0x10, 47},                                                                     // 13: 1-byte integer
        {0x13, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE},                         // 14: -2
        {0x14, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, // 15: 2^64-1
        {0x23, 0x3F, 0xE0, 0, 0, 0, 0, 0, 0},                                           // 16: double 0.5
        {0x22, 0x3E, 0x80, 0, 0},                                                       // 17: float 0.25
        {0x33, 0x41, 0x0B, 0x0B, 0x0C, 0x80, 0, 0, 0},                                  // 18: date
        {0x09},                                                                         // 19: true
        {0x43, 0x00, 0x7F, 0xFF},                                                       // 20: data
        {0x63, 0x00, 0xE9, 0xD8, 0x34, 0xDD, 0x1E},                                     // 21: UTF-16 "é𝄞"
        {0xA3, 12, 13, 19},                                                             // 22: array sharing objects
    };
    const auto r = readBinary(bplist(objects));
    ASSERT_TRUE(r) << r.error.description();
    // 0x410B0B0C80000000 is 221537.5625: 2001-01-03T13:32:17.5625Z.
    const Value expected(Dictionary({{"name", Value("Wide")},
                                     {"count", Value(47)},
                                     {"neg", Value(-2)},
                                     {"umax", Value(std::numeric_limits<std::uint64_t>::max())},
                                     {"half", Value(0.5)},
                                     {"quarter", Value(0.25)},
                                     {"when", Value(Date{221537.5625})},
                                     {"on", Value(true)},
                                     {"blob", Value(Data{0x00, 0x7F, 0xFF})},
                                     {"text", Value("\xC3\xA9\xF0\x9D\x84\x9E")},
                                     {"list", Value(Array{Value("Wide"), Value(47), Value(true)})}}));
    EXPECT_EQ(*r.value, expected);
}

TEST(BinaryPropertyList, ReadsLongLengthsAndWideReferences) {
    std::string text(300, 'x');
    Bytes s{0x5F, 0x11, 0x01, 0x2C}; // length 300 as a 2-byte integer
    s.resize(s.size() + text.size(), 'x');
    const Bytes array{0xA1, 0x00, 0x01}; // one 2-byte reference to object 1
    const auto r = readBinary(bplist({array, s}, {.offsetSize = 2, .refSize = 2}));
    ASSERT_TRUE(r) << r.error.description();
    EXPECT_EQ(*r.value, Value(Array{Value(text)}));
}

TEST(BinaryPropertyList, HostileFilesFailWithAReason) {
    const std::vector<Bytes> good = {{0xA1, 1}, ascii("ok")};
    const std::string valid = bplist(good);
    ASSERT_TRUE(readBinary(valid));
    for (std::size_t cut = 1; cut < valid.size(); ++cut) EXPECT_FALSE(readBinary(valid.substr(0, cut))) << cut;

    // An offset-table entry that points past the objects.
    std::string pastEnd = valid;
    pastEnd[pastEnd.size() - 32 - 1] = static_cast<char>(0xF0);
    const std::pair<std::string, const char*> cases[] = {
        {"", "empty"},
        {"bplist00", "truncated"},
        {"bplist01" + valid.substr(8), "bplist00"},
        {bplist(good, {.tableOffset = 1u << 30}), "offset table"},
        {bplist(good, {.count = 1u << 30}), "object count"},
        {bplist(good, {.count = std::numeric_limits<std::uint64_t>::max()}), "object count"},
        {bplist(good, {.top = 2}), "top object"},
        {bplist(good, {.refSize = 0}), "1 to 8"},
        {bplist({{0xA1, 7}, ascii("ok")}), "past the object count"},
        {pastEnd, "outside the object area"},
        {bplist({{0x5F, 0x13, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a'}}), "past"},
        {bplist({{0xAF, 0x13, 0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0}}), "past"},
        {bplist({{0x4F, 0x25, 0, 0, 0, 0}}), "length"},
        {bplist({{0xD1, 1, 2}, {0x10, 1}, ascii("v")}), "key is not a string"},
        {bplist({{0x61, 0xDC, 0x00}}), "surrogate"},
        {bplist({{0x51, 0xC3}}), "above 0x7F"},
        {bplist({{0x80, 0x01}}), "unsupported"}, // UID
        {bplist({{0x00}}), "unsupported"},       // null
        {bplist({{0x14, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}), "wider than 64"},
        {bplist({{0xA1, 0}}), "cycle"},
        {bplist({{0xA1, 1}, {0xD1, 2, 0}, ascii("k")}), "cycle"},
    };
    for (const auto& [file, reason] : cases) EXPECT_NE(failureOf(file).find(reason), std::string::npos) << reason;
}

TEST(BinaryPropertyList, DepthAndExpansionAreBounded) {
    // 300 arrays, each holding the next: deeper than the limit.
    std::vector<Bytes> wide;
    for (int i = 0; i < 300; ++i)
        wide.push_back({0xA1, static_cast<std::uint8_t>((i + 1) >> 8), static_cast<std::uint8_t>(i + 1)});
    wide.push_back({0x09});
    EXPECT_NE(failureOf(bplist(wide, {.offsetSize = 2, .refSize = 2})).find("nested deeper"), std::string::npos);

    // Each of 60 arrays holds the next one twice: 2^60 values if expanded.
    std::vector<Bytes> objects;
    for (int i = 0; i < 60; ++i)
        objects.push_back({0xA2, static_cast<std::uint8_t>(i + 1), static_cast<std::uint8_t>(i + 1)});
    objects.push_back({0x09});
    EXPECT_NE(failureOf(bplist(objects)).find("expands beyond"), std::string::npos);
}
