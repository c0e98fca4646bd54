#include "dsp/Compander.h"

#include "RenderGuard.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

// The envelope and the gain written from their description, as an
// independent model of the compander (48 kHz times).
struct ModelFollower {
    double peak = 0;
    int hold = 0;
    void feed(float s) {
        const double a = std::fabs(static_cast<double>(s));
        if (a > peak) {
            peak += 1.0 / 480;
            hold = 4;
        } else if (a < peak && hold-- <= 0) {
            hold = 0;
            peak = std::max(0.0, peak - 1.0 / 24000);
        }
    }
};

struct ModelCompander {
    ModelFollower in, out;
    float multiplier = 1;
    bool inverted = false;
    void frame(float& l, float& r) {
        in.feed(l + r);
        const float p = static_cast<float>(in.peak);
        const float g = p == 1 ? 1 : p > 1 ? 1 / p : 1 + (1 - p) * multiplier;
        const float sl = l * g, sr = r * g;
        l = inverted ? l - sl : sl;
        r = inverted ? r - sr : sr;
        out.feed(sl + sr);
    }
};

TEST(Follower, RatesHoldAndRejectedSettings) {
    Follower f;
    EXPECT_EQ(f.getIncrease(), 1.0 / 480);
    EXPECT_EQ(f.getDecrease(), 1.0 / 24000);
    EXPECT_EQ(f.getHoldReload(), 4);
    f.setSamplerate(44100);
    EXPECT_EQ(f.getAttackTime(), 441.0f);
    EXPECT_EQ(f.getReleaseTime(), 22050.0f);
    f.setSamplerate(1000);
    f.setRelease(0.001f);
    EXPECT_EQ(f.getAttackTime(), 16.0f); // 10 frames and 1 raised to the minimum
    EXPECT_EQ(f.getReleaseTime(), 16.0f);
    f.setSamplerate(48000);
    for (float bad : {1.5f, -0.1f, std::numeric_limits<float>::quiet_NaN()}) f.setAttack(bad);
    f.setRelease(-1);
    f.setRelease(12);
    f.setDecay(2);
    f.setSamplerate(0);
    f.setSamplerate(std::numeric_limits<float>::infinity());
    EXPECT_EQ(f.getAttackTime(), 480.0f);
    EXPECT_EQ(f.getReleaseTime(), 24000.0f);
    EXPECT_EQ(f.getHoldReload(), 4);
    f.setRelease(10);
    EXPECT_EQ(f.getReleaseTime(), 480000.0f);

    // The inverted peak is limited to 0..1 (the envelopes themselves are checked
    // against the model below).
    const float one = 1.0f;
    for (int i = 0; i < 480; ++i) f.processSample(&one);
    EXPECT_EQ(f.getPeakInverted(), 0.0f);
    f.reset();
    EXPECT_EQ(f.getPeakInverted(), 1.0f);
}

TEST(Compander, GainsAtSilenceFullScaleAndBelowIt) {
    Compander c;
    std::vector<float> l(2000, 0.0f), r(2000, 0.0f);
    c.processBuffers(l.data(), r.data(), 256); // silence: gain 2 times 0
    EXPECT_EQ(l[255], 0.0f);
    EXPECT_EQ(c.getFactor(), 2.0f);
    std::fill(l.begin(), l.end(), 1.0f);
    std::fill(r.begin(), r.end(), 1.0f);
    c.processBuffers(l.data(), r.data(), 2000); // settled at a summed peak of 2: gain 0.5
    EXPECT_NEAR(l[1999], 0.5f, 0.001f);
    c.reset();
    EXPECT_EQ(c.getFactor(), 1.0f);
    EXPECT_EQ(c.getOutputFollower().getPeak(), 0.0f);

    Compander expander; // -5 stores -1: below full scale the gain is the peak
    expander.setMultiplier(-5);
    expander.processBuffers(l.data(), r.data(), 10);
    EXPECT_NEAR(expander.getFactor(), expander.getInputFollower().getPeak(), 1e-7f);
}

TEST(Compander, MatchesTheModelOnNoiseAndRecoversFromNonFiniteInput) {
    std::mt19937 rng(42);
    std::uniform_real_distribution<float> dist(-1, 1);
    for (int mode = 0; mode < 3; ++mode) {
        Compander c;
        ModelCompander model;
        c.setInverted(model.inverted = mode == 1);
        if (mode == 2) c.setMultiplier(model.multiplier = 3);
        for (int block = 0; block < 40; ++block) {
            const int frames = 1 + (block * 97) % 600;
            // Loud, quiet and silent stretches, so attack, hold and release all act.
            const float level = block % 5 == 0 ? 0.0f : block % 3 == 0 ? 2.0f : 0.1f;
            std::vector<float> l(static_cast<size_t>(frames)), r(l.size());
            for (size_t i = 0; i < l.size(); ++i) {
                l[i] = dist(rng) * level;
                r[i] = dist(rng) * level;
            }
            std::vector<float> ml = l, mr = r;
            vyk::test::RenderGuard guard;
            if (block % 2 == 0) {
                c.processBuffers(l.data(), r.data(), frames);
            } else { // the per-frame form the kernel interleaves with its band splitter
                Compander::Stream stream(c, ml.data(), mr.data(), l.data(), r.data());
                for (int i = 0; i < frames; ++i) stream.frame(i);
                stream.finish(frames);
            }
            if (vyk::test::RenderGuard::active()) {
                ASSERT_EQ(guard.violations(), 0);
            }
            for (size_t i = 0; i < l.size(); ++i) {
                model.frame(ml[i], mr[i]);
                ASSERT_EQ(l[i], ml[i]) << "mode " << mode << " block " << block << " frame " << i;
                ASSERT_EQ(r[i], mr[i]);
            }
            ASSERT_EQ(c.getOutputFollower().getPeak(), static_cast<float>(model.out.peak));
        }
    }

    // A NaN or infinity affects its own frame only, and the envelopes stay
    // finite and never negative (the gain's bit comparisons rely on it).
    Compander c;
    std::vector<float> l(64, 0.5f), r(64, 0.5f);
    l[3] = std::numeric_limits<float>::quiet_NaN();
    r[9] = std::numeric_limits<float>::infinity();
    l[20] = -std::numeric_limits<float>::infinity();
    c.processBuffers(l.data(), r.data(), 64);
    for (size_t i = 21; i < 64; ++i) ASSERT_TRUE(std::isfinite(l[i]) && std::isfinite(r[i])) << i;
    for (const Follower* f : {&c.getInputFollower(), &c.getOutputFollower()})
        EXPECT_TRUE(std::isfinite(f->getPeak()) && f->getPeak() >= 0);
}

} // namespace
