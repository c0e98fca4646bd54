#include "uikit/UIBezierPath.h"

#include "uikit/UIGraphics.h"

UIBezierPath UIBezierPath::rect(CGRect r) {
    UIBezierPath p;
    p.path_.addRect(r);
    return p;
}

UIBezierPath UIBezierPath::ovalIn(CGRect r) {
    UIBezierPath p;
    p.path_.addEllipse(r);
    return p;
}

UIBezierPath UIBezierPath::roundedRect(CGRect r, CGFloat cornerRadius) {
    UIBezierPath p;
    p.path_.addRoundedRect(r, cornerRadius);
    return p;
}

void UIBezierPath::move(CGPoint to) { path_.move(to); }

void UIBezierPath::addLine(CGPoint to) { path_.addLine(to); }

void UIBezierPath::addArc(CGPoint centre, CGFloat radius, CGFloat startAngle, CGFloat endAngle, bool clockwise) {
    path_.addArc(centre, radius, startAngle, endAngle, clockwise);
}

void UIBezierPath::close() { path_.closeSubpath(); }

void UIBezierPath::append(const UIBezierPath& other) { path_.addPath(other.path_); }

void UIBezierPath::fill() const {
    if (CGContext* cx = UIGraphicsGetCurrentContext()) cx->fillPath(path_);
}

void UIBezierPath::stroke() const {
    if (CGContext* cx = UIGraphicsGetCurrentContext())
        cx->strokePath(path_, {lineWidth, lineCapStyle, lineJoinStyle, miterLimit});
}

bool UIBezierPath::contains(CGPoint p) const { return path_.contains(p); }
