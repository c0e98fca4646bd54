#pragma once
// The time of a render call. Only the sample time is read by the render road.
#include <cstdint>

struct AudioTimeStamp {
    double mSampleTime = 0.0;    // frames on the host's time line
    std::uint64_t mHostTime = 0; // host clock ticks
    std::uint32_t mFlags = 0;    // which of the fields are valid
};

constexpr std::uint32_t kAudioTimeStampSampleTimeValid = 1u << 0;
constexpr std::uint32_t kAudioTimeStampHostTimeValid = 1u << 1;
