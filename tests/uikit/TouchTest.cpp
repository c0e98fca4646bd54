#include "foundation/RunLoop.h"
#include "uikit/UIControl.h"
#include "uikit/UIGestureRecognizer.h"
#include "uikit/UISlider.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

// Presses at the first point, drags through the middle ones and lets go at the last.
void stroke(UIWindow& window, std::initializer_list<CGPoint> points) {
    const CGPoint* p = points.begin();
    window.mouseDown(*p);
    while (++p != points.end() - 1) window.mouseDragged(*p);
    window.mouseUp(*p);
}

std::string str(CGPoint p) { return std::to_string(int(p.x)) + "," + std::to_string(int(p.y)); }

// Records the touches it receives, with their location in its own coordinates.
class Recorder : public UIView {
public:
    Recorder(CGRect frame, std::string name, Log& log) : UIView(frame), name_(std::move(name)), log_(log) {}
    void touchesBegan(const UITouchSet& t, const UIEvent*) override { note("began", t); }
    void touchesMoved(const UITouchSet& t, const UIEvent*) override { note("moved", t); }
    void touchesEnded(const UITouchSet& t, const UIEvent*) override { note("ended", t); }
    void touchesCancelled(const UITouchSet& t, const UIEvent*) override { note("cancelled", t); }

private:
    void note(const char* what, const UITouchSet& t) {
        ASSERT_EQ(t.size(), 1u);
        log_.push_back(name_ + " " + what + " " + str(t.front()->location(this)));
    }
    std::string name_;
    Log& log_;
};

// A recogniser that only logs what it is fed.
class Watcher : public UIGestureRecognizer {
public:
    explicit Watcher(Log& log) : log_(log) {}
    void touchBegan(const UITouch&) override { log_.push_back("watcher began"); }
    void touchEnded(const UITouch&) override { log_.push_back("watcher ended"); }

private:
    Log& log_;
};

class TouchDispatch : public ::testing::Test {
protected:
    Log log;
    std::shared_ptr<UIWindow> window = std::make_shared<UIWindow>(CGSize{300, 200});
    std::shared_ptr<Recorder> left = std::make_shared<Recorder>(CGRect(0, 0, 100, 100), "left", log);
    std::shared_ptr<Recorder> right = std::make_shared<Recorder>(CGRect(150, 0, 100, 100), "right", log);
    void SetUp() override {
        window->addSubview(left);
        window->addSubview(right);
    }
};

TEST_F(TouchDispatch, TheViewHitAtTouchDownOwnsTheSequence) {
    stroke(*window, {{10, 10}, {160, 20}, {170, 30}}); // dragged over the other view
    EXPECT_EQ(log, (Log{"left began 10,10", "left moved 160,20", "left ended 170,30"}));
    log.clear();
    window->mouseDragged({20, 20}); // no touch in progress: ignored
    window->mouseUp({20, 20});
    EXPECT_TRUE(log.empty());

    // A view that does not handle touches passes them up the responder chain.
    left->addSubview(std::make_shared<UIView>(CGRect(10, 10, 20, 20)));
    stroke(*window, {{15, 15}, {15, 15}});
    EXPECT_EQ(log, (Log{"left began 15,15", "left ended 15,15"}));
}

TEST_F(TouchDispatch, TouchesArriveInTheTransformedViewsOwnCoordinates) {
    right->setTransform(CGAffineTransform::makeScale(2, 2)); // x 100..300, y -50..150
    stroke(*window, {{120, 50}, {120, 50}});
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "right began 10,50"); // its own coordinates: 50 + (120 - 200) / 2, 50 + (50 - 50) / 2
}

TEST_F(TouchDispatch, RecognisersSeeTouchesAfterTheViewAndNeverCancelThem) {
    auto watcher = std::make_shared<Watcher>(log);
    window->addGestureRecognizer(watcher); // an ancestor's recogniser watches too
    window->mouseDown({10, 10});
    window->cancelTouches();
    stroke(*window, {{10, 10}, {10, 10}});
    EXPECT_EQ(log, (Log{"left began 10,10", "watcher began", "left cancelled 10,10", "left began 10,10",
                        "watcher began", "left ended 10,10", "watcher ended"}));
}

