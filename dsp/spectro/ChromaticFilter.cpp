#include "dsp/spectro/ChromaticFilter.h"

#include <cmath>

namespace SPECTRO {

namespace {

float bandGain(float v) {
    const float g = 2.0f * v;
    return g > 1.0f ? g * g : g;
}

} // namespace

ChromaticFilter::ChromaticFilter(int size, int overlap, float samplerate) : Analyzer(size, overlap, samplerate) {
    for (float& g : gains) g = 1.0f;
    setChromatic(true);
}

ChromaticFilter::~ChromaticFilter() { setChromatic(false); }

void ChromaticFilter::process(float* io, int n) {
    if (!io || n <= 0 || !hasStorage()) return;
    for (int i = 0; i < n; i++) io[i] = stream(io[i]);
}

void ChromaticFilter::onBufferReady() {
    buffer2complex(nullptr, nullptr);
    const int32_t c = skip;
    skip = c == INT32_MAX ? 0 : c + 1;
    if (c % updaterate == 0) complex2frequencies(nullptr);
    complex2buffer(nullptr, nullptr);
}

void ChromaticFilter::onComplex(float*) { filter(nullptr); }

void ChromaticFilter::filter(float* c) {
    if (!c) c = complex.getBuffer();
    const int32_t* map = chromaticIndex.get();
    if (!c || !map) return;
    for (int j = 0; j <= fftFrameSize2; j++) {
        const float g = gains[map[j]];
        c[2 * j] *= g;
        c[2 * j + 1] *= g;
        // The mirror slot is N-1-j, one bin off the conjugate N-j; kept as the
        // established behaviour of this filter.
        const int m = fftFrameSize - 1 - j;
        c[2 * m] *= g;
        c[2 * m + 1] *= g;
    }
}

void ChromaticFilter::zeroRange(float* table, int from, int to) const {
    for (int t = 3; t <= 130; t++) {
        const int note = t - 3;
        const bool inside = note >= from && note <= to;
        if (inside == inverted) table[t] = 0.0f;
    }
}

void ChromaticFilter::setChromaticFilterRange(int from, int to, float outside) {
    zeroRange(gains, from, to);
    setOutsideRange(outside);
}

void ChromaticFilter::setChromaticFilterBands(float* g, float outside) {
    if (!g) return;
    for (int t = 3; t <= 130; t++) gains[t] = bandGain(g[t]);
    setOutsideRange(outside);
}

void ChromaticFilter::setChromaticFilterBand(int note, float v) {
    if (isNote(note)) gains[note + 3] = bandGain(v);
}

void ChromaticFilter::setChromaticFilterBand2(int note, float v) {
    // An infinite factor would make 0 * inf of silent bins: NaN out.
    if (isNote(note) && std::isfinite(v)) gains[note + 3] = v;
}

void ChromaticFilter::setOutsideRange(float v) {
    for (int t = 0; t <= 2; t++) gains[t] = v;
    for (int t = 131; t < Scala::toneCount; t++) gains[t] = v;
}

void ChromaticFilter::createChromaticSpectrum() {
    assignBins();
    scala.chromaticScaleSums(0, 127);
}

} // namespace SPECTRO
