// The wavelet band resynthesis.
#include <gtest/gtest.h>

#include <cmath>

#include "SpectroTestSupport.h"
#include "dsp/spectro/SuperSpectro.h"

using SPECTRO::SuperSpectro;

namespace {

// Counts the bands of each frame.
class Counting : public SuperSpectro {
public:
    using SuperSpectro::SuperSpectro;
    void onBufferReady() override {
        bands = 0;
        SuperSpectro::onBufferReady();
        frames++;
    }
    void complex2buffer2(float* c, float period) override {
        if (bands == 0) firstPeriod = period;
        bands++;
        SuperSpectro::complex2buffer2(c, period);
    }
    int bands = 0;
    int frames = 0;
    float firstPeriod = 0;
};

int bandsAt(float samplerate, float* firstPeriod) {
    Counting s(4096, 4, samplerate);
    std::vector<float> x = spectro_test::noise(1024, 1);
    s.process(x.data(), 1024);
    EXPECT_EQ(s.frames, 1);
    *firstPeriod = s.firstPeriod;
    return s.bands;
}

} // namespace

TEST(SuperSpectro, BandsBetweenTheTwoPeriods) {
    // At 1 kHz pMax is 9.09 and pMin is held at 2: 2 * 1.238^k <= 9.09.
    const struct {
        float samplerate;
        int bands;
        float firstPeriod;
    } cases[] = {{48000.0f, 382, 54.545456f}, {44100.0f, 351, 0}, {1000.0f, 8, 2.0f}, {100.0f, 0, 0}, {0.0f, 0, 0}};
    for (const auto& c : cases) {
        float first = 0;
        EXPECT_EQ(bandsAt(c.samplerate, &first), c.bands) << c.samplerate;
        if (c.firstPeriod > 0) {
            EXPECT_FLOAT_EQ(first, c.firstPeriod) << c.samplerate;
        }
    }
}

TEST(SuperSpectro, WaveletPeaksAtTheFundamental) {
    for (double P : {54.545456, 100.0, 436.36365}) {
        const double n = 4096;
        const float s = static_cast<float>(P / n);
        const float peak = SuperSpectro::wavelet(static_cast<float>(n / P), s, 10.0f);
        EXPECT_NEAR(peak, std::sqrt(10.0 * P / n) * 1.8827925275534296, 1e-4) << P;
        EXPECT_LT(SuperSpectro::wavelet(static_cast<float>(n / P) * 1.1f, s, 10.0f), peak);
        EXPECT_LT(SuperSpectro::wavelet(static_cast<float>(n / P) * 0.9f, s, 10.0f), peak);
    }
}

TEST(SuperSpectro, NullBufferDoesNothing) {
    Counting s(1024, 4, 48000.0f);
    s.process(nullptr, 4096);
    EXPECT_EQ(s.frames, 0);
    std::vector<float> x = spectro_test::sine(4096, 440.0, 48000.0);
    s.process(x.data(), 4096);
    EXPECT_EQ(s.frames, 16);
}