TEST_F(TouchDispatch, AViewRemovedMidSequenceIsLetGo) {
    window->mouseDown({10, 10});
    left->removeFromSuperview();
    left.reset(); // the window keeps no strong hold on it
    window->mouseDragged({20, 20});
    window->mouseUp({20, 20});
    EXPECT_EQ(log, (Log{"left began 10,10"}));
}

class ControlEvents : public ::testing::Test {
protected:
    std::vector<std::uint64_t> events;
    std::shared_ptr<UIWindow> window = std::make_shared<UIWindow>(CGSize{300, 200});
    std::shared_ptr<UIControl> control = std::make_shared<UIControl>(CGRect(50, 50, 100, 50));
    void SetUp() override {
        window->addSubview(control);
        for (auto e : {UIControlEvents::touchDown, UIControlEvents::touchUpInside, UIControlEvents::touchUpOutside,
                       UIControlEvents::touchCancel, UIControlEvents::valueChanged})
            control->addTarget([this, e](UIControl&) { events.push_back(static_cast<std::uint64_t>(e)); }, e);
    }
};

TEST_F(ControlEvents, ReleaseInsideAndOutsideAndCancel) {
    window->mouseDown({60, 60});
    EXPECT_TRUE(control->isHighlighted());
    window->mouseDragged({250, 60});
    EXPECT_FALSE(control->isHighlighted());
    window->mouseDragged({140, 90});
    window->mouseUp({149, 99});
    EXPECT_EQ(events, (std::vector<std::uint64_t>{1, 64}));
    events.clear();
    stroke(*window, {{60, 60}, {150, 60}}); // the right edge is outside
    EXPECT_EQ(events, (std::vector<std::uint64_t>{1, 128}));
    events.clear();
    window->mouseDown({60, 60});
    window->cancelTouches();
    EXPECT_EQ(events, (std::vector<std::uint64_t>{1, 256}));
    EXPECT_FALSE(control->isTracking());

    events.clear();
    control->setEnabled(false);
    stroke(*window, {{60, 60}, {60, 60}});
    EXPECT_TRUE(events.empty());
}

TEST_F(ControlEvents, OneTargetForSeveralEventsAndActionsThatRemoveTheControl) {
    int both = 0;
    control->addTarget([&](UIControl&) { ++both; }, UIControlEvents::touchDown | UIControlEvents::touchUpInside);
    control->addTarget([](UIControl& sender) { sender.removeFromSuperview(); }, UIControlEvents::touchUpInside);
    stroke(*window, {{60, 60}, {60, 60}});
    EXPECT_EQ(both, 2);
    EXPECT_EQ(control->superview(), nullptr);
}

TEST(Slider, DragSetsTheValueAndReportsEachChange) {
    auto window = std::make_shared<UIWindow>(CGSize{300, 100});
    auto slider = std::make_shared<UISlider>(CGRect(0, 0, 216, 40)); // track x 8..208
    window->addSubview(slider);
    std::vector<float> values;
    slider->addTarget([&](UIControl& s) { values.push_back(static_cast<UISlider&>(s).value()); },
                      UIControlEvents::valueChanged);
    stroke(*window, {{58, 20}, {108, 20}, {400, 20}, {400, 20}}); // beyond the end: the maximum
    EXPECT_EQ(values, (std::vector<float>{0.25f, 0.5f, 1.0f}));

    slider->setValue(NAN);
    EXPECT_EQ(slider->value(), 1.0f);
    slider->setValue(-3);
    EXPECT_EQ(slider->value(), 0.0f);
    slider->setRange(1, 1); // empty: ignored
    EXPECT_EQ(slider->maximumValue(), 1.0f);

    values.clear();
    slider->isContinuous = false;
    window->mouseDown({58, 20});
    window->mouseDragged({108, 20});
    EXPECT_TRUE(values.empty());
    window->mouseUp({108, 20});
    EXPECT_EQ(values, (std::vector<float>{0.5f}));
}

using State = UIGestureRecognizer::State;

const char* name(State s) {
    static const char* const names[] = {"possible", "began", "changed", "ended", "cancelled", "failed"};
    return names[static_cast<int>(s)];
}

class Gestures : public ::testing::Test {
protected:
    std::shared_ptr<UIWindow> window = std::make_shared<UIWindow>(CGSize{400, 300});
    std::shared_ptr<UIView> panel = std::make_shared<UIView>(CGRect(100, 100, 200, 100));
    std::vector<std::string> log;

