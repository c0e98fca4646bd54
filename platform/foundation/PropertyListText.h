#pragma once
// Text helpers shared by the property-list readers and writer.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plist::text {

// True when `s` is valid UTF-8 whose characters XML 1.0 can carry (no control
// characters but tab, line feed and carriage return; no U+FFFE or U+FFFF).
bool isXMLText(std::string_view s);

// Appends the UTF-8 form of a code point (must be a scalar value).
void appendUTF8(std::string& out, std::uint32_t codePoint);

std::string base64Encode(const std::vector<std::uint8_t>& bytes);
// XML whitespace between the characters is skipped; anything else malformed
// gives none.
std::optional<std::vector<std::uint8_t>> base64Decode(std::string_view text);

// "2001-01-01T00:00:00Z" <-> seconds since 2001-01-01 00:00:00 UTC.
std::string formatDate(double secondsSinceReferenceDate);
std::optional<double> parseDate(std::string_view text);

// A short printable excerpt of untrusted text for an error message.
std::string excerpt(std::string_view s);

} // namespace plist::text
