#pragma once
// Imposes the chromatic spectral profile of one signal on another: the first
// is analysed and sorted into the tones of its own scale, the per-note
// averages weight the second signal's spectrum, and the result is
// resynthesised in place of the second signal.
//
// Known defects, kept as the established behaviour: a bin's tone index is used
// as the note index (each bin takes the weight of the tone three semitones
// higher); the mirror slot is N-1-j instead of N-j; real and imaginary parts
// are multiplied separately, not as complex numbers.
// A library class: nothing in the system constructs one.
// Thread rules: one thread per instance; analysis allocates bin records.
#include <vector>

#include "dsp/spectro/FFTBase.h"
#include "dsp/spectro/Scala.h"

namespace SPECTRO {

class CrossModulator : public FFTBase {
public:
    CrossModulator(int size, int overlap, float samplerate);

    void init() override;
    void clear() override;
    void process(float*, int) override {}
    void onBufferReady() override;
    void onAnalysis(float* freq, float* mag) override;
    void onComplex(float* c) override;

    // The notes low <= n < high whose sums are accumulated (kept within 0..137).
    virtual void setRange(int low, int high);
    virtual void setAmount(float a) { amount = a; }
    virtual float getAmount() { return amount; }
    // Analyses a; b is replaced by the result.
    virtual void process(float* a, float* b, int n);
    virtual void crossmodulate();
    virtual void createChromaticBands();

    Scala& getScala() { return scala; }
    int getFrameCounter() const { return frameCounter; }

protected:
    float amount = 1.0f;
    int32_t rangeLow = 0;
    int32_t rangeHigh = 127;
    DynaBuffer modulatorWave;
    DynaBuffer modulatorComplex;
    Scala scala;
    int32_t frameCounter = 0;
    std::vector<int32_t> chromaticMap;
};

} // namespace SPECTRO
