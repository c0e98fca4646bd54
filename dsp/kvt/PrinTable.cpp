#include "dsp/kvt/PrinTable.h"

#include <cstdio>

namespace KVT {

namespace {

constexpr const char* controlNames[32] = {"<NUL>", "<SOH>", "<STX>", "<ETX>", "<EOT>", "<ENQ>", "<ACK>", "<BEL>",
                                          "<BS>",  "\t",    "\n",    "<VT>",  "<FF>",  "\r",    "<SO>",  "<SI>",
                                          "<DLE>", "<DC1>", "<DC2>", "<DC3>", "<DC4>", "<NAK>", "<SYN>", "<ETB>",
                                          "<CAN>", "<EM>",  "<SUB>", "<ESC>", "<FS>",  "<GS>",  "<RS>",  "<US>"};

// One-character texts of the printable codes, each followed by its zero.
constexpr std::array<char, 256> makeCharacters() {
    std::array<char, 256> t{};
    for (int c = 0; c < 128; c++) t[2 * c] = static_cast<char>(c);
    return t;
}
constexpr std::array<char, 256> characters = makeCharacters();

const char nirvana[] = " ";

} // namespace

CPrinTable::CPrinTable() {
    for (int c = 0; c < 128; c++) texts[c] = c < 32 ? controlNames[c] : c == 127 ? "<DEL>" : &characters[2 * c];
    for (int c = 0; c < 128; c++) table[c] = &texts[c];
}

const char* itoa(int value, char* buffer, int radix) {
    static int len = 128;
    static char loc_buf[128];
    if (!buffer) {
        buffer = loc_buf;
        len = 128;
    }
    if (std::snprintf(buffer, static_cast<size_t>(len), "%d", value) < 0) return nirvana;
    return buffer;
}

} // namespace KVT
