#pragma once
// Sets the manual's blocks on A4 pages of a cairo PDF surface with pango: headings keep
// with what follows, a block that does not fit moves to the next page, and every page
// but the first carries a running footer with its number.
#include "ManualText.h"

#include <string>

namespace manual {

// Empty on success, else the reason. Writes to a temporary file renamed at the end.
std::string writeManual(const std::string& path, const std::vector<Item>& items);

} // namespace manual
