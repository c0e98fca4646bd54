#pragma once

// One channel of heap floats (64-byte aligned). Storage is obtained only by
// the constructor, allocate/ensure and readjust, never by the ring operations
// of derived classes. Not copyable.
class DynaBuffer {
public:
    explicit DynaBuffer(int n = 0);
    virtual ~DynaBuffer();
    DynaBuffer(const DynaBuffer&) = delete;
    DynaBuffer& operator=(const DynaBuffer&) = delete;

    virtual float* getBuffer() { return data; }
    virtual int getSize() { return size; }
    virtual float* ensure(int n) { return allocate(n); }
    // Grows only (new storage is zeroed); n <= 0 empties; a smaller n is ignored.
    virtual float* allocate(int n);
    // Resizes up or down; new storage is zeroed; n <= 0 empties.
    virtual float* readjust(int n);
    virtual void clear();
    virtual void free();

    float& operator[](int i) { return data[i]; }

protected:
    int size = 0; // floats held; non-zero only while data is non-null
    float* data = nullptr;

private:
    float* replace(int n);
};
