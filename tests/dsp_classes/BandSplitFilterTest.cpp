#include "dsp/BandSplitFilter3.h"

#include "RenderGuard.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr double kPi = 3.141592653589793;

std::vector<float> noise(int n, unsigned seed, float scale = 1.0f) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> dist(-scale, scale);
    std::vector<float> v(static_cast<size_t>(n));
    for (float& x : v) x = dist(rng);
    return v;
}

// The filter in its long form: four stage states, the first three of
// which run, each fed half the input; the result is the last stage's output.
struct LiteralFilter {
    float cf, cq, booster;
    float b[4] = {}, r[4] = {};
    float run(float x, bool highPass) {
        const float h = 0.5f * x;
        float lowOut = 0, highOut = 0;
        for (int k = 0; k < 3; ++k) {
            const float low = r[k] + cf * b[k];
            const float high = h - low - cq * b[k];
            b[k] = cf * high + b[k];
            r[k] = low;
            lowOut = low;
            highOut = high;
        }
        return (highPass ? highOut : lowOut) * booster;
    }
};

// Response of one filter in double precision, from its state-space form:
// s_n = A s_(n-1) + B h_n, low_n = C s_(n-1), high_n = h_n - (C + [cq 0]) s_(n-1),
// with s = (band, low) and h = x / 2.
struct Response {
    std::complex<double> low, high;
};
Response filterResponse(double cf, double cq, double booster, double omega) {
    using C = std::complex<double>;
    const C zi = std::exp(C(0, -omega)); // z^-1
    // (I - A z^-1) with A = [[1 - cf^2 - cf*cq, -cf], [cf, 1]]
    const C m00 = 1.0 - (1 - cf * cf - cf * cq) * zi, m01 = cf * zi;
    const C m10 = -cf * zi, m11 = 1.0 - zi;
    const C det = m00 * m11 - m01 * m10;
    // S = (I - A z^-1)^-1 B H with B = (cf, 0)
    const C sBand = m11 * cf / det, sLow = -m10 * cf / det;
    const C low = zi * (cf * sBand + sLow);
    const C high = 1.0 - zi * ((cf + cq) * sBand + sLow);
    return {0.5 * booster * low, 0.5 * booster * high};
}

struct Bands {
    std::complex<double> lp, bp, hp;
};
Bands splitResponse(const BandSplitFilter3& bands, double omega) {
    const SVFilter4Pole1& h = bands.getHighFilter(0);
    const SVFilter4Pole1& l = bands.getLowFilter(0);
    const std::complex<double> hp = filterResponse(h.getCf(), h.getCq(), h.getBooster(), omega).high;
    const std::complex<double> rest = 1.0 - hp;
    const std::complex<double> lp = filterResponse(l.getCf(), l.getCq(), l.getBooster(), omega).low * rest;
    return {lp, rest - lp, hp};
}

// Amplitude and phase of the steady-state response of one band to a sine,
// projected over a whole number of its periods.
std::complex<double> measure(BandSplitFilter3& bands, double omega, int band) {
    const int block = 4096, settle = 48 * block;
    const double cycles = std::floor(65536 * omega / (2 * kPi));
    const long length = std::lround(cycles * 2 * kPi / omega);
    std::vector<float> in(block), inR(block);
    std::complex<double> acc = 0;
    for (long n = 0; n < settle + length; n += block) {
        for (int i = 0; i < block; ++i)
            in[static_cast<size_t>(i)] = inR[static_cast<size_t>(i)] =
                static_cast<float>(std::sin(omega * static_cast<double>(n + i)));
        bands.split(in.data(), inR.data(), block);
        const float* out = band == 0 ? bands.getLPLeft() : band == 1 ? bands.getBPLeft() : bands.getHPLeft();
        for (int i = 0; i < block; ++i) {
            const long t = n + i - settle;
            if (t >= 0 && t < length)
                acc += static_cast<double>(out[i]) *
                       std::exp(std::complex<double>(0, -omega * static_cast<double>(n + i)));
        }
    }
    // sin(wn) = (e^iwn - e^-iwn) / 2i: the projection gives H / 2i per sample.
    return acc * std::complex<double>(0, 2) / static_cast<double>(length);
}

TEST(FrequencyScaling, TableAndMappingFollowTheFormula) {
    BandSplitFilter3 bands; // builds the tables
    for (int i = 0; i < Modulator::kTableSize; i += 7) {
        const double x = i / 4096.0;
        EXPECT_NEAR(Modulator::waveRampLogUp[i], x * std::pow(2.0, 10 * x - 10), 2e-7 * (1 + x)) << i;
    }
    // Truncated to the table's grid, so on the grid it is the formula, signed.
    for (float x : {0.25f, 0.5f, 0.75f, -0.5f})
        EXPECT_NEAR(Modulator::getValueFrequencyScaled(x), x * std::pow(2.0, 10 * std::fabs(x) - 10), 2e-7) << x;
    EXPECT_EQ(Modulator::getValueFrequencyScaled(1.0f), 1.0f);
    EXPECT_EQ(Modulator::getValueFrequencyScaled(0.99999994f), Modulator::waveRampLogUp[4095]);
    // Out of range: limited, never an undefined conversion.
    EXPECT_EQ(Modulator::getValueFrequencyScaled(1e30f), 1.0f);
    EXPECT_EQ(Modulator::getValueFrequencyScaled(-1e30f), -1.0f);
    EXPECT_EQ(Modulator::getValueFrequencyScaled(std::numeric_limits<float>::quiet_NaN()), 0.0f);
}

