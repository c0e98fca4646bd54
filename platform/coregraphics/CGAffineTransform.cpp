#include "coregraphics/CGAffineTransform.h"

#include <cmath>

CGAffineTransform CGAffineTransform::makeScale(CGFloat sx, CGFloat sy) { return {sx, 0, 0, sy, 0, 0}; }

CGAffineTransform CGAffineTransform::makeTranslation(CGFloat dx, CGFloat dy) { return {1, 0, 0, 1, dx, dy}; }

CGAffineTransform CGAffineTransform::makeRotation(CGFloat angle) {
    const CGFloat s = std::sin(angle), c = std::cos(angle);
    return {c, s, -s, c, 0, 0};
}

CGAffineTransform CGAffineTransform::concatenating(const CGAffineTransform& n) const {
    return {a * n.a + b * n.c, a * n.b + b * n.d,          c * n.a + d * n.c,
            c * n.b + d * n.d, tx * n.a + ty * n.c + n.tx, tx * n.b + ty * n.d + n.ty};
}

bool CGAffineTransform::isInvertible() const {
    const CGFloat det = a * d - b * c;
    return std::isfinite(det) && std::isfinite(tx) && std::isfinite(ty) && std::fabs(det) > 1e-12;
}

CGAffineTransform CGAffineTransform::inverted() const {
    if (!isInvertible()) return identity();
    const CGFloat det = a * d - b * c;
    const CGFloat ia = d / det, ib = -b / det, ic = -c / det, id = a / det;
    return {ia, ib, ic, id, -(tx * ia + ty * ic), -(tx * ib + ty * id)};
}

bool CGAffineTransform::isIdentity() const { return *this == identity(); }
