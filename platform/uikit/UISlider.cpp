#include "uikit/UISlider.h"

#include "uikit/UIBezierPath.h"
#include "uikit/UIGraphics.h"

#include <algorithm>
#include <cmath>

void UISlider::setValue(float value) {
    if (std::isnan(value)) return;
    value_ = std::clamp(value, min_, max_);
    setNeedsDisplay();
}

void UISlider::setRange(float minimum, float maximum) {
    if (!std::isfinite(minimum) || !std::isfinite(maximum) || !(minimum < maximum)) return;
    min_ = minimum;
    max_ = maximum;
    setValue(value_);
}

float UISlider::valueAt(CGPoint p) const {
    const CGRect b = bounds();
    const CGFloat span = b.width() - 2 * thumbRadius;
    const CGFloat t = span > 0 ? std::clamp((p.x - b.minX() - thumbRadius) / span, 0.0, 1.0) : 0.0;
    return static_cast<float>(min_ + t * (max_ - min_));
}

void UISlider::touchesBegan(const UITouchSet& touches, const UIEvent* event) {
    UIControl::touchesBegan(touches, event);
    changedWhileTracking_ = false;
    if (!touches.empty()) trackingMoved(touches.front()->location(this));
}

void UISlider::trackingMoved(CGPoint p) {
    const float v = valueAt(p);
    if (v == value_) return;
    setValue(v);
    changedWhileTracking_ = true;
    if (isContinuous) sendActions(UIControlEvents::valueChanged);
}

void UISlider::touchesEnded(const UITouchSet& touches, const UIEvent* event) {
    UIControl::touchesEnded(touches, event);
    if (!isContinuous && changedWhileTracking_) sendActions(UIControlEvents::valueChanged);
}

void UISlider::draw(CGRect) {
    const CGRect b = bounds();
    const CGFloat y = b.midY(), x0 = b.minX() + thumbRadius, x1 = b.maxX() - thumbRadius;
    const CGFloat t = max_ > min_ ? (value_ - min_) / (max_ - min_) : 0;
    const CGFloat x = x0 + t * (x1 - x0);
    UIBezierPath track;
    track.move({x0, y});
    track.addLine({x1, y});
    track.lineWidth = 2;
    track.lineCapStyle = CGLineCap::round;
    UIColor::lightGray().setStroke();
    track.stroke();
    UIBezierPath filled;
    filled.move({x0, y});
    filled.addLine({x, y});
    filled.lineWidth = 2;
    filled.lineCapStyle = CGLineCap::round;
    tintColor.setStroke();
    filled.stroke();
    UIBezierPath thumb =
        UIBezierPath::ovalIn({x - thumbRadius + 1, y - thumbRadius + 1, 2 * thumbRadius - 2, 2 * thumbRadius - 2});
    UIColor::white().setFill();
    thumb.fill();
    UIColor::gray().setStroke();
    thumb.stroke();
}
