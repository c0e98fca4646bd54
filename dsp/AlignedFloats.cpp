#include "dsp/AlignedFloats.h"

#include <cstdlib>
#include <cstring>

namespace vyk::dsp {

float* allocateFloats(int n) {
    if (n <= 0) return nullptr;
    void* p = nullptr;
    const size_t bytes = static_cast<size_t>(n) * sizeof(float);
    if (posix_memalign(&p, 64, bytes) != 0) return nullptr;
    std::memset(p, 0, bytes);
    return static_cast<float*>(p);
}

void releaseFloats(float* p) { std::free(p); }

} // namespace vyk::dsp
