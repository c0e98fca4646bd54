#include "dsp/DynaBuffer.h"

#include "dsp/AlignedFloats.h"

#include <cstring>

DynaBuffer::DynaBuffer(int n) {
    if (n != 0) allocate(n);
}

DynaBuffer::~DynaBuffer() { DynaBuffer::free(); }

float* DynaBuffer::replace(int n) {
    free();
    data = vyk::dsp::allocateFloats(n);
    if (data) size = n;
    return data;
}

float* DynaBuffer::allocate(int n) {
    if (n == size) return data;
    if (n <= 0)
        free();
    else if (n > size)
        replace(n);
    return data;
}

float* DynaBuffer::readjust(int n) {
    if (n == size) return data;
    if (n > 0)
        replace(n);
    else
        free();
    return data;
}

void DynaBuffer::clear() {
    if (data && size) std::memset(data, 0, static_cast<size_t>(size) * sizeof(float));
}

void DynaBuffer::free() {
    if (size) {
        vyk::dsp::releaseFloats(data);
        data = nullptr;
        size = 0;
    }
}
