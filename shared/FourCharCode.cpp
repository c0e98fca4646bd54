#include "shared/FourCharCode.h"

namespace {

// Mac OS Roman 0x80-0xFF in the current table (0xDB is the euro sign, 0xF0 the maker's
// logo at the private-use point U+F8FF). Every byte decodes; a null entry would give "FAIL".
const char* const upperHalf[128] = {
    "Ä",      "Å", "Ç",        "É", "Ñ", "Ö", "Ü", "á", // 0x80
    "à",      "â", "ä",        "ã", "å", "ç", "é", "è", // 0x88
    "ê",      "ë", "í",        "ì", "î", "ï", "ñ", "ó", // 0x90
    "ò",      "ô", "ö",        "õ", "ú", "ù", "û", "ü", // 0x98
    "†",      "°", "¢",        "£", "§", "•", "¶", "ß", // 0xA0
    "®",      "©", "™",        "´", "¨", "≠", "Æ", "Ø", // 0xA8
    "∞",      "±", "≤",        "≥", "¥", "µ", "∂", "∑", // 0xB0
    "∏",      "π", "∫",        "ª", "º", "Ω", "æ", "ø", // 0xB8
    "¿",      "¡", "¬",        "√", "ƒ", "≈", "∆", "«", // 0xC0
    "»",      "…", "\xC2\xA0", "À", "Ã", "Õ", "Œ", "œ", // 0xC8 (0xCA: no-break space)
    "–",      "—", "“",        "”", "‘", "’", "÷", "◊", // 0xD0
    "ÿ",      "Ÿ", "⁄",        "€", "‹", "›", "ﬁ", "ﬂ", // 0xD8
    "‡",      "·", "‚",        "„", "‰", "Â", "Ê", "Á", // 0xE0
    "Ë",      "È", "Í",        "Î", "Ï", "Ì", "Ó", "Ô", // 0xE8
    "\uF8FF", "Ò", "Ú",        "Û", "Ù", "ı", "ˆ", "˜", // 0xF0
    "¯",      "˘", "˙",        "˚", "¸", "˝", "˛", "ˇ", // 0xF8
};

} // namespace

std::string stringValue(std::uint32_t code) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto byte = static_cast<unsigned char>(code >> shift);
        if (byte < 0x80) {
            text += static_cast<char>(byte);
        } else if (const char* decoded = upperHalf[byte - 0x80]) {
            text += decoded;
        } else {
            return "FAIL";
        }
    }
    return text;
}
