// The FFT against a double-precision DFT, and the phase-vocoder analysis and
// resynthesis of the spectral base.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "SpectroTestSupport.h"

using spectro_test::Resynthesis;

TEST(FFTBase, DerivedValuesOfTheKernelsAnalyser)
{
    Resynthesis r(4096, 2, 48000.0f);
    EXPECT_EQ(r.getSize(), 4096);
    EXPECT_EQ(r.getOverlap(), 2);
    EXPECT_EQ(r.getStepSize(), 2048);
    EXPECT_EQ(r.getIterator(), 2048); // inFifoLatency
    EXPECT_FLOAT_EQ(r.getFreqPerBin(), 11.71875f);
    EXPECT_FLOAT_EQ(r.getExpectedPhase(), 3.1415927f);
    EXPECT_FLOAT_EQ(r.getMax(), 1.0f);
    r.setSamplerate(44100.0f); // changes the bin width, not the phase advance
    EXPECT_FLOAT_EQ(r.getFreqPerBin(), 44100.0f / 4096.0f);
    EXPECT_FLOAT_EQ(r.getExpectedPhase(), 3.1415927f);
    // The Hann window is periodic: zero at 0, one at the centre.
    r.setOverlap(4);
    EXPECT_EQ(r.getStepSize(), 1024);
    EXPECT_EQ(r.getIterator(), 3072);
}

TEST(FFTBase, SizeAndOverlapAreKeptValid)
{
    Resynthesis odd(12, 0, 48000.0f); // rounded up; overlap 0 would divide by zero
    EXPECT_EQ(odd.getSize(), 16);
    EXPECT_EQ(odd.getOverlap(), 1);
    Resynthesis tiny(-5, 3, 48000.0f);
    EXPECT_EQ(tiny.getSize(), 4);
    EXPECT_EQ(tiny.getOverlap(), 2);
    Resynthesis huge(1 << 30, 1 << 20, 48000.0f);
    EXPECT_EQ(huge.getSize(), 65536);
    EXPECT_EQ(huge.getOverlap(), 65536);

    Resynthesis r(64, 4, 48000.0f);
    r.setSize(100);
    r.setSize(0);
    r.setOverlap(0);
    r.setOverlap(-2);
    r.setOverlap(3);
    r.setOverlap(128);
    EXPECT_EQ(r.getSize(), 64);
    EXPECT_EQ(r.getOverlap(), 4);
    r.setSize(1024); // grown buffers: streaming a full frame stays in bounds
    auto x = spectro_test::noise(4096, 1);
    r.process(x.data(), static_cast<int>(x.size()));
    EXPECT_EQ(r.frames, 16);
    r.setSize(2); // too small
    EXPECT_EQ(r.getSize(), 1024);
}

