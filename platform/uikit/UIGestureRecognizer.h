#pragma once
// Gesture recognisers watch the touches that start on their view or its
// subviews, alongside the views themselves: the hit view gets each touch first,
// then the recognisers, and a recogniser never cancels a view's touches.
// Actions run on began, changed, ended and cancelled; after ended, cancelled or
// failed the recogniser is ready again. Make them with std::make_shared.
//
// Thread rules: main thread; timing comes from the main run loop's clock.
#include "coregraphics/CGGeometry.h"
#include "uikit/UITouch.h"

#include <functional>
#include <memory>
#include <vector>

class Timer;

class UIGestureRecognizer : public std::enable_shared_from_this<UIGestureRecognizer> {
public:
    enum class State { possible, began, changed, ended, cancelled, failed };
    using Action = std::function<void(UIGestureRecognizer& sender)>;

    virtual ~UIGestureRecognizer() = default;

    void addTarget(Action action);
    State state() const { return state_; }
    UIView* view() const { return view_; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool on); // switching off cancels a gesture in progress
    // Where the gesture is, in `view`'s coordinates (the window's when null).
    CGPoint location(const UIView* view) const;

    // Fed by the window.
    virtual void touchBegan(const UITouch& touch) {}
    virtual void touchMoved(const UITouch& touch) {}
    virtual void touchEnded(const UITouch& touch) {}
    virtual void touchCancelled(const UITouch& touch) {}
    // Wheel notches (positive: away from the user) at a window point.
    virtual void scrollWheel(CGPoint windowPoint, double notches, bool control) {}

protected:
    // Runs the actions for began, changed, ended and cancelled; after ended,
    // cancelled and failed the state returns to possible and reset() runs.
    void setState(State state);
    virtual void reset() {}
    // Seconds on the main run loop's clock.
    static double now();

    CGPoint location_; // window coordinates

private:
    friend class UIView;
    UIView* view_ = nullptr; // set by the view that holds this recogniser
    std::vector<Action> actions_;
    State state_ = State::possible;
    bool enabled_ = true;
};

// A drag: begins once the touch has moved 10 points from where it went down.
class UIPanGestureRecognizer : public UIGestureRecognizer {
public:
    static constexpr CGFloat hysteresis = 10;
    // Movement since the touch went down, in `view`'s coordinates.
    CGPoint translation(const UIView* view) const;
    void setTranslation(CGPoint translation, const UIView* view);

    void touchBegan(const UITouch& touch) override;
    void touchMoved(const UITouch& touch) override;
    void touchEnded(const UITouch& touch) override;
    void touchCancelled(const UITouch& touch) override;

private:
    CGPoint start_; // window coordinates
    bool tracking_ = false;
};

// Zoom. On a desktop the gesture is Ctrl with the mouse wheel: each notch
// multiplies the scale by 1.1 (or divides it), and the gesture ends once the
// wheel has rested for 0.3 s.
class UIPinchGestureRecognizer : public UIGestureRecognizer {
public:
    static constexpr double notchFactor = 1.1;
    static constexpr double restInterval = 0.3;
    ~UIPinchGestureRecognizer() override;
    // Cumulative since the gesture began; may be set (e.g. back to 1).
    double scale = 1;
    void scrollWheel(CGPoint windowPoint, double notches, bool control) override;

private:
    void reset() override;
    std::shared_ptr<Timer> rest_;
};

// One or two taps: each tap goes up within 10 points of where it went down and
// within 0.5 s; a second tap must go down within 0.3 s of the first one's end.
class UITapGestureRecognizer : public UIGestureRecognizer {
public:
    static constexpr CGFloat tolerance = 10;
    static constexpr double maximumPress = 0.5;
    static constexpr double maximumInterval = 0.3;
    int numberOfTapsRequired = 1;

    void touchBegan(const UITouch& touch) override;
    void touchMoved(const UITouch& touch) override;
    void touchEnded(const UITouch& touch) override;
    void touchCancelled(const UITouch& touch) override;

private:
    int taps_ = 0;
    bool failed_ = false;
    double downTime_ = 0, upTime_ = 0;
    CGPoint firstDown_, down_;
};

// A touch held 0.5 s within 10 points; then moves are reported until release.
class UILongPressGestureRecognizer : public UIGestureRecognizer {
public:
    double minimumPressDuration = 0.5;
    CGFloat allowableMovement = 10;
    ~UILongPressGestureRecognizer() override;

    void touchBegan(const UITouch& touch) override;
    void touchMoved(const UITouch& touch) override;
    void touchEnded(const UITouch& touch) override;
    void touchCancelled(const UITouch& touch) override;

private:
    void reset() override;
    std::shared_ptr<Timer> timer_;
    CGPoint start_;
};
