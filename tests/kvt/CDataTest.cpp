// The data block's memory helpers, hexadecimal forms and XML element.
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
    explicit Block(const std::string& bytes)
    {
        data = static_cast<char*>(KVT::CAlloc(KVT::Padding(bytes.size()), 1));
        std::memcpy(data, bytes.data(), bytes.size());
        length = static_cast<int32_t>(bytes.size());
    }
};

} // namespace

TEST(CData, PaddingAndAllocationSizes)
{
    EXPECT_EQ(KVT::Padding(0), 0);
    EXPECT_EQ(KVT::Padding(-5), 0);
    for (int n : {1, 2, 3})
        EXPECT_EQ(KVT::Padding(n), 4) << n;
    for (int n : {4, 5, 6, 7})
        EXPECT_EQ(KVT::Padding(n), 8) << n;
    EXPECT_EQ(KVT::Padding(8), 12);
    EXPECT_EQ(KVT::CAlloc(KVT::Padding(0), 1), nullptr);
    EXPECT_EQ(KVT::CAlloc(1, 0), nullptr);
    // Sizes that overflow 32 bits fail as an allocation failure does.
    EXPECT_EQ(KVT::CAlloc(int64_t{1} << 30, 8), nullptr);
    EXPECT_EQ(KVT::StrLen(nullptr), 0);
    EXPECT_EQ(KVT::StrLen("abc"), 3);
}

TEST(CData, NewObjectIsEmpty)
{
    CData d;
    EXPECT_EQ(d.Length(), 0);
    EXPECT_TRUE(d.Empty());
    EXPECT_EQ(d.DataSize(), 0);
    EXPECT_EQ(d.ObjectSize(), 32);
    EXPECT_STREQ(d.ClassName(), "CData");
    EXPECT_STREQ(d.String(), "0x00");
    EXPECT_STREQ(d.Hex2(), "00");
    EXPECT_STREQ(d.ColorRGB(), "#000000");
    EXPECT_STREQ(d.Hex3(), "00");
    EXPECT_STREQ(d.Hex4(), "#00");
    EXPECT_STREQ(d.XML(0), "<CData>\n\tundefined</CData>");
}

TEST(CData, CounterCountsLiveObjectsFromMinusOne)
{
    const int before = CData::count;
    {
        CData a;
        EXPECT_EQ(a.ClassCount(), before + 1);
        CString s;
        EXPECT_EQ(CData::count, before + 2); // a string is a data block too
    }
    EXPECT_EQ(CData::count, before);
}

TEST(CData, HexFormsOfTwoBytes)
{
    Block s("\x1F\xA0");
    EXPECT_EQ(s.DataSize(), 4);
    EXPECT_STREQ(s.Hex2(), "1FA0");
    EXPECT_STREQ(s.ColorRGB(), "#1FA0");
    EXPECT_STREQ(s.Hex3(), "1F A0");
    EXPECT_STREQ(s.Hex4(), "#1F #A0");
    EXPECT_STREQ(s.Hex5(), "0x1F 0xA0");
    EXPECT_STREQ(s.String(), "0x1F 0xA0");
}

TEST(CData, HexFormsFitTheirBuffersForEveryLength)
{
    // Under AddressSanitizer a form that writes one byte too far fails here.
    CString s;
    std::string expected2, expected5;
    const char* hex = "0123456789ABCDEF";
    for (int n = 1; n <= 9; n++) {
        const unsigned char b = static_cast<unsigned char>(0xF0 + n);
        s += static_cast<char>(b);
        expected2 += {hex[b >> 4], hex[b & 15]};
        expected5 += std::string(n > 1 ? " " : "") + "0x" + hex[b >> 4] + hex[b & 15];
        EXPECT_EQ(s.Hex2(), expected2);
        EXPECT_EQ(s.ColorRGB(), "#" + expected2);
        EXPECT_EQ(std::string(s.Hex3()).size(), 3u * n - 1);
        EXPECT_EQ(std::string(s.Hex4()).size(), 4u * n - 1);
        EXPECT_EQ(s.Hex5(), expected5);
    }
}

TEST(CData, XmlElementAtIndentZeroAndOne)
{
    Block s("\x0A\xFF");
    EXPECT_STREQ(s.XML(0), "<CData encoding='HEX5'>\n\t0x0A 0xFF\n</CData>\n");
    EXPECT_STREQ(s.XML(1), "\t<CData encoding='HEX5'>\n\t\t0x0A 0xFF\n\t</CData>\n");
    // A negative indent is read as none instead of overrunning the buffer.
    EXPECT_STREQ(s.XML(-4), "<CData encoding='HEX5'>\n\t0x0A 0xFF\n</CData>\n");
}
