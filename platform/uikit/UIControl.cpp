#include "uikit/UIControl.h"

void UIControl::addTarget(Action action, UIControlEvents events) {
    if (action) actions_.push_back({std::move(action), static_cast<std::uint64_t>(events)});
}

void UIControl::sendActions(UIControlEvents events) {
    const auto mask = static_cast<std::uint64_t>(events);
    const auto keep = weak_from_this().lock(); // an action may remove this control
    const auto actions = actions_;             // or add actions
    for (const Entry& e : actions)
        if (e.mask & mask) e.action(*this);
}

void UIControl::setEnabled(bool on) {
    enabled_ = on;
    setNeedsDisplay();
}

void UIControl::setHighlighted(bool on) {
    if (on == highlighted_) return;
    highlighted_ = on;
    setNeedsDisplay();
}

UIView* UIControl::hitTest(CGPoint point, const UIEvent* event) {
    return enabled_ ? UIView::hitTest(point, event) : nullptr;
}

void UIControl::touchesBegan(const UITouchSet& touches, const UIEvent*) {
    tracking_ = true;
    setHighlighted(true);
    sendActions(UIControlEvents::touchDown);
}

void UIControl::touchesMoved(const UITouchSet& touches, const UIEvent*) {
    if (!tracking_ || touches.empty()) return;
    const CGPoint p = touches.front()->location(this);
    setHighlighted(bounds().contains(p));
    trackingMoved(p);
}

void UIControl::touchesEnded(const UITouchSet& touches, const UIEvent*) {
    if (!tracking_) return;
    tracking_ = false;
    setHighlighted(false);
    const bool inside = !touches.empty() && bounds().contains(touches.front()->location(this));
    if (!touches.empty()) trackingMoved(touches.front()->location(this));
    sendActions(inside ? UIControlEvents::touchUpInside : UIControlEvents::touchUpOutside);
}

void UIControl::touchesCancelled(const UITouchSet&, const UIEvent*) {
    if (!tracking_) return;
    tracking_ = false;
    setHighlighted(false);
    sendActions(UIControlEvents::touchCancel);
}
