#pragma once
#include <cstdint>

// Configuration of a noise source (seed, normalised frequency, rate); each
// Modulator carries one. It has no output operation.
class NoiseOscillator {
public:
    NoiseOscillator();

    // Zeroes the running state.
    void init();
    void setSamplerate(float sr);
    // Clamped to 0..1 (a NaN counts as 0).
    void setFrequency(float f);

    float getFrequency() const { return fFrequency; }
    float getSamplerate() const { return samplerate; }
    // fFrequency * samplerate, kept within 1..samplerate by setSamplerate.
    float getFrequencyHz() const { return freq; }
    uint32_t getSeed() const { return randseed; }

private:
    uint32_t randseed = 33333;
    float fFrequency = 1.0f;
    float samplerate = 44100;
    float freq = 44100;
    float noise = 0, noise2 = 0, last = 0, inc = 0, skip = 0;
};
