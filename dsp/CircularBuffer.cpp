#include "dsp/CircularBuffer.h"

#include <algorithm>
#include <cstring>

void CircularBuffer::reset() {
    clear();
    pos = size;
}

void CircularBuffer::setInitialDelay(int d) {
    if (d >= 0 && d <= size) pos = size - d;
}

template <bool exchange>
void CircularBuffer::run(float* buffer, int frames) {
    if (!buffer || !data || size == 0) return;
    while (frames > 0) {
        if (pos >= size) {
            pos = 0;
            onBufferReady();
        }
        const int n = std::min(frames, size - pos);
        float* __restrict ring = data + pos;
        float* __restrict io = buffer;
        if constexpr (exchange) {
            for (int i = 0; i < n; ++i) {
                const float out = ring[i];
                ring[i] = io[i];
                io[i] = out;
            }
        } else {
            std::memcpy(ring, io, static_cast<size_t>(n) * sizeof(float));
        }
        pos += n;
        buffer += n;
        frames -= n;
    }
}

void CircularBuffer::processBuffer(float* buffer, int frames) { run<false>(buffer, frames); }

void CircularBuffer::processBufferEx(float* buffer, int frames) { run<true>(buffer, frames); }
