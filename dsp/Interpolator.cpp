#include "dsp/Interpolator.h"
#include "dsp/RampStep.h"

#include <cmath>

Interpolator::Interpolator() { setInitialValue(0); }

void Interpolator::reset() {
    increase = 0;
    setInitialValue(0);
}

void Interpolator::setInitialValue(float v) {
    if (!std::isfinite(v)) return;
    currentValue = destinationValue = v;
}

void Interpolator::setDestinationValue(float v, int64_t steps) {
    if (v == destinationValue || !std::isfinite(v)) return;
    const int64_t time = steps < 1 ? 1 : steps;
    destinationValue = v;
    increase = v - currentValue;
    if (getAbsVal(increase) < 0.000001f) {
        currentValue = v;
        increase = 0;
    } else {
        // |increase| >= 1e-6 and time < 2^63 keep the step a normal float.
        increase = increase / static_cast<float>(time);
    }
}

float Interpolator::getValue(int id) {
    if (stepRamp(currentValue, increase, destinationValue) && event) event(callee, this, id);
    return currentValue;
}
