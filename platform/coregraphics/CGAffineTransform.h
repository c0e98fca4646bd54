#pragma once
// A 2-D affine map: x' = a·x + c·y + tx, y' = b·x + d·y + ty.
// Plain value: safe on any thread.
#include "coregraphics/CGGeometry.h"

struct CGAffineTransform {
    CGFloat a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    static constexpr CGAffineTransform identity() { return {}; }
    static CGAffineTransform makeScale(CGFloat sx, CGFloat sy);
    static CGAffineTransform makeTranslation(CGFloat dx, CGFloat dy);
    // Radians; positive turns clockwise on the y-down screen.
    static CGAffineTransform makeRotation(CGFloat angle);

    // This transform followed by `next`.
    CGAffineTransform concatenating(const CGAffineTransform& next) const;
    // The identity when the transform is not invertible.
    CGAffineTransform inverted() const;
    bool isInvertible() const; // finite and with a determinant clearly off zero
    bool isIdentity() const;

    friend bool operator==(const CGAffineTransform&, const CGAffineTransform&) = default;
};
