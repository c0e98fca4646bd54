#pragma once
#include "dsp/CircularBuffer.h"

// A mono delay line whose length can change while it runs: a request is
// stored at once and takes effect at the next wrap, where slot 0 is seeded
// with the previous input so the line is cut or extended without a jump.
// Lengths are limited to the storage allocated at construction (1024), so
// processing never allocates; the last input is carried across calls.
// Render thread: processBuffer, processBufferEx.
class Latency final : public CircularBuffer {
public:
    Latency();

    // Requests the length n (below 1 gives 1, above the storage the storage length).
    void setSize(int n);
    // The requested length (not the active one, not the storage length).
    int getSize() override { return lNewSize; }
    int getActiveSize() const { return lSize; }

    // True while the active and requested lengths are both 1: the line then only carries
    // the last frame of each block into the next one.
    bool isOneFrame() const { return lSize == 1 && lNewSize == 1 && size >= 1 && data; }
    // For a one-frame line and a block of at least one frame whose last frame is `last`:
    // what processBufferEx does to the line's state, without shifting the block. Returns
    // the frame the block's first frame becomes.
    float exchangeCarry(float last);

    void reset() override;
    void processBuffer(float* buffer, int frames) override;
    // The buffer comes back delayed by the active length.
    void processBufferEx(float* buffer, int frames) override;

private:
    template <bool exchange>
    void run(float* buffer, int frames);

    int lSize = 1024;
    int lNewSize = 1024;
    float lastInput = 0;
};
