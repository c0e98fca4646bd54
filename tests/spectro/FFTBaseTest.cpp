// The FFT against a double-precision DFT, and the phase-vocoder analysis and
// resynthesis of the spectral base.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "SpectroTestSupport.h"

using spectro_test::Resynthesis;

TEST(FFTBase, SizeAndOverlapAreKeptValid) {
    // Sizes round up to a power of two within [4, 65536]; overlap 0 would divide by zero.
    const int made[][4] = {{12, 0, 16, 1}, {-5, 3, 4, 2}, {1 << 30, 1 << 20, 65536, 65536}};
    for (const auto& [size, overlap, keptSize, keptOverlap] : made) {
        Resynthesis r(size, overlap, 48000.0f);
        EXPECT_EQ(r.getSize(), keptSize) << size;
        EXPECT_EQ(r.getOverlap(), keptOverlap) << overlap;
    }
    Resynthesis r(64, 4, 48000.0f);
    for (int size : {100, 0, 2}) r.setSize(size);
    for (int overlap : {0, -2, 3, 128}) r.setOverlap(overlap);
    EXPECT_EQ(r.getSize(), 64);
    EXPECT_EQ(r.getOverlap(), 4);
    r.setSize(1024); // grown buffers: streaming a full frame stays in bounds
    auto x = spectro_test::noise(4096, 1);
    r.process(x.data(), static_cast<int>(x.size()));
    EXPECT_EQ(r.frames, 16);
}

TEST(FFTBase, TransformMatchesDoublePrecisionDft) {
    for (int n : {4, 8, 64, 1024, 4096}) {
        Resynthesis r(n, 1, 48000.0f);
        for (int kind = 0; kind < (n > 1024 ? 1 : 3); kind++) { // impulses at the smaller sizes
            std::vector<float> data;
            if (kind == 0) {
                data = spectro_test::noise(2 * static_cast<size_t>(n), static_cast<unsigned>(n));
            } else {
                data.assign(2 * static_cast<size_t>(n), 0.0f);
                data[kind == 1 ? 0 : 2 * 3] = 1.0f; // impulse at 0 and at 3
            }
            for (int sign : {-1, +1}) {
                const auto expected = spectro_test::dft(data, sign);
                auto actual = data;
                r.fft(sign, actual.data());
                double peak = 0, error = 0;
                for (size_t i = 0; i < expected.size(); i++) {
                    peak = std::max(peak, std::abs(expected[i]));
                    error = std::max(error, std::abs(expected[i] - actual[i]));
                }
                EXPECT_LT(error, 1e-4 * peak) << "n " << n << " kind " << kind << " sign " << sign;
            }
        }
    }
    Resynthesis r(8, 1, 48000.0f);
    r.fft(-1, nullptr); // does nothing
}

TEST(FFTBase, PureToneLandsInItsBin) {
    const int n = 1024, k = 37;
    const float rate = 48000.0f;
    Resynthesis r(n, 4, rate);
    auto x = spectro_test::sine(static_cast<size_t>(n) * 2, k * rate / n, rate);
    // Frames before osamp + 1 still see the zeroed FIFO.
    for (size_t i = 0, frame = 1; i < x.size(); i += 256, frame++) {
        r.process(x.data() + i, 256);
        if (frame >= 5) {
            EXPECT_NEAR(r.getMagnitudes(k), n / 2.0f, 1e-2f);
            EXPECT_NEAR(r.getFrequencies(k), k * r.getFreqPerBin(), 1e-2f);
            EXPECT_NEAR(r.getMagnitudes(k + 1), n / 4.0f, 1e-2f); // Hann side lobe
            EXPECT_LT(r.getMagnitudes(k + 3), 1e-2f);
        }
    }
    // Normalised to the loudest bin, which lifts the normaliser (minus one step).
    EXPECT_FLOAT_EQ(r.getMagnitudesNormalized(k), r.getMagnitudes(k) / (r.getMax() + 0.01f));
}

