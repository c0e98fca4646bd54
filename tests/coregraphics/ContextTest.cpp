#include "DrawingProbes.h"

#include "coregraphics/CGContext.h"
#include "coregraphics/Surfaces.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
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
constexpr CGColor redColour{1, 0, 0, 1};

CGPath rectPath(CGRect r)
{
    CGPath p;
    p.addRect(r);
    return p;
}

class Canvas : public ::testing::TestWithParam<double> {
protected:
    double k = GetParam();  // device scale
    ImageSurface surface{100 * k, 60 * k};
    std::unique_ptr<CGContext> cx;
    void SetUp() override
    {
        surface.clear({1, 1, 1, 1});
        cx = std::make_unique<CGContext>(surface.cairoSurface(), k);
    }
    // A probe in user units.
    ::testing::AssertionResult at(double x, double y, Rgb expected, int tolerance = 3)
    {
        return pixelNear(surface, static_cast<int>(x * k), static_cast<int>(y * k), expected, tolerance);
    }
    std::string name(const char* what) const { return std::string("cg-") + what + (k > 1 ? "-2x" : "-1x"); }
};

TEST_P(Canvas, FillsAndStrokesLandWhereTheyShould)
{
    cx->saveGState();
    cx->setFillColor(redColour);
    cx->fill({10, 10, 20, 20});
    CGPath line;
    line.move({40, 20});
    line.addLine({90, 20});
    cx->setStrokeColor({0, 0, 1, 1});
    cx->strokePath(line, {4, CGLineCap::butt, CGLineJoin::miter, 10});
    cx->restoreGState();
    vyk::test::saveArtifact(surface, name("fill-stroke"));
    EXPECT_TRUE(at(11, 11, red));
    EXPECT_TRUE(at(29.5, 29.5, red));
    EXPECT_TRUE(at(31, 20, white));
    EXPECT_TRUE(at(60, 19, {0, 0, 255}));
    EXPECT_TRUE(at(60, 21.5, {0, 0, 255}));
    EXPECT_TRUE(at(60, 23, white));
    EXPECT_TRUE(at(39, 20, white));  // butt cap stops at the end point
    expectBalanced(*cx, surface, k);
}

TEST_P(Canvas, DashesFollowTheContextPhase)
{
    cx->saveGState();
    cx->setLineDash(2, {4, 4});  // the first 2 units of the first dash are skipped
    CGPath line;
    line.move({10, 30});
    line.addLine({90, 30});
    cx->strokePath(line, {2, CGLineCap::butt, CGLineJoin::miter, 10});
    EXPECT_EQ(cx->dashCount(), 2);
    cx->restoreGState();
    vyk::test::saveArtifact(surface, name("dash"));
    EXPECT_TRUE(at(11, 30, black));   // dash 0..2 of the line
    EXPECT_TRUE(at(13, 30, white));   // gap 2..6
    EXPECT_TRUE(at(17, 30, black));   // dash 6..10
    EXPECT_TRUE(at(21, 30, white));
    expectBalanced(*cx, surface, k);
}

TEST_P(Canvas, ClipAndTransformsAreUndoneByRestore)
{
    cx->saveGState();
    cx->translateBy(50, 30);
    cx->rotate(std::numbers::pi / 2);
    cx->scaleBy(2, 1);
    cx->clip({0, -5, 10, 10});  // after the rotation: x 45..55, y 30..50
    cx->setFillColor({0, 0, 0, 1});
    cx->fill({-100, -100, 200, 200});
    cx->restoreGState();
    cx->setFillColor({0, 1, 0, 1});
    cx->fill({0, 0, 5, 5});
    vyk::test::saveArtifact(surface, name("clip"));
    EXPECT_TRUE(at(50, 40, black));
    EXPECT_TRUE(at(50, 52, white));
    EXPECT_TRUE(at(57, 40, white));
    EXPECT_TRUE(at(50, 28, white));
    EXPECT_TRUE(at(2, 2, {0, 255, 0}));
    expectBalanced(*cx, surface, k);
}

TEST_P(Canvas, GlobalAlphaMultipliesEverySource)
{
    cx->saveGState();
    cx->setAlpha(0.5);
    cx->setFillColor({0, 0, 0, 1});
    cx->fill({0, 0, 10, 10});
    cx->setFillColor({0, 0, 0, 0.5});
    cx->fill({20, 0, 10, 10});
    cx->setAlpha(7);  // clamped to 1
    EXPECT_EQ(cx->alpha(), 1.0);
    cx->setAlpha(NAN);  // ignored
    EXPECT_EQ(cx->alpha(), 1.0);
    cx->restoreGState();
    EXPECT_TRUE(at(5, 5, {128, 128, 128}));
    EXPECT_TRUE(at(25, 5, {191, 191, 191}));
    expectBalanced(*cx, surface, k);
}