TEST(BandSplitFilter3, SplitPointsAreClampedAndSurviveReset) {
    auto bands = std::make_unique<BandSplitFilter3>();
    EXPECT_EQ(bands->getCutoff1(), 0.333f);
    EXPECT_EQ(bands->getCutoff2(), 0.666f);
    bands->setCutoff1(0.9f);
    EXPECT_EQ(bands->getCutoff1(), 0.666f);
    bands->setCutoff1(0.333f);
    bands->setCutoff2(0.1f);
    EXPECT_EQ(bands->getCutoff2(), 0.333f);
    bands->setCutoff2(0.666f);
    for (float bad : {-0.1f, 1.5f, std::numeric_limits<float>::quiet_NaN()}) {
        bands->setCutoff1(bad);
        bands->setCutoff2(bad);
    }
    EXPECT_EQ(bands->getCutoff1(), 0.333f);
    EXPECT_EQ(bands->getCutoff2(), 0.666f);

    // After init and reset the filters run at the stored split points, not at 0.5.
    bands->setCutoff1(0.25f);
    bands->setCutoff2(0.75f);
    bands->reset();
    bands->init();
    for (int ch = 0; ch < 2; ++ch) {
        EXPECT_FLOAT_EQ(bands->getLowFilter(ch).getCf(), 0.00138106791f);
        EXPECT_FLOAT_EQ(bands->getHighFilter(ch).getCf(), 0.132582515f);
    }
}

TEST(BandSplitFilter3, BandsSumBackToTheInputWithoutAllocating) {
    auto bands = std::make_unique<BandSplitFilter3>();
    const std::vector<float> left = noise(4096, 1), right = noise(4096, 2);
    std::vector<float> l(4096), r(4096);
    const float splits[][2] = {{0.25f, 0.75f}, {0.5f, 0.5f}, {0, 1}, {0, 0}, {1, 1}, {0.9f, 0.95f}};
    vyk::test::RenderGuard guard;
    for (const auto& s : splits) {
        bands->setCutoff1(0);
        bands->setCutoff2(s[1]);
        bands->setCutoff1(s[0]);
        for (int block = 0; block < 4; ++block) {
            bands->split(left.data(), right.data(), 4096);
            bands->mix(l.data(), r.data(), 4096);
            for (size_t i = 0; i < 4096; ++i) {
                ASSERT_NEAR(l[i], left[i], 4e-7f) << s[0] << " " << s[1] << " frame " << i;
                ASSERT_NEAR(r[i], right[i], 4e-7f) << s[0] << " " << s[1] << " frame " << i;
            }
        }
    }
    if (vyk::test::RenderGuard::active()) {
        EXPECT_EQ(guard.violations(), 0);
    }
}

TEST(BandSplitFilter3, ResponseMatchesADoublePrecisionModel) {
    auto bands = std::make_unique<BandSplitFilter3>();
    bands->setCutoff1(0.25f);
    bands->setCutoff2(0.75f);
    // The split frequencies: cf plays 2 sin(pi fc / fs).
    const double upper = 2 * std::asin(bands->getHighFilter(0).getCf() / 2.0);
    const double lower = 2 * std::asin(bands->getLowFilter(0).getCf() / 2.0);
    for (double omega : {upper, upper * 4, upper / 4, lower * 4, 2 * kPi * 1000 / 48000}) {
        const Bands model = splitResponse(*bands, omega);
        const std::complex<double> expected[3] = {model.lp, model.bp, model.hp};
        for (int band = 0; band < 3; ++band) {
            bands->reset();
            const std::complex<double> got = measure(*bands, omega, band);
            EXPECT_NEAR(std::abs(got - expected[band]), 0.0, 2e-4 * (1 + std::abs(expected[band])))
                << "omega " << omega << " band " << band << " |model| " << std::abs(expected[band]);
        }
    }
    // At the upper split the high band is the filter's resonant high-pass:
    // 0.5 * 1.65 / cq in magnitude in the continuous limit, within a few per cent here.
    const double hpAtSplit = std::abs(splitResponse(*bands, upper).hp);
    const double cq = bands->getHighFilter(0).getCq();
    EXPECT_NEAR(hpAtSplit, 0.825 / cq, 0.15 * 0.825 / cq);
}

