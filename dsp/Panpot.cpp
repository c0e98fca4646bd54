#include "dsp/Panpot.h"

namespace {

void panLeft(float& left, float& right, float p) {
    left = left + right * (-p);
    left = left * (1 + p * 0.4f);
    right = right * (1 + p);
}

void panRight(float& left, float& right, float p) {
    right = right + left * p;
    right = right * (1 - p * 0.4f);
    left = left * (1 - p);
}

} // namespace

void Panpot::setInitialValue(float v) {
    if (v >= -1 && v <= 1) {
        fPan = v;
        interp.setInitialValue(v);
    }
}

void Panpot::setValue(float v, int64_t smoothed) {
    lSmoothed = smoothed;
    setInitialValue(v);
}

void Panpot::processBuffer(float* left, float* right, int64_t frames) {
    if (lSmoothed)
        processBuffer_smoothed(left, right, frames);
    else
        processBuffer_unsmoothed(left, right, frames);
}

void Panpot::processBuffer_unsmoothed(float* __restrict left, float* __restrict right, int64_t frames) {
    const float p = fPan;
    if (p < 0) {
        for (int64_t i = 0; i < frames; ++i) panLeft(left[i], right[i], p);
    } else if (p > 0) {
        for (int64_t i = 0; i < frames; ++i) panRight(left[i], right[i], p);
    }
}

void Panpot::processBuffer_smoothed(float* __restrict left, float* __restrict right, int64_t frames) {
    for (int64_t i = 0; i < frames; ++i) {
        const float p = interp.getValue();
        if (p < 0)
            panLeft(left[i], right[i], p);
        else
            panRight(left[i], right[i], p);
    }
}
