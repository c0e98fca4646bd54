#include "dsp/NoiseOscillator.h"

#include <algorithm>

NoiseOscillator::NoiseOscillator() {
    init();
    setSamplerate(44100);
    setFrequency(fFrequency);
}

void NoiseOscillator::init() { noise = noise2 = last = inc = skip = 0; }

void NoiseOscillator::setSamplerate(float sr) {
    samplerate = sr;
    freq = fFrequency * sr;
    if (freq > samplerate) freq = samplerate;
    if (freq < 1) freq = 1;
}

void NoiseOscillator::setFrequency(float f) {
    fFrequency = f >= 0 ? std::min(f, 1.0f) : 0.0f;
    freq = fFrequency * samplerate;
}
