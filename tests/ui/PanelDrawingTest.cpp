// The panel drawn offscreen, probed at positions worked out from the panel's
// geometry (the controls canvas lies at panel y + 160, the band bar at y + 70) and
// colours composed over the background by hand.
#include "Render.h"

#include "ui/PanelText.h"
#include "ui/PluginFrameBaseEx.h"
#include "ui/VYKOrmeltaViewBase.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using vyk::test::inkCount;
using vyk::test::pixelNear;
using vyk::test::Rgb;

// colorEmphasize (0.226, 0.781, 0.145) at alpha 1, 0.5 and 0.8 over white; black at 0.1;
// half contrast under a global alpha of 0.1; half emphasis over a range's faint fill.
constexpr Rgb emphasize{58, 199, 37}, halfEmphasis{156, 227, 146}, strongEmphasis{97, 210, 81};
constexpr Rgb faint{230, 230, 230}, diamond{242, 242, 242}, handle{144, 215, 134};
constexpr Rgb white{255, 255, 255}, black{0, 0, 0};

struct Probe {
    double x, y;
    Rgb colour;
}; // panel units

// Draws `model` into a frame of `size` at `deviceScale` pixels per point, keeps the
// PNG and checks each probe at panel (x, y + dy).
std::unique_ptr<vyk::gfx::ImageSurface> probe(VYKOrmeltaViewBase& model, const std::string& name, CGSize size,
                                              CGFloat deviceScale, CGFloat dy, const std::vector<Probe>& probes,
                                              CGColor background = {1, 1, 1, 1}) {
    auto image = vyk::test::render(
        size.width, size.height, deviceScale,
        [&] {
            model.draw({{0, 0}, size});
        },
        background);
    vyk::test::saveArtifact(*image, name);
    const CGFloat k = deviceScale * model.lastDraw().scale.width;
    for (const Probe& p : probes)
        EXPECT_TRUE(pixelNear(*image, int(p.x * k), int((p.y + dy) * k), p.colour)) << name << " at " << p.x;
    return image;
}

// Band ranges (middle selected), band lights (the high one a unit lower), marker 1's
// handle, the outline, the two view switch lights on and the swap light off, the
// diamond, both brackets on the frame's edges, both pointers upright.
const std::vector<Probe> kDefaultProbes = {
    {250, 85, halfEmphasis},    {100, 85, faint},           {600, 85, faint},      {102, 140, emphasize},
    {340, 140, emphasize},      {588, 141, emphasize},      {178, 109, handle},    {20, 300, emphasize},
    {61, 379, halfEmphasis},    {61, 402, halfEmphasis},    {61, 251, white},      {280, 420, diamond},
    {202, 380, strongEmphasis}, {478, 380, strongEmphasis}, {466, 530, emphasize}, {214, 210, emphasize}};

