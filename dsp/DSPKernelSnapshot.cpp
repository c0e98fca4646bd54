#include "dsp/DSPKernelSnapshot.h"

#include <algorithm>
#include <cstring>

DSPKernelSnapshot::DSPKernelSnapshot() { std::memset(slots_, 0, sizeof slots_); }

void DSPKernelSnapshot::publish(const float* left, const float* right, int frames, std::uint32_t tag) {
    tags_[back_] = tag;
    const int n = std::clamp(frames, 0, kFrames);
    const float* source[2] = {left, right};
    for (int c = 0; c < 2; ++c)
        if (source[c] != nullptr) std::memcpy(slots_[back_][c], source[c], sizeof(float) * std::size_t(n));
    swapBack();
}

void DSPKernelSnapshot::clear() {
    std::memset(slots_[back_], 0, sizeof slots_[back_]);
    // Swapped in like a new turn, but the fresh mark stays as it was.
    std::uint8_t old = middle_.load(std::memory_order_relaxed);
    while (!middle_.compare_exchange_weak(old, std::uint8_t(back_ | (old & kFreshBit)), std::memory_order_acq_rel))
        ;
    back_ = old & kIndexMask;
}

void DSPKernelSnapshot::swapBack() {
    // Release publishes the slot's samples; acquire makes the reader's last reads of the
    // slot we get back happen before we overwrite it.
    back_ = middle_.exchange(std::uint8_t(back_ | kFreshBit), std::memory_order_acq_rel) & kIndexMask;
}

bool DSPKernelSnapshot::isFresh() const { return (middle_.load(std::memory_order_acquire) & kFreshBit) != 0; }

void DSPKernelSnapshot::take() {
    if (!isFresh()) return;
    front_ = middle_.exchange(front_, std::memory_order_acq_rel) & kIndexMask;
}
