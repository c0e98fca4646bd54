// The spectrum analyser: its diagnostic line, update interval, chromatic
// assignment and stereo sum.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "SpectroTestSupport.h"
#include "dsp/spectro/Analyzer.h"
#include "RenderGuard.h"
#include "TestEnvironment.h"

using SPECTRO::Analyzer;
using SPECTRO::Bin;

namespace {

using Printed = vyk::test::ConsoleCapture;

void feed(Analyzer& a, const std::vector<float>& x) {
    auto copy = x;
    a.process(copy.data(), static_cast<int>(copy.size()));
    EXPECT_EQ(copy, x); // nothing is written back
}

} // namespace

TEST(Analyzer, PrintsOneDiagnosticLinePerInstance) {
    Printed printed;
    Analyzer a(1024, 2, 48000.0f);
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<void*>(&a));
    EXPECT_EQ(printed.text(), "DIAGNOSTICS: FFT Analyzer loaded. [ " + std::string(address) + " ]\n");
    Analyzer b(64, 1, 44100.0f);
    EXPECT_EQ(printed.lines().size(), 2u);
}

TEST(Analyzer, UpdateInterval) {
    Printed quiet;
    Analyzer kernels(4096, 2, 48000.0f);
    EXPECT_EQ(kernels.getUpdateInterval(), 1); // ceil(0.18...)
    Analyzer a(1024, 4, 48000.0f);
    // ceil(frames per second / rate); a rate of 0 or below and a bad sample
    // rate analyse every frame without dividing by zero.
    const struct {
        int rate;
        float samplerate;
        int interval;
    } cases[] = {{60, 48000.0f, 4}, {0, 48000.0f, 1}, {-5, 48000.0f, 1},
                 {60, 96000.0f, 7}, {60, 0.0f, 1},    {60, std::numeric_limits<float>::quiet_NaN(), 1}};
    for (const auto& c : cases) {
        a.setSamplerate(c.samplerate);
        a.setUpdateRate(c.rate);
        EXPECT_EQ(a.getUpdateInterval(), c.interval) << c.rate << " " << c.samplerate;
    }
    a.setSamplerate(1e38f);
    EXPECT_GE(a.getUpdateInterval(), 1);
}

TEST(Analyzer, AnalysesOnlyEveryIntervalthFrame) {
    Printed quiet;
    Analyzer a(1024, 4, 48000.0f);
    a.setUpdateRate(60); // interval 4
    auto x = spectro_test::noise(256 * 12, 5);
    std::vector<int> changed;
    std::vector<float> last(a.getMagnitudes(), a.getMagnitudes() + 513);
    for (int frame = 0; frame < 12; frame++) {
        std::vector<float> block(x.begin() + frame * 256, x.begin() + (frame + 1) * 256);
        feed(a, block);
        std::vector<float> now(a.getMagnitudes(), a.getMagnitudes() + 513);
        if (now != last) changed.push_back(frame);
        last = now;
    }
    EXPECT_EQ(changed, (std::vector<int>{0, 4, 8}));
    a.reset(); // restarts the count: the next frame is analysed
    std::vector<float> block(x.begin(), x.begin() + 256);
    feed(a, block);
    EXPECT_NE(std::vector<float>(a.getMagnitudes(), a.getMagnitudes() + 513), last);
}

