#include "dsp/Interpolator2.h"

#include <cmath>

void Interpolator2::setInitialValue(float v) {
    if (!std::isfinite(v)) return;
    currentValue = destinationValue = v;
}

void Interpolator2::setDestinationValue(float v, int64_t steps) {
    if (v == destinationValue || !std::isfinite(v)) return;
    const int64_t time = steps < 1 ? 1 : steps;
    destinationValue = v;
    increase = v - currentValue;
    if (std::fabs(increase) < 0.0001f) {
        currentValue = v;
        increase = 0;
    } else {
        // |increase| >= 1e-4 and time < 2^63 keep the step a normal float.
        increase = increase / static_cast<float>(time);
    }
}
