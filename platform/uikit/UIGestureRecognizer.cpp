#include "uikit/UIGestureRecognizer.h"

#include "foundation/RunLoop.h"
#include "foundation/Timer.h"
#include "uikit/UIView.h"

#include <chrono>
#include <cmath>

namespace {
CGFloat distance(CGPoint a, CGPoint b) { return std::hypot(a.x - b.x, a.y - b.y); }
bool active(UIGestureRecognizer::State s) {
    return s == UIGestureRecognizer::State::began || s == UIGestureRecognizer::State::changed;
}
} // namespace

void UIGestureRecognizer::addTarget(Action action) {
    if (action) actions_.push_back(std::move(action));
}

void UIGestureRecognizer::setEnabled(bool on) {
    enabled_ = on;
    if (!on && active(state_))
        setState(State::cancelled);
    else if (!on)
        reset();
}

CGPoint UIGestureRecognizer::location(const UIView* view) const {
    return view ? view->convertFromWindow(location_) : location_;
}

double UIGestureRecognizer::now() { return std::chrono::duration<double>(RunLoop::main().now()).count(); }

void UIGestureRecognizer::setState(State state) {
    state_ = state;
    if (state != State::possible && state != State::failed) {
        const auto keep = weak_from_this().lock(); // an action may drop the last owner
        const auto actions = actions_;
        for (const Action& a : actions) a(*this);
    }
    if (state == State::ended || state == State::cancelled || state == State::failed) {
        state_ = State::possible;
        reset();
    }
}

// Pan

CGPoint UIPanGestureRecognizer::translation(const UIView* view) const {
    const CGPoint a = view ? view->convertFromWindow(start_) : start_;
    const CGPoint b = location(view);
    return {b.x - a.x, b.y - a.y};
}

void UIPanGestureRecognizer::setTranslation(CGPoint translation, const UIView* view) {
    const CGPoint here = location(view);
    const CGPoint start{here.x - translation.x, here.y - translation.y};
    start_ = view ? view->convert(start, nullptr) : start;
}

void UIPanGestureRecognizer::touchBegan(const UITouch& touch) {
    tracking_ = true;
    start_ = location_ = touch.location(nullptr);
}

void UIPanGestureRecognizer::touchMoved(const UITouch& touch) {
    if (!tracking_) return;
    location_ = touch.location(nullptr);
    if (active(state()))
        setState(State::changed);
    else if (distance(location_, start_) >= hysteresis)
        setState(State::began);
}

void UIPanGestureRecognizer::touchEnded(const UITouch& touch) {
    if (!tracking_) return;
    tracking_ = false;
    location_ = touch.location(nullptr);
    setState(active(state()) ? State::ended : State::failed);
}

void UIPanGestureRecognizer::touchCancelled(const UITouch&) {
    tracking_ = false;
    setState(active(state()) ? State::cancelled : State::failed);
}

// Pinch

UIPinchGestureRecognizer::~UIPinchGestureRecognizer() {
    if (rest_) rest_->invalidate();
}

void UIPinchGestureRecognizer::scrollWheel(CGPoint windowPoint, double notches, bool control) {
    if (!control || !std::isfinite(notches) || notches == 0) return;
    location_ = windowPoint;
    const bool starting = !active(state());
    if (starting) scale = 1;
    scale *= std::pow(notchFactor, notches);
    if (rest_) rest_->invalidate();
    std::weak_ptr<UIGestureRecognizer> weak = weak_from_this();
    rest_ = Timer::scheduledTimer(restInterval, false, [weak](Timer&) {
        if (auto self = std::static_pointer_cast<UIPinchGestureRecognizer>(weak.lock()); self && active(self->state()))
            self->setState(State::ended);
    });
    setState(starting ? State::began : State::changed);
}

void UIPinchGestureRecognizer::reset() {
    if (rest_) rest_->invalidate();
    rest_.reset();
}

// Tap

void UITapGestureRecognizer::touchBegan(const UITouch& touch) {
    const CGPoint p = touch.location(nullptr);
    const double t = touch.timestamp();
    if (taps_ > 0 && (t - upTime_ > maximumInterval || distance(p, firstDown_) > tolerance)) taps_ = 0;
    if (taps_ == 0) firstDown_ = p;
    failed_ = false;
    down_ = location_ = p;
    downTime_ = t;
}

void UITapGestureRecognizer::touchMoved(const UITouch& touch) {
    if (distance(touch.location(nullptr), down_) > tolerance) {
        failed_ = true;
        taps_ = 0;
    }
}

void UITapGestureRecognizer::touchEnded(const UITouch& touch) {
    touchMoved(touch);
    if (failed_ || touch.timestamp() - downTime_ > maximumPress) {
        taps_ = 0;
        setState(State::failed);
        return;
    }
    upTime_ = touch.timestamp();
    if (++taps_ >= numberOfTapsRequired) {
        taps_ = 0;
        setState(State::ended);
    }
}

void UITapGestureRecognizer::touchCancelled(const UITouch&) {
    taps_ = 0;
    setState(State::failed);
}

// Long press

UILongPressGestureRecognizer::~UILongPressGestureRecognizer() {
    if (timer_) timer_->invalidate();
}

void UILongPressGestureRecognizer::reset() {
    if (timer_) timer_->invalidate();
    timer_.reset();
}

void UILongPressGestureRecognizer::touchBegan(const UITouch& touch) {
    reset();
    start_ = location_ = touch.location(nullptr);
    std::weak_ptr<UIGestureRecognizer> weak = weak_from_this();
    timer_ = Timer::scheduledTimer(minimumPressDuration, false, [weak](Timer&) {
        if (auto self = weak.lock(); self && self->state() == State::possible)
            static_cast<UILongPressGestureRecognizer&>(*self).setState(State::began);
    });
}

void UILongPressGestureRecognizer::touchMoved(const UITouch& touch) {
    location_ = touch.location(nullptr);
    if (active(state()))
        setState(State::changed);
    else if (timer_ && distance(location_, start_) > allowableMovement)
        setState(State::failed);
}

void UILongPressGestureRecognizer::touchEnded(const UITouch& touch) {
    location_ = touch.location(nullptr);
    setState(active(state()) ? State::ended : State::failed);
}

void UILongPressGestureRecognizer::touchCancelled(const UITouch&) {
    setState(active(state()) ? State::cancelled : State::failed);
}
