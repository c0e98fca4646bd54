#pragma once
#include "dsp/RampStep.h"

#include <cstdint>

// The light value ramp (no callback) used inside Panpot, the filters and the
// spectral classes: starts at 0.5, and a step below 1e-4 jumps at once.
// Otherwise behaves as Interpolator. Used by one thread at a time.
class Interpolator2 {
public:
    Interpolator2() { setInitialValue(0.5f); }

    void setInitialValue(float v);
    void setDestinationValue(float v, int64_t time);
    float getValue();

private:
    float destinationValue = 0;
    float currentValue = 0;
    float increase = 0;
};

inline float Interpolator2::getValue() {
    stepRamp(currentValue, increase, destinationValue);
    return currentValue;
}
