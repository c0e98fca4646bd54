#pragma once
#include <cstdint>

// Phase inversion, channel swap, mono recovery and mono audition, in place on
// separate left and right arrays. A frame count of 0 or less does nothing.
class StereoTool {
public:
    // Negates every sample.
    void invert(float* buffer, int64_t frames);
    void swap(float* left, float* right, int64_t frames);
    // Adds fAmount * (left - right) / 2 to both channels (computed in double),
    // which moves the mid signal and keeps the side signal.
    void recoverMono(float* left, float* right, int64_t frames);
    // Writes (left + right) / 2 to both channels.
    void extractMono(float* left, float* right, int64_t frames);

    // Weight of recoverMono; the kernel sets it before each call.
    float fAmount = 0;
};
