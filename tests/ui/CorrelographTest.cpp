// The correlograph's mapping from known snapshots (difference across, sum up, 80
// canvas units per unit, y down) in its three modes, and a real snapshot from the
// kernel rendering a generated loop.
#include "Render.h"

#include "../audiounit/UnitRig.h"
#include "resources/loops/LoopSynth.h"
#include "ui/CorrelographViewBase.h"

#include <gtest/gtest.h>

#include <limits>
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
            // Translucent marks are painted one by one: the later cases take that road.
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