TEST(Analyzer, ChromaticModeSortsEveryBinIntoOneTone) {
    Printed quiet;
    const int n = 4096;
    Analyzer a(n, 4, 48000.0f);
    a.setUpdateRate(0);
    EXPECT_EQ(a.getChromaticIndex(), nullptr);
    const auto tone = spectro_test::sine(n * 2, 440.0, 48000.0);
    feed(a, tone);
    for (auto& t : a.getScala().tones) EXPECT_EQ(t.bins.Count(), 0u) << "no records while chromatic mode is off";

    a.setChromatic(true);
    feed(a, tone);
    const int32_t* map = a.getChromaticIndex();
    ASSERT_NE(map, nullptr);
    auto& scala = a.getScala();
    // Records carry their bin's values: the first record of A4 is bin 37's or below.
    auto* first = static_cast<Bin*>(scala.tones[72].bins.First());
    ASSERT_NE(first, nullptr);
    EXPECT_NEAR(first->frequency, 440.0f, 1.0f);
    // The map agrees with the lists: each tone holds exactly the bins mapped to
    // it, so every bin is filed once.
    for (int t = 0; t < 140; t++) {
        uint32_t mapped = 0;
        for (int k = 0; k <= n / 2; k++) mapped += map[k] == t;
        EXPECT_EQ(scala.tones[t].bins.Count(), mapped) << t;
    }
    EXPECT_EQ(map[37], 72); // 433.6 Hz and 445.3 Hz bins of a 440 Hz tone: A4
    EXPECT_EQ(map[38], 72);
    if (a.getFrequencies(0) <= 0.0f) { // the DC bin's estimate may be +-2 bins' phase step
        EXPECT_EQ(map[0], 0);
    }
    EXPECT_EQ(map[n / 2], 139); // above the top tone's edge at 21714 Hz
    for (int k = 1; k <= n / 2; k++)
        EXPECT_GE(map[k], map[k - 1] - 1) << k; // frequencies rise with the bins, give or take a tone
    // The per-note sums put the tone's energy on note 69.
    float* notes = scala.getChromatic(0, 127, true);
    EXPECT_FLOAT_EQ(notes[69], 1.0f);
    for (int note = 0; note < 127; note++)
        if (std::abs(note - 69) > 1) {
            EXPECT_LT(notes[note], 0.05f) << note; // leakage summed over a tone's bins
        }

    a.setSize(8192); // the map grows with the frame
    feed(a, spectro_test::sine(8192 * 2, 440.0, 48000.0));
    EXPECT_EQ(a.getChromaticIndex()[4096], 139);
    a.setChromatic(false);
    EXPECT_EQ(a.getChromaticIndex(), nullptr);
}

TEST(Analyzer, AssignmentOfHandWrittenFrequencies) {
    SPECTRO::Scala scala;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<float> freq = {-5.0f, 0.0f, 7.0f, 8.2f, 440.0f, 440.0f, 445.0f, 30000.0f, nan, 100.0f};
    const std::vector<float> mag(freq.size(), 1.0f), phase(freq.size(), 0.0f);
    std::vector<int32_t> map(freq.size(), -1);
    SPECTRO::assignChromatic(scala, map.data(), freq.data(), mag.data(), phase.data(),
                             static_cast<int>(freq.size()) - 1);
    // 0 and below: tone 0; 7 Hz: tone 0's band (up to 7.08 Hz); 8.2 Hz: note 0;
    // 440 Hz and its neighbours: A4; past the top edge and NaN: the top tone;
    // a falling frequency after the top: filed under the tone below the current.
    EXPECT_EQ(map, (std::vector<int32_t>{0, 0, 0, 3, 72, 72, 72, 139, 139, 138}));
    EXPECT_EQ(scala.tones[72].bins.Count(), 3u);
    SPECTRO::assignChromatic(scala, nullptr, freq.data(), mag.data(), phase.data(), 3); // no map
    EXPECT_EQ(scala.tones[72].bins.Count(), 0u); // the previous frame's records are gone
    EXPECT_EQ(scala.tones[0].bins.Count(), 3u);
}

TEST(Analyzer, StereoSumAnalysesTwiceTheAmplitude) {
    Printed quiet;
    Analyzer mono(1024, 2, 48000.0f), stereo(1024, 2, 48000.0f);
    mono.setUpdateRate(0);
    stereo.setUpdateRate(0);
    auto x = spectro_test::noise(4096, 9);
    feed(mono, x);
    auto l = x, r = x;
    stereo.process(l.data(), r.data(), 4096);
    for (int k = 0; k <= 512; k++)
        ASSERT_NEAR(stereo.getMagnitudes(k), 2.0f * mono.getMagnitudes(k), 1e-4f * mono.getMagnitudes(k) + 1e-5f) << k;
    stereo.process(nullptr, r.data(), 16);
    stereo.process(l.data(), r.data(), -1);
}

TEST(Analyzer, PlainAnalysisAllocatesNothing) {
    if (!vyk::test::RenderGuard::active()) GTEST_SKIP() << "allocation counting is off under sanitizers";
    Printed quiet;
    Analyzer a(4096, 2, 48000.0f);
    auto x = spectro_test::noise(16384, 2);
    vyk::test::RenderGuard guard;
    a.process(x.data(), static_cast<int>(x.size()));
    EXPECT_EQ(guard.violations(), 0);
}
