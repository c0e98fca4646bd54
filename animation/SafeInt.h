#pragma once
// Integer conversions and frame arithmetic that cannot reach undefined behaviour:
// a float that is NaN or beyond the 64-bit range, or a product or difference that
// overflows, saturates instead (NaN gives 0).
#include <cmath>
#include <cstdint>
#include <limits>

namespace vyk {

// Truncates toward zero, like a plain cast does for values in range.
inline std::int64_t truncateToInt64(float f) {
    constexpr float two63 = 9223372036854775808.0f; // 2^63, exact in a float
    if (std::isnan(f)) return 0;
    if (f >= two63) return std::numeric_limits<std::int64_t>::max();
    if (f < -two63) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(f);
}

inline std::int64_t saturatingMul(std::int64_t a, std::int64_t b) {
    std::int64_t r;
    if (!__builtin_mul_overflow(a, b, &r)) return r;
    return (a < 0) != (b < 0) ? std::numeric_limits<std::int64_t>::min() : std::numeric_limits<std::int64_t>::max();
}

inline std::int64_t saturatingSub(std::int64_t a, std::int64_t b) {
    std::int64_t r;
    if (!__builtin_sub_overflow(a, b, &r)) return r;
    return b < 0 ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
}

inline std::int64_t saturatingAdd(std::int64_t a, std::int64_t b) {
    std::int64_t r;
    if (!__builtin_add_overflow(a, b, &r)) return r;
    return b < 0 ? std::numeric_limits<std::int64_t>::min() : std::numeric_limits<std::int64_t>::max();
}

} // namespace vyk
