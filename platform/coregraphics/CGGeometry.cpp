#include "coregraphics/CGGeometry.h"

#include "coregraphics/CGAffineTransform.h"

#include <algorithm>
#include <cmath>

CGPoint CGPoint::applying(const CGAffineTransform& t) const {
    return {t.a * x + t.c * y + t.tx, t.b * x + t.d * y + t.ty};
}

bool CGPoint::isFinite() const { return std::isfinite(x) && std::isfinite(y); }

CGRect CGRect::standardized() const {
    CGRect r = *this;
    if (r.size.width < 0) {
        r.origin.x += r.size.width;
        r.size.width = -r.size.width;
    }
    if (r.size.height < 0) {
        r.origin.y += r.size.height;
        r.size.height = -r.size.height;
    }
    return r;
}

CGFloat CGRect::minX() const { return standardized().origin.x; }
CGFloat CGRect::minY() const { return standardized().origin.y; }
CGFloat CGRect::width() const { return std::fabs(size.width); }
CGFloat CGRect::height() const { return std::fabs(size.height); }
CGFloat CGRect::midX() const { return minX() + width() / 2; }
CGFloat CGRect::midY() const { return minY() + height() / 2; }
CGFloat CGRect::maxX() const { return minX() + width(); }
CGFloat CGRect::maxY() const { return minY() + height(); }

bool CGRect::isEmpty() const { return !(width() > 0 && height() > 0); }

bool CGRect::isFinite() const { return origin.isFinite() && std::isfinite(size.width) && std::isfinite(size.height); }

CGRect CGRect::offsetBy(CGFloat dx, CGFloat dy) const {
    return {origin.x + dx, origin.y + dy, size.width, size.height};
}

CGRect CGRect::insetBy(CGFloat dx, CGFloat dy) const {
    CGRect r = standardized();
    return {r.origin.x + dx, r.origin.y + dy, r.size.width - 2 * dx, r.size.height - 2 * dy};
}

bool CGRect::contains(CGPoint p) const { return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY(); }

bool CGRect::intersects(const CGRect& o) const {
    if (isEmpty() || o.isEmpty()) return false;
    return std::max(minX(), o.minX()) < std::min(maxX(), o.maxX()) &&
           std::max(minY(), o.minY()) < std::min(maxY(), o.maxY());
}

CGRect CGRect::applying(const CGAffineTransform& t) const {
    const CGPoint corners[4] = {CGPoint{minX(), minY()}.applying(t), CGPoint{maxX(), minY()}.applying(t),
                                CGPoint{minX(), maxY()}.applying(t), CGPoint{maxX(), maxY()}.applying(t)};
    CGFloat x0 = corners[0].x, x1 = x0, y0 = corners[0].y, y1 = y0;
    for (const CGPoint& c : corners) {
        x0 = std::min(x0, c.x);
        x1 = std::max(x1, c.x);
        y0 = std::min(y0, c.y);
        y1 = std::max(y1, c.y);
    }
    return {x0, y0, x1 - x0, y1 - y0};
}
