#include "dsp/StereoProcessor.h"

void StereoProcessor::setValue(float v) {
    if (v < -1)
        v = -1;
    else if (v > 1)
        v = 1;
    else if (v != v)
        v = 0;
    fAdjust = v;
}

void StereoProcessor::processBufferInpalce(float* __restrict left, float* __restrict right, int64_t frames) {
    const float a = fAdjust;
    if (a < 0) {
        const float k = getAbsVal(a);
        const float keep = 1 - k;
        for (int64_t i = 0; i < frames; ++i) {
            const float m = (left[i] + right[i]) * 0.5f * k;
            left[i] = m + left[i] * keep;
            right[i] = m + right[i] * keep;
        }
    } else if (a > 0) {
        for (int64_t i = 0; i < frames; ++i) {
            const float s = (left[i] - right[i]) * 0.5f;
            left[i] = left[i] + s * a;
            right[i] = right[i] + (-s) * a;
        }
    }
}
