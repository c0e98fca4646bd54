// The printable-name table, the number text and the header globals.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>

#include "dsp/kvt/Globals.h"

// Control codes by their names, printable ones as themselves, nothing above 127.
TEST(PrinTable, NamesEveryAsciiCode) {
    const KVT::CPrinTable& t = KVT::PrinTable;
    const std::pair<int, const char*> names[] = {{0, "<NUL>"}, {9, "\t"},      {31, "<US>"},   {32, " "},
                                                 {126, "~"},   {127, "<DEL>"}, {128, nullptr}, {-1, nullptr}};
    for (const auto& [code, name] : names) EXPECT_STREQ(t.name(code), name) << code;
}

TEST(PrinTable, NumberTextAndHexTable) {
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
