#include "dsp/spectro/CrossModulator.h"

#include <algorithm>

namespace SPECTRO {

CrossModulator::CrossModulator(int size, int overlap, float samplerate) : FFTBase(size, overlap, samplerate) { init(); }

void CrossModulator::init() {
    FFTBase::init();
    modulatorWave.ensure(fftFrameSize);
    modulatorComplex.ensure(2 * (fftFrameSize + 1));
    chromaticMap.assign(static_cast<size_t>(fftFrameSize2) + 1, 0);
}

void CrossModulator::clear() {
    FFTBase::clear();
    modulatorWave.clear();
    modulatorComplex.clear();
}

void CrossModulator::setRange(int low, int high) {
    rangeLow = std::clamp(low, 0, 137);
    rangeHigh = std::clamp(high, rangeLow, 137);
}

void CrossModulator::process(float* a, float* b, int n) {
    float* wave = modulatorWave.getBuffer();
    if (!a || !b || n <= 0 || !hasStorage() || !wave || !modulatorComplex.getBuffer()) return;
    for (int i = 0; i < n; i++) {
        input[iterator] = a[i];
        wave[iterator] = b[i];
        b[i] = output[iterator - inFifoLatency];
        if (++iterator >= fftFrameSize) {
            iterator = inFifoLatency;
            onBufferReady();
            shiftInput(nullptr);
            shiftInput(wave);
        }
    }
}

void CrossModulator::onBufferReady() {
    buffer2complex(nullptr, nullptr);
    complex2frequencies(nullptr);
    buffer2complex(modulatorWave.getBuffer(), modulatorComplex.getBuffer());
    complex2buffer(modulatorComplex.getBuffer(), nullptr);
}

void CrossModulator::onAnalysis(float*, float*) {
    const int32_t c = frameCounter;
    frameCounter = c == INT32_MAX ? 0 : c + 1;
    if (c % 8 == 0) createChromaticBands();
}

void CrossModulator::onComplex(float* c) {
    if (c && c == modulatorComplex.getBuffer()) crossmodulate();
}

void CrossModulator::createChromaticBands() {
    assignChromatic(scala, chromaticMap.data(), frequencies.getBuffer(), magnitudes.getBuffer(), phases.getBuffer(),
                    fftFrameSize2);
    scala.chromaticScaleSums(rangeLow, rangeHigh);
}

void CrossModulator::crossmodulate() {
    float* c = complex.getBuffer();
    float* mc = modulatorComplex.getBuffer();
    if (!c || !mc) return;
    const float* g = scala.getChromatic(0, 137, true);
    for (int j = 0; j <= fftFrameSize2; j++) {
        const float G = g[chromaticMap[static_cast<size_t>(j)]] * amount;
        mc[2 * j] *= c[2 * j] * G;
        mc[2 * j + 1] *= c[2 * j + 1] * G;
        const int m = fftFrameSize - 1 - j;
        mc[2 * m] *= c[2 * m] * G;
        mc[2 * m + 1] *= c[2 * m + 1] * G;
    }
}

} // namespace SPECTRO
