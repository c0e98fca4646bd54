#pragma once
// Capital-city names, 197 of them, spelled as they have always been here ("Copenagen";
// "Bogota" and "Brasilia" without accents; accented letters precomposed, in UTF-8).
// Nothing reads the list; it is kept as part of the shared foundation.
#include <array>
#include <string_view>

extern const std::array<std::string_view, 197> capitals;
