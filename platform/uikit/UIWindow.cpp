#include "uikit/UIWindow.h"

#include "uikit/UIGestureRecognizer.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "foundation/RunLoop.h"

namespace {
bool anyNeedsDisplay(const UIView& v) {
    if (v.isHidden()) return false;
    if (v.needsDisplay()) return true;
    for (const auto& s : v.subviews())
        if (anyNeedsDisplay(*s)) return true;
    return false;
}

// The window-space bounding box of the visible views marked for display.
void collectDirty(const UIView& v, CGRect& box, bool& any) {
    if (v.isHidden() || v.alpha() <= 0) return;
    if (v.needsDisplay()) {
        const CGRect r = v.convert(v.bounds(), nullptr);
        if (r.isFinite()) {
            box = !any ? r
                       : CGRect{std::min(box.minX(), r.minX()), std::min(box.minY(), r.minY()),
                                std::max(box.maxX(), r.maxX()) - std::min(box.minX(), r.minX()),
                                std::max(box.maxY(), r.maxY()) - std::min(box.minY(), r.minY())};
            any = true;
        }
    }
    for (const auto& s : v.subviews()) collectDirty(*s, box, any);
}

double now() { return std::chrono::duration<double>(RunLoop::main().now()).count(); }

// The recognisers that watch touches on `view`: its own, then its ancestors'.
std::vector<std::shared_ptr<UIGestureRecognizer>> watchersOf(UIView* view) {
    std::vector<std::shared_ptr<UIGestureRecognizer>> list;
    for (UIView* v = view; v; v = v->superview())
        for (const auto& r : v->gestureRecognizers())
            if (r->isEnabled()) list.push_back(r);
    return list;
}
} // namespace

UIWindow::UIWindow(CGSize size, CGFloat scale) : UIView(CGRect{{0, 0}, size}) { resize(size, scale); }

void UIWindow::resize(CGSize size, CGFloat scale) {
    scale_ = std::isfinite(scale) && scale > 0 ? scale : 1;
    setFrame({{0, 0}, size});
    surface_ = std::make_unique<vyk::gfx::ImageSurface>(bounds().width() * scale_, bounds().height() * scale_);
    needsRedraw_ = true;
}

bool UIWindow::needsRedraw() const { return needsRedraw_ || anyNeedsDisplay(*this); }

bool UIWindow::displayIfNeeded() {
    layoutIfNeeded();
    if (!needsRedraw()) return false;
    needsRedraw_ = false;
    surface_->clear({0, 0, 0, 0});
    CGContext cx(surface_->cairoSurface(), scale_);
    render(cx);
    return surface_->isValid();
}

std::array<int, 4> UIWindow::displayDamage() {
    layoutIfNeeded();
    const int w = surface_->width(), h = surface_->height();
    if (needsRedraw_) return displayIfNeeded() ? std::array<int, 4>{0, 0, w, h} : std::array<int, 4>{};
    CGRect box;
    bool any = false;
    collectDirty(*this, box, any);
    if (!any) return {};
    const int x0 = std::clamp(static_cast<int>(std::floor(box.minX() * scale_)), 0, w);
    const int y0 = std::clamp(static_cast<int>(std::floor(box.minY() * scale_)), 0, h);
    const int x1 = std::clamp(static_cast<int>(std::ceil(box.maxX() * scale_)), 0, w);
    const int y1 = std::clamp(static_cast<int>(std::ceil(box.maxY() * scale_)), 0, h);
    CGContext cx(surface_->cairoSurface(), scale_);
    // Views outside the area still run their draw(), but cairo drops their ink.
    cx.clip({x0 / scale_, y0 / scale_, (x1 - x0) / scale_, (y1 - y0) / scale_});
    if (cairo_t* cr = cx.cairoForDrawing()) {
        cairo_save(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        cairo_paint(cr);
        cairo_restore(cr);
    }
    render(cx);
    return {x0, y0, x1 - x0, y1 - y0};
}

bool UIWindow::writePNG(const std::string& path, std::string* error) {
    displayIfNeeded();
    return surface_->writePNG(path, error);
}

void UIWindow::mouseDown(CGPoint p) {
    if (touch_) cancelTouches();
    UIEvent event(now());
    UIView* hit = hitTest(p, &event);
    if (!hit) return;
    touch_ = std::make_shared<UITouch>();
    touch_->location_ = touch_->previous_ = p;
    touch_->view_ = hit->weak_from_this();
    touch_->window_ = this;
    watchers_ = watchersOf(hit);
    dispatch(UITouch::Phase::began, p);
}

void UIWindow::mouseDragged(CGPoint p) {
    if (touch_) dispatch(UITouch::Phase::moved, p);
}

void UIWindow::mouseUp(CGPoint p) {
    if (touch_) dispatch(UITouch::Phase::ended, p);
}

void UIWindow::cancelTouches() {
    if (touch_) dispatch(UITouch::Phase::cancelled, touch_->location_);
}

void UIWindow::dispatch(UITouch::Phase phase, CGPoint p) {
    // Keep everything alive through the callbacks, which may change the tree.
    const std::shared_ptr<UITouch> touch = touch_;
    const auto watchers = watchers_;
    const std::shared_ptr<UIView> view = touch->view_.lock();
    if (phase == UITouch::Phase::ended || phase == UITouch::Phase::cancelled) {
        touch_.reset();
        watchers_.clear();
    }
    if (!p.isFinite()) p = touch->location_;
    touch->previous_ = phase == UITouch::Phase::began ? p : touch->location_;
    touch->location_ = p;
    touch->phase_ = phase;
    touch->timestamp_ = now();
    const UITouchSet touches{touch};
    const UIEvent event(touch->timestamp_);
    if (view) {
        switch (phase) {
        case UITouch::Phase::began:
            view->touchesBegan(touches, &event);
            break;
        case UITouch::Phase::moved:
            view->touchesMoved(touches, &event);
            break;
        case UITouch::Phase::ended:
            view->touchesEnded(touches, &event);
            break;
        case UITouch::Phase::cancelled:
            view->touchesCancelled(touches, &event);
            break;
        case UITouch::Phase::stationary:
            break;
        }
    }
    for (const auto& r : watchers) {
        if (!r->isEnabled() || !r->view()) continue;
        switch (phase) {
        case UITouch::Phase::began:
            r->touchBegan(*touch);
            break;
        case UITouch::Phase::moved:
            r->touchMoved(*touch);
            break;
        case UITouch::Phase::ended:
            r->touchEnded(*touch);
            break;
        case UITouch::Phase::cancelled:
            r->touchCancelled(*touch);
            break;
        case UITouch::Phase::stationary:
            break;
        }
    }
}

void UIWindow::scrollWheel(CGPoint p, double notches, bool control) {
    UIEvent event(now());
    if (!p.isFinite()) return;
    for (const auto& r : watchersOf(hitTest(p, &event))) r->scrollWheel(p, notches, control);
}
