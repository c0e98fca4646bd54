#include "dsp/StereoTool.h"

void StereoTool::invert(float* __restrict buffer, int64_t frames) {
    for (int64_t i = 0; i < frames; ++i) buffer[i] = buffer[i] * -1.0f;
}

void StereoTool::swap(float* __restrict left, float* __restrict right, int64_t frames) {
    for (int64_t i = 0; i < frames; ++i) {
        const float l = left[i];
        left[i] = right[i];
        right[i] = l;
    }
}

void StereoTool::recoverMono(float* __restrict left, float* __restrict right, int64_t frames) {
    const double amount = fAmount;
    for (int64_t i = 0; i < frames; ++i) {
        const float d = static_cast<float>(static_cast<double>(left[i] - right[i]) * 0.5 * amount);
        left[i] = left[i] + d;
        right[i] = right[i] + d;
    }
}

void StereoTool::extractMono(float* __restrict left, float* __restrict right, int64_t frames) {
    for (int64_t i = 0; i < frames; ++i) {
        const float m = (left[i] + right[i]) * 0.5f;
        left[i] = m;
        right[i] = m;
    }
}