TEST(BandSplitFilter3, ConstantInputSettlesToFixedBandShares) {
    auto bands = std::make_unique<BandSplitFilter3>();
    const Bands dc = splitResponse(*bands, 0);
    EXPECT_NEAR(std::abs(dc.hp), 0, 1e-12);
    EXPECT_NEAR(dc.lp.real(), 0.825, 1e-6); // 0.5 * 1.65
    std::vector<float> in(4096, 1.0f);
    for (int block = 0; block < 200; ++block) bands->split(in.data(), in.data(), 4096);
    EXPECT_NEAR(bands->getHPLeft()[4095], 0.0f, 1e-4f);
    EXPECT_NEAR(bands->getLPLeft()[4095], 0.825f, 1e-4f);
    EXPECT_NEAR(bands->getBPRight()[4095], 0.175f, 1e-4f);
}

TEST(BandSplitFilter3, FusedSingleStageSplitEqualsTheLiteralFilters) {
    // The splitter computes one stage per filter for all four in one loop;
    // the literal form runs three stages per filter in four passes. Identical
    // stages and independent filters make the results bit-identical.
    auto bands = std::make_unique<BandSplitFilter3>();
    bands->setCutoff1(0.4f);
    bands->setCutoff2(0.8f);
    LiteralFilter hp[2], lp[2];
    for (int ch = 0; ch < 2; ++ch) {
        const SVFilter4Pole1& h = bands->getHighFilter(ch);
        const SVFilter4Pole1& l = bands->getLowFilter(ch);
        hp[ch] = {h.getCf(), h.getCq(), h.getBooster()};
        lp[ch] = {l.getCf(), l.getCq(), l.getBooster()};
    }
    // Blocks of 1 to 3 frames too: the lane-packed loop starts and ends its low-pass
    // lanes two frames late.
    const int sizes[] = {1000, 1, 2, 3, 1700, 2, 2400, 3100, 3800};
    for (int block = 0; block < 9; ++block) {
        const int frames = sizes[block];
        const std::vector<float> in[2] = {noise(frames, 10 + block), noise(frames, 20 + block)};
        bands->split(in[0].data(), in[1].data(), frames);
        const float* got[3][2] = {{bands->getLPLeft(), bands->getLPRight()},
                                  {bands->getBPLeft(), bands->getBPRight()},
                                  {bands->getHPLeft(), bands->getHPRight()}};
        for (int ch = 0; ch < 2; ++ch) {
            for (size_t i = 0; i < static_cast<size_t>(frames); ++i) {
                const float x = in[ch][i];
                const float high = hp[ch].run(x, true);
                const float rest = x - high;
                const float low = lp[ch].run(rest, false);
                ASSERT_EQ(got[2][ch][i], high) << "block " << block << " frame " << i;
                ASSERT_EQ(got[0][ch][i], low) << "block " << block << " frame " << i;
                ASSERT_EQ(got[1][ch][i], rest - low) << "block " << block << " frame " << i;
            }
        }
    }
    // The same through the filters' own buffer form.
    SVFilter4Pole1 single;
    LiteralFilter literal{single.getCf(), single.getCq(), single.getBooster()};
    const std::vector<float> in = noise(3000, 99);
    std::vector<float> out(3000), rest(in);
    single.processBufferLP(rest.data(), out.data(), rest.data(), 3000);
    for (size_t i = 0; i < 3000; ++i) {
        const float y = literal.run(in[i], false);
        ASSERT_EQ(out[i], y);
        ASSERT_EQ(rest[i], in[i] - y);
    }
}

TEST(BandSplitFilter3, OnlyTheFirst4096FramesAreSplitAndMixed) {
    auto bands = std::make_unique<BandSplitFilter3>();
    std::vector<float> l = noise(5000, 3), r = noise(5000, 4);
    const std::vector<float> l0 = l, r0 = r;
    bands->split(l.data(), r.data(), 5000);
    std::fill(l.begin(), l.end(), 7.0f);
    bands->mix(l.data(), r.data(), 5000);
    for (size_t i = 4096; i < 5000; ++i) {
        EXPECT_EQ(l[i], 7.0f);
        EXPECT_EQ(r[i], r0[i]);
    }
    EXPECT_NEAR(l[4095], l0[4095], 4e-7f);
}

TEST(BandSplitFilter3, RecoversWithinOneBlockAfterNonFiniteInput) {
    const float bad[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity(), 3e38f};
    for (float value : bad) {
        auto bands = std::make_unique<BandSplitFilter3>();
        std::vector<float> l = noise(512, 5), r = noise(512, 6);
        l[100] = value;
        r[300] = value;
        bands->split(l.data(), r.data(), 512);
        const std::vector<float> next = noise(512, 7);
        bands->split(next.data(), next.data(), 512);
        for (const float* band : {bands->getLPLeft(), bands->getLPRight(), bands->getBPLeft(), bands->getBPRight(),
                                  bands->getHPLeft(), bands->getHPRight()})
            for (int i = 0; i < 512; ++i) ASSERT_TRUE(std::isfinite(band[i])) << value << " frame " << i;
    }
}

} // namespace
