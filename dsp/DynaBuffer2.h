#pragma once

// Two channels (0 left, 1 right) of heap floats (64-byte aligned), with a
// capacity (dataSize) that may exceed the size in use. Not copyable.
// Other threads may read the channels while the render thread writes them;
// such readers must tolerate data being overwritten.
class DynaBuffer2 {
public:
    explicit DynaBuffer2(int n = 0);
    virtual ~DynaBuffer2();
    DynaBuffer2(const DynaBuffer2&) = delete;
    DynaBuffer2& operator=(const DynaBuffer2&) = delete;

    virtual float** getBuffers() { return data; }
    // Null for a channel other than 0 or 1.
    virtual float* getBuffer(int ch) { return ch == 0 || ch == 1 ? data[ch] : nullptr; }
    virtual int getSize() { return size; }
    virtual float** ensure(int n) { return allocate(n); }
    virtual void clear();
    virtual void free();
    // Within the capacity only the size changes (contents kept, not cleared);
    // beyond it both channels are replaced by zeroed storage; n <= 0 empties.
    virtual float** allocate(int n);

protected:
    int size = 0;     // frames per channel in use
    int dataSize = 0; // frames per channel allocated
    float* data[2] = {nullptr, nullptr};
};
