#pragma once
// A view that reports what the user does to it as control events, to actions
// registered per event mask (the platform's target-action).
// Thread rules: main thread.
#include "uikit/UIView.h"

#include <cstdint>
#include <functional>
#include <vector>

enum class UIControlEvents : std::uint64_t {
    touchDown = 1,
    touchUpInside = 64,
    touchUpOutside = 128,
    touchCancel = 256,
    valueChanged = 4096,
};

constexpr UIControlEvents operator|(UIControlEvents a, UIControlEvents b) {
    return static_cast<UIControlEvents>(static_cast<std::uint64_t>(a) | static_cast<std::uint64_t>(b));
}

class UIControl : public UIView {
public:
    using Action = std::function<void(UIControl& sender)>;
    using UIView::UIView;

    // The action runs for every event in `events`. An owner that goes away
    // first must not be captured by reference (capture a weak pointer).
    void addTarget(Action action, UIControlEvents events);
    // Runs the actions registered for any event in `events`, in order of adding.
    void sendActions(UIControlEvents events);

    bool isEnabled() const { return enabled_; }
    void setEnabled(bool on);
    bool isHighlighted() const { return highlighted_; }
    bool isTracking() const { return tracking_; }

    // Default tracking: touch down, then up inside or outside the bounds, or cancel.
    void touchesBegan(const UITouchSet& touches, const UIEvent* event) override;
    void touchesMoved(const UITouchSet& touches, const UIEvent* event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent* event) override;
    void touchesCancelled(const UITouchSet& touches, const UIEvent* event) override;
    UIView* hitTest(CGPoint point, const UIEvent* event) override;

protected:
    void setHighlighted(bool on);
    // Subclasses' hooks while tracking, after the default events.
    virtual void trackingMoved(CGPoint) {}

private:
    struct Entry {
        Action action;
        std::uint64_t mask;
    };
    std::vector<Entry> actions_;
    bool enabled_ = true;
    bool highlighted_ = false;
    bool tracking_ = false;
};
