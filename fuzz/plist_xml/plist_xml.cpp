// Feeds arbitrary bytes to the XML property-list reader. Whatever it accepts
// must write back as XML that reads again to the same text.
#include "foundation/PropertyList.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto r = plist::readXML(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!r) return 0;
    const auto first = plist::writeXML(*r.value);
    if (!first) std::abort(); // everything the reader accepts is writable
    const auto again = plist::readXML(*first);
    if (!again || plist::writeXML(*again.value) != first) std::abort();
    return 0;
}
