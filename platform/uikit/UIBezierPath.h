#pragma once
// A vector path with its stroke settings, drawn into the current context.
// Value type; one thread at a time.
#include "coregraphics/CGContext.h"
#include "coregraphics/CGPath.h"

class UIBezierPath {
public:
    UIBezierPath() = default;
    static UIBezierPath rect(CGRect r);
    static UIBezierPath ovalIn(CGRect r);
    static UIBezierPath roundedRect(CGRect r, CGFloat cornerRadius);

    void move(CGPoint to);
    void addLine(CGPoint to);
    // Radians; clockwise means increasing angle on the y-down screen.
    void addArc(CGPoint centre, CGFloat radius, CGFloat startAngle, CGFloat endAngle, bool clockwise);
    void close();
    // Appends the figures of `other` (its stroke settings are not taken).
    void append(const UIBezierPath& other);

    CGFloat lineWidth = 1;
    CGLineCap lineCapStyle = CGLineCap::butt;
    CGLineJoin lineJoinStyle = CGLineJoin::miter;
    CGFloat miterLimit = 10;

    bool isEmpty() const { return path_.isEmpty(); }
    const CGPath& cgPath() const { return path_; }

    // Fill with the context's fill colour (non-zero rule); stroke with its stroke
    // colour and dash. Without a current context nothing happens.
    void fill() const;
    void stroke() const;
    // Non-zero winding; a lone rectangle is tested half-open without cairo.
    bool contains(CGPoint p) const;

private:
    CGPath path_;
};
