#include "dsp/Compander.h"

#include "RenderGuard.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

// The envelope and gain written from their description, in double where the
// follower works in double, as an independent model of the compander.
struct ModelFollower {
    double up, down;
    int reload;
    double peak = 0;
    int hold = 0;
    void feed(float s)
    {
        const double a = std::fabs(static_cast<double>(s));
        if (a > peak) {
            peak += up;
            hold = reload;
        } else if (a < peak) {
            if (hold-- <= 0) {
                hold = 0;
                peak = std::max(0.0, peak - down);
            }
        }
    }
};

struct ModelCompander {
    ModelFollower in{1.0 / 480, 1.0 / 24000, 4};
    ModelFollower out{1.0 / 480, 1.0 / 24000, 4};
    float multiplier = 1;
    bool inverted = false;
    void frame(float& l, float& r)
    {
        in.feed(l + r);
        const float p = static_cast<float>(in.peak);
        const float g = p == 1 ? 1 : p > 1 ? 1 / p : 1 + (1 - std::max(p, 0.0f)) * multiplier;
        const float sl = l * g, sr = r * g;
        l = inverted ? l - sl : sl;
        r = inverted ? r - sr : sr;
        out.feed(sl + sr);
    }
};

TEST(Follower, RatesFromTheSampleRate)
{
    Follower f;
    EXPECT_EQ(f.getAttackTime(), 480.0f);
    EXPECT_EQ(f.getReleaseTime(), 24000.0f);
    EXPECT_EQ(f.getIncrease(), 1.0 / 480);
    EXPECT_EQ(f.getDecrease(), 1.0 / 24000);
    EXPECT_EQ(f.getHoldReload(), 4);
    f.setSamplerate(44100);
    EXPECT_EQ(f.getAttackTime(), 441.0f);
    EXPECT_EQ(f.getReleaseTime(), 22050.0f);
    EXPECT_EQ(f.getHoldReload(), 4);
    f.setSamplerate(1000);
    EXPECT_EQ(f.getAttackTime(), 16.0f);  // 10 raised to the minimum

    Follower g;
    for (auto bad : {1.5f, -0.1f, std::numeric_limits<float>::quiet_NaN()})
        g.setAttack(bad);
    for (auto bad : {-1.0f, 12.0f})
        g.setRelease(bad);
    g.setDecay(2);
    g.setSamplerate(0);
    g.setSamplerate(-48000);
    g.setSamplerate(std::numeric_limits<float>::infinity());
    EXPECT_EQ(g.getAttackTime(), 480.0f);
    EXPECT_EQ(g.getReleaseTime(), 24000.0f);
    EXPECT_EQ(g.getHoldReload(), 4);
    g.setRelease(10);
    EXPECT_EQ(g.getReleaseTime(), 480000.0f);
}

TEST(Follower, AttackHoldAndRelease)
{
    Follower f;
    const float one = 1.0f;
    for (int i = 0; i < 480; ++i)
        f.processSample(&one);
    EXPECT_NEAR(f.getPeak(), 1.0f, 1e-6f);
    for (int i = 0; i < 2000; ++i) {
        f.processSample(&one);
        ASSERT_NEAR(f.getPeak(), 1.0f, 1.0f / 480 + 1e-6f);
    }
    // Silence right after a rising sample: held for 4 samples, falls on the 5th.
    Follower g;
    const float zero = 0.0f, half = 0.5f;
    g.processSample(&half);
    const float top = g.getPeak();
    for (int i = 0; i < 4; ++i) {
        g.processSample(&zero);
        EXPECT_EQ(g.getPeak(), top) << i;
    }
    g.processSample(&zero);
    EXPECT_FLOAT_EQ(g.getPeak(), static_cast<float>(1.0 / 480 - 1.0 / 24000));
    // The envelope never goes below 0.
    for (int i = 0; i < 100; ++i)
        g.processSample(&zero);
    EXPECT_EQ(g.getPeak(), 0.0f);
    EXPECT_EQ(g.getPeakInverted(), 1.0f);
    for (int i = 0; i < 1000; ++i)
        g.processSample(&one);
    EXPECT_EQ(g.getPeakInverted(), 0.0f);
    g.reset();
    EXPECT_EQ(g.getPeak(), 0.0f);
}

