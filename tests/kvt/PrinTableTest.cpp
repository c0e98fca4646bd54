// The printable-name table, the number text and the header globals.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>

#include "dsp/kvt/Globals.h"

TEST(PrinTable, NamesEveryAsciiCode)
{
    const KVT::CPrinTable& t = KVT::PrinTable;
    const std::pair<int, const char*> names[] = {{0, "<NUL>"}, {8, "<BS>"},  {9, "\t"},   {10, "\n"}, {13, "\r"},
                                                 {31, "<US>"}, {32, " "},    {48, "0"},   {65, "A"},  {126, "~"},
                                                 {127, "<DEL>"}};
    for (const auto& [code, name] : names)
        EXPECT_STREQ(t.name(code), name) << code;
    for (int c = 0; c < 128; c++)
        EXPECT_EQ(t.table[c], &t.texts[c]);
    EXPECT_EQ(t.name(128), nullptr); // no entries above 127
    EXPECT_EQ(t.name(-1), nullptr);
}

TEST(PrinTable, NumberTextAndHexTable)
{
    const char* r = KVT::itoa(-42, nullptr, 16); // the radix is ignored
    EXPECT_STREQ(r, "-42");
    EXPECT_EQ(KVT::itoa(7, nullptr, 10), r); // the same static buffer
    char buffer[12];
    EXPECT_EQ(KVT::itoa(INT_MIN, buffer, 10), buffer);
    EXPECT_STREQ(buffer, "-2147483648");

    for (int b = 0; b < 256; b++) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", b);
        EXPECT_EQ(std::memcmp(KVT::hextable.data() + 2 * b, pair, 2), 0) << b;
    }
}