TEST_P(Canvas, TransparencyLayerComposesItsContentOnce)
{
    // Two overlapping opaque squares at alpha 0.5: in a layer the overlap is no
    // darker than the rest; without one it is.
    auto squares = [&](double x) {
        cx->setFillColor({0, 0, 0, 1});
        cx->fill({x, 10, 20, 20});
        cx->fill({x + 10, 10, 20, 20});
    };
    cx->saveGState();
    cx->setAlpha(0.5);
    cx->beginTransparencyLayer();
    EXPECT_EQ(cx->alpha(), 1.0);  // inside the layer drawing is opaque
    squares(5);
    cx->endTransparencyLayer();
    EXPECT_EQ(cx->alpha(), 0.5);
    squares(55);
    cx->restoreGState();
    vyk::test::saveArtifact(surface, name("layer"));
    EXPECT_TRUE(at(8, 20, {128, 128, 128}));
    EXPECT_TRUE(at(20, 20, {128, 128, 128}));
    EXPECT_TRUE(at(58, 20, {128, 128, 128}));
    EXPECT_TRUE(at(70, 20, {64, 64, 64}));
    expectBalanced(*cx, surface, k);
}

TEST_P(Canvas, LayersNestAndKeepTheDash)
{
    cx->saveGState();
    cx->setLineDash(0, {4, 4});
    cx->setAlpha(0.5);
    cx->beginTransparencyLayer();
    cx->translateBy(10, 0);  // transforms inside a layer apply to its content only
    CGPath line;
    line.move({0, 10});
    line.addLine({80, 10});
    cx->strokePath(line, {4, CGLineCap::butt, CGLineJoin::miter, 10});
    cx->setAlpha(0.5);
    cx->beginTransparencyLayer();
    cx->setFillColor({0, 0, 0, 1});
    cx->fill({0, 30, 20, 20});
    cx->endTransparencyLayer();
    cx->endTransparencyLayer();
    cx->restoreGState();
    vyk::test::saveArtifact(surface, name("nested-layers"));
    EXPECT_TRUE(at(12, 10, {128, 128, 128}));  // dash, at the outer layer's alpha
    EXPECT_TRUE(at(16, 10, white));            // gap
    EXPECT_TRUE(at(20, 40, {191, 191, 191}));  // inner layer: 0.5 of 0.5
    EXPECT_TRUE(at(5, 40, white));
    expectBalanced(*cx, surface, k);
}

TEST_P(Canvas, ArcsTurnClockwiseWithIncreasingAngle)
{
    CGPath pie;
    pie.move({50, 30});
    pie.addArc({50, 30}, 20, 0, std::numbers::pi / 2, true);  // the lower right quarter
    pie.closeSubpath();
    cx->fillPath(pie);
    CGPath other;
    other.move({20, 30});
    other.addArc({20, 30}, 10, 0, std::numbers::pi / 2, false);  // the other three quarters
    other.closeSubpath();
    cx->fillPath(other);
    vyk::test::saveArtifact(surface, name("arc"));
    EXPECT_TRUE(at(55, 35, black));
    EXPECT_TRUE(at(55, 25, white));
    EXPECT_TRUE(at(45, 35, white));
    EXPECT_TRUE(at(25, 35, white));
    EXPECT_TRUE(at(25, 25, black));
    EXPECT_TRUE(at(15, 35, black));
}

INSTANTIATE_TEST_SUITE_P(Scales, Canvas, ::testing::Values(1.0, 2.0));

TEST(ContextSafety, SingularScaleSkipsDrawingUntilRestore)
{
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
    cx.saveGState();
    cx.translateBy(NAN, 0);
    cx.fill({0, 0, 40, 40});
    cx.restoreGState();
    cx.saveGState();
    cx.concatenate(CGAffineTransform::makeScale(1e-20, 1e-20));
    cx.fill({0, 0, 40, 40});
    cx.restoreGState();
    cx.saveGState();
    cx.clip({0, 0, NAN, 5});
    cx.fill({0, 0, 40, 40});
    cx.restoreGState();
    EXPECT_TRUE(pixelNear(s, 20, 20, white));
    // The context still works: cairo never saw the bad values.
    cx.fill({0, 0, 10, 10});
    EXPECT_TRUE(pixelNear(s, 5, 5, black));
    expectBalanced(cx, s);
}

