// Hot spots after a draw: the panel rectangles in both modes and at several sizes,
// each covering the control drawn there, and the band bar's at several splits.
#include "Render.h"

#include "ui/VYKOrmeltaViewBase.h"

#include <gtest/gtest.h>

namespace {

using P = VYKOrmeltaViewBase;

CGRect rectOf(const UIBezierPath& p) {
    const CGRect* r = p.cgPath().singleRect();
    return r ? r->standardized() : CGRect{-1, -1, -1, -1};
}

void drawOffscreen(P& model, CGRect frame) {
    vyk::test::render(680, 600, 1, [&] { model.draw(frame); });
}

TEST(Hotspots, PanelRectanglesCoverTheirControlsInBothModes) {
    P model;
    EXPECT_TRUE(model.hotspotMainPath.isEmpty() && model.hotspotMultiPath.isEmpty()); // before any draw
    // Rectangle, the centre of what is drawn there (controls canvas + 160, band bar + 70),
    // and whether it exists in multiband mode only.
    struct Row {
        UIBezierPath P::*path;
        CGRect rect;
        CGPoint drawn;
        bool multibandOnly;
    } rows[] = {
        {&P::hotspotSwapChannelsPath, {41, 230, 125, 40}, {61, 251}, false},
        {&P::hotspotInvertChannelPath, {41, 272, 125, 40}, {61, 291}, false},
        {&P::hotspotRecoverMonoPath, {41, 479, 125, 40}, {61, 499}, false},
        {&P::hotspotTestMonoPath, {497, 479, 150, 40}, {623, 499}, false},
        {&P::hotspotNormalizedPath, {41, 391, 126, 22}, {61, 402}, false},
        {&P::hotspotMainPath, {212, 252, 256, 256}, {340.25, 379.75}, false},
        {&P::hotspotOscillographPath, {41, 367, 126, 22}, {61, 379}, false},
        {&P::hotspotPhaseShiftPath, {497, 339, 150, 84}, {568.5, 381.5}, false},
        {&P::hotspotPanoramaPath, {196, 201, 238, 44}, {340.5, 221.5}, false},
        {&P::hotspotStereoWidthPath, {249, 515, 238, 44}, {339.5, 538.5}, false},
        {&P::hotspotStereoWidthResetPath, {195, 515, 44, 44}, {214.5, 539.5}, false},
        {&P::hotspotPanoramaResetPath, {444, 201, 44, 44}, {465.5, 221.5}, false},
        {&P::hotspotActiveLPPath, {52, 131, 100, 20}, {102, 140}, true},
        {&P::hotspotActiveBPPath, {290, 131, 100, 20}, {340, 140}, true},
        {&P::hotspotActiveHPPath, {538, 131, 100, 20}, {588, 141}, true},
        {&P::hotspotCaption2Path, {538, 30, 122, 24}, {600, 42}, false},
        {&P::hotspotButtonAllpassPath, {237, 28, 100, 24}, {287.25, 40.25}, false},
        {&P::hotspotMultiPath, {20, 70, 640, 56}, {340, 100}, true},
        {&P::hotspotButtonMultibandPath, {343, 29, 100, 24}, {393.25, 40.25}, false},
        {&P::hotspotCaption1Path, {20, 30, 144, 24}, {60, 42}, false},
        // The band bar's, at the default splits, in band-bar units: kept in all-pass mode.
        {&P::hotspotRangeLPPath, {20, 9, 168.5, 48}, {100, 15}, false},
        {&P::hotspotRangeBPPath, {188.5, 9, 305, 48}, {300, 15}, false},
        {&P::hotspotRangeHPPath, {493.5, 9, 166.5, 48}, {600, 15}, false},
        {&P::hotspotSplit1Path, {169.5, 0, 37, 70}, {188, 33}, false},
        {&P::hotspotSplit2Path, {477.5 - 2.94, 0, 37, 70}, {492.89, 33}, false},
    };
    // Multiband, all-pass (no band switch or bar to touch), multiband again; the
    // frame changes nothing in panel units.
    for (bool allpass : {false, true, false})
        for (CGRect frame : {CGRect{0, 0, 680, 600}, CGRect{0, 0, 1360, 1200}, CGRect{10, 20, 300, 900}}) {
            model.isAllpass = allpass;
            drawOffscreen(model, frame);
            for (const Row& row : rows) {
                const UIBezierPath& p = model.*row.path;
                const bool gone = allpass && row.multibandOnly;
                EXPECT_TRUE(rectOf(p) == (gone ? CGRect{-1, -1, -1, -1} : row.rect) && p.contains(row.drawn) == !gone)
                    << row.drawn.x << "," << row.drawn.y << " all-pass " << allpass;
            }
        }
}

TEST(Hotspots, BandBarFollowsTheSplits) {
    // s1 = 20 + 610 x split1, s2 = 20 + 610 x split2, in band-bar units (panel y - 70).
    struct Case {
        CGFloat split1, split2;
        CGRect lp, bp, hp, s1, s2;
    } cases[] = {
        {0, 1, {20, 9, 16, 48}, {36, 9, 610, 48}, {646, 9, 14, 48}, {17, 0, 37, 70}, {627.06, 0, 37, 70}},
        {0.4, 0.4, {20, 9, 260, 48}, {280, 9, 0, 48}, {280, 9, 380, 48}, {261, 0, 37, 70}, {261.06, 0, 37, 70}},
    };
    auto near = [](CGRect a, CGRect b) {
        return std::abs(a.minX() - b.minX()) + std::abs(a.width() - b.width()) < 1e-9;
    };
    for (const Case& c : cases) {
        P model;
        model.valueSplit1 = c.split1;
        model.valueSplit2 = c.split2;
        drawOffscreen(model, {0, 0, 340, 300});
        EXPECT_TRUE(near(rectOf(model.hotspotRangeLPPath), c.lp) && near(rectOf(model.hotspotRangeBPPath), c.bp) &&
                    near(rectOf(model.hotspotRangeHPPath), c.hp) && near(rectOf(model.hotspotSplit1Path), c.s1) &&
                    near(rectOf(model.hotspotSplit2Path), c.s2))
            << c.split1 << " " << c.split2;
    }
}

} // namespace
