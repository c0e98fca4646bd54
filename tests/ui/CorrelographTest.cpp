// The correlograph's mapping from known snapshots (difference across, sum up, 80
// canvas units per unit, y down) in its three modes, how coinciding marks build up,
// and a real snapshot from the kernel rendering a generated loop.
#include "Render.h"

#include "../audiounit/UnitRig.h"
#include "resources/loops/LoopSynth.h"
#include "ui/CorrelographViewBase.h"

#include <gtest/gtest.h>

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace {

constexpr double c80 = 0.707107 * 80; // one unit of L - R or L + R on the canvas

// Emphasis ink around canvas point p, drawn at scale 2.
int greenAround(const vyk::gfx::ImageSurface& s, CGPoint p) {
    return vyk::test::greenCount(s, int(2 * p.x) - 2, int(2 * p.y) - 2, int(2 * p.x) + 3, int(2 * p.y) + 3);
}

TEST(Correlograph, KnownSignalsLandOnTheirAxes) {
    const CGPoint centre{128, 128};
    struct Case {
        const char* name;
        float l, r;
        bool normalized;
        CGPoint expected, elsewhere;
    } cases[] = {
        {"left-only", 1, 0, false, {128 - c80, 128 - c80}, {128 + c80, 128 - c80}},
        {"right-only", 0, 1, false, {128 + c80, 128 - c80}, {128 - c80, 128 - c80}},
        {"in-phase", 0.5, 0.5, false, {128, 128 - c80}, {128 - c80, 128}},
        {"in-phase-normalized", 0.5, 0.5, true, {128, 128 - 2 * c80}, {128, 128 + c80}},
        {"anti-phase-normalized", -0.25, 0.25, true, {128 + 2 * c80, 128}, {128 - 2 * c80, 128}},
        {"nan-as-silence", std::numeric_limits<float>::quiet_NaN(), 1e-40f, true, centre, {128 - c80, 128}},
    };
    for (const Case& c : cases)
        for (std::string mode : {"points", "ovals", "bezier"}) {
            CorrelographViewBase base;
            base.isNormalized = c.normalized;
            base.drawMode = mode;
            // A translucent ink must still show: the later cases use one.
            base.colorEmphasize = base.colorEmphasize.withAlphaComponent(&c - cases < 3 ? 1.0 : 0.9);
            const std::vector<float> left(1024, c.l), right(1024, c.r);
            auto image = vyk::test::render(512, 512, 1, [&] {
                base.drawSnapshot(left.data(), right.data(), 1024, {0, 0, 512, 512});
            });
            vyk::test::saveArtifact(*image, "correlograph-" + std::string(c.name) + "-" + mode);
            EXPECT_TRUE(base.lastScale() == (CGSize{2, 2}) && base.points().front() == centre &&
                        base.points().back() == centre);
            for (std::size_t i = 1; i < 1023; ++i) ASSERT_NEAR(base.points()[i].x, c.expected.x, 1e-3) << c.name;
            EXPECT_NEAR(base.points()[500].y, c.expected.y, 1e-3) << c.name;
            // The line runs from the centre out to the point and back: probe its middle.
            const bool line = mode == "bezier";
            const CGPoint at = line ? CGPoint{(c.expected.x + 128) / 2, (c.expected.y + 128) / 2} : c.expected;
            EXPECT_EQ(greenAround(*image, at) > 0, !(line && c.expected == centre)) << c.name << " " << mode;
            EXPECT_EQ(greenAround(*image, c.elsewhere), 0) << c.name << " " << mode;
        }
}

// The marks painted straight with cairo, one path each, as the view must paint them.
std::unique_ptr<vyk::gfx::ImageSurface> marksOneByOne(const CorrelographViewBase& base, int scale) {
    auto image = std::make_unique<vyk::gfx::ImageSurface>(256 * scale, 256 * scale);
    image->clear({1, 1, 1, 1});
    cairo_t* cr = cairo_create(image->cairoSurface());
    cairo_scale(cr, scale, scale);
    const CGColor ink = base.colorEmphasize.cgColor();
    cairo_set_source_rgba(cr, ink.red, ink.green, ink.blue, ink.alpha);
    cairo_set_line_width(cr, 1);
    const double k = 4 * (std::numbers::sqrt2 - 1) / 3 * 0.5; // quarter-circle handles, radius 0.5
    for (const CGPoint& p : base.points()) {
        if (base.drawMode == "points") {
            cairo_move_to(cr, p.x, p.y);
            cairo_line_to(cr, p.x + 0.5, p.y + 0.5);
            cairo_close_path(cr);
            cairo_stroke(cr);
        } else {
            const double x = p.x + 0.5, y = p.y + 0.5;
            cairo_move_to(cr, x + 0.5, y);
            cairo_curve_to(cr, x + 0.5, y + k, x + k, y + 0.5, x, y + 0.5);
            cairo_curve_to(cr, x - k, y + 0.5, x - 0.5, y + k, x - 0.5, y);
            cairo_curve_to(cr, x - 0.5, y - k, x - k, y - 0.5, x, y - 0.5);
            cairo_curve_to(cr, x + k, y - 0.5, x + 0.5, y - k, x + 0.5, y);
            cairo_close_path(cr);
            cairo_fill(cr);
        }
    }
    cairo_destroy(cr);
    return image;
}

// Where marks coincide, each one adds its own coverage to the pixels it touches, so
// an opaque ink's antialiased edges darken with every repeat.
TEST(Correlograph, CoincidingMarksBuildUpAsIfPaintedOneByOne) {
    // Silence puts all marks on the centre; a waveform of 16 frames repeats each of
    // its 16 positions 64 times.
    std::vector<float> silence(1024, 0.0f), left(1024), right(1024);
    for (int i = 0; i < 1024; ++i) {
        const float phase = 2 * std::numbers::pi_v<float> * float(i % 16) / 16;
        left[i] = 0.7f * std::sin(phase);
        right[i] = 0.4f * std::sin(phase + 1.0f);
    }
    const struct {
        const char* name;
        const std::vector<float>&l, &r;
    } signals[] = {{"silence", silence, silence}, {"waveform", left, right}};
    for (const auto& signal : signals)
        for (const char* mode : {"points", "ovals"})
            for (int scale : {1, 2}) {
                const std::string name = std::string(signal.name) + "-" + mode + "-" + std::to_string(scale) + "x";
                CorrelographViewBase base;
                base.drawMode = mode;
                ASSERT_EQ(base.colorEmphasize.cgColor().alpha, 1.0);
                auto drawn = vyk::test::render(256, 256, scale,
                                               [&] { base.drawSnapshot(signal.l.data(), signal.r.data(), 1024); });
                auto reference = marksOneByOne(base, scale);
                vyk::test::saveArtifact(*drawn, "correlograph-coinciding-" + name);
                vyk::test::saveArtifact(*reference, "correlograph-coinciding-" + name + "-reference");
                ASSERT_EQ(base.points()[17], base.points()[17 + 16 * 60]) << name;

                int inked = 0, different = 0, worst = 0;
                for (int y = 0; y < drawn->height(); ++y)
                    for (int x = 0; x < drawn->width(); ++x) {
                        const vyk::gfx::Pixel a = drawn->pixel(x, y), b = reference->pixel(x, y);
                        const int d = std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
                        inked += b.r != 255 || b.g != 255 || b.b != 255;
                        different += d > 2;
                        worst = std::max(worst, d);
                    }
                EXPECT_GT(inked, signal.name == std::string("silence") ? 0 : 16) << name;
                EXPECT_EQ(different, 0) << name << ": " << inked << " inked pixels, up to " << worst << " apart";
            }
}

TEST(Correlograph, EmptySnapshotDrawsNothingAndKeepsThePoints) {
    CorrelographViewBase base;
    const float left[2] = {1, 0}, right[2] = {0, 0};
    vyk::test::render(256, 256, 1, [&] { base.drawSnapshot(left, right, 2); }); // frame 0 throughout
    auto image = vyk::test::render(256, 256, 1, [&] { base.drawSnapshot(left, right, 0); });
    EXPECT_EQ(vyk::test::inkCount(*image, 0, 0, 256, 256), 0);
    EXPECT_NEAR(base.points()[5].x, 128 - c80, 1e-3); // normalised: peak 1
}

// The view controller's part, over a real unit.
struct Controller : PanelController {
    std::shared_ptr<VYK_Wimbrax_Extension_AudioUnit> unit;
    std::shared_ptr<VYK_Wimbrax_Extension_AudioUnit> audioUnit() const override { return unit; }
    float getParameter(NSInteger address) override { return unit ? unit->getParameter(int32_t(address)) : 0; }
};

TEST(Correlograph, RealSnapshotOfTheKernelRenderingALoop) {
    unitrig::Documents documents;
    Controller controller;
    CorrelographViewBase base;
    base.viewController = &controller;

    controller.unit = unitrig::makeUnit();
    unitrig::Host host(controller.unit);
    ASSERT_TRUE(host.allocate());
    const loops::StereoLoop loop = loops::synthesize(7);
    unitrig::Stereo in(24000), out(24000);
    std::copy_n(loop.left.begin(), 24000, in.l.begin());
    std::copy_n(loop.right.begin(), 24000, in.r.begin());
    // The kernel analyses the bands it processes: the full band in mode 0, three bands otherwise.
    for (float mode : {0.0f, 1.0f, 2.0f, 3.0f}) {
        controller.unit->setParameter(2, mode);
        for (std::size_t at = 0; at + 512 <= 24000; at += 512) ASSERT_EQ(host.render(in, out, at, 512), noErr);
        auto image = vyk::test::render(256, 256, 2, [&] { base.drawCorrelograph(); });
        vyk::test::saveArtifact(*image, "correlograph-loop-band" + std::to_string(int(mode)));
        EXPECT_GT(vyk::test::inkCount(*image, 0, 0, 512, 512), 100) << mode;
        EXPECT_NE(base.points()[512], (CGPoint{128, 128})) << mode;
    }
    controller.unit->deallocateRenderResources();
}

} // namespace
