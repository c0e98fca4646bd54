// The data block's memory helpers, hexadecimal forms and the XML element it
// shares with the string class.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dsp/kvt/CData.h"
#include "dsp/kvt/CString.h"

using KVT::CData;
using KVT::CString;

namespace {

// A plain data block holding bytes, as only a derived class can fill one.
struct Block : CData {
    explicit Block(const std::string& bytes) {
        data = static_cast<char*>(KVT::CAlloc(KVT::Padding(bytes.size()), 1));
        std::memcpy(data, bytes.data(), bytes.size());
        length = static_cast<int32_t>(bytes.size());
    }
};

} // namespace

TEST(CData, PaddingAndAllocationSizes) {
    const int64_t padded[][2] = {{-5, 0}, {0, 0}, {1, 4}, {3, 4}, {4, 8}, {7, 8}, {8, 12}};
    for (const auto& [n, expected] : padded) EXPECT_EQ(KVT::Padding(n), expected) << n;
    EXPECT_EQ(KVT::CAlloc(KVT::Padding(0), 1), nullptr);
    EXPECT_EQ(KVT::CAlloc(1, 0), nullptr);
    // Sizes that overflow 32 bits fail as an allocation failure does.
    EXPECT_EQ(KVT::CAlloc(int64_t{1} << 30, 8), nullptr);
    EXPECT_EQ(KVT::StrLen(nullptr), 0);
}

TEST(CData, EmptyBlockFormsAndLiveCount) {
    const int before = CData::count;
    {
        CData d;
        EXPECT_EQ(d.ClassCount(), before + 1);
        CString s;
        EXPECT_EQ(CData::count, before + 2); // a string is a data block too
        EXPECT_STREQ(d.String(), "0x00");
        EXPECT_STREQ(d.Hex2(), "00");
        EXPECT_STREQ(d.ColorRGB(), "#000000");
        EXPECT_STREQ(d.Hex3(), "00");
        EXPECT_STREQ(d.Hex4(), "#00");
        EXPECT_STREQ(d.XML(0), "<CData>\n\tundefined</CData>");
        EXPECT_STREQ(s.XML(0), "<CData>\n\tundefined</CData>");
    }
    EXPECT_EQ(CData::count, before);
}

TEST(CData, HexFormsFitTheirBuffersForEveryLength) {
    // Under AddressSanitizer a form that writes one byte too far fails here.
    CString s;
    std::string hex2, hex3, hex4, hex5;
    const char* hex = "0123456789ABCDEF";
    for (int n = 1; n <= 9; n++) {
        const auto b = static_cast<unsigned char>(0x9B + n); // 9C .. A4: both digit kinds
        s += static_cast<char>(b);
        const std::string pair{hex[b >> 4], hex[b & 15]}, gap = n > 1 ? " " : "";
        hex2 += pair;
        hex3 += gap + pair;
        hex4 += gap + "#" + pair;
        hex5 += gap + "0x" + pair;
        EXPECT_EQ(s.Hex2(), hex2);
        EXPECT_EQ(s.ColorRGB(), "#" + hex2);
        EXPECT_EQ(s.Hex3(), hex3);
        EXPECT_EQ(s.Hex4(), hex4);
        EXPECT_EQ(s.Hex5(), hex5);
    }
}

TEST(CData, XmlElementsOfBlockAndString) {
    Block block("\x0A\xFF");
    CString text("A<b>");
    const std::string b = "<CData encoding='HEX5'>\n\t0x0A 0xFF\n</CData>\n";
    const std::string t = "<CString encoding='UTF8'>\n\tA<b>\n</CString>\n";
    // A negative indent is read as none instead of overrunning the buffer.
    for (int indent : {0, -4}) {
        EXPECT_EQ(block.XML(indent), b);
        EXPECT_EQ(text.XML(indent), t);
    }
    EXPECT_STREQ(block.XML(1), "\t<CData encoding='HEX5'>\n\t\t0x0A 0xFF\n\t</CData>\n");
    EXPECT_STREQ(text.XML(2), "\t\t<CString encoding='UTF8'>\n\t\t\tA<b>\n\t\t</CString>\n");
}
