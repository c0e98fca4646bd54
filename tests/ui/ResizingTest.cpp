// The one resizing rule, against rectangles worked out by hand.
#include "ui/CorrelographViewBase.h"
#include "ui/VYKOrmeltaViewBase.h"

#include <gtest/gtest.h>

namespace {

using P = VYKOrmeltaViewBase;

TEST(Resizing, BehavioursAndTheirRecords) {
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
        {0, P::panelCanvas, {680, 600, -680, -600}, P::panelCanvas, {1, 1}}, // measured by its size
        {0, {0, 0, 256, 256}, {10, 20, 512, 256}, {138, 20, 256, 256}, {1, 1}},
        {1, {0, 0, 256, 256}, {10, 20, 512, 256}, {10, -108, 512, 512}, {2, 2}},
        {2, {0, 0, 256, 256}, {10, 20, 512, 256}, {10, 20, 512, 256}, {2, 1}},
        {3, {0, 0, 256, 256}, {10, 20, 512, 256}, {138, 20, 256, 256}, {1, 1}},
        // The canvas itself and no record: a target equal to it, the zero target, or a
        // canvas without a size to scale from.
        {0, P::panelCanvas, P::panelCanvas, P::panelCanvas, {7, 7}},
        {1, P::panelCanvas, CGRect::zero(), P::panelCanvas, {7, 7}},
        {0, {0, 0, 0, 600}, {0, 0, 100, 100}, {0, 0, 0, 600}, {7, 7}},
    };
    for (const Case& c : cases) {
        // The sub-canvases' behaviour maps alike and records nothing.
        VYKOrmeltaViewScale = CorrelographViewScale = {7, 7};
        EXPECT_EQ(P::ResizingBehavior::fromRaw(c.raw)->apply(c.canvas, c.target), c.result);
        EXPECT_EQ(VYKOrmeltaViewScale, (CGSize{7, 7}));
        EXPECT_EQ(P::ResizingBehavior1::fromRaw(c.raw)->apply(c.canvas, c.target), c.result) << c.raw;
        EXPECT_EQ(CorrelographViewBase::ResizingBehavior::fromRaw(c.raw)->apply(c.canvas, c.target), c.result);
        EXPECT_TRUE(VYKOrmeltaViewScale == c.scale && CorrelographViewScale == c.scale) << c.raw;
    }
    EXPECT_TRUE(!P::ResizingBehavior::fromRaw(4) && !P::ResizingBehavior1::fromRaw(-1) &&
                P::ResizingBehavior1::fromRaw(2)->rawValue() == 2);
}

} // namespace
