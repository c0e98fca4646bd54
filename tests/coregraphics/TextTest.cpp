#include "DrawingProbes.h"

#include "coregraphics/Text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using vyk::gfx::ImageSurface;
using vyk::gfx::TextStyle;

TextStyle style(const char* name, double size, vyk::gfx::TextAlignment alignment = vyk::gfx::TextAlignment::left) {
    return {*vyk::gfx::resolveFont(name), size, {0, 0, 0, 1}, alignment};
}

// The named fonts must come from the installed font packages (fonts-urw-base35
// first); a substitute means a package is missing.
TEST(Fonts, NamedFontsResolveToTheirFamilies) {
    for (auto [name, family, bold] : {std::tuple{"HelveticaNeue", "Nimbus Sans", false},
                                      std::tuple{"HelveticaNeue-CondensedBold", "Nimbus Sans Narrow", true}}) {
        SCOPED_TRACE(name);
        const auto face = vyk::gfx::resolveFont(name);
        ASSERT_TRUE(face);
        EXPECT_EQ(face->family, family);
        EXPECT_EQ(face->bold, bold);
        EXPECT_FALSE(face->isFallback);
        EXPECT_EQ(vyk::gfx::loadedFamily(*face, 10), family);
    }
    EXPECT_FALSE(vyk::gfx::resolveFont("Helvetica"));
    EXPECT_FALSE(vyk::gfx::resolveFont(""));
    for (const char* family : {"Liberation Sans", "Liberation Sans Narrow", "DejaVu Sans"})
        EXPECT_EQ(vyk::gfx::loadedFamily({family, false, true}, 10), family);
}

TEST(TextMeasure, WrapsAtTheWidthAndScalesExactly) {
    const std::string text = "stereo width: -100% and a few more words to wrap";
    const TextStyle s10 = style("HelveticaNeue", 10);
    const CGSize oneLine = vyk::gfx::measureText(text, s10, INFINITY);
    const CGSize wrapped = vyk::gfx::measureText(text, s10, 60);
    EXPECT_GT(oneLine.width, 60);
    EXPECT_LE(wrapped.width, 60);
    EXPECT_GT(wrapped.height, 2.5 * oneLine.height);
    EXPECT_GE(oneLine.height, 10);
    EXPECT_LT(oneLine.height, 15);

    // Unhinted layout: twice the size in twice the width breaks the same lines and
    // is twice as big, up to pango's 1/1024 unit per glyph.
    const CGSize doubled = vyk::gfx::measureText(text, style("HelveticaNeue", 20), 120);
    EXPECT_NEAR(doubled.width, 2 * wrapped.width, 0.05);
    EXPECT_NEAR(doubled.height, 2 * wrapped.height, 2.0 / 1024);
}

TEST(TextMeasure, OddInputIsHandled) {
    const TextStyle s = style("HelveticaNeue", 10);
    EXPECT_GT(vyk::gfx::measureText("A\u00a0B", s, INFINITY).width, vyk::gfx::measureText("AB", s, INFINITY).width);
    EXPECT_GT(vyk::gfx::measureText("ab\xff\xfe"
                                    "cd",
                                    s, INFINITY)
                  .width,
              0); // invalid UTF-8
    EXPECT_EQ(vyk::gfx::measureText("", s, 100).width, 0);
    for (double size : {0.0, -3.0, double(NAN), double(INFINITY), 1e12}) {
        TextStyle bad = s;
        bad.size = size;
        EXPECT_EQ(vyk::gfx::measureText("x", bad, 100), CGSize{});
    }
}

class TextDrawing : public ::testing::TestWithParam<double> {};

TEST_P(TextDrawing, InkStaysInsideTheClipBox) {
    const double k = GetParam();
    ImageSurface surface(200 * k, 80 * k);
    surface.clear({1, 1, 1, 1});
    CGContext cx(surface.cairoSurface(), k);
    // A box too short for its text: the second line is cut off at the box.
    const TextStyle s = style("HelveticaNeue-CondensedBold", 12, vyk::gfx::TextAlignment::center);
    vyk::gfx::drawText(cx, "BAND RANGE  WRAPS ONTO TWO LINES", {20, 20, 80, 16}, s);
    vyk::gfx::drawText(cx, "right", {110, 20, 80, 16}, style("HelveticaNeue", 10, vyk::gfx::TextAlignment::right));
    vyk::test::saveArtifact(surface, k > 1 ? "text-clip-2x" : "text-clip-1x");

    auto ink = [&](double x0, double y0, double x1, double y1) {
        auto px = [k](double v) { return static_cast<int>(std::lround(v * k)); };
        return vyk::test::inkCount(surface, px(x0), px(y0), px(x1), px(y1));
    };
    EXPECT_GT(ink(20, 20, 100, 36), 20 * k * k);
    EXPECT_EQ(ink(0, 0, 200, 20), 0);
    EXPECT_EQ(ink(0, 36, 200, 80), 0);
    EXPECT_EQ(ink(0, 0, 20, 80), 0);
    // Right-aligned: the ink hugs the right edge of its box.
    EXPECT_GT(ink(170, 20, 190, 36), 0);
    EXPECT_EQ(ink(110, 20, 150, 36), 0);

    // Text leaves no path behind and the state as it was.
    cairo_t* cr = cx.cairoForDrawing();
    ASSERT_NE(cr, nullptr);
    EXPECT_FALSE(cairo_has_current_point(cr));
    vyk::test::expectBalanced(cx, surface, k);
}

INSTANTIATE_TEST_SUITE_P(Scales, TextDrawing, ::testing::Values(1.0, 2.0));

TEST(TextDrawingAlpha, ReportedGlobalAlphaAndSuppressionApply) {
    ImageSurface surface(100, 40);
    surface.clear({1, 1, 1, 1});
    CGContext cx(surface.cairoSurface());
    std::vector<vyk::gfx::DrawCall> calls;
    cx.setObserver([&](const vyk::gfx::DrawCall& c) { calls.push_back(c); });
    const TextStyle s = style("HelveticaNeue-CondensedBold", 30);
    cx.saveGState();
    cx.setAlpha(0.25);
    vyk::gfx::drawText(cx, "\u2588\u2588", {0, 0, 100, 40}, s); // full blocks: solid ink
    cx.restoreGState();
    int darkest = 255;
    for (int x = 0; x < 100; ++x)
        for (int y = 0; y < 40; ++y) darkest = std::min<int>(darkest, surface.pixel(x, y).r);
    EXPECT_GE(darkest, 185); // never darker than a quarter of black
    EXPECT_LE(darkest, 200);

    surface.clear({1, 1, 1, 1});
    cx.saveGState();
    cx.scaleBy(0, 0);
    vyk::gfx::drawText(cx, "hidden", {0, 0, 100, 40}, s);
    cx.restoreGState();
    EXPECT_EQ(vyk::test::inkCount(surface, 0, 0, 100, 40), 0);

    ASSERT_EQ(calls.size(), 1u); // the suppressed text is not reported
    EXPECT_EQ(calls[0].kind, vyk::gfx::DrawCall::Kind::text);
    EXPECT_EQ(calls[0].text, "\u2588\u2588");
    EXPECT_EQ(calls[0].fontFamily, "Nimbus Sans Narrow");
    EXPECT_EQ(calls[0].fontSize, 30);
    EXPECT_EQ(calls[0].rect, CGRect(0, 0, 100, 40));
}

} // namespace
