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
    void note(const char* what, const UITouchSet& t)
    {
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
    void SetUp() override
    {
        window->addSubview(left);
        window->addSubview(right);
    }
};

TEST_F(TouchDispatch, TheViewHitAtTouchDownOwnsTheSequence)
{
    window->mouseDown({10, 10});
    window->mouseDragged({160, 20});  // over the other view
    window->mouseUp({170, 30});
    EXPECT_EQ(log, (Log{"left began 10,10", "left moved 160,20", "left ended 170,30"}));
    log.clear();
    window->mouseDragged({20, 20});  // no touch in progress: ignored
    window->mouseUp({20, 20});
    EXPECT_TRUE(log.empty());

    // A view that does not handle touches passes them up the responder chain.
    left->addSubview(std::make_shared<UIView>(CGRect(10, 10, 20, 20)));
    window->mouseDown({15, 15});
    window->mouseUp({15, 15});
    EXPECT_EQ(log, (Log{"left began 15,15", "left ended 15,15"}));
}

TEST_F(TouchDispatch, TouchesArriveInTheTransformedViewsOwnCoordinates)
{
    right->setTransform(CGAffineTransform::makeScale(2, 2));  // x 100..300, y -50..150
    window->mouseDown({120, 50});
    window->mouseUp({120, 50});
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "right began 10,50");  // its own coordinates: 50 + (120 - 200) / 2, 50 + (50 - 50) / 2
}

TEST_F(TouchDispatch, RecognisersSeeTouchesAfterTheViewAndNeverCancelThem)
{
    auto watcher = std::make_shared<Watcher>(log);
    window->addGestureRecognizer(watcher);  // an ancestor's recogniser watches too
    window->mouseDown({10, 10});
    window->cancelTouches();
    window->mouseDown({10, 10});
    window->mouseUp({10, 10});
    EXPECT_EQ(log, (Log{"left began 10,10", "watcher began", "left cancelled 10,10", "left began 10,10",
                        "watcher began", "left ended 10,10", "watcher ended"}));
}

TEST_F(TouchDispatch, AViewRemovedMidSequenceIsLetGo)
{
    window->mouseDown({10, 10});
    left->removeFromSuperview();
    left.reset();  // the window keeps no strong hold on it
    window->mouseDragged({20, 20});
    window->mouseUp({20, 20});
    EXPECT_EQ(log, (Log{"left began 10,10"}));
}

class ControlEvents : public ::testing::Test {
protected:
    std::vector<std::uint64_t> events;
    std::shared_ptr<UIWindow> window = std::make_shared<UIWindow>(CGSize{300, 200});
    std::shared_ptr<UIControl> control = std::make_shared<UIControl>(CGRect(50, 50, 100, 50));
    void SetUp() override
    {
        window->addSubview(control);
        for (auto e : {UIControlEvents::touchDown, UIControlEvents::touchUpInside, UIControlEvents::touchUpOutside,
                       UIControlEvents::touchCancel, UIControlEvents::valueChanged})
            control->addTarget([this, e](UIControl&) { events.push_back(static_cast<std::uint64_t>(e)); }, e);
    }
};

TEST_F(ControlEvents, ReleaseInsideAndOutsideAndCancel)
{
    window->mouseDown({60, 60});
    EXPECT_TRUE(control->isHighlighted());
    window->mouseDragged({250, 60});
    EXPECT_FALSE(control->isHighlighted());
    window->mouseDragged({140, 90});
    window->mouseUp({149, 99});
    EXPECT_EQ(events, (std::vector<std::uint64_t>{1, 64}));
    events.clear();
    window->mouseDown({60, 60});
    window->mouseUp({150, 60});  // the right edge is outside
    EXPECT_EQ(events, (std::vector<std::uint64_t>{1, 128}));
    events.clear();
    window->mouseDown({60, 60});
    window->cancelTouches();
    EXPECT_EQ(events, (std::vector<std::uint64_t>{1, 256}));
    EXPECT_FALSE(control->isTracking());

    events.clear();
    control->setEnabled(false);
    window->mouseDown({60, 60});
    window->mouseUp({60, 60});
    EXPECT_TRUE(events.empty());
}

TEST_F(ControlEvents, OneTargetForSeveralEventsAndActionsThatRemoveTheControl)
{
    int both = 0;
    control->addTarget([&](UIControl&) { ++both; }, UIControlEvents::touchDown | UIControlEvents::touchUpInside);
    control->addTarget([](UIControl& sender) { sender.removeFromSuperview(); }, UIControlEvents::touchUpInside);
    window->mouseDown({60, 60});
    window->mouseUp({60, 60});
    EXPECT_EQ(both, 2);
    EXPECT_EQ(control->superview(), nullptr);
}

TEST(Slider, DragSetsTheValueAndReportsEachChange)
{
    auto window = std::make_shared<UIWindow>(CGSize{300, 100});
    auto slider = std::make_shared<UISlider>(CGRect(0, 0, 216, 40));  // track x 8..208
    window->addSubview(slider);
    std::vector<float> values;
    slider->addTarget([&](UIControl& s) { values.push_back(static_cast<UISlider&>(s).value()); },
                      UIControlEvents::valueChanged);
    window->mouseDown({58, 20});
    window->mouseDragged({108, 20});
    window->mouseDragged({400, 20});  // beyond the end: the maximum
    window->mouseUp({400, 20});
    EXPECT_EQ(values, (std::vector<float>{0.25f, 0.5f, 1.0f}));

    slider->setValue(NAN);
    EXPECT_EQ(slider->value(), 1.0f);
    slider->setValue(-3);
    EXPECT_EQ(slider->value(), 0.0f);
    slider->setRange(1, 1);  // empty: ignored
    EXPECT_EQ(slider->maximumValue(), 1.0f);

    values.clear();
    slider->isContinuous = false;
    window->mouseDown({58, 20});
    window->mouseDragged({108, 20});
    EXPECT_TRUE(values.empty());
    window->mouseUp({108, 20});
    EXPECT_EQ(values, (std::vector<float>{0.5f}));
}

} // namespace
