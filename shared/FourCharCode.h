#pragma once
// The text of a four-character code (a component's type, subtype or manufacturer).
// Pure; any thread.
#include <cstdint>
#include <string>

// The code's four bytes, most significant first, each decoded as Mac OS Roman and
// written as UTF-8; NUL bytes are kept. "FAIL" when a byte does not decode.
std::string stringValue(std::uint32_t code);