TEST(FFTBase, TransformMatchesDoublePrecisionDft)
{
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

TEST(FFTBase, ForwardThenInverseScalesByTheSize)
{
    const int n = 256;
    Resynthesis r(n, 1, 48000.0f);
    const auto data = spectro_test::noise(2 * n, 7);
    auto round = data;
    r.fft(-1, round.data());
    r.fft(+1, round.data());
    for (size_t i = 0; i < data.size(); i++)
        ASSERT_NEAR(round[i], n * data[i], 1e-3f) << i;
}

TEST(FFTBase, PureToneLandsInItsBin)
{
    const int n = 1024, k = 37;
    const float rate = 48000.0f;
    Resynthesis r(n, 4, rate);
    const double f = k * rate / n;
    auto x = spectro_test::sine(static_cast<size_t>(n) * 2, f, rate);
    // Frames before osamp + 1 still see the zeroed FIFO.
    int frame = 0;
    for (size_t i = 0; i < x.size(); i += 256) {
        r.process(x.data() + i, 256);
        frame++;
        if (frame >= 5) {
            EXPECT_NEAR(r.getMagnitudes(k), n / 2.0f, 1e-2f);
            EXPECT_NEAR(r.getFrequencies(k), k * r.getFreqPerBin(), 1e-2f);
            EXPECT_NEAR(r.getMagnitudes(k + 1), n / 4.0f, 1e-2f); // Hann side lobe
            EXPECT_LT(r.getMagnitudes(k + 3), 1e-2f);
        }
    }
    EXPECT_EQ(frame, 8);
    // Normalised to the loudest bin, which lifts the normaliser (minus one step).
    EXPECT_FLOAT_EQ(r.getMagnitudesNormalized(k), r.getMagnitudes(k) / (r.getMax() + 0.01f));
}

TEST(FFTBase, PlainResynthesisLagsByTheFrameSize)
{
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
    // An impulse comes out one frame later at 1.5.
    Resynthesis r(256, 4, 48000.0f);
    std::vector<float> x(2048, 0.0f);
    x[700] = 1.0f;
    r.process(x.data(), static_cast<int>(x.size()));
    for (int i = 0; i < 2048; i++)
        ASSERT_NEAR(x[i], i == 956 ? 1.5f : 0.0f, 1e-5f) << i;
}

TEST(FFTBase, ClearKeepsWindowMagnitudesAndNormaliser)
{
    Resynthesis r(64, 4, 48000.0f);
    auto x = spectro_test::sine(512, 3 * 750.0, 48000.0, 10.0);
    r.process(x.data(), 512);
    const float magnitude = r.getMagnitudes(3);
    const float max = r.getMax();
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
    for (int i = 0; i < 64; i++)
        EXPECT_EQ(r.getWave(i), 0.0f);
    // Silence after clear stays silent: no stale overlap-add tail.
    std::vector<float> silence(256, 0.0f);
    r.process(silence.data(), 256);
    for (float v : silence)
        ASSERT_EQ(v, 0.0f);
}

TEST(FFTBase, PeaksDecayAndTheNormaliserSinks)
{
    Resynthesis r(64, 1, 48000.0f);
    auto loud = spectro_test::sine(64, 8 * 750.0, 48000.0, 4.0);
    r.process(loud.data(), 64);
    const float peak = r.getMagnitudesPeaks(8);
    EXPECT_FLOAT_EQ(peak, 1.0f); // the frame's loudest bin sets the normaliser
    EXPECT_NEAR(r.getMax(), 128.0f - 0.01f, 1e-3f);
    float expected = peak;
    for (int frame = 1; frame <= 2000; frame++) {
        std::vector<float> silence(64, 0.0f);
        r.process(silence.data(), 64);
        expected *= 0.93f;
        if (std::fpclassify(expected) == FP_SUBNORMAL)
            expected = 0;
        ASSERT_EQ(r.getMagnitudesPeaks(8), expected) << frame;
        ASSERT_GE(r.getMax(), 0.99f - 1e-6f); // never divides by less
    }
    EXPECT_EQ(r.getMagnitudesPeaks(8), 0.0f);
}

TEST(FFTBase, NonFiniteInputIsHarmless)
{
    Resynthesis r(64, 4, 48000.0f);
    std::vector<float> x(512, std::numeric_limits<float>::quiet_NaN());
    x[3] = std::numeric_limits<float>::infinity();
    r.process(x.data(), 512); // no undefined conversion (UBSan)
    EXPECT_EQ(r.frames, 32);
}

TEST(FFTBase, RoundHalfUp)
{
    EXPECT_EQ(SPECTRO::round1(0.5f), 1);
    EXPECT_EQ(SPECTRO::round1(-0.5f), 0);
    EXPECT_EQ(SPECTRO::round1(2.49f), 2);
    EXPECT_EQ(SPECTRO::round1(-2.6f), -3);
    EXPECT_EQ(SPECTRO::round1(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(SPECTRO::round1(1e30f), INT_MAX);
    EXPECT_EQ(SPECTRO::round1(-1e30f), INT_MIN);
}
