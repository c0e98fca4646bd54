// The panel drawn offscreen, probed at positions worked out from the panel's
// geometry (the controls canvas lies at panel y + 160, the band bar at y + 70) and
// colours composed over the background by hand.
#include "Render.h"

#include "ui/VYKOrmeltaViewBase.h"

#include <gtest/gtest.h>

#include <fstream>
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
    double x, y;  // panel units
    Rgb colour;
    const char* what;
};

// Draws `model` into a frame of `size` at `deviceScale` pixels per point, keeps the
// PNG and checks each probe at panel (x, y + dy).
std::unique_ptr<vyk::gfx::ImageSurface> probe(VYKOrmeltaViewBase& model, const std::string& name, CGSize size,
                                              CGFloat deviceScale, CGFloat dy, const std::vector<Probe>& probes,
                                              CGColor background = {1, 1, 1, 1})
{
    auto image = vyk::test::render(size.width, size.height, deviceScale, [&] { model.draw({{0, 0}, size}); },
                                   background);
    vyk::test::saveArtifact(*image, name);
    const CGFloat k = deviceScale * model.lastDraw().scale.width;
    for (const Probe& p : probes)
        EXPECT_TRUE(pixelNear(*image, int(p.x * k), int((p.y + dy) * k), p.colour)) << name << ": " << p.what;
    return image;
}

const std::vector<Probe> kDefaultProbes = {
    {250, 85, halfEmphasis, "selected middle range"},     {100, 85, faint, "low range"},
    {600, 85, faint, "high range"},                        {102, 140, emphasize, "low band light"},
    {340, 140, emphasize, "middle band light"},            {588, 141, emphasize, "high band light, a unit lower"},
    {178, 109, handle, "split marker 1 handle"},           {20, 300, emphasize, "outline in multiband colour"},
    {61, 379, halfEmphasis, "correlograph light"},         {61, 402, halfEmphasis, "normalize light"},
    {61, 251, white, "swap light off"},                    {280, 420, diamond, "diamond"},
    {202, 380, strongEmphasis, "left bracket on the frame"}, {478, 380, strongEmphasis, "right bracket"},
    {466, 530, emphasize, "stereo width pointer upright"}, {214, 210, emphasize, "panorama pointer upright"},
};

TEST(PanelDrawing, DefaultPanelAtOneAndTwoTimesScaledAndTall)
{
    VYKOrmeltaViewBase model;
    probe(model, "panel-default-1x", {680, 600}, 1, 0, kDefaultProbes);
    EXPECT_EQ(model.lastDraw().scale, (CGSize{1, 1}));
    probe(model, "panel-default-2x", {680, 600}, 2, 0, kDefaultProbes);
    probe(model, "panel-default-1360", {1360, 1200}, 1, 0, kDefaultProbes);
    EXPECT_EQ(model.lastDraw().scale, (CGSize{2, 2}));
    EXPECT_EQ(VYKOrmeltaViewScale, (CGSize{2, 2}));
    // A tall target keeps scale 1 and centres the panel 300 units down.
    std::vector<Probe> tall = kDefaultProbes;
    tall.push_back({250, -215, white, "nothing above the panel"});
    probe(model, "panel-default-tall", {680, 1200}, 1, 300, tall);
    EXPECT_EQ(model.lastDraw().canvas, (CGRect{0, 300, 680, 600}));
}

TEST(PanelDrawing, AllpassAndDarkContrast)
{
    VYKOrmeltaViewBase model;
    model.isAllpass = true;
    model.currentMode = 0;
    // The mode buttons stand on quarter units: at 2x their top edge fills pixel row 56.
    probe(model, "panel-allpass-2x", {680, 600}, 2, 0,
          {{250, 85, white, "no band bar"}, {300, 78, black, "all-pass box"}, {20, 300, black, "outline"},
           {280, 28.25, emphasize, "ALLPASS button lit"}, {390, 28.25, black, "MULTI BAND button dark"}});
    // Contrast 0 from the brightness control: white lines over a black plate.
    model.colorContrast = UIColor::white(1);
    probe(model, "panel-allpass-dark", {680, 600}, 1, 0,
          {{300, 78, white, "all-pass box"}, {20, 300, white, "outline"}, {250, 85, black, "plate"}}, {0, 0, 0, 1});
}

