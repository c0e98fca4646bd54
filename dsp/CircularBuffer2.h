#pragma once
#include "dsp/DynaBuffer2.h"

#include <algorithm>

// A stereo ring (1024 frames from construction) with a ready notification:
// when the frame after a full turn arrives, onBufferReady() runs before that
// frame is stored at index 0, so the ring then holds the last `size` frames
// in time order from index 0. An optional resampler (off unless isResampler
// is set) fills `resampled` from the ring at each turn.
// Render thread: the processBuffer* operations (no allocation); the ready
// callback runs there, in the middle of the operation.
class CircularBuffer2 : public DynaBuffer2 {
public:
    using ReadyFunction = void (*)(void* callee);

    CircularBuffer2();

    // Clears the ring and the resampled copy and rewinds to index 0.
    virtual void reset();
    // Places the next turn's end d frames ahead; ignored outside 0..size.
    virtual void setInitialDelay(int d);
    // ring := input
    virtual void processBufferInput(float* left, float* right, int frames);
    // output := ring
    virtual void processBufferOutput(float* left, float* right, int frames);
    // output := 0; advances the position without touching the ring, wrapping or notifying.
    virtual void processBufferSilence(float* left, float* right, int frames);
    // output := ring, ring := input: the signal comes back `size` frames later.
    virtual void processBufferEx(float* left, float* right, int frames);
    // ring := input, output := input + old ring
    virtual void processBufferAcc(float* left, float* right, int frames);
    virtual void setResamplingSize(int n);
    virtual int getResampledSize();
    // Calls onBuffer(callee) when onBuffer is set.
    virtual void onBufferReady();

    float calculateResamplingFactor();
    void resample();

    // True when there is storage to step through (the processBuffer* calls do nothing otherwise).
    bool usable() const { return size > 0 && data[0] && data[1]; }
    // Steps the position through the next `frames` frames in segments that end at the
    // turn's end, wrapping and notifying where the frame-by-frame ring step does, and
    // calls segment(ringLeft, ringRight, offset, n) for each: frames offset..offset+n-1
    // belong at ringLeft[0..n-1] and ringRight[0..n-1]. Needs usable().
    template <typename Segment>
    void walk(int frames, Segment&& segment);
    // What processBufferEx would hand back for the next `frames` frames (at most the size,
    // so all of it is in the ring before they arrive), without stepping: calls
    // segment(ringLeft, ringRight, offset, n) for the one or two stretches. Needs usable().
    template <typename Segment>
    void peek(int frames, Segment&& segment) const;

    DynaBuffer2& getResampled() { return resampled; }
    int getPosition() const { return pos; }

    // Set by the owner before rendering starts.
    ReadyFunction onBuffer = nullptr;
    void* callee = nullptr;
    bool isResampler = false;

private:
    enum class Op { Input, Output, Exchange, Accumulate };
    template <Op op>
    void run(float* left, float* right, int frames);

    int pos = 0;
    float lastValueL = 0;
    float lastValueR = 0;
    DynaBuffer2 resampled;
};

template <typename Segment>
void CircularBuffer2::walk(int frames, Segment&& segment) {
    for (int done = 0; done < frames;) {
        if (pos >= size) {
            pos = 0;
            if (isResampler && calculateResamplingFactor() != 1) resample();
            onBufferReady();
        }
        const int n = std::min(frames - done, size - pos);
        segment(data[0] + pos, data[1] + pos, done, n);
        pos += n;
        done += n;
    }
}

template <typename Segment>
void CircularBuffer2::peek(int frames, Segment&& segment) const {
    const int at = pos >= size ? 0 : pos;
    const int n = std::min(frames, size - at);
    segment(data[0] + at, data[1] + at, 0, n);
    if (frames > n) segment(data[0], data[1], n, std::min(frames, size) - n);
}
