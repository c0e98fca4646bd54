#pragma once
// Resynthesises each frame as a sum of narrow bands: for a geometric series
// of periods between those of 880 Hz and 110 Hz it keeps the bins within
// +-10 % of each period's fundamental, weights them with a Gaussian (Morlet
// type) window, transforms each band back and adds it to the output.
// Each band's resynthesis moves the shared overlap-add accumulator by one hop
// (so bands are not time-aligned), and costs one inverse FFT: experimental,
// for offline use. A library class: nothing in the system constructs one.
// Thread rules: one thread per instance.
#include "dsp/spectro/FFTBase.h"

namespace SPECTRO {

class SuperSpectro : public FFTBase {
public:
    SuperSpectro(int size, int overlap, float samplerate);

    void process(float* io, int n) override;
    void doOutput(float* out) override; // adds instead of copying
    void init() override;
    void clear() override;
    void onBufferReady() override;
    void onComplex(float*) override {}
    // complex2buffer into `output`; the period is not used.
    virtual void complex2buffer2(float* c, float period);

    // sqrt(s f0) 1.88279... exp(-(2 pi x s f0 - 2 pi f0)^2 / 2); the 2 pi f0
    // term is fixed by the first call in the process.
    static float wavelet(float x, float s, float f0);

protected:
    DynaBuffer bandBuffer;
};

} // namespace SPECTRO
