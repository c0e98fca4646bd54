#pragma once
#include <cstdint>

// Stereo width in place: 0 leaves the signal untouched, negative values narrow
// the image toward mono (-1 is mono), positive values widen it (1 doubles the
// side signal).
class StereoProcessor {
public:
    StereoProcessor() = default;
    virtual ~StereoProcessor() = default;

    void reset() { fAdjust = 0; }
    // Clamped to -1..1; a NaN counts as 0.
    void setValue(float v);
    float getValue() const { return fAdjust; }
    void processBufferInpalce(float* left, float* right, int64_t frames);

    static float getAbsVal(float v) { return v >= 0 ? v : -v; }

private:
    float fAdjust = 0;
};
