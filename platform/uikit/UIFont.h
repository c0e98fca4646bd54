#pragma once
// A named font at a size in user units. Value type.
#include "coregraphics/Text.h"

#include <optional>
#include <string>
#include <string_view>

class UIFont {
public:
    // Empty for a name the font table does not know.
    static std::optional<UIFont> named(std::string_view name, double size);
    // The face labels and buttons use when given none.
    static UIFont systemFont(double size);

    const std::string& fontName() const { return name_; }
    double pointSize() const { return size_; }
    const vyk::gfx::FontFace& face() const { return face_; }

private:
    UIFont(std::string name, vyk::gfx::FontFace face, double size)
        : name_(std::move(name)), face_(std::move(face)), size_(size) {}
    std::string name_;
    vyk::gfx::FontFace face_;
    double size_;
};