TEST(PanelDrawing, DefaultAllpassAndDarkPanelsAtSeveralSizes) {
    VYKOrmeltaViewBase model;
    probe(model, "panel-default-1x", {680, 600}, 1, 0, kDefaultProbes);
    EXPECT_EQ(model.lastDraw().scale, (CGSize{1, 1}));
    auto image = probe(model, "panel-default-2x", {680, 600}, 2, 0, kDefaultProbes);
    // Text ink in its boxes (band caption, titles, reset button, title block, band
    // title); none above the titles or between the left title and the buttons.
    const int boxes[][4] = {{300, 339, 380, 419}, {526, 33, 660, 51},   {20, 33, 188, 51},  {198, 526, 231, 553},
                            {508, 231, 642, 270}, {605, 262, 640, 316}, {310, 92, 370, 106}};
    for (const auto& b : boxes)
        EXPECT_GT(inkCount(*image, 2 * b[0], 2 * b[1], 2 * b[2], 2 * b[3]), 20) << b[0] << "," << b[1];
    EXPECT_EQ(inkCount(*image, 40, 0, 1320, 52) + inkCount(*image, 380, 66, 472, 102), 0);
    // The selected band's title is drawn in emphasis, the others in grey.
    EXPECT_GT(vyk::test::greenCount(*image, 620, 184, 740, 212), 20);
    EXPECT_EQ(vyk::test::greenCount(*image, 94, 184, 214, 212), 0);
    probe(model, "panel-default-1360", {1360, 1200}, 1, 0, kDefaultProbes);
    EXPECT_TRUE(model.lastDraw().scale == (CGSize{2, 2}) && VYKOrmeltaViewScale == (CGSize{2, 2}));
    // A tall target keeps scale 1 and centres the panel 300 units down, nothing above.
    std::vector<Probe> tall = kDefaultProbes;
    tall.push_back({250, -215, white});
    probe(model, "panel-default-tall", {680, 1200}, 1, 300, tall);
    EXPECT_EQ(model.lastDraw().canvas, (CGRect{0, 300, 680, 600}));

    // All-pass: no bar, the box, outline and MULTI BAND in contrast, ALLPASS lit. The
    // buttons stand on quarter units: at 2x their top edge fills pixel row 56.
    model.isAllpass = true;
    model.currentMode = 0;
    probe(model, "panel-allpass-2x", {680, 600}, 2, 0,
          {{250, 85, white}, {300, 78, black}, {20, 300, black}, {280, 28.25, emphasize}, {390, 28.25, black}});
    // Contrast 0 from the brightness control: white lines over a black plate.
    model.colorContrast = UIColor::white(1);
    probe(model, "panel-allpass-dark", {680, 600}, 1, 0, {{300, 78, white}, {20, 300, white}, {250, 85, black}},
          {0, 0, 0, 1});
}

TEST(PanelDrawing, MovedSplitsSwitchesPanoramaAndHighlights) {
    VYKOrmeltaViewBase model;
    model.valueSplit1 = 0.5; // x1 = 325: marker centre 340.5, low range up to 341
    model.valueSplit2 = 1.0; // x2 = 630: high range 14 wide from 646
    model.isRangeActive[1] = false;
    model.isSwapOn[2] = model.isInvert[2] = model.isRecover[2] = model.isMonoOn[2] = true;
    model.isNormalized = false;
    model.valuePanorama[2] = 0; // markers turned by -45 degrees, pointer by -140
    // Marker 1 gone from its old place and at its new one; middle and high ranges; low
    // band off; the four band switches on; normalize off; the left bracket's spine point
    // (-138, 20) and the panorama pointer's middle (0, -7) turned about their centres.
    probe(model, "panel-moved-2x", {680, 600}, 2, 0,
          {{178, 109, faint},
           {330, 109, handle},
           {400, 85, halfEmphasis},
           {652, 85, faint},
           {102, 140, faint},
           {61, 251, emphasize},
           {61, 291, emphasize},
           {61, 499, emphasize},
           {623, 499, emphasize},
           {61, 402, white},
           {340 - 0.7071 * 118, 380 + 0.7071 * 158, strongEmphasis},
           {215 - 7 * 0.6428, 223 + 7 * 0.7660, emphasize}});
    // Highlights double a label and a marker about their anchors: the label box
    // (-65, -14, 130, 28) at (339.5, 538.5) reaches x 469.5; the marker's handle at
    // (340.5, 103) spans y 88 to 118, above the bar's own title row.
    model.isOptionStereoWidthActive = model.isSplit1Active = true;
    probe(model, "panel-highlight-1x", {680, 600}, 1, 0, {{440, 520, faint}, {320, 90, handle}});
}

