#pragma once
#include <cstddef>

// Zero-filled float storage aligned for SIMD, released with releaseFloats.
// Null when n <= 0 or the allocation fails. Never call on the render thread.
namespace vyk::dsp {

float* allocateFloats(int n);
void releaseFloats(float* p);

} // namespace vyk::dsp
