#pragma once
// An RGBA colour (components as given, nominally 0...1). Immutable value.
#include "coregraphics/CGColor.h"

class UIColor {
public:
    constexpr UIColor() = default; // opaque black
    constexpr UIColor(double red, double green, double blue, double alpha) : c_{red, green, blue, alpha} {}
    static constexpr UIColor white(double white, double alpha = 1) { return {white, white, white, alpha}; }

    static constexpr UIColor black() { return white(0); }
    static constexpr UIColor white() { return white(1); }
    static constexpr UIColor gray() { return white(0.5); }
    static constexpr UIColor lightGray() { return white(2.0 / 3.0); }
    static constexpr UIColor clear() { return white(0, 0); }

    // The same colour with its alpha replaced.
    UIColor withAlphaComponent(double alpha) const { return {c_.red, c_.green, c_.blue, alpha}; }
    CGColor cgColor() const { return c_; }

    // Sets the fill, the stroke, or both colours of the current context.
    void setFill() const;
    void setStroke() const;
    void set() const;

    friend bool operator==(const UIColor&, const UIColor&) = default;

private:
    CGColor c_;
};
