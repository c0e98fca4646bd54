#pragma once
// A horizontal slider: a track and a thumb. A touch puts the thumb under the
// pointer and drags it; each change of value sends valueChanged (only on release
// when not continuous).
// Thread rules: main thread.
#include "uikit/UIControl.h"

class UISlider : public UIControl {
public:
    using UIControl::UIControl;

    float value() const { return value_; }
    void setValue(float value); // clamped to the range; NaN ignored
    float minimumValue() const { return min_; }
    float maximumValue() const { return max_; }
    // An empty or non-finite range is ignored.
    void setRange(float minimum, float maximum);
    bool isContinuous = true;
    UIColor tintColor = UIColor(0, 0.478, 1, 1);

    void touchesBegan(const UITouchSet& touches, const UIEvent* event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent* event) override;
    void draw(CGRect rect) override;

protected:
    void trackingMoved(CGPoint p) override;

private:
    static constexpr CGFloat thumbRadius = 8;
    float valueAt(CGPoint p) const;
    float value_ = 0.5f;
    float min_ = 0, max_ = 1;
    bool changedWhileTracking_ = false;
};