    void SetUp() override {
        RunLoop::main().setVirtualClock(true);
        window->addSubview(panel);
    }
    void TearDown() override {
        RunLoop::main().runUntilIdle();
        RunLoop::main().setVirtualClock(false);
    }
    template <class R>
    std::shared_ptr<R> attach(std::shared_ptr<R> r, UIView& to) {
        r->addTarget([this](UIGestureRecognizer& g) { log.push_back(name(g.state())); });
        to.addGestureRecognizer(r);
        return r;
    }
    void advance(double s) { RunLoop::main().advance(s); }
    void tap(CGPoint p, double hold = 0.05) {
        window->mouseDown(p);
        advance(hold);
        window->mouseUp(p);
    }
};

TEST_F(Gestures, PanBeginsAfterItsHysteresisAndTracksFromTouchDown) {
    auto pan = attach(std::make_shared<UIPanGestureRecognizer>(), *window);
    std::vector<CGPoint> translations;
    pan->addTarget([&](UIGestureRecognizer&) { translations.push_back(pan->translation(panel.get())); });
    window->mouseDown({150, 150});
    window->mouseDragged({155, 153}); // 5.8 points: not yet
    EXPECT_EQ(pan->state(), State::possible);
    window->mouseDragged({158, 156}); // 10 points
    EXPECT_EQ(pan->state(), State::began);
    window->mouseDragged({170, 150});
    window->mouseUp({180, 140});
    EXPECT_EQ(log, (std::vector<std::string>{"began", "changed", "ended"}));
    EXPECT_EQ(translations, (std::vector<CGPoint>{{8, 6}, {20, 0}, {30, -10}}));
    EXPECT_EQ(pan->state(), State::possible);

    // In a view scaled by 2 the same movement is half as far.
    panel->setTransform(CGAffineTransform::makeScale(2, 2));
    log.clear();
    window->mouseDown({150, 150});
    window->mouseDragged({170, 150});
    EXPECT_EQ(pan->translation(panel.get()).x, 10);
    pan->setTranslation({0, 0}, panel.get());
    window->mouseDragged({180, 150});
    EXPECT_EQ(pan->translation(nullptr).x, 10);
    window->cancelTouches();
    EXPECT_EQ(log, (std::vector<std::string>{"began", "changed", "cancelled"}));

    // A touch that never moves far enough just fails, silently.
    log.clear();
    tap({150, 150});
    EXPECT_TRUE(log.empty());
}

TEST_F(Gestures, PanDoesNotStealTheViewsTouches) {
    auto control = std::make_shared<UIControl>(CGRect(0, 0, 100, 100));
    panel->addSubview(control);
    std::vector<std::uint64_t> events;
    control->addTarget([&](UIControl&) { events.push_back(1); }, UIControlEvents::touchDown);
    control->addTarget([&](UIControl&) { events.push_back(64); }, UIControlEvents::touchUpInside);
    attach(std::make_shared<UIPanGestureRecognizer>(), *window);
    stroke(*window, {{110, 110}, {150, 150}, {150, 150}});
    EXPECT_EQ(events, (std::vector<std::uint64_t>{1, 64}));
    EXPECT_EQ(log, (std::vector<std::string>{"began", "ended"}));
}

TEST_F(Gestures, DoubleTapWithinItsInterval) {
    auto doubleTap = std::make_shared<UITapGestureRecognizer>();
    doubleTap->numberOfTapsRequired = 2;
    int doubles = 0, singles = 0;
    doubleTap->addTarget([&](UIGestureRecognizer&) { ++doubles; });
    auto singleTap = std::make_shared<UITapGestureRecognizer>();
    singleTap->addTarget([&](UIGestureRecognizer&) { ++singles; });
    window->addGestureRecognizer(doubleTap);
    window->addGestureRecognizer(singleTap);

    // Each tap: the wait before it, where, how long it is held, the double taps seen after it.
    const struct {
        double wait;
        CGPoint at;
        double hold;
        int doubles;
    } taps[] = {{0, {150, 150}, 0.05, 0},   {0.2, {153, 152}, 0.05, 1},
                {1, {150, 150}, 0.05, 1},   {0.4, {150, 150}, 0.05, 1}, // too late for a second tap
                {0.1, {150, 150}, 0.05, 2},                             // but this one pairs with the last
                {1, {150, 150}, 0.05, 2},   {0.1, {190, 150}, 0.05, 2}, // too far from the first
                {1, {150, 150}, 0.6, 2}};                               // held too long: a press
    for (const auto& t : taps) {
        advance(t.wait);
        tap(t.at, t.hold);
        EXPECT_EQ(doubles, t.doubles) << t.at.x << " after " << t.wait;
    }
    EXPECT_EQ(singles, 7);                                 // single taps fire on their own
    stroke(*window, {{150, 150}, {170, 150}, {150, 150}}); // moved away: no tap
    EXPECT_EQ(singles, 7);
}

