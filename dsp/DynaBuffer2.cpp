#include "dsp/DynaBuffer2.h"

#include "dsp/AlignedFloats.h"

#include <cstring>

DynaBuffer2::DynaBuffer2(int n) {
    if (n != 0) allocate(n);
}

DynaBuffer2::~DynaBuffer2() { DynaBuffer2::free(); }

void DynaBuffer2::clear() {
    if (size <= 0) return;
    for (float* channel : data)
        if (channel) std::memset(channel, 0, static_cast<size_t>(size) * sizeof(float));
}

void DynaBuffer2::free() {
    // Keyed on the capacity, so a half-failed allocation is released too.
    if (dataSize == 0 && !data[0] && !data[1]) return;
    for (float*& channel : data) {
        vyk::dsp::releaseFloats(channel);
        channel = nullptr;
    }
    size = 0;
    dataSize = 0;
}

float** DynaBuffer2::allocate(int n) {
    if (n == size) return data;
    if (n <= 0) {
        free();
    } else if (n <= dataSize) {
        size = n;
    } else {
        free();
        data[0] = vyk::dsp::allocateFloats(n);
        data[1] = vyk::dsp::allocateFloats(n);
        if (data[0] && data[1])
            dataSize = size = n;
        else
            free();
    }
    return data;
}
