#include "dsp/spectro/Analyzer.h"

#include <cmath>
#include <cstdio>
#include <new>

#include "dsp/kvt/Globals.h"
#include "foundation/Console.h"

namespace SPECTRO {

Analyzer::Analyzer(int size, int overlap, float samplerate) : FFTBase(size, overlap, samplerate) {
    setChromatic(false);
    setUpdateRate(128);
    char line[64];
    std::snprintf(line, sizeof line, "DIAGNOSTICS: FFT Analyzer loaded. [ %p ]\n", static_cast<void*>(this));
    Console::write(line);
}

void Analyzer::updateInterval() {
    // Frames per second over analyses per second; at least 1, also for a
    // sample rate of 0 or NaN.
    updaterate = 1;
    if (lUpdaterate == 0) return;
    const float interval = std::ceil(fSamplerate / static_cast<float>(fftFrameSize) * static_cast<float>(osamp) /
                                     static_cast<float>(lUpdaterate));
    if (interval >= 1.0f && interval < 2147483520.0f) updaterate = static_cast<int32_t>(interval);
}

void Analyzer::setSamplerate(float samplerate) {
    FFTBase::setSamplerate(samplerate);
    updateInterval();
}

void Analyzer::setUpdateRate(int rate) {
    lUpdaterate = rate > 0 ? rate : 0;
    updateInterval();
    skip = 0;
}

void Analyzer::setChromatic(bool on) {
    chromatic = on;
    chromaticIndex.reset();
    if (on) chromaticIndex.reset(new (std::nothrow) int32_t[fftFrameSize2 + 1]());
}

void Analyzer::init() {
    FFTBase::init();
    // The map follows the frame size.
    if (chromatic) setChromatic(true);
}

void Analyzer::clear() {
    FFTBase::clear();
    skip = 0;
}

void Analyzer::process(float* in, int n) {
    if (!in || n <= 0 || !hasStorage()) return;
    for (int i = 0; i < n; i++) stream(in[i]);
}

void Analyzer::process(float* left, float* right, int n) {
    if (!left || !right || n <= 0 || !hasStorage()) return;
    for (int i = 0; i < n; i++) stream(left[i] + right[i]);
}

void Analyzer::onBufferReady() {
    const int32_t c = skip;
    skip = c == INT32_MAX ? 0 : c + 1;
    if (c % updaterate == 0) {
        buffer2complex(nullptr, nullptr);
        complex2frequencies(nullptr);
    }
}

void Analyzer::onAnalysis(float* freq, float* mag) {
    FFTBase::onAnalysis(freq, mag);
    if (chromatic) createSpectrum();
}

void Analyzer::assignBins() {
    assignChromatic(scala, chromaticIndex.get(), frequencies.getBuffer(), magnitudes.getBuffer(), phases.getBuffer(),
                    fftFrameSize2);
}

void Analyzer::createSpectrum() {
    assignBins();
    scala.chromaticScaleSums(0, 127);
}

} // namespace SPECTRO
