// The chromatic filter and the chromatic pitch processor built on it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "SpectroTestSupport.h"
#include "dsp/spectro/ChromaticPitch.h"
#include "TestEnvironment.h"

using SPECTRO::ChromaticFilter;
using SPECTRO::ChromaticPitch;

namespace {

constexpr float rate = 48000.0f;

class Quiet : public ::testing::Test {
    vyk::test::ConsoleCapture quiet_;
};

std::vector<float> run(SPECTRO::FFTBase& f, std::vector<float> x) {
    f.process(x.data(), static_cast<int>(x.size()));
    return x;
}

} // namespace

using ChromaticFilterTest = Quiet;
using ChromaticPitchTest = Quiet;

TEST_F(ChromaticFilterTest, UnityGainsOrNoMapGiveThePlainResynthesis) {
    ChromaticFilter unity(1024, 4, rate), unmapped(256, 4, rate);
    unity.setUpdateRate(0);
    unmapped.setChromaticFilterRange(0, 0, 0.0f);
    unmapped.setChromatic(false); // no map: no null dereference
    for (ChromaticFilter* f : {&unity, &unmapped}) {
        const int n = f->getSize();
        const auto x = spectro_test::noise(static_cast<size_t>(n) * 8, 11);
        EXPECT_LT(spectro_test::delayedError(run(*f, x), x, n, 1.5, 2 * static_cast<size_t>(n)), 1e-4) << n;
    }
}

TEST_F(ChromaticFilterTest, GainSetters) {
    ChromaticFilter f(1024, 4, rate), g(1024, 4, rate);
    f.setChromaticFilterRange(60, 71, 0.0f);
    g.setInverted(true);
    g.setChromaticFilterRange(60, 71, 0.5f);
    for (int t = 0; t < 140; t++) {
        const bool inside = t >= 63 && t <= 74;
        EXPECT_EQ(f.getGain(t), inside ? 1.0f : 0.0f) << t;
        EXPECT_EQ(g.getGain(t), t < 3 || t > 130 ? 0.5f : (inside ? 0.0f : 1.0f)) << t;
    }

    g.setChromaticFilterBand(60, 0.75f);
    EXPECT_FLOAT_EQ(g.getGain(63), 2.25f); // 2v, squared above 1
    g.setChromaticFilterBand(60, 0.4f);
    EXPECT_FLOAT_EQ(g.getGain(63), 0.8f);
    g.setChromaticFilterBand2(-3, 7.0f);
    EXPECT_EQ(g.getGain(0), 7.0f);
    g.setChromaticFilterBand(137, 1.0f); // outside the tones: ignored
    g.setChromaticFilterBand2(-4, 1.0f);
    g.setChromaticFilterBand2(1 << 30, 1.0f);

    std::vector<float> bands(131, 0.25f);
    g.setChromaticFilterBands(bands.data(), 3.0f);
    EXPECT_EQ(g.getGain(3), 0.5f);
    EXPECT_EQ(g.getGain(130), 0.5f);
    EXPECT_EQ(g.getGain(139), 3.0f);
    g.setChromaticFilterBands(nullptr, 9.0f);
    EXPECT_EQ(g.getGain(139), 3.0f);
}

TEST_F(ChromaticFilterTest, PassesATonesNotesAndStopsOthers) {
    const auto x = spectro_test::sine(4096 * 6, 440.0, rate);
    ChromaticFilter pass(4096, 4, rate), stop(4096, 4, rate);
    pass.setUpdateRate(0);
    stop.setUpdateRate(0);
    pass.setChromaticFilterRange(60, 71, 0.0f);
    stop.setChromaticFilterRange(48, 59, 0.0f);
    const double in = spectro_test::rms(x, 8192);
    EXPECT_NEAR(spectro_test::rms(run(pass, x), 8192), 1.5 * in, 0.05 * in);
    EXPECT_LT(spectro_test::rms(run(stop, x), 8192), 0.01 * in);
}

