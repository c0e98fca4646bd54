#pragma once
// Printable names of the ASCII codes and the decimal number text of KVT.
#include <array>

namespace KVT {

class CPrinTable {
public:
    CPrinTable();
    CPrinTable(const CPrinTable&) = delete;
    CPrinTable& operator=(const CPrinTable&) = delete;

    // The text of code c, or none for codes outside 0..127.
    const char* name(int c) const { return c >= 0 && c < 128 ? *table[c] : nullptr; }

    // table[c] points at texts[c].
    const char* const* table[128];
    const char* texts[128];
};

// Decimal text of value (the radix is ignored). With no buffer the result lies
// in a static buffer that the next such call overwrites; a caller's buffer needs
// 12 bytes. One space when formatting fails.
const char* itoa(int value, char* buffer, int radix);

// The two-digit uppercase hexadecimal forms of 0x00..0xFF, without terminator.
constexpr std::array<char, 512> makeHexTable() {
    std::array<char, 512> t{};
    constexpr char digits[] = "0123456789ABCDEF";
    for (int b = 0; b < 256; b++) {
        t[2 * b] = digits[b >> 4];
        t[2 * b + 1] = digits[b & 15];
    }
    return t;
}

} // namespace KVT
