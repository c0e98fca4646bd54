#pragma once
// A recorded vector path: the figure is kept as data, so it can be filled,
// stroked and hit-tested any number of times. Plain value; one thread at a time.
#include "coregraphics/CGGeometry.h"

#include <cairo.h>

#include <vector>

class CGPath {
public:
    void move(CGPoint p);
    void addLine(CGPoint p);
    void addCurve(CGPoint control1, CGPoint control2, CGPoint end);
    // Angles in radians; clockwise means increasing angle on the y-down screen.
    // With a current point, a straight line joins it to the arc's start.
    void addArc(CGPoint centre, CGFloat radius, CGFloat start, CGFloat end, bool clockwise);
    void closeSubpath();
    void addRect(CGRect r);
    void addEllipse(CGRect r);
    // Circular corners; the radius is limited to half the shorter side.
    void addRoundedRect(CGRect r, CGFloat radius);
    // Appends the figures of `other`.
    void addPath(const CGPath& other);

    bool isEmpty() const { return ops_.empty(); }
    // A non-finite coordinate anywhere makes the path undrawable.
    bool isFinite() const { return finite_; }
    // Set when the path is exactly one rectangle.
    const CGRect* singleRect() const { return isRect_ ? &rect_ : nullptr; }
    std::size_t elementCount() const { return ops_.size(); }
    // Non-zero winding; a lone rectangle is tested half-open without cairo.
    bool contains(CGPoint p) const;
    // The box of the drawn figure (zero for an empty or non-finite path).
    CGRect boundingBox() const;

    // Appends the path to cairo's current path.
    void replay(cairo_t* cr) const;

private:
    enum class Kind { move, line, curve, arc, close };
    struct Op {
        Kind kind;
        CGFloat v[6];
    };
    void push(Kind kind, std::initializer_list<CGFloat> values);

    std::vector<Op> ops_;
    bool finite_ = true;
    bool isRect_ = false;
    CGRect rect_;
};