TEST_F(ChromaticPitchTest, PitchSetters) {
    ChromaticPitch p(1024, 4, rate);
    EXPECT_EQ(p.getMode(), 4);
    // range^value; a range of 0 is read as 1 (no division by zero).
    const float pitches[][3] = {{0.0f, 2.0f, 1.0f}, {1.0f, 2.0f, 2.0f}, {-1.0f, 2.0f, 0.5f}, {-1.0f, 0.0f, 1.0f}};
    for (const auto& [value, range, pitch] : pitches) {
        p.setChromaticPitch(60, value, range);
        EXPECT_FLOAT_EQ(p.getPitch(63), pitch) << value << " " << range;
    }
    p.setChromaticPitch(500, 1.0f, 2.0f); // ignored
    std::vector<float> ratios(131, 0.5f);
    p.setChromaticPitches(ratios.data(), 4.0f);
    EXPECT_FLOAT_EQ(p.getPitch(10), 2.0f);
    p.setChromaticFilterRange(60, 71, 0.25f); // fills the gains and the pitches alike
    EXPECT_EQ(p.getPitch(10), 0.0f);
    EXPECT_FLOAT_EQ(p.getPitch(63), 2.0f);
    EXPECT_EQ(p.getGain(10), 0.0f);
    EXPECT_EQ(p.getPitch(0), 0.25f);
    EXPECT_EQ(p.getGain(139), 0.25f);
}

TEST_F(ChromaticPitchTest, ModesThreeAndFourMatchTheFilter) {
    const auto x = spectro_test::sine(1024 * 8, 440.0, rate);
    ChromaticFilter filter(1024, 4, rate), unity(1024, 4, rate);
    ChromaticPitch mode3(1024, 4, rate), mode4(1024, 4, rate), mode7(1024, 4, rate);
    for (SPECTRO::Analyzer* a : std::initializer_list<SPECTRO::Analyzer*>{&filter, &mode3})
        a->setUpdateRate(0); // the same analysis cadence
    filter.setChromaticFilterRange(60, 71, 0.0f);
    mode3.setChromaticFilterRange(60, 71, 0.0f);
    mode3.setMode(3);
    mode7.setMode(7);
    const auto filtered = run(filter, x);
    EXPECT_EQ(run(mode3, x), filtered);
    const auto plain = run(unity, x);
    EXPECT_EQ(run(mode4, x), plain);
    EXPECT_EQ(run(mode7, x), plain);
}

TEST_F(ChromaticPitchTest, ModeTwoWithUnitFactorsRebuildsEachFrame) {
    const auto x = spectro_test::sine(1024 * 8, 1000.0, rate);
    ChromaticPitch p(1024, 4, rate);
    p.setMode(2);
    const auto y = run(p, x);
    EXPECT_LT(spectro_test::delayedError(y, x, 1024, 1.5, 2048), 2e-3);
}

TEST_F(ChromaticPitchTest, ModeZeroShiftsByTheTonesFactor) {
    const int n = 4096;
    const auto x = spectro_test::sine(n * 8, 440.0, rate);
    ChromaticPitch p(n, 4, rate);
    p.setMode(0);
    for (int note = -3; note <= 136; note++) p.setChromaticFilterBand2(note, 2.0f);
    const auto y = run(p, x);
    // Every shifted bin starts from the same synthesis phase, so the tone comes
    // out pulsed at the hop rate: its energy sits on 880 Hz +- 46.9 Hz sidebands.
    double power = 0, moment = 0;
    for (double f = 700.0; f <= 1060.0; f += rate / n) {
        const double a = spectro_test::amplitudeAt(y, n * 4, n * 4, f, rate);
        power += a * a;
        moment += f * a * a;
    }
    EXPECT_NEAR(moment / power, 880.0, 5.0);
    EXPECT_GT(spectro_test::amplitudeAt(y, n * 4, n * 4, 880.0 + rate / 1024, rate), 0.05);
    EXPECT_LT(spectro_test::amplitudeAt(y, n * 4, n * 4, 440.0, rate), 1e-3);
}

TEST_F(ChromaticPitchTest, TinyOrInvalidFactorsAreHarmless) {
    const auto x = spectro_test::noise(512 * 4, 8);
    for (int mode : {0, 1, 2}) {
        for (float factor :
             {1e-30f, -1.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
            ChromaticPitch p(512, 4, rate);
            p.setMode(mode);
            for (int note = -3; note <= 136; note++) p.setChromaticFilterBand2(note, factor);
            // No undefined conversion (UBSan) and nothing but finite samples out.
            for (float v : run(p, x)) ASSERT_TRUE(std::isfinite(v)) << mode << " " << factor;
        }
    }
}
