#include "foundation/RunLoop.h"
#include "uikit/UIControl.h"
#include "uikit/UIGestureRecognizer.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using State = UIGestureRecognizer::State;

const char* name(State s)
{
    static const char* const names[] = {"possible", "began", "changed", "ended", "cancelled", "failed"};
    return names[static_cast<int>(s)];
}

class Gestures : public ::testing::Test {
protected:
    std::shared_ptr<UIWindow> window = std::make_shared<UIWindow>(CGSize{400, 300});
    std::shared_ptr<UIView> panel = std::make_shared<UIView>(CGRect(100, 100, 200, 100));
    std::vector<std::string> log;

    void SetUp() override
    {
        RunLoop::main().setVirtualClock(true);
        window->addSubview(panel);
    }
    void TearDown() override
    {
        RunLoop::main().runUntilIdle();
        RunLoop::main().setVirtualClock(false);
    }
    template <class R>
    std::shared_ptr<R> attach(std::shared_ptr<R> r, UIView& to)
    {
        r->addTarget([this](UIGestureRecognizer& g) { log.push_back(name(g.state())); });
        to.addGestureRecognizer(r);
        return r;
    }
    void advance(double s) { RunLoop::main().advance(s); }
    void tap(CGPoint p, double hold = 0.05)
    {
        window->mouseDown(p);
        advance(hold);
        window->mouseUp(p);
    }
};

TEST_F(Gestures, PanBeginsAfterItsHysteresisAndTracksFromTouchDown)
{
    auto pan = attach(std::make_shared<UIPanGestureRecognizer>(), *window);
    std::vector<CGPoint> translations;
    pan->addTarget([&](UIGestureRecognizer&) { translations.push_back(pan->translation(panel.get())); });
    window->mouseDown({150, 150});
    window->mouseDragged({155, 153});  // 5.8 points: not yet
    EXPECT_EQ(pan->state(), State::possible);
    window->mouseDragged({158, 156});  // 10 points
    EXPECT_EQ(pan->state(), State::began);
    window->mouseDragged({170, 150});
    window->mouseUp({180, 140});
    EXPECT_EQ(log, (std::vector<std::string>{"began", "changed", "ended"}));
    ASSERT_EQ(translations.size(), 3u);
    EXPECT_EQ(translations[0], (CGPoint{8, 6}));
    EXPECT_EQ(translations[2], (CGPoint{30, -10}));
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

TEST_F(Gestures, PanDoesNotStealTheViewsTouches)
{
    auto control = std::make_shared<UIControl>(CGRect(0, 0, 100, 100));
    panel->addSubview(control);
    std::vector<std::uint64_t> events;
    control->addTarget([&](UIControl&) { events.push_back(1); }, UIControlEvents::touchDown);
    control->addTarget([&](UIControl&) { events.push_back(64); }, UIControlEvents::touchUpInside);
    attach(std::make_shared<UIPanGestureRecognizer>(), *window);
    window->mouseDown({110, 110});
    window->mouseDragged({150, 150});
    window->mouseUp({150, 150});
    EXPECT_EQ(events, (std::vector<std::uint64_t>{1, 64}));
    EXPECT_EQ(log, (std::vector<std::string>{"began", "ended"}));
}

TEST_F(Gestures, DoubleTapWithinItsInterval)
{
    auto doubleTap = std::make_shared<UITapGestureRecognizer>();
    doubleTap->numberOfTapsRequired = 2;
    int doubles = 0, singles = 0;
    doubleTap->addTarget([&](UIGestureRecognizer&) { ++doubles; });
    auto singleTap = std::make_shared<UITapGestureRecognizer>();
    singleTap->addTarget([&](UIGestureRecognizer&) { ++singles; });
    window->addGestureRecognizer(doubleTap);
    window->addGestureRecognizer(singleTap);

    tap({150, 150});
    advance(0.2);
    tap({153, 152});
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(singles, 2);  // single taps fire on their own

    advance(1);
    tap({150, 150});
    advance(0.4);  // too late for a second tap
    tap({150, 150});
    EXPECT_EQ(doubles, 1);
    advance(0.1);
    tap({150, 150});  // but this one pairs with the last
    EXPECT_EQ(doubles, 2);

    advance(1);
    tap({150, 150});
    advance(0.1);
    tap({190, 150});  // too far from the first
    EXPECT_EQ(doubles, 2);

    advance(1);
    tap({150, 150}, 0.6);  // held too long: a press, not a tap
    EXPECT_EQ(singles, 7);
    window->mouseDown({150, 150});
    window->mouseDragged({170, 150});  // moved away: no tap
    window->mouseUp({150, 150});
    EXPECT_EQ(singles, 7);
}

TEST_F(Gestures, LongPressBeginsAfterHalfASecondUnlessMovedTooFar)
{
    auto press = attach(std::make_shared<UILongPressGestureRecognizer>(), *panel);
    window->mouseDown({150, 150});
    advance(0.49);
    EXPECT_EQ(press->state(), State::possible);
    advance(0.02);
    EXPECT_EQ(press->state(), State::began);
    window->mouseDragged({200, 150});  // after it began, moving is fine
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

TEST_F(Gestures, PinchIsControlWithTheWheel)
{
    auto pinch = attach(std::make_shared<UIPinchGestureRecognizer>(), *panel);
    std::vector<double> scales;
    pinch->addTarget([&](UIGestureRecognizer&) { scales.push_back(pinch->scale); });
    window->scrollWheel({150, 150}, 1, false);  // plain scrolling is no pinch
    EXPECT_TRUE(log.empty());
    window->scrollWheel({150, 150}, 1, true);
    advance(0.2);
    window->scrollWheel({150, 150}, 1, true);
    advance(0.2);
    window->scrollWheel({150, 150}, -3, true);
    advance(0.29);
    EXPECT_EQ(pinch->state(), State::changed);
    advance(0.02);  // the wheel rested 0.3 s
    EXPECT_EQ(log, (std::vector<std::string>{"began", "changed", "changed", "ended"}));
    ASSERT_EQ(scales.size(), 4u);
    EXPECT_DOUBLE_EQ(scales[0], 1.1);
    EXPECT_DOUBLE_EQ(scales[1], 1.21);
    EXPECT_NEAR(scales[2], 1 / 1.1, 1e-12);
    EXPECT_NEAR(scales[3], 1 / 1.1, 1e-12);

    log.clear();
    window->scrollWheel({150, 150}, NAN, true);
    window->scrollWheel({10, 10}, 1, true);  // not over the panel
    EXPECT_TRUE(log.empty());
    window->scrollWheel({150, 150}, 2, true);
    EXPECT_NEAR(pinch->scale, 1.21, 1e-12);  // a new gesture starts from 1
    pinch->setEnabled(false);
    EXPECT_EQ(log, (std::vector<std::string>{"began", "cancelled"}));
    advance(1);
    EXPECT_EQ(log.size(), 2u);
}

TEST_F(Gestures, ARecogniserDroppedDuringItsActionIsSafe)
{
    auto pan = std::make_shared<UIPanGestureRecognizer>();
    UIGestureRecognizer* raw = pan.get();
    int calls = 0;
    pan->addTarget([&](UIGestureRecognizer&) {
        ++calls;
        window->removeGestureRecognizer(raw);
    });
    window->addGestureRecognizer(pan);
    pan.reset();
    window->mouseDown({150, 150});
    window->mouseDragged({180, 150});
    window->mouseDragged({190, 150});
    window->mouseUp({190, 150});
    EXPECT_EQ(calls, 1);
}

} // namespace
