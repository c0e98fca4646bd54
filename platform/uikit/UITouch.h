#pragma once
// One finger (here: the mouse pointer) on the screen, from down to up.
// Thread rules: main thread.
#include "coregraphics/CGGeometry.h"

#include <memory>
#include <vector>

class UIView;
class UIWindow;

class UITouch {
public:
    enum class Phase { began, moved, stationary, ended, cancelled };

    Phase phase() const { return phase_; }
    // In `view`'s coordinates; in the window's when `view` is null.
    CGPoint location(const UIView* view) const;
    CGPoint previousLocation(const UIView* view) const;
    // The view hit at touch-down; it receives the whole sequence.
    UIView* view() const { return view_.lock().get(); }
    UIWindow* window() const { return window_; }
    double timestamp() const { return timestamp_; } // seconds of the run loop's clock
    int tapCount() const { return tapCount_; }

private:
    friend class UIWindow;
    Phase phase_ = Phase::began;
    CGPoint location_; // window coordinates
    CGPoint previous_;
    std::weak_ptr<UIView> view_;
    UIWindow* window_ = nullptr;
    double timestamp_ = 0;
    int tapCount_ = 1;
};

// The touches of one event, in a fixed order ("the first touch" is front()).
using UITouchSet = std::vector<std::shared_ptr<UITouch>>;

class UIEvent {
public:
    explicit UIEvent(double timestamp) : timestamp_(timestamp) {}
    double timestamp() const { return timestamp_; }

private:
    double timestamp_;
};

// Receives touches. A view that does not handle them passes them to its superview.
class UIResponder {
public:
    virtual ~UIResponder() = default;
    virtual void touchesBegan(const UITouchSet& touches, const UIEvent* event);
    virtual void touchesMoved(const UITouchSet& touches, const UIEvent* event);
    virtual void touchesEnded(const UITouchSet& touches, const UIEvent* event);
    virtual void touchesCancelled(const UITouchSet& touches, const UIEvent* event);
    // The responder that gets what this one does not handle; null at the end.
    virtual UIResponder* next() const { return nullptr; }
};
