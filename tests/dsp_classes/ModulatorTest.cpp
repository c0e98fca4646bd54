#include "dsp/Modulator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double kPi = 3.141592653589793;

int zeroCrossings(const float* t) {
    // Sign changes around the cycle, zero samples skipped.
    float previous = 0;
    for (int i = Modulator::kTableSize - 1; i >= 0 && previous == 0; --i) previous = t[i];
    int crossings = 0;
    for (int i = 0; i < Modulator::kTableSize; ++i) {
        if (t[i] != 0) {
            crossings += (t[i] > 0) != (previous > 0);
            previous = t[i];
        }
    }
    return crossings;
}

TEST(Modulator, ComputedTablesFollowTheirFormulas) {
    Modulator m;
    for (int k = 0; k < 128; ++k) {
        ASSERT_NEAR(Modulator::freqTable[k], 440.0 * std::pow(2.0, (k - 69) / 12.0), 1e-5 * Modulator::freqTable[k]);
        ASSERT_NEAR(Modulator::freqFactors[k], std::pow(2.0, (k - 60) / 12.0), 1e-5 * Modulator::freqFactors[k]);
    }
    EXPECT_EQ(Modulator::waveSine[1024], 1.0f);
    EXPECT_EQ(Modulator::maxFrequency, 14080.0f);
    for (int i = 0; i < Modulator::kTableSize; i += 5) {
        const double x = i / 4096.0, s = std::sin(2 * kPi * x), root = std::pow(std::fabs(s), 1.0 / 8);
        ASSERT_NEAR(Modulator::waveSaw[i], 1 - x, 1e-6);
        ASSERT_NEAR(Modulator::waveSineQuad[i], (s * s * s + 1) / 2, 1e-6);
        ASSERT_NEAR(Modulator::waveSineSquar[i], i < 2048 ? (1 + root) / 2 : (1 - root) / 2, 1e-5) << i;
        ASSERT_NEAR(Modulator::waveRampExponUp[i], x * x * x, 1e-6);
        ASSERT_NEAR(Modulator::wave100[i], 440 * std::pow(2.0, 10 * x - 5), 2e-6 * Modulator::wave100[i]);
        ASSERT_EQ(Modulator::waveRampExponDown[i], Modulator::waveRampExponUp[4095 - i]);
        ASSERT_EQ(Modulator::waveRampLogDown[i], Modulator::waveRampLogUp[4095 - i]);
    }
}

TEST(Modulator, StoredWaveformsAreFullScaleCentredAndDistinct) {
    Modulator m;
    int fewest = 1000, most = 0;
    for (int t = 0; t < Modulator::kStoredTables; ++t) {
        const float* table = Modulator::storedTables[t];
        double peak = 0, sum = 0;
        for (int i = 0; i < Modulator::kTableSize; ++i) {
            peak = std::max(peak, static_cast<double>(std::fabs(table[i])));
            sum += table[i];
        }
        EXPECT_TRUE(peak >= 0.989 && peak <= 1.006) << t << ": " << peak;
        EXPECT_LE(std::fabs(sum / Modulator::kTableSize), 0.011) << t;
        const int crossings = zeroCrossings(table);
        fewest = std::min(fewest, crossings);
        most = std::max(most, crossings);
        if (t != 3 && t != 58) { // table_sqr and table_57 begin elsewhere
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
    for (int i = 0; i < Modulator::kTableSize; ++i)
        ASSERT_NEAR(Modulator::storedTables[0][i], std::sin(2 * kPi * i / 4096), 0.012);
}

TEST(Modulator, SettersClampAndSelect) {
    Modulator m;
    EXPECT_EQ(m.getTable2(), Modulator::waveSine);
    m.setTable(0);
    EXPECT_EQ(m.getTable1(), Modulator::storedTables[0]);
    EXPECT_EQ(m.getTable2(), Modulator::storedTables[1]);
    for (int i : {65, -1}) {
        m.setTable(i);
        EXPECT_EQ(m.getTable1(), Modulator::waveSine);
        EXPECT_EQ(m.getTable2(), Modulator::waveSine);
    }
    m.setPhase(0.25f);
    for (float bad : {-0.5f, std::numeric_limits<float>::quiet_NaN()}) {
        m.setPhase(bad);
        EXPECT_EQ(m.getPhase(), 0.0f);
    }
    m.setFrequency(48000);
    EXPECT_EQ(m.getFrequency(), 47999.0f);
    m.setGain(2);
    EXPECT_EQ(m.getGain(), 1.0f);
    m.setSamplerate(0);
    EXPECT_EQ(m.getSamplerate(), 48000.0f);
    EXPECT_FLOAT_EQ(m.getPhaseIncrement(), 349.52533f);
    m.setTables(Modulator::waveSaw, Modulator::waveSine, 1024);
    EXPECT_EQ(m.getIndexShift(), 14);
    m.setTables(Modulator::waveSine, Modulator::waveSine, 1000); // not a power of two
    EXPECT_EQ(m.getTable1(), Modulator::waveSaw);
}

} // namespace
