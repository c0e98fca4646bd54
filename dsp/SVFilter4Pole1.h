#pragma once
#include "dsp/Modulator.h"

// State-variable filter giving the low-pass or high-pass part of its input.
// The cutoff is a normalised position 0..1 mapped through
// Modulator::getValueFrequencyScaled (about 9 Hz to 8 kHz at 48 kHz; the
// coefficients do not depend on the sample rate). It runs three identical
// stages fed the same half-scaled input; as they start from the same state
// with the same coefficients they stay identical, so one is computed.
// Coefficients change only in setCutoff/reset, never while processing.
class SVFilter4Pole1 {
public:
    SVFilter4Pole1() { init(); }

    void init() { reset(); }
    // Zeroes the state and goes back to cutoff 0.5, resonance 0.
    void reset();
    // Stored only.
    void setSamplerate(float sr) { fSamplerate = sr; }
    void setCutoff(float c);

    // One sample in place.
    void processSampleLP(float* x);
    void processSampleHP(float* x);
    // *out = filtered *in, then *rest = *in - *out; in and rest may be the same.
    void processSampleLP(const float* in, float* out, float* rest);
    void processSampleHP(const float* in, float* out, float* rest);
    void processBufferLP(const float* in, float* out, float* rest, int frames);
    void processBufferHP(const float* in, float* out, float* rest, int frames);

    float getCutoff() const { return fCutoff; }
    float getCf() const { return cf; }
    float getCq() const { return cq; }
    float getBooster() const { return booster; }
    float getSamplerate() const { return fSamplerate; }

private:
    friend class BandSplitFilter3;

    struct Output {
        float low;
        float high;
    };
    // One stage step on the state (band, low); shared with the splitter's fused loop.
    static Output step(float x, float cf, float cq, float& band, float& low) {
        const float h = 0.5f * x;
        const float lo = low + cf * band;
        const float hi = h - lo - cq * band;
        band = cf * hi + band;
        low = lo;
        return {lo, hi};
    }
    // The buffer loop of processBufferLP (High false) and processBufferHP (High true).
    template <bool High>
    void processBuffer(const float* in, float* out, float* rest, int frames);
    void processParameters();
    // A state made non-finite by the input starts again from rest.
    void recoverState();

    Modulator modulator; // its construction builds the coefficient table
    float fSamplerate = 48000;
    float fCutoff = 0.5f;
    float fResonance = 0;
    float cutoff = 0;
    float resonance = 0;
    float booster = 0;
    float cf = 0;
    float cq = 0;
    float band = 0; // band state of every stage
    float low = 0;  // low state of every stage
};
