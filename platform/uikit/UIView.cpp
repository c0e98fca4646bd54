#include "uikit/UIView.h"

#include "uikit/UIGestureRecognizer.h"
#include "uikit/UIGraphics.h"
#include "uikit/UIWindow.h"

#include <algorithm>
#include <cmath>

UIView::UIView(CGRect frame) { setFrame(frame); }

UIView::~UIView() {
    for (const auto& c : constraints_) c->active_ = false;
    for (const auto& sub : subviews_) sub->superview_ = nullptr;
    for (const auto& r : recognizers_) r->view_ = nullptr;
}

CGRect UIView::frame() const {
    const CGFloat w = bounds_.width(), h = bounds_.height();
    return CGRect(-w / 2, -h / 2, w, h).applying(transform_).offsetBy(center_.x, center_.y);
}

void UIView::setFrame(CGRect frame) {
    if (!frame.isFinite()) return;
    const CGRect f = frame.standardized();
    if (transform_.isIdentity() && f.size != bounds_.size) {
        bounds_.size = f.size;
        setNeedsLayout();
        setNeedsDisplay();
    }
    center_ = {f.midX(), f.midY()};
    invalidateWindow();
}

void UIView::setBounds(CGRect bounds) {
    if (!bounds.isFinite()) return;
    const CGRect b = bounds.standardized();
    if (b.size != bounds_.size) setNeedsLayout();
    bounds_ = b;
    setNeedsDisplay();
}

void UIView::setCenter(CGPoint center) {
    if (!center.isFinite()) return;
    center_ = center;
    invalidateWindow();
}

void UIView::setTransform(const CGAffineTransform& transform) {
    const bool finite = std::isfinite(transform.a) && std::isfinite(transform.b) && std::isfinite(transform.c) &&
                        std::isfinite(transform.d) && std::isfinite(transform.tx) && std::isfinite(transform.ty);
    if (!finite) return;
    transform_ = transform;
    invalidateWindow();
}

void UIView::addSubview(const std::shared_ptr<UIView>& view) {
    if (!view || view.get() == this) return;
    for (const UIView* a = this; a; a = a->superview_)
        if (a == view.get()) return; // would make a cycle
    const std::shared_ptr<UIView> keep = view;
    keep->removeFromSuperview();
    subviews_.push_back(keep);
    keep->superview_ = this;
    setNeedsLayout();
    invalidateWindow();
}

void UIView::removeFromSuperview() {
    UIView* parent = superview_;
    if (!parent) return;
    parent->invalidateWindow();
    dropConstraintsTo(parent);
    superview_ = nullptr;
    auto& list = parent->subviews_;
    const auto it = std::find_if(list.begin(), list.end(), [this](const auto& v) { return v.get() == this; });
    if (it != list.end()) list.erase(it); // may destroy this view: nothing follows
}

UIWindow* UIView::window() const {
    const UIView* root = this;
    while (root->superview_) root = root->superview_;
    return dynamic_cast<UIWindow*>(const_cast<UIView*>(root));
}

void UIView::dropConstraintsTo(const UIView* other) {
    std::erase_if(constraints_, [other](const auto& c) {
        if (c->second_.lock().get() != other) return false;
        c->active_ = false;
        return true;
    });
}

void UIView::setHidden(bool hidden) {
    if (hidden == hidden_) return;
    hidden_ = hidden;
    invalidateWindow();
}

void UIView::setAlpha(CGFloat alpha) {
    if (std::isnan(alpha)) return;
    alpha_ = std::clamp(alpha, 0.0, 1.0);
    invalidateWindow();
}

void UIView::setBackgroundColor(std::optional<UIColor> colour) {
    background_ = colour;
    setNeedsDisplay();
}

void UIView::setNeedsDisplay() {
    // The window finds marked views itself, so a desktop window can redraw just them.
    needsDisplay_ = true;
}

void UIView::invalidateWindow() const {
    if (UIWindow* w = window()) w->setNeedsRedraw();
}

void UIView::draw(CGRect) {}

CGAffineTransform UIView::transformToSuperview() const {
    return CGAffineTransform::makeTranslation(-bounds_.midX(), -bounds_.midY())
        .concatenating(transform_)
        .concatenating(CGAffineTransform::makeTranslation(center_.x, center_.y));
}

bool UIView::drawable() const { return !hidden_ && alpha_ > 0 && transform_.isInvertible(); }

void UIView::render(CGContext& cx) {
    if (!drawable()) return;
    const int depth = cx.gStateDepth();
    cx.saveGState();
    cx.concatenate(transformToSuperview());
    if (alpha_ < 1) {
        cx.setAlpha(alpha_);
        cx.beginTransparencyLayer();
    }
    const int inner = cx.gStateDepth();
    cx.saveGState();
    cx.clip(bounds_);
    if (background_) {
        cx.setFillColor(background_->cgColor());
        cx.fill(bounds_);
    }
    {
        vyk::ui::CurrentContext current(cx);
        draw(bounds_);
    }
    cx.restoreToDepth(inner); // also unwinds a draw() that left states saved
    needsDisplay_ = false;
    const auto subviews = subviews_; // a draw may change the tree
    for (const auto& sub : subviews) sub->render(cx);
    cx.restoreToDepth(depth);
}

