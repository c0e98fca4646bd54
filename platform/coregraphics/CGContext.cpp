#include "coregraphics/CGContext.h"

#include <algorithm>
#include <cmath>

namespace {
bool finite(CGFloat a, CGFloat b) { return std::isfinite(a) && std::isfinite(b); }

bool isVectorTarget(cairo_t* cr) {
    switch (cairo_surface_get_type(cairo_get_target(cr))) {
    case CAIRO_SURFACE_TYPE_PDF:
    case CAIRO_SURFACE_TYPE_PS:
    case CAIRO_SURFACE_TYPE_SVG:
        return true;
    default:
        return false;
    }
}
} // namespace

CGContext::CGContext(cairo_surface_t* surface, CGFloat deviceScale) {
    if (!surface || cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS || !(deviceScale > 0) ||
        !std::isfinite(deviceScale))
        return;
    cr_ = cairo_create(surface);
    deviceScale_ = deviceScale;
    cairo_scale(cr_, deviceScale, deviceScale);
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
}

CGContext::~CGContext() {
    while (!layers_.empty()) closeLayer(false, 0);
    if (cr_) cairo_destroy(cr_);
}

void CGContext::saveGState() {
    State s = top();
    s.layer = false;
    states_.push_back(s);
    if (cr_) cairo_save(cr_);
}

void CGContext::restoreGState() {
    if (states_.size() < 2 || top().layer) return;
    states_.pop_back();
    if (cr_) cairo_restore(cr_);
}

void CGContext::restoreToDepth(int depth) {
    while (gStateDepth() > std::max(depth, 0)) {
        if (top().layer)
            endTransparencyLayer();
        else
            restoreGState();
    }
}

void CGContext::translateBy(CGFloat dx, CGFloat dy) {
    if (!finite(dx, dy))
        suppress();
    else if (cr_)
        cairo_translate(cr_, dx, dy);
}

void CGContext::scaleBy(CGFloat sx, CGFloat sy) {
    if (!finite(sx, sy) || sx == 0 || sy == 0)
        suppress();
    else if (cr_)
        cairo_scale(cr_, sx, sy);
}

void CGContext::rotate(CGFloat angle) {
    if (!std::isfinite(angle))
        suppress();
    else if (cr_)
        cairo_rotate(cr_, angle);
}

void CGContext::concatenate(const CGAffineTransform& t) {
    if (!t.isInvertible()) {
        suppress();
        return;
    }
    if (cr_) {
        cairo_matrix_t m{t.a, t.b, t.c, t.d, t.tx, t.ty};
        cairo_transform(cr_, &m);
    }
}

void CGContext::clip(CGRect rect) {
    if (!rect.isFinite()) {
        suppress();
        return;
    }
    if (!cr_) return;
    const CGRect r = rect.standardized();
    cairo_new_path(cr_);
    cairo_rectangle(cr_, r.minX(), r.minY(), r.width(), r.height());
    cairo_clip(cr_);
}

void CGContext::setAlpha(CGFloat alpha) {
    if (!std::isnan(alpha)) states_.back().alpha = std::clamp(alpha, 0.0, 1.0);
}

void CGContext::beginTransparencyLayer() {
    State s = top();
    s.layer = true;
    s.layerAlpha = s.alpha;
    s.alpha = 1;
    states_.push_back(s);
    if (!cr_) return;
    if (isVectorTarget(cr_)) {
        // cairo's vector backends leak a recording surface painted into them.
        cairo_push_group(cr_);
        layers_.push_back({cr_, nullptr});
        return;
    }
    // The recording's space is the parent's device space.
    cairo_surface_t* recording = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, nullptr);
    cairo_t* cr = cairo_create(recording);
    cairo_matrix_t m;
    cairo_get_matrix(cr_, &m);
    cairo_set_matrix(cr, &m);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    std::vector<double> dash(static_cast<std::size_t>(cairo_get_dash_count(cr_)));
    double offset = 0;
    cairo_get_dash(cr_, dash.data(), &offset);
    cairo_set_dash(cr, dash.data(), static_cast<int>(dash.size()), offset);
    layers_.push_back({cr_, recording});
    cr_ = cr;
}

void CGContext::endTransparencyLayer() {
    if (states_.size() < 2 || !top().layer) return;
    const State layer = top();
    states_.pop_back();
    if (cr_) closeLayer(!layer.suppressed && !top().suppressed, layer.layerAlpha);
}

void CGContext::closeLayer(bool paint, CGFloat alpha) {
    const Layer layer = layers_.back();
    layers_.pop_back();
    if (!layer.recording) {
        cairo_pattern_t* group = cairo_pop_group(cr_);
        if (paint) {
            cairo_save(cr_);
            cairo_set_source(cr_, group);
            cairo_paint_with_alpha(cr_, alpha);
            cairo_restore(cr_);
        }
        cairo_pattern_destroy(group);
        return;
    }
    cairo_destroy(cr_);
    cr_ = layer.parent;
    double x, y, w, h;
    cairo_recording_surface_ink_extents(layer.recording, &x, &y, &w, &h);
    if (paint && w > 0 && h > 0) {
        cairo_save(cr_);
        cairo_identity_matrix(cr_);
        cairo_new_path(cr_);
        const double x0 = std::floor(x), y0 = std::floor(y);
        cairo_rectangle(cr_, x0, y0, std::ceil(x + w) - x0, std::ceil(y + h) - y0);
        cairo_clip(cr_);
        cairo_set_source_surface(cr_, layer.recording, 0, 0);
        cairo_paint_with_alpha(cr_, alpha);
        cairo_restore(cr_);
    }
    cairo_surface_destroy(layer.recording);
}

