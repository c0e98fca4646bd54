#include "animation/Easing.h"

#include "animation/SafeInt.h"

#include <cmath>
#include <iterator>
#include <numbers>

namespace vyk::easing {
namespace {

// The float nearest to pi.
constexpr float pi = std::numbers::pi_v<float>;

// Back overshoot s and s + 1; for InOut both scaled by 1.525.
constexpr float backS = 1.70158f;
constexpr float backS1 = 2.70158f;
constexpr float backInOutS = 2.5949094f;
constexpr float backInOutS1 = 3.5949094f;

// Elastic periods: 0.3 of the length, and the float product 0.3 x 1.5 for InOut.
constexpr float elasticPeriod = 0.3f;
constexpr float elasticInOutPeriod = 0.3f * 1.5f;

float frame(std::int64_t i) { return static_cast<float>(i); }

// The OutIn form of a family: its Out form over the first half (chosen with
// integer division), its In form over the second.
float outIn(Curve out, Curve in, std::int64_t t, float b, float c, std::int64_t d) {
    if (t < d / 2) return out(saturatingMul(t, 2), b, c / 2, d);
    return in(saturatingSub(saturatingMul(t, 2), d), b + c / 2, c / 2, d);
}

} // namespace

float easeNone(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float t = frame(currentFrame), d = frame(numFrames);
    return c * t / d + b;
}

// Quad

float easeInQuad(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float u = frame(currentFrame) / frame(numFrames);
    return c * u * u + b;
}

float easeOutQuad(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float u = frame(currentFrame) / frame(numFrames);
    return -c * u * (u - 2) + b;
}

float easeInOutQuad(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float u = frame(currentFrame) / (frame(numFrames) / 2);
    if (u < 1) return c / 2 * u * u + b;
    const float v = u - 1;
    return -c / 2 * (v * (v - 2) - 1) + b;
}

float easeOutInQuad(std::int64_t t, float b, float c, std::int64_t d) {
    return outIn(easeOutQuad, easeInQuad, t, b, c, d);
}

// Cubic

float easeInCubic(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float u = frame(currentFrame) / frame(numFrames);
    return c * u * u * u + b;
}

float easeOutCubic(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float v = frame(currentFrame) / frame(numFrames) - 1;
    return c * (v * v * v + 1) + b;
}

float easeInOutCubic(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float u = frame(currentFrame) / (frame(numFrames) / 2);
    if (u < 1) return c / 2 * u * u * u + b;
    const float v = u - 2;
    return c / 2 * (v * v * v + 2) + b;
}

float easeOutInCubic(std::int64_t t, float b, float c, std::int64_t d) {
    return outIn(easeOutCubic, easeInCubic, t, b, c, d);
}

// Quart

float easeInQuart(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float u = frame(currentFrame) / frame(numFrames);
    return c * u * u * u * u + b;
}

float easeOutQuart(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float v = frame(currentFrame) / frame(numFrames) - 1;
    return -c * (v * v * v * v - 1) + b;
}

float easeInOutQuart(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float u = frame(currentFrame) / (frame(numFrames) / 2);
    if (u < 1) return c / 2 * u * u * u * u + b;
    const float v = u - 2;
    return -c / 2 * (v * v * v * v - 2) + b;
}

float easeOutInQuart(std::int64_t t, float b, float c, std::int64_t d) {
    return outIn(easeOutQuart, easeInQuart, t, b, c, d);
}

// Quint

float easeInQuint(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float u = frame(currentFrame) / frame(numFrames);
    return c * u * u * u * u * u + b;
}

float easeOutQuint(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float v = frame(currentFrame) / frame(numFrames) - 1;
    return c * (v * v * v * v * v + 1) + b;
}

float easeInOutQuint(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float u = frame(currentFrame) / (frame(numFrames) / 2);
    if (u < 1) return c / 2 * u * u * u * u * u + b;
    const float v = u - 2;
    return c / 2 * (v * v * v * v * v + 2) + b;
}

float easeOutInQuint(std::int64_t t, float b, float c, std::int64_t d) {
    return outIn(easeOutQuint, easeInQuint, t, b, c, d);
}

// Sine

float easeInSine(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float u = frame(currentFrame) / frame(numFrames);
    return -c * std::cos(u * pi / 2) + c + b;
}

float easeOutSine(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float u = frame(currentFrame) / frame(numFrames);
    return c * std::sin(u * pi / 2) + b;
}

float easeInOutSine(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float t = frame(currentFrame), d = frame(numFrames);
    return -c / 2 * (std::cos(pi * t / d) - 1) + b;
}

float easeOutInSine(std::int64_t t, float b, float c, std::int64_t d) {
    return outIn(easeOutSine, easeInSine, t, b, c, d);
}

// Expo

float easeInExpo(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float t = frame(currentFrame), d = frame(numFrames);
    if (t == 0) return b;
    const float u = t / d;
    return c * std::pow(2.0f, 10 * (u - 1)) + b;
}

float easeOutExpo(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float t = frame(currentFrame), d = frame(numFrames);
    if (t == d) return b + c;
    return c * (-std::pow(2.0f, -10 * t / d) + 1) + b;
}

float easeInOutExpo(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float t = frame(currentFrame), d = frame(numFrames);
    if (t == 0) return b;
    if (t == d) return b + c;
    const float u = t / (d / 2);
    if (u < 1) return c / 2 * std::pow(2.0f, 10 * (u - 1)) + b;
    const float v = u - 1;
    return c / 2 * (-std::pow(2.0f, -10 * v) + 2) + b;
}

float easeOutInExpo(std::int64_t t, float b, float c, std::int64_t d) {
    return outIn(easeOutExpo, easeInExpo, t, b, c, d);
}

// Circ

float easeInCirc(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float u = frame(currentFrame) / frame(numFrames);
    return -c * (std::sqrt(1 - u * u) - 1) + b;
}

float easeOutCirc(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float v = frame(currentFrame) / frame(numFrames) - 1;
    return c * std::sqrt(1 - v * v) + b;
}

float easeInOutCirc(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float u = frame(currentFrame) / (frame(numFrames) / 2);
    if (u < 1) return -c / 2 * (std::sqrt(1 - u * u) - 1) + b;
    const float v = u - 2;
    return c / 2 * (std::sqrt(1 - v * v) + 1) + b;
}

float easeOutInCirc(std::int64_t t, float b, float c, std::int64_t d) {
    return outIn(easeOutCirc, easeInCirc, t, b, c, d);
}

// Elastic: a damped sine whose amplitude is the amount itself.

float easeInElastic(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float t = frame(currentFrame), d = frame(numFrames);
    if (t == 0) return b;
    const float u = t / d;
    if (u == 1) return b + c;
    const float p = d * elasticPeriod, a = c, s = p / 4, v = u - 1;
    return -(a * std::pow(2.0f, 10 * v) * std::sin((v * d - s) * (2 * pi) / p)) + b;
}

float easeOutElastic(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float t = frame(currentFrame), d = frame(numFrames);
    if (t == 0) return b;
    const float u = t / d;
    if (u == 1) return b + c;
    const float p = d * elasticPeriod, a = c, s = p / 4;
    return a * std::pow(2.0f, -10 * u) * std::sin((u * d - s) * (2 * pi) / p) + c + b;
}

float easeInOutElastic(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float t = frame(currentFrame), d = frame(numFrames);
    if (t == 0) return b;
    const float u = t / (d / 2);
    if (u == 2) return b + c;
    const float p = d * elasticInOutPeriod, a = c, s = p / 4, v = u - 1;
    if (u < 1) return -0.5f * (a * std::pow(2.0f, 10 * v) * std::sin((v * d - s) * 2 * pi / p)) + b;
    return a * std::pow(2.0f, -10 * v) * std::sin((v * d - s) * 2 * pi / p) * 0.5f + c + b;
}

float easeOutInElastic(std::int64_t t, float b, float c, std::int64_t d) {
    return outIn(easeOutElastic, easeInElastic, t, b, c, d);
}

// Back: overshoots the range.

float easeInBack(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float u = frame(currentFrame) / frame(numFrames);
    return c * u * u * (backS1 * u - backS) + b;
}

float easeOutBack(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float v = frame(currentFrame) / frame(numFrames) - 1;
    return c * (v * v * (backS1 * v + backS) + 1) + b;
}

float easeInOutBack(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float u = frame(currentFrame) / (frame(numFrames) / 2);
    if (u < 1) return c / 2 * (u * u * (backInOutS1 * u - backInOutS)) + b;
    const float v = u - 2;
    return c / 2 * (v * v * (backInOutS1 * v + backInOutS) + 2) + b;
}

float easeOutInBack(std::int64_t t, float b, float c, std::int64_t d) {
    return outIn(easeOutBack, easeInBack, t, b, c, d);
}

// Bounce

float easeOutBounce(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float u = frame(currentFrame) / frame(numFrames);
    // The first threshold is rounded from double; the others are float quotients.
    if (u < static_cast<float>(1 / 2.75)) return c * (7.5625f * u * u) + b;
    if (u < 2 / 2.75f) {
        const float v = u - 1.5f / 2.75f;
        return c * (7.5625f * v * v + 0.75f) + b;
    }
    if (u < 2.5f / 2.75f) {
        const float v = u - 2.25f / 2.75f;
        return c * (7.5625f * v * v + 0.9375f) + b;
    }
    const float v = u - 2.625f / 2.75f;
    return c * (7.5625f * v * v + 0.984375f) + b;
}

float easeInBounce(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float t = frame(currentFrame), d = frame(numFrames);
    return c - easeOutBounce(truncateToInt64(d - t), 0, c, truncateToInt64(d)) + b;
}

float easeInOutBounce(std::int64_t currentFrame, float b, float c, std::int64_t numFrames) {
    const float t = frame(currentFrame), d = frame(numFrames);
    if (t < d / 2) return easeInBounce(truncateToInt64(t * 2), 0, c, truncateToInt64(d)) * 0.5f + b;
    return easeOutBounce(truncateToInt64(t * 2 - d), 0, c, truncateToInt64(d)) * 0.5f + c * 0.5f + b;
}

float easeOutInBounce(std::int64_t t, float b, float c, std::int64_t d) {
    return outIn(easeOutBounce, easeInBounce, t, b, c, d);
}

Curve curveFor(EnumEasing type) {
    static constexpr Curve curves[] = {
        easeNone,       easeInQuad,       easeOutQuad,      easeInOutQuad,   easeOutInQuad,   easeInCubic,
        easeOutCubic,   easeInOutCubic,   easeOutInCubic,   easeInQuart,     easeOutQuart,    easeInOutQuart,
        easeOutInQuart, easeInQuint,      easeOutQuint,     easeInOutQuint,  easeOutInQuint,  easeInSine,
        easeOutSine,    easeInOutSine,    easeOutInSine,    easeInExpo,      easeOutExpo,     easeInOutExpo,
        easeOutInExpo,  easeInCirc,       easeOutCirc,      easeInOutCirc,   easeOutInCirc,   easeInElastic,
        easeOutElastic, easeInOutElastic, easeOutInElastic, easeInBack,      easeOutBack,     easeInOutBack,
        easeOutInBack,  easeInBounce,     easeOutBounce,    easeInOutBounce, easeOutInBounce,
    };
    static_assert(std::size(curves) == static_cast<std::size_t>(EnumEasing::EASING_easeLast));
    const auto raw = rawValue(type);
    if (raw < 0 || raw >= static_cast<std::int64_t>(std::size(curves))) return easeNone;
    return curves[raw];
}

} // namespace vyk::easing
