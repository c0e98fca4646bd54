#include "dsp/spectro/Scala.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "dsp/kvt/Globals.h"

namespace SPECTRO {

namespace {

constexpr char slots[12][3] = {"C ", "C#", "D ", "D#", "E ", "F ", "F#", "G ", "G#", "A ", "A#", "B "};

bool isZeroOrSubnormal(float v) { return std::fpclassify(v) == FP_ZERO || std::fpclassify(v) == FP_SUBNORMAL; }

void clampRange(int& from, int& to, int limit) {
    from = from < 0 ? 0 : from;
    to = to > limit ? limit : to;
}

} // namespace

Names Scala::names;

void Names::writeName(int note, int octave, char* out, int size) {
    if (note < 0 || note >= 128) {
        std::snprintf(out, static_cast<size_t>(size), "-");
        return;
    }
    char number[12];
    std::snprintf(out, static_cast<size_t>(size), "%s%s", slots[note % 12], KVT::itoa(octave, number, 10));
}

const char* Names::getName(int note, int octave) {
    if (note < 0 || note >= 128) return "-";
    writeName(note, octave, result, sizeof result);
    return result;
}

int Names::getWhite(int note) {
    if (note < 0 || note >= 128) return -1;
    switch (note % 12) {
    case 0:
    case 2:
    case 4:
    case 5:
    case 7:
    case 9:
    case 11:
        return 1;
    default:
        return 0;
    }
}

void Tone::clear() {
    if (bins.Count() == 0) return;
    bins.Rewind();
    while (void* record = bins.Next()) delete static_cast<Bin*>(record);
    bins.Clear();
}

float Tone::getSum() {
    float sum = 0;
    bins.Rewind();
    while (void* record = bins.Next()) sum += static_cast<Bin*>(record)->magnitude;
    return sum;
}

Scala::Scala() {
    int octave = -2;
    for (int i = 0; i < toneCount; i++) {
        Tone& t = tones[i];
        t.index = i;
        t.note = i - 3;
        if (t.note % 12 == 0) octave++;
        t.octave = octave;
        t.group = (t.note % 12 + 12) % 12 + 1;
        // Written straight into the tone, so building scales on several
        // threads shares no buffer.
        Names::writeName(t.note, octave, t.name, sizeof t.name);
        t.white = Names::getWhite(t.note);
        t.lowerfreq = i == 0 ? 0.0f : tones[i - 1].upperfreq;
        t.centerfreq = static_cast<float>(6.875 * std::pow(2.0, (2.0 * i) / 24.0));
        t.upperfreq = static_cast<float>(6.875 * std::pow(2.0, (2.0 * i + 1.0) / 24.0));
    }
}

void Scala::clear() {
    for (Tone& t : tones) t.clear();
}

void Scala::chromaticScaleSums(int from, int to) {
    if (clearChromatic) {
        std::memset(chromatic, 0, sizeof chromatic);
        chromaticCount = 0;
        clearChromatic = false;
    }
    clampRange(from, to, toneCount - 3);
    for (int n = from; n < to; n++) chromatic[n] += tones[n + 3].getSum();
    chromaticCount++;
}

float* Scala::getChromatic(int from, int to, bool normalize) {
    if (chromaticCount == 0) return chromatic;
    clampRange(from, to, toneCount);
    float m = 0;
    for (int n = from; n < to; n++) {
        chromatic[n] /= static_cast<float>(chromaticCount);
        if (isZeroOrSubnormal(chromatic[n])) chromatic[n] = 0;
        if (chromatic[n] > m) m = chromatic[n];
    }
    if (normalize && m > 1.0f) {
        for (int n = from; n < to; n++) {
            chromatic[n] /= m;
            if (isZeroOrSubnormal(chromatic[n])) chromatic[n] = 0;
        }
    }
    clearChromatic = true;
    return chromatic;
}

void assignChromatic(Scala& scala, int32_t* map, const float* freq, const float* mag, const float* phase, int n2) {
    if (!freq || !mag || !phase) return;
    scala.clear();
    const int top = Scala::toneCount - 1;
    auto file = [&](int tone, int bin) {
        scala.tones[tone].bins.Push(new Bin{mag[bin], freq[bin], phase[bin]});
        if (map) map[bin] = tone;
    };
    int t = 0;
    int i = 0;
    while (i <= n2) {
        // Below tone t: the tone just under it.
        while (i <= n2 && freq[i] <= scala.tones[t].lowerfreq) {
            file(t > 0 ? t - 1 : 0, i);
            i++;
        }
        if (i > n2) break;
        if (freq[i] > scala.tones[t].lowerfreq && freq[i] <= scala.tones[t].upperfreq) {
            file(t, i);
            if (t < top) t++;
            i++;
        } else if (t >= top) { // above the top tone, or NaN
            file(top, i);
            i++;
        } else {
            t++;
        }
    }
}

} // namespace SPECTRO
