#pragma once
// Shifts the pitch of a mono stream by a ratio with the phase vocoder: each
// analysed frame's bins are re-mapped, their true frequencies scaled, and the
// frame resynthesised with running phases. A ratio of exactly 1 switches
// processing off (no latency) and freezes the state; switching on again
// continues from it.
// A library class: nothing in the system constructs one.
// Thread rules: one thread per instance.
#include "dsp/Interpolator2.h"
#include "dsp/spectro/FFTBase.h"

namespace SPECTRO {

class PitchShifter : public FFTBase {
public:
    PitchShifter(int size, int overlap, float samplerate);

    using FFTBase::onComplex;
    void setSamplerate(float samplerate) override;
    void init() override;
    void process(float* io, int n) override;
    void onBufferReady() override;
    void onAnalysis(float* freq, float* mag) override;

    // Glides to s over 12 analysed frames; a non-finite ratio is ignored.
    virtual void setShift(float s);
    virtual float getShift() { return shift; }
    virtual void onComplex() {}
    virtual void shiftPitch();

    // Shifted components above this frequency are dropped (half the sample
    // rate unless set).
    void setFrequencyLimit(float hz) { frequencyLimit = hz; }

protected:
    float shift = 1.0f;
    Interpolator2 shiftSmoother;
    DynaBuffer shiftedFrequencies;
    DynaBuffer shiftedMagnitudes;
    DynaBuffer phaseSums;
    float frequencyLimit;
};

} // namespace SPECTRO