void CGContext::setLineDash(CGFloat phase, const std::vector<CGFloat>& lengths) {
    if (!cr_) return;
    const bool valid =
        std::isfinite(phase) &&
        std::all_of(lengths.begin(), lengths.end(), [](CGFloat v) { return std::isfinite(v) && v >= 0; }) &&
        std::any_of(lengths.begin(), lengths.end(), [](CGFloat v) { return v > 0; });
    if (valid)
        cairo_set_dash(cr_, lengths.data(), static_cast<int>(lengths.size()), phase);
    else
        cairo_set_dash(cr_, nullptr, 0, 0);
}

int CGContext::dashCount() const { return cr_ ? cairo_get_dash_count(cr_) : 0; }

void CGContext::setFillColor(CGColor c) { states_.back().fill = c; }

void CGContext::setStrokeColor(CGColor c) { states_.back().stroke = c; }

void CGContext::setSource(CGColor c) {
    const CGColor k = c.clamped();
    cairo_set_source_rgba(cr_, k.red, k.green, k.blue, k.alpha * top().alpha);
}

void CGContext::fillPath(const CGPath& path) {
    if (isDrawingSuppressed() || path.isEmpty() || !path.isFinite()) return;
    cairo_new_path(cr_);
    path.replay(cr_);
    setSource(top().fill);
    cairo_fill(cr_);
    if (observer_) {
        vyk::gfx::DrawCall call;
        call.path = path;
        call.colour = top().fill;
        report(std::move(call));
    }
}

void CGContext::strokePath(const CGPath& path, const CGStrokeStyle& style) {
    if (isDrawingSuppressed() || path.isEmpty() || !path.isFinite() || !std::isfinite(style.lineWidth) ||
        style.lineWidth < 0)
        return;
    static constexpr cairo_line_cap_t caps[] = {CAIRO_LINE_CAP_BUTT, CAIRO_LINE_CAP_ROUND, CAIRO_LINE_CAP_SQUARE};
    static constexpr cairo_line_join_t joins[] = {CAIRO_LINE_JOIN_MITER, CAIRO_LINE_JOIN_ROUND, CAIRO_LINE_JOIN_BEVEL};
    cairo_new_path(cr_);
    path.replay(cr_);
    cairo_set_line_width(cr_, style.lineWidth);
    cairo_set_line_cap(cr_, caps[static_cast<int>(style.cap)]);
    cairo_set_line_join(cr_, joins[static_cast<int>(style.join)]);
    cairo_set_miter_limit(cr_, std::isfinite(style.miterLimit) && style.miterLimit >= 1 ? style.miterLimit : 10);
    setSource(top().stroke);
    cairo_stroke(cr_);
    if (observer_) {
        vyk::gfx::DrawCall call;
        call.kind = vyk::gfx::DrawCall::Kind::stroke;
        call.path = path;
        call.style = style;
        call.colour = top().stroke;
        report(std::move(call));
    }
}

void CGContext::fill(CGRect rect) {
    CGPath path;
    path.addRect(rect);
    fillPath(path);
}

void CGContext::drawImage(cairo_surface_t* image, CGRect rect) {
    const CGRect r = rect.standardized();
    if (isDrawingSuppressed() || !image || !r.isFinite() || r.isEmpty() ||
        cairo_surface_get_type(image) != CAIRO_SURFACE_TYPE_IMAGE)
        return;
    const int w = cairo_image_surface_get_width(image), h = cairo_image_surface_get_height(image);
    if (w <= 0 || h <= 0) return;
    cairo_save(cr_);
    cairo_rectangle(cr_, r.minX(), r.minY(), r.width(), r.height());
    cairo_clip(cr_);
    cairo_translate(cr_, r.minX(), r.minY());
    cairo_scale(cr_, r.width() / w, r.height() / h);
    cairo_set_source_surface(cr_, image, 0, 0);
    cairo_paint_with_alpha(cr_, top().alpha);
    cairo_restore(cr_);
    cairo_new_path(cr_);
    if (observer_) {
        vyk::gfx::DrawCall call;
        call.kind = vyk::gfx::DrawCall::Kind::image;
        call.rect = r;
        report(call);
    }
}

void CGContext::report(vyk::gfx::DrawCall call) const {
    if (!observer_) return;
    call.alpha = top().alpha;
    call.ctm = ctm();
    observer_(call);
}

CGAffineTransform CGContext::ctm() const {
    if (!cr_) return CGAffineTransform::identity();
    cairo_matrix_t m;
    cairo_get_matrix(cr_, &m);
    return CGAffineTransform{m.xx, m.yx, m.xy, m.yy, m.x0, m.y0}.concatenating(
        CGAffineTransform::makeScale(1 / deviceScale_, 1 / deviceScale_));
}

CGRect CGContext::clipBoundingBox() const {
    if (!cr_) return CGRect::zero();
    double x0, y0, x1, y1;
    cairo_clip_extents(cr_, &x0, &y0, &x1, &y1);
    return {x0, y0, x1 - x0, y1 - y0};
}
