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

void addBin(Scala& s, int tone, float magnitude) { s.tones[tone].bins.Push(new Bin{magnitude, 0.0f, 0.0f}); }

} // namespace

TEST(Scala, TonesAndNames) {
    Scala s;
    const struct {
        int index, note, octave, group, white;
        const char* name;
    } tones[] = {{0, -3, -2, 10, -1, "-"},  {2, -1, -2, 12, -1, "-"},   {3, 0, -1, 1, 1, "C -1"},
                 {4, 1, -1, 2, 0, "C#-1"},  {63, 60, 4, 1, 1, "C 4"},   {64, 61, 4, 2, 0, "C#4"},
                 {72, 69, 4, 10, 1, "A 4"}, {130, 127, 9, 8, 1, "G 9"}, {131, 128, 9, 9, -1, "-"},
                 {139, 136, 10, 5, -1, "-"}};
    for (const auto& t : tones) {
        const auto& tone = s.tones[t.index];
        EXPECT_EQ(tone.index, t.index);
        EXPECT_EQ(tone.note, t.note) << t.index;
        EXPECT_EQ(tone.octave, t.octave) << t.index;
        EXPECT_EQ(tone.group, t.group) << t.index;
        EXPECT_EQ(tone.white, t.white) << t.index;
        EXPECT_STREQ(tone.name, t.name) << t.index;
    }
    int whites = 0;
    for (const auto& t : s.tones) whites += t.white == 1;
    EXPECT_EQ(whites, 75); // white keys among MIDI notes 0..127

    // Centres at 440 * 2^((note - 69) / 12); bands meet halfway (in cents) between them.
    EXPECT_FLOAT_EQ(s.tones[0].centerfreq, 6.875f);
    EXPECT_FLOAT_EQ(s.tones[3].centerfreq, 8.175799f);
    EXPECT_FLOAT_EQ(s.tones[72].centerfreq, 440.0f);
    for (int i = 0; i < Scala::toneCount; i++) {
        const auto& t = s.tones[i];
        EXPECT_FLOAT_EQ(t.upperfreq, static_cast<float>(6.875 * std::pow(2.0, (2.0 * i + 1.0) / 24.0))) << i;
        EXPECT_EQ(t.lowerfreq, i == 0 ? 0.0f : s.tones[i - 1].upperfreq) << i;
        EXPECT_LT(t.lowerfreq, t.centerfreq);
        EXPECT_LT(t.centerfreq, t.upperfreq);
    }
    EXPECT_NEAR(s.tones[139].upperfreq, 21714.33f, 0.01f);
}

TEST(Scala, NameLookups) {
    Names& n = Scala::names;
    EXPECT_STREQ(n.getName(60, 4), "C 4");
    EXPECT_STREQ(n.getName(61, -1), "C#-1");
    EXPECT_STREQ(n.getName(128, 0), "-");
    EXPECT_STREQ(n.getName(-1, 0), "-");
    EXPECT_LE(std::strlen(n.getName(1, INT_MIN)), 7u); // cut to the result buffer
    const int whites[][2] = {{0, 1}, {1, 0}, {127, 1}, {128, -1}};
    for (const auto& [note, white] : whites) EXPECT_EQ(Names::getWhite(note), white) << note;
}

TEST(Scala, SumsAverageOverTheFramesSinceTheLastRead) {
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
