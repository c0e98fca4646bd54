#include "DrawingProbes.h"

#include "uikit/UIBezierPath.h"
#include "uikit/UIColor.h"
#include "uikit/UIGraphics.h"

#include <gtest/gtest.h>

namespace {

using vyk::test::pixelNear;

TEST(BezierPath, ContainmentUsesTheNonZeroRule) {
    // A lone rectangle: half-open, whatever the sign of its size.
    const UIBezierPath r = UIBezierPath::rect({20, 30, -10, -10});
    EXPECT_TRUE(r.contains({10, 20}));
    EXPECT_FALSE(r.contains({20, 25}));
    EXPECT_FALSE(UIBezierPath().contains({0, 0}));

    const UIBezierPath oval = UIBezierPath::ovalIn({0, 0, 100, 50});
    EXPECT_TRUE(oval.contains({50, 25}));
    EXPECT_TRUE(oval.contains({95, 25}));
    EXPECT_FALSE(oval.contains({5, 5})); // outside the curve, inside the box

    // Two windings the same way stay filled where they overlap (even-odd would not).
    UIBezierPath twice;
    for (int i = 0; i < 2; ++i) {
        twice.move({0, 0});
        for (CGPoint p : {CGPoint{10, 0}, CGPoint{10, 10}, CGPoint{0, 10}}) twice.addLine(p);
        twice.close();
    }
    EXPECT_TRUE(twice.contains({5, 5}));

    const UIBezierPath rounded = UIBezierPath::roundedRect({0, 0, 40, 20}, 100); // radius clamped to 10
    EXPECT_TRUE(rounded.contains({20, 10}));
    EXPECT_FALSE(rounded.contains({1, 1}));
    EXPECT_TRUE(rounded.contains({10, 1}));
}

// Drawing goes to the current context only (the panel's probes check what is drawn).
TEST(BezierPath, DrawsIntoTheCurrentContextOnly) {
    UIBezierPath::rect({0, 0, 10, 10}).fill(); // no context: nothing happens
    vyk::gfx::ImageSurface s(20, 20);
    s.clear({1, 1, 1, 1});
    CGContext cx(s.cairoSurface());
    {
        vyk::ui::CurrentContext current(cx);
        UIColor(1, 0, 0, 1).setFill();
        UIBezierPath::rect({0, 0, 10, 10}).fill();
    }
    EXPECT_EQ(UIGraphicsGetCurrentContext(), nullptr);
    EXPECT_TRUE(pixelNear(s, 5, 5, {255, 0, 0}));
    EXPECT_TRUE(pixelNear(s, 15, 15, {255, 255, 255}));
}

} // namespace
