#pragma once
// Points, sizes and rectangles in double precision, y pointing down.
// Plain values: safe to use on any thread.

using CGFloat = double;

struct CGAffineTransform;

struct CGPoint {
    CGFloat x = 0;
    CGFloat y = 0;

    static constexpr CGPoint zero() { return {}; }
    CGPoint applying(const CGAffineTransform& t) const;
    bool isFinite() const;
    friend bool operator==(const CGPoint&, const CGPoint&) = default;
};

struct CGSize {
    CGFloat width = 0;
    CGFloat height = 0;

    static constexpr CGSize zero() { return {}; }
    friend bool operator==(const CGSize&, const CGSize&) = default;
};

struct CGRect {
    CGPoint origin;
    CGSize size;

    constexpr CGRect() = default;
    constexpr CGRect(CGPoint o, CGSize s) : origin(o), size(s) {}
    constexpr CGRect(CGFloat x, CGFloat y, CGFloat w, CGFloat h) : origin{x, y}, size{w, h} {}
    static constexpr CGRect zero() { return {}; }

    // The same area with a non-negative width and height.
    CGRect standardized() const;

    CGFloat minX() const;
    CGFloat midX() const;
    CGFloat maxX() const;
    CGFloat minY() const;
    CGFloat midY() const;
    CGFloat maxY() const;
    CGFloat width() const;  // always >= 0
    CGFloat height() const; // always >= 0

    bool isEmpty() const;  // no area
    bool isFinite() const; // every component finite
    CGRect offsetBy(CGFloat dx, CGFloat dy) const;
    CGRect insetBy(CGFloat dx, CGFloat dy) const;
    // Half-open: the left and top edges belong to the rectangle, the right and
    // bottom edges do not, so tiled rectangles never both contain a point.
    bool contains(CGPoint p) const;
    // True when the two share some area; rectangles without area intersect nothing.
    bool intersects(const CGRect& other) const;
    // The bounding box of the four corners after the transform.
    CGRect applying(const CGAffineTransform& t) const;

    friend bool operator==(const CGRect&, const CGRect&) = default;
};
