#include "DrawingProbes.h"

#include "coregraphics/CGContext.h"
#include "coregraphics/Surfaces.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

namespace {

using vyk::gfx::ImageSurface;
using vyk::test::expectBalanced;
using vyk::test::pixelNear;
using vyk::test::Rgb;

constexpr Rgb white{255, 255, 255};
constexpr Rgb black{0, 0, 0};
constexpr Rgb red{255, 0, 0};
constexpr Rgb blue{0, 0, 255};
constexpr Rgb grey{128, 128, 128};
constexpr Rgb light{191, 191, 191};
constexpr CGColor redColour{1, 0, 0, 1};

CGPath line(CGPoint from, CGPoint to) {
    CGPath p;
    p.move(from);
    p.addLine(to);
    return p;
}

class Canvas : public ::testing::TestWithParam<double> {
protected:
    double k = GetParam(); // device scale
    ImageSurface surface{100 * k, 60 * k};
    std::unique_ptr<CGContext> cx;
    void SetUp() override {
        surface.clear({1, 1, 1, 1});
        cx = std::make_unique<CGContext>(surface.cairoSurface(), k);
    }
    void TearDown() override { expectBalanced(*cx, surface, k); }
    void probe(std::initializer_list<vyk::test::Probe> probes) { vyk::test::expectPixels(surface, k, probes); }
    void save(const char* what) {
        vyk::test::saveArtifact(surface, std::string("cg-") + what + (k > 1 ? "-2x" : "-1x"));
    }
};

TEST_P(Canvas, FillsStrokesAndDashesLandWhereTheyShould) {
    cx->saveGState();
    cx->setFillColor(redColour);
    cx->fill({10, 10, 20, 20});
    cx->setStrokeColor({0, 0, 1, 1});
    cx->strokePath(line({40, 20}, {90, 20}), {4});
    cx->setStrokeColor({0, 0, 0, 1});
    cx->setLineDash(2, {4, 4}); // the first 2 units of the first dash are skipped
    cx->strokePath(line({10, 45}, {90, 45}), {2});
    EXPECT_EQ(cx->dashCount(), 2);
    cx->restoreGState();
    save("fill-stroke-dash");
    // The butt cap stops at the end point; the dash runs 0..2, gap 2..6, dash 6..10.
    probe({{11, 11, red},
           {29.5, 29.5, red},
           {31, 20, white},
           {60, 19, blue},
           {60, 21.5, blue},
           {60, 23, white},
           {39, 20, white},
           {11, 45, black},
           {13, 45, white},
           {17, 45, black},
           {21, 45, white}});
}

TEST_P(Canvas, ClipAndTransformsAreUndoneByRestore) {
    cx->saveGState();
    cx->translateBy(50, 30);
    cx->rotate(std::numbers::pi / 2);
    cx->scaleBy(2, 1);
    cx->clip({0, -5, 10, 10}); // after the rotation: x 45..55, y 30..50
    cx->setFillColor({0, 0, 0, 1});
    cx->fill({-100, -100, 200, 200});
    cx->restoreGState();
    cx->setFillColor({0, 1, 0, 1});
    cx->fill({0, 0, 5, 5});
    save("clip");
    probe({{50, 40, black}, {50, 52, white}, {57, 40, white}, {50, 28, white}, {2, 2, {0, 255, 0}}});
}

TEST_P(Canvas, GlobalAlphaAndTransparencyLayers) {
    cx->saveGState();
    cx->setAlpha(0.5); // multiplies every source
    cx->setFillColor({0, 0, 0, 1});
    cx->fill({0, 40, 10, 10});
    cx->setFillColor({0, 0, 0, 0.5});
    cx->fill({20, 40, 10, 10});

    // Two overlapping opaque squares at alpha 0.5: in a layer the overlap is no
    // darker than the rest; without one it is.
    auto squares = [&](double x) {
        cx->setFillColor({0, 0, 0, 1});
        cx->fill({x, 10, 20, 20});
        cx->fill({x + 10, 10, 20, 20});
    };
    cx->beginTransparencyLayer();
    EXPECT_EQ(cx->alpha(), 1.0); // inside the layer drawing is opaque
    squares(5);
    cx->endTransparencyLayer();
    EXPECT_EQ(cx->alpha(), 0.5);
    squares(55);
    cx->setAlpha(7); // clamped to 1
    EXPECT_EQ(cx->alpha(), 1.0);
    cx->setAlpha(NAN); // ignored
    EXPECT_EQ(cx->alpha(), 1.0);
    cx->restoreGState();
    save("layer");
    probe({{5, 45, grey}, {25, 45, light}, {8, 20, grey}, {20, 20, grey}, {58, 20, grey}, {70, 20, {64, 64, 64}}});
}

TEST_P(Canvas, LayersNestAndKeepTheDash) {
    cx->saveGState();
    cx->setLineDash(0, {4, 4});
    cx->setAlpha(0.5);
    cx->beginTransparencyLayer();
    cx->translateBy(10, 0); // transforms inside a layer apply to its content only
    cx->strokePath(line({0, 10}, {80, 10}), {4});
    cx->setAlpha(0.5);
    cx->beginTransparencyLayer();
    cx->setFillColor({0, 0, 0, 1});
    cx->fill({0, 30, 20, 20});
    cx->endTransparencyLayer();
    cx->endTransparencyLayer();
    cx->restoreGState();
    save("nested-layers");
    // Dash at the outer layer's alpha, gap, the inner layer at 0.5 of 0.5.
    probe({{12, 10, grey}, {16, 10, white}, {20, 40, light}, {5, 40, white}});
}

TEST_P(Canvas, ArcsTurnClockwiseWithIncreasingAngle) {
    CGPath pie;
    pie.move({50, 30});
    pie.addArc({50, 30}, 20, 0, std::numbers::pi / 2, true); // the lower right quarter
    pie.closeSubpath();
    pie.move({20, 30});
    pie.addArc({20, 30}, 10, 0, std::numbers::pi / 2, false); // the other three quarters
    pie.closeSubpath();
    cx->fillPath(pie);
    save("arc");
    probe({{55, 35, black}, {55, 25, white}, {45, 35, white}, {25, 35, white}, {25, 25, black}, {15, 35, black}});
}

INSTANTIATE_TEST_SUITE_P(Scales, Canvas, ::testing::Values(1.0, 2.0));

TEST(ContextSafety, BadTransformsSkipDrawingUntilRestore) {
    ImageSurface s(40, 40);
    s.clear({1, 1, 1, 1});
    CGContext cx(s.cairoSurface());
    for (auto bad : {std::pair{0.0, 1.0}, {1.0, 0.0}, {NAN, 1.0}, {INFINITY, 2.0}}) {
        cx.saveGState();
        cx.scaleBy(bad.first, bad.second);
        EXPECT_TRUE(cx.isDrawingSuppressed());
        cx.fill({0, 0, 40, 40});
        cx.restoreGState();
        EXPECT_FALSE(cx.isDrawingSuppressed());
    }
    const std::vector<std::function<void()>> alsoBad = {
        [&] { cx.translateBy(NAN, 0); }, [&] { cx.concatenate(CGAffineTransform::makeScale(1e-20, 1e-20)); },
        [&] {
            cx.clip({0, 0, NAN, 5});
        }};
    for (const auto& spoil : alsoBad) {
        cx.saveGState();
        spoil();
        cx.fill({0, 0, 40, 40});
        cx.restoreGState();
    }
    EXPECT_TRUE(pixelNear(s, 20, 20, white));
    // The context still works: cairo never saw the bad values.
    cx.fill({0, 0, 10, 10});
    EXPECT_TRUE(pixelNear(s, 5, 5, black));
    expectBalanced(cx, s);
}

TEST(ContextSafety, BadPathsAndStylesAreNotDrawn) {
    ImageSurface s(40, 40);
    s.clear({1, 1, 1, 1});
    CGContext cx(s.cairoSurface());
    CGPath nan = line({5, 5}, {NAN, 30});
    nan.addLine({30, 30});
    EXPECT_FALSE(nan.isFinite());
    cx.fillPath(nan);
    cx.strokePath(nan, {});
    cx.strokePath(line({5, 15}, {35, 15}), {-3});
    cx.setLineDash(0, {0, 0});  // all zero: dashing off
    cx.setLineDash(0, {-1, 2}); // negative: dashing off
    EXPECT_EQ(cx.dashCount(), 0);
    // Huge arc angles are folded into one turn instead of hanging cairo.
    CGPath arc;
    arc.addArc({20, 20}, 5, 1e300, -1e300, true);
    cx.strokePath(arc, {});
    EXPECT_TRUE(pixelNear(s, 15, 30, white));
    EXPECT_TRUE(pixelNear(s, 5, 15, white));
    // Unmatched restores and layer ends are ignored.
    cx.restoreGState();
    cx.endTransparencyLayer();
    cx.saveGState();
    cx.beginTransparencyLayer();
    cx.restoreGState(); // the layer must be ended first
    EXPECT_EQ(cx.gStateDepth(), 2);
    cx.restoreToDepth(0);
    expectBalanced(cx, s);
}

TEST(Surfaces, UnusableSurfacesDrawNothing) {
    for (auto size : {std::pair{0.0, 10.0}, {10.0, -1.0}, {NAN, 10.0}, {INFINITY, 1.0}, {1e9, 1e9}}) {
        ImageSurface s(size.first, size.second);
        EXPECT_FALSE(s.isValid());
        CGContext cx(s.cairoSurface());
        cx.saveGState();
        cx.fill({0, 0, 1, 1});
        cx.restoreGState();
        EXPECT_TRUE(cx.isDrawingSuppressed());
        EXPECT_FALSE(s.writePNG("/nonexistent/x.png"));
    }
    EXPECT_FALSE(vyk::gfx::PdfSurface("/tmp/never.pdf", 0, 100).isValid());
}

// PDF pages are proven by the panel's PDF test.
TEST(Surfaces, PixelsReadUnpremultiplied) {
    ImageSurface s(4, 4);
    s.clear({1, 0, 0, 0.5});
    EXPECT_NEAR(s.pixel(1, 1).r, 255, 2);
    EXPECT_NEAR(s.pixel(1, 1).a, 128, 1);
    EXPECT_EQ(s.pixel(9, 9).a, 0);
}

TEST(ContextObserver, SeesEveryOperationThatIsDrawn) {
    ImageSurface s(50, 50);
    CGContext cx(s.cairoSurface(), 2);
    std::vector<vyk::gfx::DrawCall> calls;
    cx.setObserver([&](const vyk::gfx::DrawCall& c) { calls.push_back(c); });
    cx.saveGState();
    cx.translateBy(5, 6);
    cx.setAlpha(0.5);
    cx.setFillColor(redColour);
    cx.fill({0, 0, 10, 10});
    CGPath oval;
    oval.addEllipse({0, 0, 20, 10});
    cx.strokePath(oval, {0.5, CGLineCap::round, CGLineJoin::round, 10});
    cx.scaleBy(0, 1);
    cx.fill({0, 0, 10, 10}); // suppressed: not drawn, not reported
    cx.restoreGState();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].kind, vyk::gfx::DrawCall::Kind::fill);
    EXPECT_EQ(*calls[0].path.singleRect(), CGRect(0, 0, 10, 10));
    EXPECT_EQ(calls[0].colour, redColour);
    EXPECT_EQ(calls[0].alpha, 0.5);
    EXPECT_EQ(calls[0].ctm, CGAffineTransform::makeTranslation(5, 6));
    EXPECT_EQ(calls[1].kind, vyk::gfx::DrawCall::Kind::stroke);
    EXPECT_EQ(calls[1].style.lineWidth, 0.5);
    EXPECT_NEAR(calls[1].path.boundingBox().width(), 20, 1e-6);
}

} // namespace
