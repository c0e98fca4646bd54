#include "dsp/spectro/ChromaticPitch.h"

#include <cmath>

namespace SPECTRO {

ChromaticPitch::ChromaticPitch(int size, int overlap, float samplerate) : ChromaticFilter(size, overlap, samplerate) {
    for (float& p : pitches) p = 1.0f;
    init();
}

void ChromaticPitch::init() {
    ChromaticFilter::init();
    shiftedFrequencies.ensure(fftFrameSize2 + 1);
    shiftedMagnitudes.ensure(fftFrameSize2 + 1);
    phaseSums.ensure(fftFrameSize2 + 1);
}

void ChromaticPitch::onBufferReady() {
    if (!useUpdateRate && mode != 4) {
        buffer2complex(nullptr, nullptr);
        complex2frequencies(nullptr);
        complex2buffer(nullptr, nullptr);
        return;
    }
    ChromaticFilter::onBufferReady();
}

void ChromaticPitch::onComplex(float*) {
    switch (mode) {
    case 0:
        shiftPitches();
        break;
    case 1:
        shiftMagnitudes();
        break;
    case 2:
        filter2();
        break;
    case 3:
        filter(nullptr);
        break;
    default:
        break;
    }
}

float ChromaticPitch::pitchRatio(float p, float range) {
    if (!(range > 0.0f)) range = 1.0f;
    if (p > 0.0f) return 1.0f + (p * range - 1.0f);
    if (p < 0.0f) return 1.0f + (p + 1.0f / range);
    return 1.0f;
}

void ChromaticPitch::setChromaticPitch(int note, float p, float range) {
    if (isNote(note)) pitches[note + 3] = pitchRatio(p, range);
}

void ChromaticPitch::setChromaticPitches(float* p, float range) {
    if (!p) return;
    for (int t = 3; t <= 130; t++) pitches[t] = pitchRatio(p[t], range);
}

void ChromaticPitch::setChromaticFilterRange(int from, int to, float outside) {
    ChromaticFilter::setChromaticFilterRange(from, to, outside);
    zeroRange(pitches, from, to);
    setOutsideRange(outside);
}

void ChromaticPitch::setOutsideRange(float v) {
    ChromaticFilter::setOutsideRange(v);
    for (int t = 0; t <= 2; t++) pitches[t] = v;
    for (int t = 131; t < Scala::toneCount; t++) pitches[t] = v;
}

bool ChromaticPitch::beginShift() {
    float* mag = magnitudes.getBuffer();
    float* freq = frequencies.getBuffer();
    if (!mag || !freq || !chromaticIndex || !shiftedMagnitudes.getBuffer() || !shiftedFrequencies.getBuffer() ||
        !phaseSums.getBuffer())
        return false;
    mag[0] = 0.0f;
    freq[0] = 0.0f;
    shiftedMagnitudes.clear();
    shiftedFrequencies.clear();
    return true;
}

void ChromaticPitch::pull(int j, float f, float fScale, float mScale) {
    // The quotient is checked before it becomes an int: a tiny factor would
    // overflow the conversion.
    const float q = static_cast<float>(j) / f;
    if (!(q < static_cast<float>(fftFrameSize2) + 1.0f)) return;
    const int s = round1(q);
    if (s < 0 || s > fftFrameSize2) return;
    const float frequency = frequencies[s] * fScale;
    if (frequency > fSamplerate / 2.0f) return;
    shiftedMagnitudes[j] = magnitudes[s] * mScale;
    shiftedFrequencies[j] = frequency;
}

void ChromaticPitch::shiftPitches() {
    if (!beginShift()) return;
    for (int j = 0; j <= fftFrameSize2; j++) {
        const float f = gains[chromaticIndex[j]];
        if (f > 0.01f) pull(j, f, f, 1.0f);
    }
    synthesizeShifted(shiftedMagnitudes.getBuffer(), shiftedFrequencies.getBuffer(), phaseSums.getBuffer());
}

void ChromaticPitch::shiftMagnitudes() {
    if (!beginShift()) return;
    for (int j = 0; j <= fftFrameSize2; j++) {
        const float f = gains[chromaticIndex[j]];
        if (f > 0.0f) pull(j, f, 1.0f, f);
    }
    synthesizeShifted(shiftedMagnitudes.getBuffer(), shiftedFrequencies.getBuffer(), phaseSums.getBuffer());
}

void ChromaticPitch::filter2() {
    float* c = complex.getBuffer();
    float* ph = phases.getBuffer();
    if (!c || !ph || !beginShift()) return;
    for (int j = 0; j <= fftFrameSize2; j++) {
        const float f = gains[chromaticIndex[j]];
        shiftedMagnitudes[j] = magnitudes[j] * f;
        shiftedFrequencies[j] = frequencies[j];
        c[2 * j] = shiftedMagnitudes[j] * std::cos(ph[j]);
        c[2 * j + 1] = shiftedMagnitudes[j] * std::sin(ph[j]);
    }
    for (int i = fftFrameSize + 2; i < _2fftFrameSize; i++) c[i] = 0.0f;
}

} // namespace SPECTRO
