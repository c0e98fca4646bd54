// The control view: which hot spot a point names at several sizes, and the touch
// road from a click on the panel to the unit's parameter tree and back.
#include "ControllerRig.h"

#include "ui/CorrelographView.h"

namespace {

using vyk::test::ControllerRig;

struct Spot {
    CGPoint panel;
    const char* mode;
};

// Panel points and the hot spot the layout puts there (splits at 0.25 and 0.75).
const Spot kSpots[] = {
    {{180, 100}, "split1"}, {{300, 100}, "range_bp"}, {{600, 100}, "range_hp"}, {{100, 100}, "range_lp"},
    {{100, 72}, "control"}, {{180, 130}, ""}, {{100, 140}, "active_lp"}, {{340, 140}, "active_bp"},
    {{588, 140}, "active_hp"}, {{50, 240}, "swap"}, {{50, 290}, "invert"}, {{50, 495}, "recover"},
    {{550, 495}, "mono"}, {{50, 370}, "correlograph"}, {{50, 400}, "normalized"}, {{300, 300}, "main"},
    {{550, 350}, "phaseshift"}, {{300, 220}, "panorama"}, {{300, 530}, "width"}, {{210, 530}, "reset_width"},
    {{460, 220}, "reset_panorama"}, {{250, 40}, "allpass"}, {{400, 40}, "multiband"}, {{30, 40}, "caption1"},
    {{550, 40}, "caption2"}, {{10, 10}, ""}, {{679, 599}, ""},
};

std::string hit(VYKOrmeltaView& v, CGPoint viewPoint)
{
    const auto p = v.panelPoint(viewPoint);
    if (!p)
        return "(none)";
    v.setHotspotMode(*p);
    return v.hotspotMode();
}

TEST(HitTest, NamesTheHotSpotUnderAPointAtAnySizeAndOnlyWhatIsDrawn)
{
    vyk::test::Lines lines;
    struct Size {
        CGSize view;
        CGFloat scale;
        CGPoint origin;
    };
    for (const Size& size : {Size{{680, 600}, 1, {0, 0}}, Size{{1360, 1200}, 2, {0, 0}},
                             Size{{1000, 600}, 1, {160, 0}}, Size{{340, 500}, 0.5, {0, 100}}}) {
        SCOPED_TRACE(size.view.width);
        auto window = std::make_shared<UIWindow>(size.view);
        auto view = std::make_shared<VYKOrmeltaView>(CGRect{{0, 0}, size.view});
        window->addSubview(view);
        EXPECT_EQ(hit(*view, {10, 10}), "(none)");  // nothing before the first draw
        window->displayIfNeeded();
        const auto at = [&](CGPoint p) {
            return hit(*view, {size.origin.x + p.x * size.scale, size.origin.y + p.y * size.scale});
        };
        for (const Spot& s : kSpots)
            EXPECT_EQ(at(s.panel), s.mode) << s.panel.x << "," << s.panel.y;
        // All-pass: no band bar, no band switches.
        view->baseClass().isAllpass = true;
        view->setNeedsDisplay();
        window->displayIfNeeded();
        EXPECT_EQ(at({100, 100}), "");
        EXPECT_EQ(at({100, 140}), "");
        EXPECT_EQ(at({50, 240}), "swap");
    }
    // Markers that meet: the one that can move away from the end is taken.
    auto window = std::make_shared<UIWindow>(CGSize{680, 600});
    auto view = std::make_shared<VYKOrmeltaView>(CGRect{0, 0, 680, 600});
    window->addSubview(view);
    for (double split : {0.0, 1.0}) {
        view->baseClass().valueSplit1 = view->baseClass().valueSplit2 = split;
        view->setNeedsDisplay();
        window->displayIfNeeded();
        EXPECT_EQ(hit(*view, {20 + 610 * split + 10, 100}), split < 0.5 ? "split2" : "split1");
    }
    EXPECT_EQ(lines.take().back(), "split1");  // the hit test prints its answer
}

// One click on the panel, what the unit's tree then holds, and what the panel shows.
TEST_F(ControllerRig, EveryControlReachesTheUnitAndComesBackThroughTheMirror)
{
    auto& m = model();
    click({50, 240});  // swap, band 2
    EXPECT_EQ(value(28), 1.0f);
    EXPECT_TRUE(m.isSwapOn[2]);
    click({100, 100});  // low band
    EXPECT_EQ(value(2), 1.0f);
    EXPECT_EQ(m.currentMode, 1);
    click({50, 290});  // invert, band 1
    EXPECT_EQ(value(31), 1.0f);
    click({50, 495});
    EXPECT_EQ(value(35), 1.0f);
    click({550, 495});
    EXPECT_EQ(value(39), 1.0f);
    click({340, 140});  // middle band off
    EXPECT_EQ(value(6), 0.0f);
    EXPECT_FALSE(m.isRangeActive[2]);
    click({250, 40});  // all-pass
    EXPECT_EQ(value(2), 0.0f);
    EXPECT_TRUE(m.isAllpass);
    click({400, 40});  // back to the band shown last
    EXPECT_EQ(value(2), 1.0f);
    EXPECT_FALSE(m.isAllpass);
    click({50, 400});  // normalised off
    EXPECT_FALSE(controller->correlographView->baseClass().isNormalized);
    click({50, 370});  // correlograph hidden
    EXPECT_TRUE(controller->correlographView->isHidden());

    unit->parameterTree()->parameterWithAddress(15)->setValue(0.9f);
    settle();
    EXPECT_DOUBLE_EQ(m.valueStereoWidth[1], 0.9f);
    click({210, 530});  // reset width, band 1
    EXPECT_EQ(value(15), 0.5f);
    EXPECT_DOUBLE_EQ(m.valueStereoWidth[1], 0.5);
    click({460, 220});
    EXPECT_EQ(value(19), 0.5f);
    EXPECT_FALSE(m.isStereoWidthResetActive || m.isPanoramaResetActive);  // released
}

TEST_F(ControllerRig, DragsMoveKnobsPadAndSplitsWithinRange)
{
    const auto drag = [&](CGPoint from, CGPoint to) {
        RunLoop::main().advance(1);
        window->mouseDown(from);
        window->mouseDragged(to);
        EXPECT_TRUE(controller->touchesLocked);
        window->mouseUp(to);
        EXPECT_FALSE(controller->touchesLocked);
        settle();
    };
    drag({300, 530}, {450, 530});  // width knob, 150 right
    EXPECT_FLOAT_EQ(value(16), 0.75f);
    drag({300, 530}, {1000, 0});  // far beyond: held at 1
    EXPECT_EQ(value(16), 1.0f);
    drag({340, 380}, {400, 440});  // pad: 60 right, 60 down
    EXPECT_FLOAT_EQ(value(20), 0.6f);
    EXPECT_FLOAT_EQ(value(16), 0.9f);
    drag({180, 100}, {580, 100});  // split 1 stops at split 2
    EXPECT_FLOAT_EQ(value(3), 0.75f);
    EXPECT_FLOAT_EQ(float(model().valueSplit1), 0.75f);
    drag({550, 350}, {490, 350});  // phase shift, 60 left: stays at 0
    EXPECT_EQ(value(24), 0.0f);
    EXPECT_FALSE(model().isOptionPhaseShiftActive);

    // A cancelled drag keeps its values and lets go of everything.
    window->mouseDown({300, 220});
    window->mouseDragged({360, 220});
    EXPECT_TRUE(model().isOptionPanoramaActive);
    window->cancelTouches();
    EXPECT_FALSE(model().isOptionPanoramaActive);
    EXPECT_FALSE(controller->touchesLocked);
    EXPECT_FLOAT_EQ(value(20), 0.7f);
}

TEST_F(ControllerRig, TouchesFollowThePanelAfterTheHostResizes)
{
    window->resize({1000, 500}, 1);
    settle();
    const CGRect f = controller->pluginView->frame();
    EXPECT_NEAR(f.minX(), 216.667, 1e-3);
    const CGFloat s = f.width() / 680;
    click({f.minX() + 50 * s, 240 * s});
    EXPECT_EQ(value(28), 1.0f);
}

} // namespace
