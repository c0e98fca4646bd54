#include "dsp/spectro/PitchShifter.h"

#include <cmath>

namespace SPECTRO {

PitchShifter::PitchShifter(int size, int overlap, float samplerate)
    : FFTBase(size, overlap, samplerate), frequencyLimit(samplerate / 2.0f) {
    shiftSmoother.setInitialValue(1.0f);
    init();
}

void PitchShifter::setSamplerate(float samplerate) {
    FFTBase::setSamplerate(samplerate);
    frequencyLimit = samplerate / 2.0f;
}

void PitchShifter::init() {
    FFTBase::init();
    shiftedFrequencies.ensure(fftFrameSize2 + 1);
    shiftedMagnitudes.ensure(fftFrameSize2 + 1);
    phaseSums.ensure(fftFrameSize2 + 1);
}

void PitchShifter::process(float* io, int n) {
    if (shift == 1.0f) return;
    if (!io || n <= 0 || !hasStorage() || !phaseSums.getBuffer() || !shiftedMagnitudes.getBuffer() ||
        !shiftedFrequencies.getBuffer())
        return;
    for (int i = 0; i < n; i++) io[i] = stream(io[i]);
}

void PitchShifter::onBufferReady() {
    buffer2complex(nullptr, nullptr);
    if (shift != 1.0f) complex2frequencies(nullptr);
}

void PitchShifter::onAnalysis(float*, float*) {
    if (shift != 1.0f) shiftPitch();
    complex2buffer(nullptr, nullptr);
}

void PitchShifter::setShift(float s) {
    if (!std::isfinite(s)) return;
    shift = s;
    shiftSmoother.setDestinationValue(s, 12);
}

void PitchShifter::shiftPitch() {
    float* mag = magnitudes.getBuffer();
    float* freq = frequencies.getBuffer();
    float* sm = shiftedMagnitudes.getBuffer();
    float* sf = shiftedFrequencies.getBuffer();
    if (!mag || !freq || !sm || !sf || !phaseSums.getBuffer()) return;
    mag[0] = 0.0f;
    freq[0] = 0.0f;
    shiftedMagnitudes.clear();
    shiftedFrequencies.clear();
    const float r = shiftSmoother.getValue();
    if (!(r > 0.0f)) return; // the analysed spectrum is resynthesised unchanged
    for (int k = 0; k <= fftFrameSize2; k++) {
        // Compared before the conversion: a tiny ratio would overflow it.
        const float q = static_cast<float>(k) / r;
        if (!(q < static_cast<float>(fftFrameSize2) + 1.0f)) continue;
        const int s = round1(q);
        if (s > fftFrameSize2) continue;
        sm[k] = mag[s];
        sf[k] = freq[s] * r;
        if (sf[k] > frequencyLimit) {
            sm[k] = 0.0f;
            sf[k] = 0.0f;
        }
    }
    synthesizeShifted(sm, sf, phaseSums.getBuffer());
}

} // namespace SPECTRO
