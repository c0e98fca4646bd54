#include "shared/UniqueName.h"

#include "foundation/ProcessInfo.h"

std::string uniqueName(std::optional<std::string_view> prefix) {
    std::string unique = ProcessInfo::processInfo().globallyUniqueString();
    if (!prefix) return unique;
    std::string name(*prefix);
    name += '-';
    name += unique;
    return name;
}
