// The scale's tones, band edges and names, and its per-note sums.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>

#include "dsp/spectro/Scala.h"

using SPECTRO::Bin;
using SPECTRO::Names;
using SPECTRO::Scala;

namespace {

double edge(int i) { return 6.875 * std::pow(2.0, (2.0 * i + 1.0) / 24.0); }

void addBin(Scala& s, int tone, float magnitude)
{
    s.tones[tone].bins.Push(new Bin{magnitude, 0.0f, 0.0f});
}

} // namespace

TEST(Scala, TonesAndNames)
{
    Scala s;
    const auto& t0 = s.tones[0];
    EXPECT_EQ(t0.index, 0);
    EXPECT_EQ(t0.note, -3);
    EXPECT_EQ(t0.octave, -2);
    EXPECT_EQ(t0.group, 10);
    EXPECT_STREQ(t0.name, "-");
    EXPECT_EQ(t0.white, -1);
    EXPECT_EQ(t0.lowerfreq, 0.0f);
    EXPECT_FLOAT_EQ(t0.centerfreq, 6.875f);
    EXPECT_EQ(s.tones[2].group, 12);

    EXPECT_EQ(s.tones[3].octave, -1);
    EXPECT_STREQ(s.tones[3].name, "C -1");
    EXPECT_FLOAT_EQ(s.tones[3].centerfreq, 8.175799f);
    EXPECT_STREQ(s.tones[4].name, "C#-1");
    EXPECT_EQ(s.tones[63].octave, 4);
    EXPECT_EQ(s.tones[63].group, 1);
    EXPECT_STREQ(s.tones[63].name, "C 4");
    EXPECT_EQ(s.tones[63].white, 1);
    EXPECT_STREQ(s.tones[64].name, "C#4");
    EXPECT_EQ(s.tones[64].white, 0);
    EXPECT_FLOAT_EQ(s.tones[72].centerfreq, 440.0f);
    EXPECT_STREQ(s.tones[72].name, "A 4");
    EXPECT_STREQ(s.tones[130].name, "G 9");
    EXPECT_STREQ(s.tones[131].name, "-");
    EXPECT_EQ(s.tones[139].note, 136);

    int whites = 0;
    for (const auto& t : s.tones)
        whites += t.white == 1;
    EXPECT_EQ(whites, 75); // white keys among MIDI notes 0..127
}

TEST(Scala, BandsTileTheRangeWithoutGaps)
{
    Scala s;
    for (int i = 0; i < Scala::toneCount; i++) {
        const auto& t = s.tones[i];
        EXPECT_FLOAT_EQ(t.upperfreq, static_cast<float>(edge(i))) << i;
        EXPECT_EQ(t.lowerfreq, i == 0 ? 0.0f : s.tones[i - 1].upperfreq) << i;
        EXPECT_LT(t.lowerfreq, t.centerfreq);
        EXPECT_LT(t.centerfreq, t.upperfreq);
    }
    EXPECT_NEAR(s.tones[139].upperfreq, 21714.33f, 0.01f);
}

TEST(Scala, NameLookups)
{
    Names& n = Scala::names;
    EXPECT_STREQ(n.getName(60, 4), "C 4");
    EXPECT_STREQ(n.getName(61, -1), "C#-1");
    EXPECT_STREQ(n.getName(128, 0), "-");
    EXPECT_STREQ(n.getName(-1, 0), "-");
    EXPECT_LE(std::strlen(n.getName(1, INT_MIN)), 7u); // cut to the result buffer
    EXPECT_EQ(Names::getWhite(0), 1);
    EXPECT_EQ(Names::getWhite(1), 0);
    EXPECT_EQ(Names::getWhite(127), 1);
    EXPECT_EQ(Names::getWhite(128), -1);
}

TEST(Scala, SumsAverageOverTheFramesSinceTheLastRead)
{
    Scala s;
    float* c = s.getChromatic(0, 127, false); // nothing accumulated: untouched
    EXPECT_EQ(c, s.chromatic);
    EXPECT_FALSE(s.clearChromatic);

    addBin(s, 63, 2.0f);
    addBin(s, 63, 1.0f);
    EXPECT_FLOAT_EQ(s.tones[63].getSum(), 3.0f);
    s.chromaticScaleSums(0, 127);
    s.clear();
    addBin(s, 63, 5.0f);
    addBin(s, 3, 0.5f);
    s.chromaticScaleSums(0, 127);
    EXPECT_EQ(s.chromaticCount, 2);
    c = s.getChromatic(0, 127, false);
    EXPECT_FLOAT_EQ(c[60], 4.0f); // (3 + 5) / 2
    EXPECT_FLOAT_EQ(c[0], 0.25f);
    EXPECT_TRUE(s.clearChromatic);

    s.chromaticScaleSums(0, 127); // starts afresh after the read
    EXPECT_EQ(s.chromaticCount, 1);
    c = s.getChromatic(0, 127, true);
    EXPECT_FLOAT_EQ(c[60], 1.0f); // normalised by the maximum 5
    EXPECT_FLOAT_EQ(c[0], 0.1f);

    s.clear();
    addBin(s, 63, 0.5f);
    addBin(s, 139, 9.0f); // note 136: outside the summed range
    s.chromaticScaleSums(0, 127);
    c = s.getChromatic(0, 127, true);
    EXPECT_FLOAT_EQ(c[60], 0.5f); // maximum at most 1: no division
    EXPECT_EQ(c[136], 0.0f);

    s.chromaticScaleSums(-10, 500); // ranges are kept inside the tables
    s.getChromatic(-10, 500, true);
    EXPECT_FLOAT_EQ(c[136], 1.0f);
}
