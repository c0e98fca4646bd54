// Feeds arbitrary bytes to the binary property-list reader. A value it accepts
// and that XML can carry must survive an XML round trip unchanged.
#include "foundation/PropertyList.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto r = plist::readBinary(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!r) return 0;
    const auto xml = plist::writeXML(*r.value);
    if (!xml) return 0; // text with control characters: binary carries it, XML cannot
    const auto back = plist::readXML(*xml);
    if (!back || plist::writeXML(*back.value) != xml) std::abort();
    return 0;
}