TEST(ContextSafety, BadPathsAndStylesAreNotDrawn)
{
    ImageSurface s(40, 40);
    s.clear({1, 1, 1, 1});
    CGContext cx(s.cairoSurface());
    CGPath nan;
    nan.move({5, 5});
    nan.addLine({NAN, 30});
    nan.addLine({30, 30});
    EXPECT_FALSE(nan.isFinite());
    cx.fillPath(nan);
    cx.strokePath(nan, {});
    cx.strokePath(rectPath({5, 5, 20, 20}), {-3, CGLineCap::butt, CGLineJoin::miter, 10});
    cx.setLineDash(0, {0, 0});   // all zero: dashing off
    cx.setLineDash(0, {-1, 2});  // negative: dashing off
    EXPECT_EQ(cx.dashCount(), 0);
    // Huge arc angles are folded into one turn instead of hanging cairo.
    CGPath arc;
    arc.addArc({20, 20}, 5, 1e300, -1e300, true);
    cx.strokePath(arc, {});
    EXPECT_EQ(ImageSurface(1, 1).isValid(), true);
    EXPECT_TRUE(pixelNear(s, 15, 30, white));
    EXPECT_TRUE(pixelNear(s, 5, 15, white));
    // Unmatched restores and layer ends are ignored.
    cx.restoreGState();
    cx.endTransparencyLayer();
    cx.saveGState();
    cx.beginTransparencyLayer();
    cx.restoreGState();  // the layer must be ended first
    EXPECT_EQ(cx.gStateDepth(), 2);
    cx.restoreToDepth(0);
    expectBalanced(cx, s);
}

TEST(ContextSafety, UnusableSurfacesDrawNothing)
{
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

TEST(Surfaces, PdfPagesAreWritten)
{
    const auto path = std::filesystem::temp_directory_path() / "vyk-cg-test.pdf";
    {
        vyk::gfx::PdfSurface pdf(path.string(), 200, 100);
        ASSERT_TRUE(pdf.isValid());
        CGContext cx(pdf.cairoSurface());
        cx.fill({10, 10, 50, 50});
        pdf.showPage();
        cx.fill({20, 20, 50, 50});
        EXPECT_TRUE(pdf.finish());
    }
    std::ifstream in(path, std::ios::binary);
    std::string head(5, '\0');
    in.read(head.data(), 5);
    EXPECT_EQ(head, "%PDF-");
    std::filesystem::remove(path);
}

TEST(Surfaces, PixelsAreReadUnpremultiplied)
{
    ImageSurface s(4, 4);
    s.clear({1, 0, 0, 0.5});
    const vyk::gfx::Pixel p = s.pixel(1, 1);
    EXPECT_NEAR(p.r, 255, 2);
    EXPECT_NEAR(p.a, 128, 1);
    EXPECT_EQ(s.pixel(9, 9).a, 0);
    EXPECT_FALSE(s.writePNG("/nonexistent-dir/x.png"));
}

} // namespace

namespace {

TEST(ContextObserver, SeesEveryOperationThatIsDrawn)
{
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
    cx.fill({0, 0, 10, 10});  // suppressed: not drawn, not reported
    cx.restoreGState();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].kind, vyk::gfx::DrawCall::Kind::fill);
    EXPECT_EQ(*calls[0].path.singleRect(), CGRect(0, 0, 10, 10));
    EXPECT_EQ(calls[0].colour, redColour);
    EXPECT_EQ(calls[0].alpha, 0.5);
    EXPECT_EQ(calls[0].ctm, CGAffineTransform::makeTranslation(5, 6));
    EXPECT_EQ(calls[1].kind, vyk::gfx::DrawCall::Kind::stroke);
    EXPECT_EQ(calls[1].style.lineWidth, 0.5);
    EXPECT_EQ(calls[1].path.elementCount(), 6u);
    const CGRect box = calls[1].path.boundingBox();
    EXPECT_NEAR(box.width(), 20, 1e-6);
    EXPECT_NEAR(box.height(), 10, 1e-6);
}

TEST(PathQueries, ContainsAndBoundingBox)
{
    CGPath empty;
    EXPECT_EQ(empty.boundingBox(), CGRect::zero());
    EXPECT_FALSE(empty.contains({0, 0}));
    CGPath pie;
    pie.move({0, 0});
    pie.addArc({0, 0}, 10, 0, std::numbers::pi / 2, true);
    pie.closeSubpath();
    EXPECT_TRUE(pie.contains({3, 3}));
    EXPECT_FALSE(pie.contains({-3, 3}));
    const CGRect box = pie.boundingBox();
    EXPECT_NEAR(box.minX(), 0, 1e-6);
    EXPECT_NEAR(box.maxX(), 10, 1e-6);
    EXPECT_NEAR(box.maxY(), 10, 1e-6);
}

} // namespace