TEST(PanelDrawing, MovedSplitsSwitchesPanoramaAndHighlights)
{
    VYKOrmeltaViewBase model;
    model.valueSplit1 = 0.5;  // x1 = 325: marker centre 340.5, low range up to 341
    model.valueSplit2 = 1.0;  // x2 = 630: high range 14 wide from 646
    model.isRangeActive[1] = false;
    model.isSwapOn[2] = model.isInvert[2] = model.isRecover[2] = model.isMonoOn[2] = true;
    model.isNormalized = false;
    model.valuePanorama[2] = 0;  // markers turned by -45 degrees, pointer by -140
    probe(model, "panel-moved-2x", {680, 600}, 2, 0,
          {{178, 109, faint, "no marker at the old place"}, {330, 109, handle, "marker 1 moved"},
           {400, 85, halfEmphasis, "middle range widened"}, {652, 85, faint, "high range"},
           {102, 140, faint, "low band off"}, {61, 251, emphasize, "swap on"}, {61, 291, emphasize, "invert on"},
           {61, 499, emphasize, "recover on"}, {623, 499, emphasize, "mono audition on"},
           {61, 402, white, "normalize off"},
           // The left bracket's spine point (-138, 20) turned by -45 degrees about (340, 380).
           {340 - 0.7071 * 118, 380 + 0.7071 * 158, strongEmphasis, "turned bracket"},
           // The panorama pointer's middle (0, -7) turned by -140 degrees about (215, 223).
           {215 - 7 * 0.6428, 223 + 7 * 0.7660, emphasize, "panorama pointer at -140"}});
    // Highlights double a label and a marker about their anchors: the label box
    // (-65, -14, 130, 28) at (339.5, 538.5) reaches x 469.5; the marker's handle at
    // (340.5, 103) spans y 88 to 118, above the bar's own title row.
    model.isOptionStereoWidthActive = model.isSplit1Active = true;
    probe(model, "panel-highlight-1x", {680, 600}, 1, 0,
          {{440, 520, faint, "doubled label box"}, {320, 90, handle, "doubled marker"}});
}

TEST(PanelDrawing, TextInkStaysInItsBoxes)
{
    VYKOrmeltaViewBase model;
    auto image = vyk::test::render(680, 600, 2, [&] { model.draw(); });
    const int boxes[][4] = {{300, 339, 380, 419}, {526, 33, 660, 51}, {20, 33, 188, 51}, {198, 526, 231, 553},
                            {508, 231, 642, 270}, {605, 262, 640, 316}, {310, 92, 370, 106}};
    for (const auto& b : boxes)
        EXPECT_GT(inkCount(*image, 2 * b[0], 2 * b[1], 2 * b[2], 2 * b[3]), 20) << b[0] << "," << b[1];
    // Nothing above the titles, or between the left title and the buttons.
    EXPECT_EQ(inkCount(*image, 40, 0, 1320, 52), 0);
    EXPECT_EQ(inkCount(*image, 380, 66, 472, 102), 0);
    // The selected band's title is drawn in emphasis, the others in grey.
    auto greenish = [&](int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = 2 * y0; y < 2 * y1; ++y)
            for (int x = 2 * x0; x < 2 * x1; ++x)
                n += image->pixel(x, y).g - image->pixel(x, y).r > 60 ? 1 : 0;
        return n;
    };
    EXPECT_GT(greenish(310, 92, 370, 106), 20);
    EXPECT_EQ(greenish(47, 92, 107, 106), 0);
}

TEST(PanelDrawing, DegenerateFramesAndValuesAndAPdfPage)
{
    VYKOrmeltaViewBase model;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (CGRect frame : {CGRect{0, 0, 0, 0}, CGRect{0, 0, 680, 0}, CGRect{0, 0, -680, 600}, CGRect{0, 0, nan, 600},
                         CGRect{0, 0, std::numeric_limits<double>::infinity(), 600}}) {
        auto image = vyk::test::render(680, 600, 1, [&] { model.draw(frame); });
        EXPECT_EQ(inkCount(*image, 0, 0, 680, 600), 0);
        EXPECT_FALSE(model.lastDraw().drawn);
    }
    // Values that are not numbers, and a mode out of range: the rest still draws.
    model.valueStereoWidth[2] = model.valueSplit1 = nan;
    model.currentMode = 9;
    probe(model, "panel-nan-1x", {680, 600}, 1, 0, {{20, 300, emphasize, "outline"}, {30, 85, faint, "low range at split 0"}, {100, 85, halfEmphasis, "middle range"}});
    EXPECT_TRUE(model.hotspotRangeLPPath.contains({21, 10}));

    const char* dir = std::getenv("VYK_ARTIFACTS_DIR");
    const std::string path = std::string(dir && *dir ? dir : "/tmp") + "/panel.pdf";
    {
        vyk::gfx::PdfSurface pdf(path, 680, 600);
        CGContext cx(pdf.cairoSurface());
        vyk::ui::CurrentContext current(cx);
        VYKOrmeltaViewBase().draw();
        EXPECT_EQ(cx.gStateDepth(), 0);
        pdf.showPage();
        EXPECT_TRUE(pdf.finish());
    }
    std::string head(4, ' ');
    std::ifstream(path).read(head.data(), 4);
    EXPECT_EQ(head, "%PDF");
}

} // namespace
