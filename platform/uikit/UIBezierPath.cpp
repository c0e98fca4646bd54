#include "uikit/UIBezierPath.h"

#include "uikit/UIGraphics.h"

UIBezierPath UIBezierPath::rect(CGRect r)
{
    UIBezierPath p;
    p.path_.addRect(r);
    return p;
}

UIBezierPath UIBezierPath::ovalIn(CGRect r)
{
    UIBezierPath p;
    p.path_.addEllipse(r);
    return p;
}

UIBezierPath UIBezierPath::roundedRect(CGRect r, CGFloat cornerRadius)
{
    UIBezierPath p;
    p.path_.addRoundedRect(r, cornerRadius);
    return p;
}

void UIBezierPath::move(CGPoint to) { path_.move(to); }

void UIBezierPath::addLine(CGPoint to) { path_.addLine(to); }

void UIBezierPath::addArc(CGPoint centre, CGFloat radius, CGFloat startAngle, CGFloat endAngle, bool clockwise)
{
    path_.addArc(centre, radius, startAngle, endAngle, clockwise);
}

void UIBezierPath::close() { path_.closeSubpath(); }

void UIBezierPath::fill() const
{
    if (CGContext* cx = UIGraphicsGetCurrentContext())
        cx->fillPath(path_);
}

void UIBezierPath::stroke() const
{
    if (CGContext* cx = UIGraphicsGetCurrentContext())
        cx->strokePath(path_, {lineWidth, lineCapStyle, lineJoinStyle, miterLimit});
}

bool UIBezierPath::contains(CGPoint p) const
{
    if (path_.isEmpty() || !path_.isFinite() || !p.isFinite())
        return false;
    if (const CGRect* r = path_.singleRect())
        return r->contains(p);
    // A scratch cairo context answers for curves and arcs; it is per thread.
    struct Scratch {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
        cairo_t* cr = cairo_create(surface);
        ~Scratch()
        {
            cairo_destroy(cr);
            cairo_surface_destroy(surface);
        }
    };
    thread_local Scratch scratch;
    cairo_t* cr = scratch.cr;
    cairo_new_path(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    path_.replay(cr);
    const bool inside = cairo_in_fill(cr, p.x, p.y);
    cairo_new_path(cr);
    return inside;
}
