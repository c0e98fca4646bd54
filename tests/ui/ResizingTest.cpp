// The one resizing rule, against rectangles worked out by hand.
#include "ui/CorrelographViewBase.h"
#include "ui/PluginFrameBaseEx.h"
#include "ui/VYKOrmeltaViewBase.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using P = VYKOrmeltaViewBase;

TEST(Resizing, BehavioursAndTheirRecords)
{
    struct Case {
        int raw;
        CGRect canvas, target, result;
        CGSize scale;
    } cases[] = {
        {0, P::panelCanvas, {0, 0, 1360, 1200}, {0, 0, 1360, 1200}, {2, 2}},
        {0, P::panelCanvas, {0, 0, 680, 1200}, {0, 300, 680, 600}, {1, 1}},
        {1, P::panelCanvas, {0, 0, 680, 1200}, {-340, 0, 1360, 1200}, {2, 2}},
        {2, P::panelCanvas, {0, 0, 680, 1200}, {0, 0, 680, 1200}, {1, 2}},
        {3, P::panelCanvas, {0, 0, 680, 1200}, {0, 300, 680, 600}, {1, 1}},
        {0, P::panelCanvas, {100, 50, 340, 900}, {100, 350, 340, 300}, {0.5, 0.5}},
        {0, P::panelCanvas, {680, 600, -680, -600}, P::panelCanvas, {1, 1}},  // measured by its size
        {0, {0, 0, 256, 256}, {10, 20, 512, 256}, {138, 20, 256, 256}, {1, 1}},
        {1, {0, 0, 256, 256}, {10, 20, 512, 256}, {10, -108, 512, 512}, {2, 2}},
        {2, {0, 0, 256, 256}, {10, 20, 512, 256}, {10, 20, 512, 256}, {2, 1}},
        {3, {0, 0, 256, 256}, {10, 20, 512, 256}, {138, 20, 256, 256}, {1, 1}},
    };
    for (const Case& c : cases) {
        VYKOrmeltaViewScale = CorrelographViewScale = {7, 7};
        EXPECT_EQ(P::ResizingBehavior1::fromRaw(c.raw)->apply(c.canvas, c.target), c.result) << c.raw;
        EXPECT_EQ(VYKOrmeltaViewScale, c.scale) << c.raw;
        EXPECT_EQ(CorrelographViewBase::ResizingBehavior::fromRaw(c.raw)->apply(c.canvas, c.target), c.result);
        EXPECT_EQ(CorrelographViewScale, c.scale);
        // The sub-canvases' behaviour maps alike and records nothing.
        VYKOrmeltaViewScale = {7, 7};
        EXPECT_EQ(P::ResizingBehavior::fromRaw(c.raw)->apply(c.canvas, c.target), c.result);
        EXPECT_EQ(VYKOrmeltaViewScale, (CGSize{7, 7}));
    }
    EXPECT_FALSE(P::ResizingBehavior::fromRaw(4) || P::ResizingBehavior1::fromRaw(-1));
    EXPECT_EQ(P::ResizingBehavior1::fromRaw(2)->rawValue(), 2);
}

TEST(Resizing, DegenerateTargetsAndCanvases)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const CGRect canvas = P::panelCanvas;
    const P::ResizingBehavior1 fit;
    VYKOrmeltaViewScale = {3, 3};
    // The canvas itself, nothing recorded: target equal to it, zero target, or a
    // canvas without a size to scale from.
    EXPECT_EQ(fit.apply(canvas, canvas), canvas);
    EXPECT_EQ(fit.apply(canvas, CGRect::zero()), canvas);
    EXPECT_EQ(fit.apply({0, 0, 0, 600}, {0, 0, 100, 100}), (CGRect{0, 0, 0, 600}));
    EXPECT_EQ(VYKOrmeltaViewScale, (CGSize{3, 3}));
    // Flat or NaN targets give results that drawers refuse.
    EXPECT_FALSE(vyk::ui::isDrawable(fit.apply(canvas, {0, 0, 680, 0})));
    EXPECT_FALSE(vyk::ui::isDrawable(fit.apply(canvas, {0, 0, nan, 600})));
    // The frame's canvas is the frame's own size: scale 1 for any behaviour.
    PluginFrameViewScale = {5, 5};
    EXPECT_EQ(PluginFrameBaseEx::ResizingBehavior::fromRaw(1)->apply({0, 0, 100, 50}, {10, 20, 100, 50}),
              (CGRect{10, 20, 100, 50}));
    EXPECT_EQ(PluginFrameViewScale, (CGSize{1, 1}));
}

} // namespace
