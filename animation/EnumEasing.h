#pragma once
// The easing kinds an Animator can follow: the linear curve, then ten families
// in the order In, Out, InOut, OutIn, then the end marker. The raw value of a
// case is its position in this list.
#include <cstdint>
#include <optional>

namespace vyk {

enum class EnumEasing : std::int64_t {
    EASING_easeNone,
    EASING_easeInQuad,
    EASING_easeOutQuad,
    EASING_easeInOutQuad,
    EASING_easeOutInQuad,
    EASING_easeInCubic,
    EASING_easeOutCubic,
    EASING_easeInOutCubic,
    EASING_easeOutInCubic,
    EASING_easeInQuart,
    EASING_easeOutQuart,
    EASING_easeInOutQuart,
    EASING_easeOutInQuart,
    EASING_easeInQuint,
    EASING_easeOutQuint,
    EASING_easeInOutQuint,
    EASING_easeOutInQuint,
    EASING_easeInSine,
    EASING_easeOutSine,
    EASING_easeInOutSine,
    EASING_easeOutInSine,
    EASING_easeInExpo,
    EASING_easeOutExpo,
    EASING_easeInOutExpo,
    EASING_easeOutInExpo,
    EASING_easeInCirc,
    EASING_easeOutCirc,
    EASING_easeInOutCirc,
    EASING_easeOutInCirc,
    EASING_easeInElastic,
    EASING_easeOutElastic,
    EASING_easeInOutElastic,
    EASING_easeOutInElastic,
    EASING_easeInBack,
    EASING_easeOutBack,
    EASING_easeInOutBack,
    EASING_easeOutInBack,
    EASING_easeInBounce,
    EASING_easeOutBounce,
    EASING_easeInOutBounce,
    EASING_easeOutInBounce,
    EASING_easeLast, // end marker; names no curve (an Animator given it moves linearly)
};

inline std::int64_t rawValue(EnumEasing e) { return static_cast<std::int64_t>(e); }

// The case whose raw value is `raw`, or none outside 0 to 41.
inline std::optional<EnumEasing> easingFromRaw(std::int64_t raw) {
    if (raw < 0 || raw > rawValue(EnumEasing::EASING_easeLast)) return std::nullopt;
    return static_cast<EnumEasing>(raw);
}

} // namespace vyk