TEST_F(Gestures, LongPressBeginsAfterHalfASecondUnlessMovedTooFar) {
    auto press = attach(std::make_shared<UILongPressGestureRecognizer>(), *panel);
    window->mouseDown({150, 150});
    advance(0.49);
    EXPECT_EQ(press->state(), State::possible);
    advance(0.02);
    EXPECT_EQ(press->state(), State::began);
    window->mouseDragged({200, 150}); // after it began, moving is fine
    window->mouseUp({200, 150});
    EXPECT_EQ(log, (std::vector<std::string>{"began", "changed", "ended"}));
    EXPECT_EQ(press->location(panel.get()).x, 100);

    // Moved 15 points before the time, released early, or outside the panel: nothing.
    log.clear();
    window->mouseDown({150, 150});
    advance(0.2);
    window->mouseDragged({165, 150});
    advance(1);
    window->mouseUp({165, 150});
    tap({150, 150}, 0.3);
    advance(1);
    tap({10, 10}, 1);
    EXPECT_TRUE(log.empty());
}

TEST_F(Gestures, PinchIsControlWithTheWheel) {
    auto pinch = attach(std::make_shared<UIPinchGestureRecognizer>(), *panel);
    std::vector<double> scales;
    pinch->addTarget([&](UIGestureRecognizer&) { scales.push_back(pinch->scale); });
    window->scrollWheel({150, 150}, 1, false); // plain scrolling is no pinch
    EXPECT_TRUE(log.empty());
    window->scrollWheel({150, 150}, 1, true);
    advance(0.2);
    window->scrollWheel({150, 150}, 1, true);
    advance(0.2);
    window->scrollWheel({150, 150}, -3, true);
    advance(0.29);
    EXPECT_EQ(pinch->state(), State::changed);
    advance(0.02); // the wheel rested 0.3 s
    EXPECT_EQ(log, (std::vector<std::string>{"began", "changed", "changed", "ended"}));
    ASSERT_EQ(scales.size(), 4u);
    EXPECT_DOUBLE_EQ(scales[0], 1.1);
    EXPECT_DOUBLE_EQ(scales[1], 1.21);
    EXPECT_NEAR(scales[2], 1 / 1.1, 1e-12);
    EXPECT_NEAR(scales[3], 1 / 1.1, 1e-12);

    log.clear();
    window->scrollWheel({150, 150}, NAN, true);
    window->scrollWheel({10, 10}, 1, true); // not over the panel
    EXPECT_TRUE(log.empty());
    window->scrollWheel({150, 150}, 2, true);
    EXPECT_NEAR(pinch->scale, 1.21, 1e-12); // a new gesture starts from 1
    pinch->setEnabled(false);
    EXPECT_EQ(log, (std::vector<std::string>{"began", "cancelled"}));
    advance(1);
    EXPECT_EQ(log.size(), 2u);
}

TEST_F(Gestures, ARecogniserDroppedDuringItsActionIsSafe) {
    auto pan = std::make_shared<UIPanGestureRecognizer>();
    UIGestureRecognizer* raw = pan.get();
    int calls = 0;
    pan->addTarget([&](UIGestureRecognizer&) {
        ++calls;
        window->removeGestureRecognizer(raw);
    });
    window->addGestureRecognizer(pan);
    pan.reset();
    stroke(*window, {{150, 150}, {180, 150}, {190, 150}, {190, 150}});
    EXPECT_EQ(calls, 1);
}

} // namespace