void UIView::setNeedsLayout() { needsLayout_ = true; }

void UIView::layoutIfNeeded() {
    if (needsLayout_) {
        needsLayout_ = false;
        layoutSubviews();
    }
    const auto subviews = subviews_;
    for (const auto& sub : subviews) sub->layoutIfNeeded();
}

void UIView::layoutSubviews() {
    for (const auto& sub : subviews_) applyConstraints(*sub);
}

void UIView::applyConstraints(UIView& sub) const {
    std::optional<CGFloat> edge[4];
    for (const auto& c : sub.constraints_) {
        if (!c->active_ || c->second_.lock().get() != this) continue;
        CGFloat v = 0;
        switch (c->secondAttribute_) {
        case NSLayoutAttribute::top:
            v = bounds_.minY();
            break;
        case NSLayoutAttribute::leading:
            v = bounds_.minX();
            break;
        case NSLayoutAttribute::bottom:
            v = bounds_.maxY();
            break;
        case NSLayoutAttribute::trailing:
            v = bounds_.maxX();
            break;
        }
        edge[static_cast<int>(c->firstAttribute_)] = v + c->constant;
    }
    const auto [top, leading, bottom, trailing] = edge;
    if (!top && !leading && !bottom && !trailing) return;
    CGRect f = sub.frame();
    if (top && bottom)
        f = {f.minX(), *top, f.width(), *bottom - *top};
    else if (top)
        f.origin.y = *top;
    else if (bottom)
        f.origin.y = *bottom - f.height();
    if (leading && trailing)
        f = {*leading, f.minY(), *trailing - *leading, f.height()};
    else if (leading)
        f.origin.x = *leading;
    else if (trailing)
        f.origin.x = *trailing - f.width();
    sub.setFrame(f);
}

bool UIView::pointInside(CGPoint point, const UIEvent*) const { return bounds_.contains(point); }

UIView* UIView::hitTest(CGPoint point, const UIEvent* event) {
    if (hidden_ || !interactive_ || alpha_ < 0.01 || !transform_.isInvertible() || !pointInside(point, event))
        return nullptr;
    for (auto it = subviews_.rbegin(); it != subviews_.rend(); ++it) {
        UIView* sub = it->get();
        if (!sub->transform_.isInvertible()) continue;
        const CGPoint local = point.applying(sub->transformToSuperview().inverted());
        if (UIView* hit = sub->hitTest(local, event)) return hit;
    }
    return this;
}

CGAffineTransform UIView::transformToWindow() const {
    CGAffineTransform t = CGAffineTransform::identity();
    for (const UIView* v = this; v; v = v->superview_) t = t.concatenating(v->transformToSuperview());
    return t;
}

CGPoint UIView::convertFromWindow(CGPoint point) const { return point.applying(transformToWindow().inverted()); }

CGPoint UIView::convert(CGPoint point, const UIView* to) const {
    const CGPoint w = point.applying(transformToWindow());
    return to ? to->convertFromWindow(w) : w;
}

CGPoint UIView::convertFrom(CGPoint point, const UIView* from) const {
    return convertFromWindow(from ? point.applying(from->transformToWindow()) : point);
}

CGRect UIView::convert(CGRect rect, const UIView* to) const {
    CGAffineTransform t = transformToWindow();
    if (to) t = t.concatenating(to->transformToWindow().inverted());
    return rect.applying(t);
}

void UIView::addGestureRecognizer(const std::shared_ptr<UIGestureRecognizer>& recognizer) {
    if (!recognizer) return;
    if (UIView* old = recognizer->view()) old->removeGestureRecognizer(recognizer.get());
    recognizers_.push_back(recognizer);
    recognizer->view_ = this;
}

void UIView::removeGestureRecognizer(const UIGestureRecognizer* recognizer) {
    auto it = std::find_if(recognizers_.begin(), recognizers_.end(),
                           [recognizer](const auto& r) { return r.get() == recognizer; });
    if (it == recognizers_.end()) return;
    (*it)->view_ = nullptr;
    recognizers_.erase(it);
}

NSLayoutConstraint::NSLayoutConstraint(UIView& first, NSLayoutAttribute firstAttribute, UIView& second,
                                       NSLayoutAttribute secondAttribute, CGFloat constant)
    : constant(constant), first_(first.weak_from_this()), second_(second.weak_from_this()),
      firstAttribute_(firstAttribute), secondAttribute_(secondAttribute) {}

void NSLayoutConstraint::activate(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints) {
    for (const auto& c : constraints) {
        const auto first = c ? c->first_.lock() : nullptr;
        if (!first || c->active_ || c->second_.expired()) continue;
        c->active_ = true;
        first->constraints_.push_back(c);
        if (UIView* parent = first->superview()) parent->setNeedsLayout();
    }
}

void NSLayoutConstraint::deactivate(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints) {
    for (const auto& c : constraints) {
        if (!c || !c->active_) continue;
        c->active_ = false;
        if (const auto first = c->first_.lock()) std::erase(first->constraints_, c);
    }
}

std::shared_ptr<NSLayoutConstraint> NSLayoutAnchor::constraint(const NSLayoutAnchor& equalTo, CGFloat constant) const {
    return std::make_shared<NSLayoutConstraint>(view_, attribute_, equalTo.view_, equalTo.attribute_, constant);
}
