#pragma once
// Hands one band's analysis snapshots (both channels of its last ring turn) from the
// render thread to the display without a lock: a triple buffer. The writer fills its
// back slot and swaps it with the middle one; the reader swaps the middle slot into
// its front slot when a fresh one is there. Neither ever waits, the writer never
// touches the slot the reader holds, and a reader always sees both channels of one turn.
// Thread rules: publish and clear on the render thread (clear also on a configuring
// thread while no render runs); take, left, right and isFresh on one reader thread.
#include <atomic>
#include <cstdint>

class DSPKernelSnapshot {
public:
    static constexpr int kFrames = 1024;

    DSPKernelSnapshot();
    DSPKernelSnapshot(const DSPKernelSnapshot&) = delete;
    DSPKernelSnapshot& operator=(const DSPKernelSnapshot&) = delete;

    // Copies up to kFrames frames of each non-null channel into the back slot and makes
    // it the newest snapshot, marked with the writer's `tag`.
    void publish(const float* left, const float* right, int frames, std::uint32_t tag = 0);
    // Makes a silent snapshot the newest, without marking it fresh.
    void clear();

    // True while a snapshot newer than the held one waits.
    bool isFresh() const;
    // Takes the newest complete snapshot if there is one; the held one stays otherwise.
    void take();
    // Channels of the held snapshot: kFrames floats each, oldest first, unchanged until
    // the next take(). The storage lives as long as this object.
    const float* left() const { return slots_[front_][0]; }
    const float* right() const { return slots_[front_][1]; }
    // The tag the held snapshot was published with (that of a silent one is kept).
    std::uint32_t tag() const { return tags_[front_]; }

private:
    static constexpr std::uint8_t kFreshBit = 0x4;
    static constexpr std::uint8_t kIndexMask = 0x3;

    void swapBack();

    alignas(64) float slots_[3][2][kFrames];
    std::uint32_t tags_[3]{};
    std::atomic<std::uint8_t> middle_{1};
    std::uint8_t back_ = 2;  // the writer's slot
    std::uint8_t front_ = 0; // the reader's slot
};
