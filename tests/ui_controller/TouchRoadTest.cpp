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
    {{180, 100}, "split1"},
    {{300, 100}, "range_bp"},
    {{600, 100}, "range_hp"},
    {{100, 100}, "range_lp"},
    {{100, 72}, "control"},
    {{180, 130}, ""},
    {{100, 140}, "active_lp"},
    {{340, 140}, "active_bp"},
    {{588, 140}, "active_hp"},
    {{50, 240}, "swap"},
    {{50, 290}, "invert"},
    {{50, 495}, "recover"},
    {{550, 495}, "mono"},
    {{50, 370}, "correlograph"},
    {{50, 400}, "normalized"},
    {{300, 300}, "main"},
    {{550, 350}, "phaseshift"},
    {{300, 220}, "panorama"},
    {{300, 530}, "width"},
    {{210, 530}, "reset_width"},
    {{460, 220}, "reset_panorama"},
    {{250, 40}, "allpass"},
    {{400, 40}, "multiband"},
    {{30, 40}, "caption1"},
    {{550, 40}, "caption2"},
    {{10, 10}, ""},
    {{679, 599}, ""},
};

std::string hit(VYKOrmeltaView& v, CGPoint viewPoint) {
    const auto p = v.panelPoint(viewPoint);
    if (!p) return "(none)";
    v.setHotspotMode(*p);
    return v.hotspotMode();
}

TEST(HitTest, NamesTheHotSpotUnderAPointAtAnySizeAndOnlyWhatIsDrawn) {
    vyk::test::Lines lines;
    struct Size {
        CGSize view;
        CGFloat scale;
        CGPoint origin;
    };
    for (const Size& size : {Size{{680, 600}, 1, {0, 0}}, Size{{1360, 1200}, 2, {0, 0}}, Size{{1000, 600}, 1, {160, 0}},
                             Size{{340, 500}, 0.5, {0, 100}}}) {
        SCOPED_TRACE(size.view.width);
        auto window = std::make_shared<UIWindow>(size.view);
        auto view = std::make_shared<VYKOrmeltaView>(CGRect{{0, 0}, size.view});
        window->addSubview(view);
        EXPECT_EQ(hit(*view, {10, 10}), "(none)"); // nothing before the first draw
        window->displayIfNeeded();
        const auto at = [&](CGPoint p) {
            return hit(*view, {size.origin.x + p.x * size.scale, size.origin.y + p.y * size.scale});
        };
        for (const Spot& s : kSpots) EXPECT_EQ(at(s.panel), s.mode) << s.panel.x << "," << s.panel.y;
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
    EXPECT_EQ(lines.take().back(), "split1"); // the hit test prints its answer
}

// A click or drag on the panel, and the value the unit's tree then holds.
struct Step {
    CGPoint from, to;
    AUParameterAddress address;
    float value;
};

// In order from a new panel (band 2): each step depends on those before it.
const Step kClicks[] = {
    {{50, 240}, {50, 240}, 28, 1},      // swap, band 2
    {{100, 100}, {100, 100}, 2, 1},     // low band
    {{50, 290}, {50, 290}, 31, 1},      // invert, band 1
    {{50, 495}, {50, 495}, 35, 1},      // recover
    {{550, 495}, {550, 495}, 39, 1},    // mono
    {{340, 140}, {340, 140}, 6, 0},     // middle band off
    {{250, 40}, {250, 40}, 2, 0},       // all-pass
    {{400, 40}, {400, 40}, 2, 1},       // back to the band shown last
    {{210, 530}, {210, 530}, 15, 0.5},  // reset width, band 1
    {{460, 220}, {460, 220}, 19, 0.5},  // reset panorama
    {{300, 530}, {450, 530}, 15, 0.75}, // width knob, 150 right
    {{300, 530}, {1000, 0}, 15, 1},     // far beyond: held at 1
    {{340, 380}, {400, 440}, 19, 0.6},  // pad: 60 right raises the panorama ...
    {{340, 380}, {400, 440}, 15, 0.8},  // ... 60 down lowers the width (twice: 1, 0.9, 0.8)
    {{180, 100}, {580, 100}, 3, 0.75},  // split 1 stops at split 2
    {{550, 350}, {490, 350}, 23, 0},    // phase shift, 60 left: stays at 0
};

TEST_F(ControllerRig, EveryControlReachesTheUnitAndComesBackThroughTheMirror) {
    for (const Step& s : kClicks) {
        RunLoop::main().advance(1); // never a double tap
        window->mouseDown(s.from);
        EXPECT_TRUE(controller->touchesLocked);
        window->mouseDragged(s.to);
        window->mouseUp(s.to);
        EXPECT_FALSE(controller->touchesLocked);
        settle();
        EXPECT_FLOAT_EQ(value(s.address), s.value) << s.from.x << "," << s.from.y;
    }
    // What came back through the mirror.
    const auto& m = model();
    EXPECT_TRUE(m.isSwapOn[2] && m.isInvert[1] && !m.isRangeActive[2]);
    EXPECT_EQ(m.currentMode, 1);
    EXPECT_FLOAT_EQ(float(m.valueStereoWidth[1]), 0.8f);
    EXPECT_FLOAT_EQ(float(m.valueSplit1), 0.75f);
    EXPECT_FALSE(m.isOptionPhaseShiftActive || m.isSplit1Active || m.isStereoWidthResetActive);
    click({50, 400}); // normalised off
    EXPECT_FALSE(controller->correlographView->baseClass().isNormalized);
    click({50, 370}); // correlograph hidden
    EXPECT_TRUE(controller->correlographView->isHidden());

    // A cancelled drag keeps its values and lets go of everything.
    window->mouseDown({300, 220});
    window->mouseDragged({360, 220});
    EXPECT_TRUE(m.isOptionPanoramaActive);
    window->cancelTouches();
    EXPECT_FALSE(m.isOptionPanoramaActive);
    EXPECT_FALSE(controller->touchesLocked);
    EXPECT_FLOAT_EQ(value(19), 0.8f);
}

TEST_F(ControllerRig, TouchesFollowThePanelAfterTheHostResizes) {
    window->resize({1000, 500}, 1);
    settle();
    const CGRect f = controller->pluginView->frame();
    EXPECT_NEAR(f.minX(), 216.667, 1e-3);
    const CGFloat s = f.width() / 680;
    click({f.minX() + 50 * s, 240 * s});
    EXPECT_EQ(value(28), 1.0f);
}

} // namespace
