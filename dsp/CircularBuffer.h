#pragma once
#include "dsp/DynaBuffer.h"

// One channel used as a ring. When the frame after a full turn arrives,
// onBufferReady() runs before that frame is stored at index 0.
// Render thread: processBuffer, processBufferEx (no allocation).
class CircularBuffer : public DynaBuffer {
public:
    CircularBuffer() : DynaBuffer(0) { pos = size; }

    // Clears the ring; the next frame notifies.
    virtual void reset();
    // Places the next turn's end d frames ahead; ignored outside 0..size.
    virtual void setInitialDelay(int d);
    // Writes the frames into the ring.
    virtual void processBuffer(float* buffer, int frames);
    // Exchanges the frames with the ring: each frame comes back size frames later.
    virtual void processBufferEx(float* buffer, int frames);
    virtual void onBufferReady() {}

    int getPosition() const { return pos; }

protected:
    int pos = 0; // index of the next frame

private:
    // Stores the frames into the ring, handing back what it held when exchanging.
    template <bool exchange>
    void run(float* buffer, int frames);
};
