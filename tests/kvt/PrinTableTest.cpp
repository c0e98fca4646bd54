// The printable-name table, the number text and the header globals.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "dsp/kvt/Globals.h"

TEST(PrinTable, NamesEveryAsciiCode)
{
    const KVT::CPrinTable& t = KVT::PrinTable;
    EXPECT_STREQ(t.texts[65], "A");
    EXPECT_STREQ(t.texts[9], "\t");
    EXPECT_STREQ(t.texts[10], "\n");
    EXPECT_STREQ(t.texts[13], "\r");
    EXPECT_STREQ(t.texts[0], "<NUL>");
    EXPECT_STREQ(t.texts[8], "<BS>");
    EXPECT_STREQ(t.texts[31], "<US>");
    EXPECT_STREQ(t.texts[32], " ");
    EXPECT_STREQ(t.texts[126], "~");
    EXPECT_STREQ(t.texts[127], "<DEL>");
    EXPECT_STREQ(*t.table[48], "0");
    for (int c = 0; c < 128; c++)
        EXPECT_EQ(t.table[c], &t.texts[c]);
    EXPECT_EQ(t.name(128), nullptr); // no entries above 127
    EXPECT_EQ(t.name(-1), nullptr);
    EXPECT_STREQ(t.name(66), "B");
}

TEST(PrinTable, NumberText)
{
    const char* r = KVT::itoa(-42, nullptr, 16); // the radix is ignored
    EXPECT_STREQ(r, "-42");
    EXPECT_EQ(KVT::itoa(7, nullptr, 10), r); // the same static buffer
    char buffer[12];
    EXPECT_EQ(KVT::itoa(INT_MIN, buffer, 10), buffer);
    EXPECT_STREQ(buffer, "-2147483648");
}

TEST(PrinTable, HeaderGlobals)
{
    EXPECT_EQ(KVT::empty.Length(), 1);
    EXPECT_TRUE(KVT::empty == " ");
    EXPECT_TRUE(KVT::invalid == "null");
    EXPECT_EQ(std::memcmp(KVT::hextable.data(), "000102", 6), 0);
    EXPECT_EQ(std::memcmp(KVT::hextable.data() + 2 * 0xAB, "AB", 2), 0);
    EXPECT_EQ(std::memcmp(KVT::hextable.data() + 510, "FF", 2), 0);
}
