// The cross modulator.
#include <gtest/gtest.h>

#include <cmath>

#include "SpectroTestSupport.h"
#include "dsp/spectro/CrossModulator.h"

using SPECTRO::CrossModulator;

namespace {

constexpr float rate = 48000.0f;

// Records the frames on which the tone lists are rebuilt.
class Recording : public CrossModulator {
public:
    using CrossModulator::CrossModulator;
    void createChromaticBands() override {
        rebuilt.push_back(getFrameCounter() - 1);
        CrossModulator::createChromaticBands();
    }
    std::vector<int> rebuilt;
};

} // namespace

TEST(CrossModulator, ZeroAmountSilencesEveryFrame) {
    CrossModulator m(512, 4, rate);
    m.setAmount(0.0f);
    auto a = spectro_test::noise(512 * 8, 1);
    auto b = spectro_test::noise(512 * 8, 2);
    m.process(a.data(), b.data(), static_cast<int>(b.size()));
    for (float v : b) ASSERT_EQ(v, 0.0f);
}

TEST(CrossModulator, SecondSignalIsReplacedAndFirstKept) {
    Recording m(512, 4, rate);
    auto a = spectro_test::sine(512 * 10, 440.0, rate);
    auto b = spectro_test::noise(512 * 10, 3);
    const auto a0 = a, b0 = b;
    auto single = b;
    m.process(single.data(), static_cast<int>(single.size())); // the one-signal form does nothing
    EXPECT_EQ(single, b0);
    m.process(a.data(), b.data(), static_cast<int>(b.size()));
    EXPECT_EQ(a, a0);
    EXPECT_NE(b, b0);
    for (int i = 0; i < 128; i++) // nothing before the first frame completes
        ASSERT_EQ(b[i], 0.0f) << i;
    EXPECT_GT(spectro_test::rms(b, 1024), 0.01);
    EXPECT_EQ(m.rebuilt, (std::vector<int>{0, 8, 16, 24, 32}));
}

TEST(CrossModulator, RangeIsKeptInsideTheTables) {
    CrossModulator m(256, 4, rate);
    m.setRange(-10, 500);
    auto a = spectro_test::noise(256 * 12, 4);
    auto b = spectro_test::noise(256 * 12, 5);
    m.process(a.data(), b.data(), static_cast<int>(b.size()));
    m.setRange(90, 20);
    m.setSize(1024); // own buffers grow with the frame
    auto c = spectro_test::noise(1024 * 6, 6);
    m.process(a.data(), c.data(), 256 * 12);
    // No note table was read beyond its end (ASan), and every sample is finite.
    for (const auto* out : {&b, &c})
        for (float v : *out) ASSERT_TRUE(std::isfinite(v));
    EXPECT_GT(spectro_test::rms(b, 1024), 0.01);
}
