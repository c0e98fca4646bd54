#include "dsp/CircularBuffer2.h"

#include <algorithm>

namespace {

// One segment of a ring operation on one channel; ring and io never overlap.
template <typename Step>
void segment(float* __restrict ring, float* __restrict io, int n, Step step) {
    for (int i = 0; i < n; ++i) step(ring[i], io[i]);
}

} // namespace

CircularBuffer2::CircularBuffer2() : DynaBuffer2(0) {
    allocate(1024);
    resampled.ensure(1024);
}

void CircularBuffer2::reset() {
    clear();
    resampled.clear();
    pos = 0;
    lastValueL = 0;
    lastValueR = 0;
}

void CircularBuffer2::setInitialDelay(int d) {
    if (d >= 0 && d <= size) pos = size - d;
}

template <CircularBuffer2::Op op>
void CircularBuffer2::run(float* left, float* right, int frames) {
    if (!left || !right || !usable()) return;
    walk(frames, [&](float* ringLeft, float* ringRight, int at, int n) {
        for (int ch = 0; ch < 2; ++ch) {
            float* ring = ch == 0 ? ringLeft : ringRight;
            float* io = (ch == 0 ? left : right) + at;
            if constexpr (op == Op::Input)
                segment(ring, io, n, [](float& r, float& x) { r = x; });
            else if constexpr (op == Op::Output)
                segment(ring, io, n, [](float& r, float& x) { x = r; });
            else if constexpr (op == Op::Exchange)
                segment(ring, io, n, [](float& r, float& x) {
                    const float old = r;
                    r = x;
                    x = old;
                });
            else
                segment(ring, io, n, [](float& r, float& x) {
                    const float old = r;
                    r = x;
                    x = x + old;
                });
        }
    });
}

void CircularBuffer2::processBufferInput(float* left, float* right, int frames) { run<Op::Input>(left, right, frames); }

void CircularBuffer2::processBufferOutput(float* left, float* right, int frames) {
    run<Op::Output>(left, right, frames);
}

void CircularBuffer2::processBufferEx(float* left, float* right, int frames) { run<Op::Exchange>(left, right, frames); }

void CircularBuffer2::processBufferAcc(float* left, float* right, int frames) {
    run<Op::Accumulate>(left, right, frames);
}

void CircularBuffer2::processBufferSilence(float* left, float* right, int frames) {
    if (!left || !right || size == 0) return;
    for (int i = 0; i < frames; ++i) {
        left[i] = 0;
        right[i] = 0;
    }
    if (frames > 0) pos += frames;
}

void CircularBuffer2::setResamplingSize(int n) {
    if (isResampler) resampled.ensure(n);
}

int CircularBuffer2::getResampledSize() { return isResampler ? resampled.getSize() : getSize(); }

void CircularBuffer2::onBufferReady() {
    if (onBuffer) onBuffer(callee);
}

float CircularBuffer2::calculateResamplingFactor() {
    const int n = resampled.getSize();
    return n == 0 ? 1.0f : static_cast<float>(size) / static_cast<float>(n);
}

void CircularBuffer2::resample() {
    if (!isResampler || !data[0] || !data[1]) return;
    const int n = resampled.getSize();
    float* outL = resampled.getBuffer(0);
    float* outR = resampled.getBuffer(1);
    if (n == 0 || !outL || !outR) return;
    if (n == size) {
        std::copy(data[0], data[0] + n, outL);
        std::copy(data[1], data[1] + n, outR);
        return;
    }
    const float factor = calculateResamplingFactor();
    for (int i = 0; i < n; ++i) {
        int j = static_cast<int>(factor * static_cast<float>(i));
        j = std::clamp(j, 0, size - 1);
        outL[i] = (data[0][j] + lastValueL) * 0.5f;
        outR[i] = (data[1][j] + lastValueR) * 0.5f;
        lastValueL = outL[i];
        lastValueR = outR[i];
    }
}