TEST(Compander, GainsAtTheStatedLevels)
{
    // Silence from reset: gain 2 times 0.
    Compander c;
    std::vector<float> l(256, 0.0f), r(256, 0.0f);
    c.processBuffers(l.data(), r.data(), 256);
    EXPECT_EQ(l[255], 0.0f);
    EXPECT_EQ(c.getFactor(), 2.0f);

    // Settled at a summed peak of 2: gain 0.5.
    std::vector<float> ones(2000, 1.0f), ones2(2000, 1.0f);
    c.processBuffers(ones.data(), ones2.data(), 2000);
    EXPECT_NEAR(c.getFactor(), 0.5f, 0.002f);
    EXPECT_NEAR(ones[1999], 0.5f, 0.001f);
    EXPECT_NEAR(c.getInputFollower().getPeak(), 2.0f, 1.0f / 480);

    // Inverted with a gain of 2: 0.25 becomes -0.25.
    Compander inv;
    inv.setInverted(true);
    float a = 0.25f, b = 0.25f;
    inv.processBuffers(&a, &b, 1);  // first frame: peak 1/480 on a sum of 0.5
    const float g = 1 + (1 - static_cast<float>(1.0 / 480));
    EXPECT_FLOAT_EQ(a, 0.25f - 0.25f * g);

    // setMultiplier(-5) stores -1: below full scale the gain equals the peak.
    Compander expander;
    expander.setMultiplier(-5);
    std::vector<float> x(10, 0.25f), y(10, 0.25f);
    expander.processBuffers(x.data(), y.data(), 10);
    EXPECT_NEAR(expander.getFactor(), expander.getInputFollower().getPeak(), 1e-7f);
}

TEST(Compander, MatchesTheModelOnNoiseInEveryMode)
{
    std::mt19937 rng(42);
    std::uniform_real_distribution<float> dist(-1, 1);
    for (int mode = 0; mode < 3; ++mode) {
        Compander c;
        ModelCompander model;
        if (mode == 1) {
            c.setInverted(true);
            model.inverted = true;
        }
        if (mode == 2) {
            c.setMultiplier(3);
            model.multiplier = 3;
        }
        for (int block = 0; block < 40; ++block) {
            const int frames = 1 + (block * 97) % 600;
            // Loud, quiet and silent stretches, so attack, hold and release all act.
            const float level = block % 5 == 0 ? 0.0f : block % 3 == 0 ? 2.0f : 0.1f;
            std::vector<float> l(static_cast<size_t>(frames)), r(static_cast<size_t>(frames));
            for (size_t i = 0; i < l.size(); ++i) {
                l[i] = dist(rng) * level;
                r[i] = dist(rng) * level;
            }
            std::vector<float> ml = l, mr = r;
            c.processBuffers(l.data(), r.data(), frames);
            for (size_t i = 0; i < l.size(); ++i) {
                model.frame(ml[i], mr[i]);
                ASSERT_EQ(l[i], ml[i]) << "mode " << mode << " block " << block << " frame " << i;
                ASSERT_EQ(r[i], mr[i]);
            }
            ASSERT_EQ(c.getInputFollower().getPeak(), static_cast<float>(model.in.peak));
            ASSERT_EQ(c.getOutputFollower().getPeak(), static_cast<float>(model.out.peak));
        }
    }
}

TEST(Compander, NonFiniteSamplesLeaveTheEnvelopeFinite)
{
    Compander c;
    std::vector<float> l(64, 0.5f), r(64, 0.5f);
    l[3] = std::numeric_limits<float>::quiet_NaN();
    r[9] = std::numeric_limits<float>::infinity();
    c.processBuffers(l.data(), r.data(), 64);
    std::vector<float> l2(64, 0.5f), r2(64, 0.5f);
    c.processBuffers(l2.data(), r2.data(), 64);
    for (size_t i = 0; i < 64; ++i)
        ASSERT_TRUE(std::isfinite(l2[i]) && std::isfinite(r2[i]));
    EXPECT_TRUE(std::isfinite(c.getInputFollower().getPeak()));
}

TEST(Compander, ResetAndRateChange)
{
    Compander c;
    std::vector<float> l(1000, 1.0f), r(1000, 1.0f);
    c.processBuffers(l.data(), r.data(), 1000);
    c.setSamplerate(44100);  // keeps the peaks, re-installs the times
    EXPECT_GT(c.getInputFollower().getPeak(), 1.0f);
    EXPECT_EQ(c.getInputFollower().getAttackTime(), 441.0f);
    c.reset();
    EXPECT_EQ(c.getInputFollower().getPeak(), 0.0f);
    EXPECT_EQ(c.getOutputFollower().getPeak(), 0.0f);
    EXPECT_EQ(c.getFactor(), 1.0f);
    c.processBuffers(l.data(), r.data(), 0);
    c.processBuffers(l.data(), r.data(), -1);
    EXPECT_EQ(c.getFactor(), 1.0f);

    vyk::test::RenderGuard guard;
    c.processBuffers(l.data(), r.data(), 1000);
    if (vyk::test::RenderGuard::active()) {
        EXPECT_EQ(guard.violations(), 0);
    }
}

} // namespace