TEST(PanelDrawing, BackingStorePaintsWhatADrawPaintsUntilTheModelChanges) {
    VYKOrmeltaViewBase model;
    for (CGFloat scale : {1.0, 2.0}) {
        // At a fractional place on the device, as a moved view can be.
        auto at = [&](auto draw) { return vyk::test::render(700, 620, scale, draw, {1, 1, 1, 1}, {10.25, 10.5}); };
        auto direct = at([&] { model.draw(); });
        at([&] { model.drawCached(VYKOrmeltaViewBase::panelCanvas); }); // fills the cache
        auto cached = at([&] { model.drawCached(VYKOrmeltaViewBase::panelCanvas); });
        int differ = 0;
        for (int y = 0; y < direct->height(); ++y)
            for (int x = 0; x < direct->width(); ++x) {
                const vyk::gfx::Pixel p = direct->pixel(x, y);
                differ += pixelNear(*cached, x, y, {p.r, p.g, p.b}) ? 0 : 1;
            }
        EXPECT_LT(differ, direct->width() * direct->height() / 1000) << scale;
        model.isSwapOn[2] = !model.isSwapOn[2];
        cached = at([&] { model.drawCached(VYKOrmeltaViewBase::panelCanvas); });
        EXPECT_TRUE(pixelNear(*cached, int(71.25 * scale), int(261.5 * scale), model.isSwapOn[2] ? emphasize : white));
    }
    // What reaches the view's context is one image, not the panel's hundreds of paths.
    int calls = 0;
    vyk::test::render(680, 600, 1, [&] {
        UIGraphicsGetCurrentContext()->setObserver(
            [&](const vyk::gfx::DrawCall& c) { calls += c.kind == vyk::gfx::DrawCall::Kind::image ? 1 : 1000; });
        model.drawCached(VYKOrmeltaViewBase::panelCanvas);
    });
    EXPECT_EQ(calls, 1);
}

TEST(PanelDrawing, DegenerateFramesValuesAPdfPageTextsAndThePlate) {
    VYKOrmeltaViewBase model;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (CGRect frame : {CGRect{0, 0, 0, 0}, CGRect{0, 0, 680, 0}, CGRect{0, 0, -680, 600}, CGRect{0, 0, nan, 600},
                         CGRect{0, 0, std::numeric_limits<double>::infinity(), 600}}) {
        auto image = vyk::test::render(680, 600, 1, [&] { model.draw(frame); });
        EXPECT_TRUE(inkCount(*image, 0, 0, 680, 600) == 0 && !model.lastDraw().drawn) << frame.size.width;
    }
    // Values that are not numbers, and a mode out of range: the rest still draws, a
    // split that is not a number standing at 0.
    model.valueStereoWidth[2] = model.valueSplit1 = nan;
    model.currentMode = 9;
    probe(model, "panel-nan-1x", {680, 600}, 1, 0, {{20, 300, emphasize}, {30, 85, faint}, {100, 85, halfEmphasis}});
    EXPECT_TRUE(model.hotspotRangeLPPath.contains({21, 10}));

    // A PDF page (look at it in the artefacts).
    const char* dir = std::getenv("VYK_ARTIFACTS_DIR");
    vyk::gfx::PdfSurface pdf(std::string(dir && *dir ? dir : "/tmp") + "/panel.pdf", 680, 600);
    CGContext cx(pdf.cairoSurface());
    vyk::ui::CurrentContext current(cx);
    VYKOrmeltaViewBase().draw();
    EXPECT_EQ(cx.gStateDepth(), 0);
    pdf.showPage();
    EXPECT_TRUE(pdf.finish());

    // Label texts: halves away from zero, no sign on zero, 0 for what is not a number.
    using namespace vyk::ui;
    EXPECT_EQ(stereoWidthText(0.2) + stereoWidthText(0.499) + stereoWidthText(0.4975) + stereoWidthText(NAN),
              "stereo width: -60%stereo width: 0%stereo width: -1%stereo width: 0%");
    EXPECT_EQ(panoramaText(0) + panoramaText(1), "panorama: -100%panorama: 100%");
    EXPECT_EQ(phaseShiftText(0.5) + phaseShiftText(1),
              "phase shift: 221 samples ( xxx ms )phase shift: 441 samples ( xxx ms )");
    // The plate: (12, 22, 96, 46) in a frame at (10, 20) of 100 x 50, grey `contrast`.
    PluginFrameBaseEx plate;
    plate.contrast = 0.5;
    auto image = vyk::test::render(120, 80, 1, [&] { plate.draw({10, 20, 100, 50}); }, {0, 0, 0, 1});
    EXPECT_TRUE(pixelNear(*image, 14, 40, {128, 128, 128}) && pixelNear(*image, 60, 22, {128, 128, 128}));
    EXPECT_TRUE(pixelNear(*image, 11, 40, black) && pixelNear(*image, 60, 21, black) &&
                pixelNear(*image, 108, 40, black));
    EXPECT_EQ(PluginFrameViewScale, (CGSize{1, 1}));
}

} // namespace
