#include "shared/FourCharCode.h"

#include <gtest/gtest.h>

#include <iconv.h>
#include <string>

namespace {

// Characters run from the most significant byte; NUL bytes are kept; high bytes
// decode as Mac OS Roman.
TEST(FourCharCode, DecodesEachByteInOrder) {
    const std::pair<std::uint32_t, std::string> cases[] = {{0x61756D66, "aumf"},
                                                           {0, std::string(4, '\0')},
                                                           {0x41004200, std::string("A\0B\0", 4)},
                                                           {0x7F808182, "\x7F\xC3\x84\xC3\x85\xC3\x87"},
                                                           {0xDBCA5AFF, "€\u00A0Zˇ"},
                                                           {0xC6BD2020, "∆Ω  "},
                                                           {0xF0414243, "\uF8FFABC"}}; // the maker's logo, private use
    for (const auto& [code, text] : cases) EXPECT_EQ(stringValue(code), text) << std::hex << code;
}

// The system's own Mac OS Roman converter as an independent reference. It follows the
// older table at 0xC6 (Greek delta, not the increment sign) and 0xDB (the currency sign,
// not the euro), and maps 0xF0 (the maker's logo) to another private-use point.
TEST(FourCharCode, UpperHalfMatchesTheSystemConverter) {
    iconv_t cd = iconv_open("UTF-8", "MACINTOSH");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    for (int b = 0x80; b <= 0xFF; ++b) {
        if (b == 0xC6 || b == 0xDB || b == 0xF0) continue;
        char in[1] = {static_cast<char>(b)};
        char out[8] = {};
        char* inp = in;
        char* outp = out;
        size_t inLeft = 1, outLeft = sizeof out;
        ASSERT_NE(iconv(cd, &inp, &inLeft, &outp, &outLeft), static_cast<size_t>(-1)) << b;
        EXPECT_EQ(stringValue(0x41424300u | unsigned(b)), "ABC" + std::string(out)) << std::hex << b;
    }
    iconv_close(cd);
}

} // namespace
