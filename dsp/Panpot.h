#pragma once
#include "dsp/Interpolator2.h"

#include <cstdint>

// Panorama with its pan law, in place: -1 full left, 0 centre, 1 full right.
// The channel panned away from is folded into the other, which is attenuated
// to 0.6 at the extreme.
class Panpot {
public:
    Panpot() { setInitialValue(0); }

    void reset() { setInitialValue(0); }
    // Accepted within -1..1 only (a NaN is rejected); jumps, never ramps.
    void setInitialValue(float v);
    // `smoothed` non-zero selects the per-frame form; the kernel passes 0.
    void setValue(float v, int64_t smoothed);
    float getValue() const { return fPan; }

    void processBuffer(float* left, float* right, int64_t frames);
    void processBuffer_unsmoothed(float* left, float* right, int64_t frames);
    void processBuffer_smoothed(float* left, float* right, int64_t frames);

private:
    Interpolator2 interp;
    float fPan = 0;
    int64_t lSmoothed = 0;
};
