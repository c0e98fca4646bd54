#pragma once
// The easing curves: pure functions from the frame number of a tween to its value.
// currentFrame: frames done; sourceValue: start value; amount: destination minus
// source; numFrames: length of the tween. Single-precision arithmetic in a fixed
// order (the library is built with -ffp-contract=off), so results are the same
// on every machine. No curve clamps its input; numFrames <= 0 gives whatever
// IEEE division gives.
#include "animation/EnumEasing.h"

#include <cstdint>

namespace vyk::easing {

using Curve = float (*)(std::int64_t currentFrame, float sourceValue, float amount, std::int64_t numFrames);

// The curve of the same name as `type`; the linear one for EASING_easeLast and
// any value the enumeration does not name.
Curve curveFor(EnumEasing type);

float easeNone(std::int64_t currentFrame, float sourceValue, float amount, std::int64_t numFrames);

#define VYK_EASING_FAMILY(F)                                                                                           \
    float easeIn##F(std::int64_t currentFrame, float sourceValue, float amount, std::int64_t numFrames);               \
    float easeOut##F(std::int64_t currentFrame, float sourceValue, float amount, std::int64_t numFrames);              \
    float easeInOut##F(std::int64_t currentFrame, float sourceValue, float amount, std::int64_t numFrames);            \
    float easeOutIn##F(std::int64_t currentFrame, float sourceValue, float amount, std::int64_t numFrames);
VYK_EASING_FAMILY(Quad)
VYK_EASING_FAMILY(Cubic)
VYK_EASING_FAMILY(Quart)
VYK_EASING_FAMILY(Quint)
VYK_EASING_FAMILY(Sine)
VYK_EASING_FAMILY(Expo)
VYK_EASING_FAMILY(Circ)
VYK_EASING_FAMILY(Elastic)
VYK_EASING_FAMILY(Back)
VYK_EASING_FAMILY(Bounce)
#undef VYK_EASING_FAMILY

} // namespace vyk::easing
