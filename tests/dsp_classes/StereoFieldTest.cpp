#include "dsp/BandTools.h"
#include "dsp/Panpot.h"
#include "dsp/StereoProcessor.h"
#include "dsp/StereoTool.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

using Frame = std::pair<float, float>;

Frame width(float w, Frame f) {
    StereoProcessor s;
    s.setValue(w);
    s.processBufferInpalce(&f.first, &f.second, 1);
    return f;
}

Frame pan(float p, Frame f, int64_t smoothed = 0) {
    Panpot pot;
    pot.setValue(p, smoothed);
    pot.processBuffer(&f.first, &f.second, 1);
    return f;
}

TEST(StereoField, WidthAndPanLaw) {
    EXPECT_EQ(width(-1, {1, 0}), Frame(0.5f, 0.5f));
    EXPECT_EQ(width(1, {1, 0}), Frame(1.5f, -0.5f));
    EXPECT_EQ(width(0, {0.3f, -0.7f}), Frame(0.3f, -0.7f));
    EXPECT_EQ(width(-3, {1, 0}), width(-1, {1, 0})); // clamped
    EXPECT_EQ(width(std::numeric_limits<float>::quiet_NaN(), {0.3f, 0.1f}), Frame(0.3f, 0.1f));

    const Frame left = pan(-1, {1, 1});
    EXPECT_FLOAT_EQ(left.first, 1.2f);
    EXPECT_EQ(left.second, 0.0f);
    const Frame right = pan(0.5f, {1, 0});
    EXPECT_EQ(right.first, 0.5f);
    EXPECT_FLOAT_EQ(right.second, 0.4f);
    EXPECT_EQ(pan(0, {0.3f, 0.6f}), Frame(0.3f, 0.6f));
    // The smoothed form jumps with setValue, so it gives the same samples.
    for (float p : {-1.0f, -0.3f, 0.0f, 0.7f}) EXPECT_EQ(pan(p, {0.9f, -0.2f}, 0), pan(p, {0.9f, -0.2f}, 1)) << p;

    Panpot pot;
    pot.setInitialValue(0.25f);
    pot.setInitialValue(1.5f);
    pot.setInitialValue(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(pot.getValue(), 0.25f);
}

TEST(StereoField, ToolOperationsAndEmptyCounts) {
    StereoTool tool;
    tool.fAmount = -1;
    Frame f{1, -1};
    tool.recoverMono(&f.first, &f.second, 1);
    EXPECT_EQ(f, Frame(0.0f, -2.0f));
    // d = (l - r) / 2 * amount, rounded once from double, added to both sides.
    tool.fAmount = 0.7f;
    f = {0.123456f, -0.654321f};
    const float d = static_cast<float>(static_cast<double>(f.first - f.second) * 0.5 * 0.7f);
    tool.recoverMono(&f.first, &f.second, 1);
    EXPECT_EQ(f, Frame(0.123456f + d, -0.654321f + d));

    std::vector<float> a = {1, -2, 3}, b = {4, 5, -6};
    tool.invert(a.data(), 3);
    tool.swap(a.data(), b.data(), 3);
    EXPECT_EQ(a, (std::vector<float>{4, 5, -6}));
    EXPECT_EQ(b, (std::vector<float>{-1, 2, -3}));
    tool.extractMono(a.data(), b.data(), 3);
    EXPECT_EQ(a, (std::vector<float>{1.5f, 3.5f, -4.5f}));
    EXPECT_EQ(b, a);

    const std::vector<float> a0 = a, b0 = {-0.3f, 0.4f, 0.5f};
    b = b0;
    for (int64_t frames : {int64_t{0}, int64_t{-4}}) {
        tool.invert(a.data(), frames);
        tool.swap(a.data(), b.data(), frames);
        tool.recoverMono(a.data(), b.data(), frames);
        tool.extractMono(a.data(), b.data(), frames);
        StereoProcessor s;
        s.setValue(1);
        s.processBufferInpalce(a.data(), b.data(), frames);
        Panpot p;
        p.setValue(-1, 0);
        p.processBuffer(a.data(), b.data(), frames);
    }
    EXPECT_EQ(a, a0);
    EXPECT_EQ(b, b0);
}

} // namespace

// The kernel's fused tool passes stand for the separate stages it ran before: every
// combination must give the stages' bits, or the panel's switches change the sound.
TEST(StereoField, FusedToolPassesGiveTheSeparateStagesBits) {
    constexpr int64_t n = 37;
    std::vector<float> l0(n), r0(n);
    for (int64_t i = 0; i < n; ++i) {
        l0[std::size_t(i)] = std::sin(0.37f * float(i)) * (i % 5 == 0 ? 1e30f : 0.8f);
        r0[std::size_t(i)] = std::cos(0.23f * float(i)) * (i % 7 == 0 ? 1e-38f : 0.6f);
    }
    for (int flags = 0; flags < 16; ++flags)
        for (float w : {-1.0f, -0.35f, 0.0f, 0.6f, 1.0f})
            for (float p : {-1.0f, -0.45f, 0.0f, 0.3f, 1.0f}) {
                const bool invert = flags & 1, swap = flags & 2, recover = flags & 4, mono = flags & 8;
                const float amount = -w;
                std::vector<float> l = l0, r = r0, fl = l0, fr = r0;
                StereoTool tool;
                if (invert) tool.invert(l.data(), n);
                if (swap) tool.swap(l.data(), r.data(), n);
                if (recover) {
                    tool.fAmount = amount;
                    tool.recoverMono(l.data(), r.data(), n);
                }
                StereoProcessor width;
                width.setValue(w);
                width.processBufferInpalce(l.data(), r.data(), n);
                Panpot pot;
                pot.setValue(p, 0);
                pot.processBuffer(l.data(), r.data(), n);
                if (mono) tool.extractMono(l.data(), r.data(), n);

                channelTools(fl.data(), fr.data(), n, invert, swap, recover, amount);
                imageTools(fl.data(), fr.data(), n, w, p, mono);
                ASSERT_EQ(0, std::memcmp(l.data(), fl.data(), n * sizeof(float))) << flags << " " << w << " " << p;
                ASSERT_EQ(0, std::memcmp(r.data(), fr.data(), n * sizeof(float))) << flags << " " << w << " " << p;
            }
}
