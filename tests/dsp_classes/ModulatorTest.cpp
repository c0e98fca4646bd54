#include "dsp/Modulator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

namespace {

int zeroCrossings(const float* t)
{
    // Sign changes around the cycle, zero samples skipped.
    float previous = 0;
    for (int i = Modulator::kTableSize - 1; i >= 0 && previous == 0; --i)
        previous = t[i];
    int crossings = 0;
    for (int i = 0; i < Modulator::kTableSize; ++i) {
        if (t[i] == 0)
            continue;
        if ((t[i] > 0) != (previous > 0))
            ++crossings;
        previous = t[i];
    }
    return crossings;
}

TEST(Modulator, ComputedTables)
{
    Modulator m;
    EXPECT_EQ(Modulator::freqTable[69], 440.0f);
    EXPECT_FLOAT_EQ(Modulator::freqTable[0], 8.175799f);
    EXPECT_FLOAT_EQ(Modulator::freqTable[60], 261.62558f);
    EXPECT_FLOAT_EQ(Modulator::freqTable[127], 12543.85f);
    for (int k = 0; k < 128; ++k)
        ASSERT_NEAR(Modulator::freqTable[k], 440.0 * std::pow(2.0, (k - 69) / 12.0), 1e-5 * Modulator::freqTable[k]);
    EXPECT_EQ(Modulator::freqFactors[72], 2.0f);
    EXPECT_EQ(Modulator::freqFactors[48], 0.5f);
    EXPECT_EQ(Modulator::waveSine[1024], 1.0f);
    EXPECT_EQ(Modulator::waveSine[0], 0.5f);
    EXPECT_EQ(Modulator::maxFrequency, 14080.0f);
    EXPECT_EQ(Modulator::wave100[0], 13.75f);
    EXPECT_FLOAT_EQ(Modulator::wave100[4095], 14056.19f);
    for (int i = 0; i < Modulator::kTableSize; i += 5) {
        const double x = i / 4096.0, s = std::sin(2 * 3.141592653589793 * x);
        ASSERT_NEAR(Modulator::waveSaw[i], 1 - x, 1e-6);
        ASSERT_NEAR(Modulator::waveSineQuad[i], (s * s * s + 1) / 2, 1e-6);
        const double root = std::pow(std::fabs(s), 1.0 / 8);
        ASSERT_NEAR(Modulator::waveSineSquar[i], i < 2048 ? (1 + root) / 2 : (1 - root) / 2, 1e-5) << i;
        ASSERT_NEAR(Modulator::waveRampExponUp[i], x * x * x, 1e-6);
        ASSERT_EQ(Modulator::waveRampExponDown[i], Modulator::waveRampExponUp[4095 - i]);
        ASSERT_EQ(Modulator::waveRampLinDown[i], 1 - Modulator::waveRampLinUp[i]);
        ASSERT_EQ(Modulator::waveRampLogDown[i], Modulator::waveRampLogUp[4095 - i]);
    }
}

TEST(Modulator, StoredWaveformsHaveTheStatedProperties)
{
    Modulator m;
    int fewest = 1000, most = 0;
    for (int t = 0; t < Modulator::kStoredTables; ++t) {
        const float* table = Modulator::storedTables[t];
        double peak = 0, sum = 0;
        for (int i = 0; i < Modulator::kTableSize; ++i) {
            peak = std::max(peak, static_cast<double>(std::fabs(table[i])));
            sum += table[i];
        }
        EXPECT_GE(peak, 0.989) << t;
        EXPECT_LE(peak, 1.006) << t;
        EXPECT_LE(std::fabs(sum / Modulator::kTableSize), 0.011) << t;
        const int crossings = zeroCrossings(table);
        EXPECT_GE(crossings, 2) << t;
        EXPECT_LE(crossings, 52) << t;
        fewest = std::min(fewest, crossings);
        most = std::max(most, crossings);
        const bool special = t == 3 || t == 4 + 57 - 3;  // table_sqr, table_57
        if (!special) {
            EXPECT_LE(std::fabs(table[0]), 0.11) << t;
        }
        for (int u = 0; u < t; ++u) {
            double diff = 0;
            for (int i = 0; i < Modulator::kTableSize; ++i)
                diff = std::max(diff, static_cast<double>(std::fabs(table[i] - Modulator::storedTables[u][i])));
            ASSERT_GT(diff, 0.05) << "tables " << u << " and " << t << " have the same shape";
        }
    }
    EXPECT_EQ(fewest, 2);
    EXPECT_EQ(most, 52);
    const float* sine = Modulator::storedTables[0];
    EXPECT_NEAR(sine[0], 0.0105f, 1e-4f);
    EXPECT_NEAR(sine[1024], 0.9988f, 1e-4f);
    EXPECT_NEAR(sine[3072], -1.0f, 1e-4f);
    for (int i = 0; i < Modulator::kTableSize; ++i)
        ASSERT_NEAR(sine[i], std::sin(2 * 3.141592653589793 * i / 4096), 0.012);
    EXPECT_NEAR(Modulator::storedTables[3][0], 0.514f, 1e-3f);
    EXPECT_NEAR(Modulator::storedTables[4 + 57 - 3][0], 0.356f, 1e-3f);
}

TEST(Modulator, SettersClampAndSelect)
{
    Modulator m;
    EXPECT_EQ(m.getMode(), 1);
    EXPECT_EQ(m.getGain(), 0.5f);
    EXPECT_EQ(m.getFrequency(), 1.0f);
    EXPECT_FLOAT_EQ(m.getPhaseIncrement(), 349.52533f);
    EXPECT_EQ(m.getTable1(), Modulator::waveSine);
    EXPECT_EQ(m.getTable2(), Modulator::waveSine);

    m.setTable(0);
    EXPECT_EQ(m.getTable1(), Modulator::storedTables[0]);
    EXPECT_EQ(m.getTable2(), Modulator::storedTables[1]);
    m.setTable(64);
    EXPECT_EQ(m.getTable2(), Modulator::storedTables[65]);
    for (int i : {65, -1}) {
        m.setTable(i);
        EXPECT_EQ(m.getTable1(), Modulator::waveSine);
        EXPECT_EQ(m.getTable2(), Modulator::waveSine);
    }

    m.setPhase(-0.5f);
    EXPECT_EQ(m.getPhase(), 0.0f);
    m.setPhase(0.25f);
    EXPECT_EQ(m.getPhase(), 0.25f);
    m.setPhase(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(m.getPhase(), 0.0f);
    m.setPhase(1e30f);
    EXPECT_GT(m.getPhase(), 0.0f);
    m.retrigger();
    EXPECT_EQ(m.getPhase(), 0.0f);

    m.setFrequency(48000);
    EXPECT_EQ(m.getFrequency(), 47999.0f);
    m.setFrequency(-3);
    EXPECT_EQ(m.getFrequency(), 0.0f);
    m.setGain(2);
    EXPECT_EQ(m.getGain(), 1.0f);
    m.setGain(-2);
    EXPECT_EQ(m.getGain(), -1.0f);
    m.setShape(-1);
    EXPECT_EQ(m.getShape(), 0.0f);
    m.setShape(3);
    EXPECT_EQ(m.getShape(), 1.0f);
    m.setSamplerate(0);
    EXPECT_EQ(m.getSamplerate(), 48000.0f);
    EXPECT_FLOAT_EQ(m.getPhaseIncrement(), 349.52533f);
    m.setSamplerate(96000);
    EXPECT_FLOAT_EQ(m.getPhaseIncrement(), 16777216.0f / 96000);

    m.setTables(Modulator::waveSaw, Modulator::waveSine, 1024);
    EXPECT_EQ(m.getIndexShift(), 14);
    EXPECT_EQ(m.getTable1(), Modulator::waveSaw);
    m.setTables(Modulator::waveSine, Modulator::waveSine, 1000);  // not a power of two
    EXPECT_EQ(m.getTable1(), Modulator::waveSaw);
    EXPECT_EQ(m.getIndexShift(), 14);

    const NoiseOscillator& noise = m.getNoise();
    EXPECT_EQ(noise.getSeed(), 33333u);
    EXPECT_EQ(noise.getFrequency(), 1.0f);
    EXPECT_EQ(noise.getSamplerate(), 44100.0f);
    EXPECT_EQ(noise.getFrequencyHz(), 44100.0f);
}

TEST(Modulator, CountAndConcurrentConstructionShareOneTableSet)
{
    const int64_t before = Modulator::getCount();
    {
        std::vector<std::unique_ptr<Modulator>> made(8);
        std::vector<std::thread> threads;
        for (auto& slot : made)
            threads.emplace_back([&slot] { slot = std::make_unique<Modulator>(); });
        for (auto& t : threads)
            t.join();
        EXPECT_EQ(Modulator::getCount(), before + 8);
    }
    EXPECT_EQ(Modulator::getCount(), before);
    // Back to no modulator: the next one finds the same tables.
    const float logUp = Modulator::waveRampLogUp[3000];
    Modulator again;
    EXPECT_EQ(Modulator::waveRampLogUp[3000], logUp);
    EXPECT_EQ(Modulator::getCount(), before + 1);
}

} // namespace
