#include "coregraphics/CGPath.h"

#include <algorithm>
#include <cmath>
#include <numbers>

void CGPath::push(Kind kind, std::initializer_list<CGFloat> values) {
    Op op{kind, {}};
    std::copy(values.begin(), values.end(), op.v);
    for (CGFloat v : values) finite_ = finite_ && std::isfinite(v);
    // Most paths are a mark, a rectangle or an oval, drawn by the thousand: one block
    // holds any of them, instead of a reallocation at each doubling.
    if (ops_.empty()) ops_.reserve(8);
    ops_.push_back(op);
    isRect_ = false;
}

void CGPath::move(CGPoint p) { push(Kind::move, {p.x, p.y}); }

void CGPath::addLine(CGPoint p) { push(Kind::line, {p.x, p.y}); }

void CGPath::addCurve(CGPoint c1, CGPoint c2, CGPoint e) { push(Kind::curve, {c1.x, c1.y, c2.x, c2.y, e.x, e.y}); }

void CGPath::addArc(CGPoint c, CGFloat r, CGFloat start, CGFloat end, bool clockwise) {
    // cairo walks a negative sweep up by whole turns and splits long sweeps into
    // many segments, so huge angles would hang it: keep the sweep within one turn.
    constexpr CGFloat turn = 2 * std::numbers::pi;
    CGFloat sweep = clockwise ? end - start : start - end;
    if (std::isfinite(sweep)) {
        if (sweep < 0) sweep = std::fmod(sweep, turn) + (std::fmod(sweep, turn) < 0 ? turn : 0);
        sweep = std::min(sweep, turn);
    }
    const CGFloat last = clockwise ? start + sweep : start - sweep;
    push(Kind::arc, {c.x, c.y, std::fabs(r), start, last, clockwise ? 1.0 : 0.0});
}

void CGPath::closeSubpath() { push(Kind::close, {}); }

void CGPath::addRect(CGRect r) {
    const bool first = ops_.empty();
    const CGRect s = r.standardized();
    move({s.minX(), s.minY()});
    addLine({s.maxX(), s.minY()});
    addLine({s.maxX(), s.maxY()});
    addLine({s.minX(), s.maxY()});
    closeSubpath();
    if (first && s.isFinite()) {
        isRect_ = true;
        rect_ = s;
    }
}

void CGPath::addPath(const CGPath& other) {
    if (ops_.empty()) {
        *this = other;
        return;
    }
    ops_.insert(ops_.end(), other.ops_.begin(), other.ops_.end());
    finite_ = finite_ && other.finite_;
    isRect_ = isRect_ && other.ops_.empty();
}

void CGPath::addEllipse(CGRect r) {
    // Four cubic quarter arcs; kappa puts each curve's midpoint on the circle.
    constexpr CGFloat kappa = 0.5522847498307936;
    const CGRect s = r.standardized();
    const CGFloat cx = s.midX(), cy = s.midY(), rx = s.width() / 2, ry = s.height() / 2;
    const CGFloat ox = rx * kappa, oy = ry * kappa;
    move({cx + rx, cy});
    addCurve({cx + rx, cy + oy}, {cx + ox, cy + ry}, {cx, cy + ry});
    addCurve({cx - ox, cy + ry}, {cx - rx, cy + oy}, {cx - rx, cy});
    addCurve({cx - rx, cy - oy}, {cx - ox, cy - ry}, {cx, cy - ry});
    addCurve({cx + ox, cy - ry}, {cx + rx, cy - oy}, {cx + rx, cy});
    closeSubpath();
}

void CGPath::addRoundedRect(CGRect r, CGFloat radius) {
    const CGRect s = r.standardized();
    const CGFloat rad = std::clamp(std::isfinite(radius) ? radius : 0.0, 0.0, std::min(s.width(), s.height()) / 2);
    if (rad <= 0) {
        addRect(s);
        return;
    }
    constexpr CGFloat pi = std::numbers::pi;
    move({s.minX() + rad, s.minY()});
    addArc({s.maxX() - rad, s.minY() + rad}, rad, -pi / 2, 0, true);
    addArc({s.maxX() - rad, s.maxY() - rad}, rad, 0, pi / 2, true);
    addArc({s.minX() + rad, s.maxY() - rad}, rad, pi / 2, pi, true);
    addArc({s.minX() + rad, s.minY() + rad}, rad, pi, 3 * pi / 2, true);
    closeSubpath();
}

namespace {
// A per-thread cairo context for questions about paths.
cairo_t* scratch() {
    struct Scratch {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
        cairo_t* cr = cairo_create(surface);
        ~Scratch() {
            cairo_destroy(cr);
            cairo_surface_destroy(surface);
        }
    };
    thread_local Scratch s;
    cairo_new_path(s.cr);
    return s.cr;
}
} // namespace

bool CGPath::contains(CGPoint p) const {
    if (ops_.empty() || !finite_ || !p.isFinite()) return false;
    if (isRect_) return rect_.contains(p);
    cairo_t* cr = scratch();
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    replay(cr);
    const bool inside = cairo_in_fill(cr, p.x, p.y);
    cairo_new_path(cr);
    return inside;
}

CGRect CGPath::boundingBox() const {
    if (ops_.empty() || !finite_) return CGRect::zero();
    cairo_t* cr = scratch();
    replay(cr);
    double x0, y0, x1, y1;
    cairo_path_extents(cr, &x0, &y0, &x1, &y1);
    cairo_new_path(cr);
    return {x0, y0, x1 - x0, y1 - y0};
}

void CGPath::replay(cairo_t* cr) const {
    for (const Op& op : ops_) {
        const CGFloat* v = op.v;
        switch (op.kind) {
        case Kind::move:
            cairo_move_to(cr, v[0], v[1]);
            break;
        case Kind::line:
            cairo_line_to(cr, v[0], v[1]);
            break;
        case Kind::curve:
            cairo_curve_to(cr, v[0], v[1], v[2], v[3], v[4], v[5]);
            break;
        case Kind::arc:
            if (v[5] != 0)
                cairo_arc(cr, v[0], v[1], v[2], v[3], v[4]);
            else
                cairo_arc_negative(cr, v[0], v[1], v[2], v[3], v[4]);
            break;
        case Kind::close:
            cairo_close_path(cr);
            break;
        }
    }
}
