#pragma once
// A fixed-size single-producer single-consumer queue of pointers. Neither side
// allocates, locks or waits, so either side may be the render thread.
#include <array>
#include <atomic>
#include <cstddef>

namespace avf {

template <typename T, std::size_t Capacity>
class SpscRing {
    static_assert((Capacity & (Capacity - 1)) == 0, "a power of two");

public:
    // Producer only. False when full.
    bool push(T* item) {
        const std::size_t tail = tail_.load(std::memory_order_relaxed);
        if (tail - head_.load(std::memory_order_acquire) == Capacity) return false;
        slots_[tail & (Capacity - 1)] = item;
        tail_.store(tail + 1, std::memory_order_release);
        return true;
    }
    // Consumer only. Null when empty.
    T* pop() {
        const std::size_t head = head_.load(std::memory_order_relaxed);
        if (head == tail_.load(std::memory_order_acquire)) return nullptr;
        T* item = slots_[head & (Capacity - 1)];
        head_.store(head + 1, std::memory_order_release);
        return item;
    }

private:
    std::array<T*, Capacity> slots_{};
    alignas(64) std::atomic<std::size_t> head_{0};
    alignas(64) std::atomic<std::size_t> tail_{0};
};

} // namespace avf
