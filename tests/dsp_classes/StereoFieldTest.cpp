#include "dsp/Panpot.h"
#include "dsp/StereoProcessor.h"
#include "dsp/StereoTool.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

struct Frame {
    float l, r;
};

Frame width(float w, Frame f)
{
    StereoProcessor s;
    s.setValue(w);
    s.processBufferInpalce(&f.l, &f.r, 1);
    return f;
}

Frame pan(float p, Frame f, int64_t smoothed = 0)
{
    Panpot pot;
    pot.setValue(p, smoothed);
    pot.processBuffer(&f.l, &f.r, 1);
    return f;
}

TEST(StereoProcessor, WidthValues)
{
    Frame mono = width(-1, {1, 0});
    EXPECT_EQ(mono.l, 0.5f);
    EXPECT_EQ(mono.r, 0.5f);
    Frame wide = width(1, {1, 0});
    EXPECT_EQ(wide.l, 1.5f);
    EXPECT_EQ(wide.r, -0.5f);
    Frame neutral = width(0, {0.3f, -0.7f});
    EXPECT_EQ(neutral.l, 0.3f);
    EXPECT_EQ(neutral.r, -0.7f);
    // Halfway narrower: mid kept, side halved.
    Frame half = width(-0.5f, {1, 0});
    EXPECT_FLOAT_EQ(half.l, 0.75f);
    EXPECT_FLOAT_EQ(half.r, 0.25f);

    StereoProcessor s;
    s.setValue(-3);
    EXPECT_EQ(s.getValue(), -1.0f);
    s.setValue(2);
    EXPECT_EQ(s.getValue(), 1.0f);
    s.setValue(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(s.getValue(), 0.0f);
    s.setValue(0.5f);
    s.reset();
    EXPECT_EQ(s.getValue(), 0.0f);
}

TEST(Panpot, PanLawValues)
{
    Frame left = pan(-1, {1, 1});
    EXPECT_FLOAT_EQ(left.l, 1.2f);
    EXPECT_EQ(left.r, 0.0f);
    Frame right = pan(0.5f, {1, 0});
    EXPECT_EQ(right.l, 0.5f);
    EXPECT_FLOAT_EQ(right.r, 0.4f);
    Frame fullRight = pan(1, {0.25f, 0.5f});
    EXPECT_EQ(fullRight.l, 0.0f);
    EXPECT_FLOAT_EQ(fullRight.r, 0.45f);
    Frame centre = pan(0, {0.3f, 0.6f});
    EXPECT_EQ(centre.l, 0.3f);
    EXPECT_EQ(centre.r, 0.6f);

    // The smoothed form jumps with setValue, so it gives the same samples.
    for (float p : {-1.0f, -0.3f, 0.0f, 0.7f}) {
        const Frame a = pan(p, {0.9f, -0.2f}, 0);
        const Frame b = pan(p, {0.9f, -0.2f}, 1);
        EXPECT_EQ(a.l, b.l) << p;
        EXPECT_EQ(a.r, b.r) << p;
    }

    Panpot pot;
    pot.setInitialValue(0.25f);
    pot.setInitialValue(1.5f);
    pot.setInitialValue(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(pot.getValue(), 0.25f);
    pot.setInitialValue(-1);
    EXPECT_EQ(pot.getValue(), -1.0f);
    pot.reset();
    EXPECT_EQ(pot.getValue(), 0.0f);
}

TEST(StereoTool, OperationsAndEmptyCounts)
{
    StereoTool tool;
    tool.fAmount = -1;
    float l = 1, r = -1;
    tool.recoverMono(&l, &r, 1);
    EXPECT_EQ(l, 0.0f);
    EXPECT_EQ(r, -2.0f);

    std::vector<float> a = {1, -2, 3}, b = {4, 5, -6};
    tool.invert(a.data(), 3);
    EXPECT_EQ(a, (std::vector<float>{-1, 2, -3}));
    tool.swap(a.data(), b.data(), 3);
    EXPECT_EQ(a, (std::vector<float>{4, 5, -6}));
    EXPECT_EQ(b, (std::vector<float>{-1, 2, -3}));
    tool.extractMono(a.data(), b.data(), 3);
    EXPECT_EQ(a, (std::vector<float>{1.5f, 3.5f, -4.5f}));
    EXPECT_EQ(b, a);

    // Counts of 0 or below change nothing, in every class.
    const std::vector<float> a0 = {0.1f, 0.2f}, b0 = {-0.3f, 0.4f};
    for (int64_t frames : {int64_t{0}, int64_t{-4}}) {
        std::vector<float> x = a0, y = b0;
        tool.invert(x.data(), frames);
        tool.swap(x.data(), y.data(), frames);
        tool.recoverMono(x.data(), y.data(), frames);
        tool.extractMono(x.data(), y.data(), frames);
        StereoProcessor s;
        s.setValue(1);
        s.processBufferInpalce(x.data(), y.data(), frames);
        Panpot p;
        p.setValue(-1, 0);
        p.processBuffer(x.data(), y.data(), frames);
        EXPECT_EQ(x, a0);
        EXPECT_EQ(y, b0);
    }
}

TEST(StereoTool, RecoverMonoComputesInDouble)
{
    // (l - r) / 2 * amount rounded once from double: the same d on both sides.
    StereoTool tool;
    tool.fAmount = 0.7f;
    std::vector<float> l = {0.123456f, 1e-3f, -0.9f}, r = {-0.654321f, 0.5f, 0.3f};
    const std::vector<float> l0 = l, r0 = r;
    tool.recoverMono(l.data(), r.data(), 3);
    for (size_t i = 0; i < 3; ++i) {
        const float d = static_cast<float>(static_cast<double>(l0[i] - r0[i]) * 0.5 * 0.7f);
        EXPECT_EQ(l[i], l0[i] + d);
        EXPECT_EQ(r[i], r0[i] + d);
    }
}

} // namespace