TEST(FFTBase, PlainResynthesisLagsByTheFrameSize) {
    // With a periodic Hann window at overlap 4 the windowed overlap-add sums to
    // 1.5 with the base's scaling, and the output lags the input by one frame.
    for (int n : {64, 1024}) {
        Resynthesis r(n, 4, 48000.0f);
        auto x = spectro_test::noise(static_cast<size_t>(n) * 8, 3);
        auto y = x;
        r.process(y.data(), static_cast<int>(y.size()));
        EXPECT_LT(spectro_test::delayedError(y, x, n, 1.5, static_cast<size_t>(n) * 2), 1e-4) << n;
        for (int i = 0; i < n; i++) // only rounding noise of the zeroed FIFO
            ASSERT_LT(std::abs(y[i]), 1e-4f) << i;
    }
}

TEST(FFTBase, ClearKeepsMagnitudesAndNormaliserAndLeavesNoTail) {
    Resynthesis r(64, 4, 48000.0f);
    auto x = spectro_test::sine(512, 3 * 750.0, 48000.0, 10.0);
    r.process(x.data(), 512);
    const float magnitude = r.getMagnitudes(3), max = r.getMax();
    ASSERT_GT(magnitude, 1.0f);
    r.reset();
    EXPECT_EQ(r.getMagnitudes(3), magnitude);
    EXPECT_EQ(r.getMax(), max);
    EXPECT_EQ(r.getIterator(), 48);
    for (int k = 0; k <= 32; k++) {
        EXPECT_EQ(r.getFrequencies(k), 0.0f);
        EXPECT_EQ(r.getMagnitudesNormalized(k), 0.0f);
        EXPECT_EQ(r.getMagnitudesPeaks(k), 0.0f);
        EXPECT_EQ(r.getPhases(k), 0.0f);
    }
    // Silence after clear stays silent: no stale overlap-add tail.
    std::vector<float> silence(256, 0.0f);
    r.process(silence.data(), 256);
    for (float v : silence) ASSERT_EQ(v, 0.0f);
}

TEST(FFTBase, PeaksDecayAndTheNormaliserSinks) {
    Resynthesis r(64, 1, 48000.0f);
    auto loud = spectro_test::sine(64, 8 * 750.0, 48000.0, 4.0);
    r.process(loud.data(), 64);
    EXPECT_FLOAT_EQ(r.getMagnitudesPeaks(8), 1.0f); // the frame's loudest bin sets the normaliser
    EXPECT_NEAR(r.getMax(), 128.0f - 0.01f, 1e-3f);
    float expected = 1.0f;
    std::vector<float> silence(64);
    for (int frame = 1; frame <= 2000; frame++) {
        silence.assign(64, 0.0f);
        r.process(silence.data(), 64);
        expected *= 0.93f;
        if (std::fpclassify(expected) == FP_SUBNORMAL) expected = 0;
        ASSERT_EQ(r.getMagnitudesPeaks(8), expected) << frame;
        ASSERT_GE(r.getMax(), 0.99f - 1e-6f); // never divides by less
    }
    EXPECT_EQ(r.getMagnitudesPeaks(8), 0.0f);
}

TEST(FFTBase, NonFiniteInputAndRounding) {
    Resynthesis r(64, 4, 48000.0f);
    std::vector<float> x(512, std::numeric_limits<float>::quiet_NaN());
    x[3] = std::numeric_limits<float>::infinity();
    r.process(x.data(), 512); // no undefined conversion (UBSan)
    EXPECT_EQ(r.frames, 32);

    // Half up, with NaN and out-of-range values held inside int.
    const std::pair<float, int> rounded[] = {
        {0.5f, 1},        {-0.5f, 0},       {2.49f, 2}, {-2.6f, -3}, {std::numeric_limits<float>::quiet_NaN(), 0},
        {1e30f, INT_MAX}, {-1e30f, INT_MIN}};
    for (const auto& [v, expected] : rounded) EXPECT_EQ(SPECTRO::round1(v), expected) << v;
}
