// The phase-vocoder pitch shifter.
#include <gtest/gtest.h>

#include <limits>

#include "SpectroTestSupport.h"
#include "dsp/spectro/PitchShifter.h"

using SPECTRO::PitchShifter;

namespace {

constexpr float rate = 48000.0f;

std::vector<float> run(PitchShifter& p, std::vector<float> x) {
    p.process(x.data(), static_cast<int>(x.size()));
    return x;
}

} // namespace

TEST(PitchShifter, RatioOneIsBitIdenticalAndStill) {
    PitchShifter p(1024, 4, rate);
    const auto x = spectro_test::noise(4096, 1);
    const int iterator = p.getIterator();
    EXPECT_EQ(run(p, x), x);
    EXPECT_EQ(p.getIterator(), iterator);
}

TEST(PitchShifter, DoublesABinCentredTone) {
    const int n = 2048;
    const double f = 40 * rate / n; // 937.5 Hz, centred in bin 40
    PitchShifter p(n, 4, rate);
    p.setShift(2.0f);
    const auto y = run(p, spectro_test::sine(static_cast<size_t>(n) * 12, f, rate));
    // The glide is over after 12 frames; measure from the 16th hop on.
    const size_t from = static_cast<size_t>(n) * 6;
    const double at2f = spectro_test::amplitudeAt(y, from, n * 4, 2 * f, rate);
    EXPECT_GT(at2f, 0.5);
    EXPECT_LT(spectro_test::amplitudeAt(y, from, n * 4, f, rate), 0.02 * at2f);

    PitchShifter limited(n, 4, rate);
    limited.setFrequencyLimit(1000.0f);
    limited.setShift(2.0f);
    const auto z = run(limited, spectro_test::sine(static_cast<size_t>(n) * 12, 700.0, rate));
    EXPECT_LT(spectro_test::rms(z, from), 1e-3); // 1400 Hz lies above the limit
}

TEST(PitchShifter, HalfRatioLeavesNothingAboveAQuarterOfTheRate) {
    const int n = 1024;
    PitchShifter p(n, 4, rate);
    p.setShift(0.5f);
    const auto y = run(p, spectro_test::noise(static_cast<size_t>(n) * 24, 3));
    const size_t from = static_cast<size_t>(n) * 8;
    double above = 0, below = 0;
    for (double f = 13000.0; f < 23000.0; f += 1000.0) above += spectro_test::amplitudeAt(y, from, n * 8, f, rate);
    for (double f = 1000.0; f < 11000.0; f += 1000.0) below += spectro_test::amplitudeAt(y, from, n * 8, f, rate);
    EXPECT_LT(above, 0.01 * below);
}

TEST(PitchShifter, BadRatiosAreHarmless) {
    const auto x = spectro_test::noise(512 * 8, 5);
    for (float s : {0.0f, -1.0f, 1e-30f, 1e30f, std::numeric_limits<float>::quiet_NaN(),
                    std::numeric_limits<float>::infinity()}) {
        PitchShifter p(512, 4, rate);
        p.setShift(s);
        run(p, x); // no undefined conversion (UBSan)
    }
    PitchShifter p(512, 4, rate);
    p.setShift(std::numeric_limits<float>::quiet_NaN()); // ignored
    EXPECT_EQ(p.getShift(), 1.0f);
}

TEST(PitchShifter, SwitchingOffAndOnAgainContinuesTheFrozenStream) {
    const int n = 512;
    const auto before = spectro_test::noise(static_cast<size_t>(n) * 4, 6);
    const auto after = spectro_test::noise(static_cast<size_t>(n) * 4, 7);
    PitchShifter p(n, 4, rate), twin(n, 4, rate);
    p.setShift(1.5f);
    twin.setShift(1.5f);
    run(p, before);
    run(twin, before);
    p.setShift(1.0f);
    run(p, spectro_test::noise(static_cast<size_t>(n), 8)); // passes, nothing moves
    p.setShift(1.5f);
    EXPECT_EQ(run(p, after), run(twin, after));
}
