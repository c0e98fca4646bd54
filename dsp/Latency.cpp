#include "dsp/Latency.h"

#include <algorithm>
#include <cstring>

Latency::Latency() {
    allocate(1024);
    pos = 0;
}

void Latency::setSize(int n) { lNewSize = std::max(1, std::min(n, size)); }

void Latency::reset() {
    CircularBuffer::reset();
    lastInput = 0;
}

template <bool exchange>
void Latency::run(float* buffer, int frames) {
    if (!buffer || !data || size == 0 || frames <= 0) return;
    // The storage may have been replaced by a smaller one since the lengths were set.
    lSize = std::min(lSize, size);
    lNewSize = std::min(lNewSize, size);
    while (frames > 0) {
        if (pos >= lSize) {
            pos = 0;
            onBufferReady();
            if (lSize != lNewSize) {
                lSize = lNewSize;
                data[0] = lastInput;
            }
        }
        if (lSize == 1 && lNewSize == 1) {
            // Every frame wraps: the output is the input shifted by one frame.
            const float last = buffer[frames - 1];
            if constexpr (exchange) {
                std::memmove(buffer + 1, buffer, static_cast<size_t>(frames - 1) * sizeof(float));
                buffer[0] = data[0];
            }
            data[0] = last;
            lastInput = last;
            pos = 1;
            return;
        }
        const int n = std::min(frames, lSize - pos);
        float* __restrict line = data + pos;
        float* __restrict io = buffer;
        for (int i = 0; i < n; ++i) {
            const float in = io[i];
            if constexpr (exchange) io[i] = line[i];
            line[i] = in;
        }
        lastInput = line[n - 1];
        pos += n;
        buffer += n;
        frames -= n;
    }
}

float Latency::exchangeCarry(float last) {
    // run<true>'s steps for this case: the wrap (the lengths agree), then the shift.
    if (pos >= lSize) {
        pos = 0;
        onBufferReady();
    }
    const float first = data[0];
    data[0] = last;
    lastInput = last;
    pos = 1;
    return first;
}

void Latency::processBuffer(float* buffer, int frames) { run<false>(buffer, frames); }

void Latency::processBufferEx(float* buffer, int frames) { run<true>(buffer, frames); }
