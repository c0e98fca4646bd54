#pragma once
// A device RGB colour with alpha, components nominally 0...1. Plain value.

struct CGColor {
    double red = 0, green = 0, blue = 0, alpha = 1;

    // Components clamped to 0...1, NaN read as 0: what reaches cairo.
    CGColor clamped() const;
    friend bool operator==(const CGColor&, const CGColor&) = default;
};
