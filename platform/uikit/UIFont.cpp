#include "uikit/UIFont.h"

std::optional<UIFont> UIFont::named(std::string_view name, double size) {
    std::optional<vyk::gfx::FontFace> face = vyk::gfx::resolveFont(name);
    if (!face) return std::nullopt;
    return UIFont(std::string(name), *face, size);
}

UIFont UIFont::systemFont(double size) { return *named("HelveticaNeue", size); }
