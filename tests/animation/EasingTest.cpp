#include "animation/Easing.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

namespace {

using vyk::EnumEasing;
using vyk::easing::curveFor;
using namespace vyk::easing;

constexpr auto lastCase = EnumEasing::EASING_easeLast;

std::vector<EnumEasing> allCurves() {
    std::vector<EnumEasing> v;
    for (std::int64_t i = 0; i < rawValue(lastCase); ++i) v.push_back(*vyk::easingFromRaw(i));
    return v;
}

// ---- An independent double-precision model -------------------------------------
// Each family is one "In" shape on [0, 1]; Out, InOut and OutIn are built from it by
// symmetry, not from the rearranged single-precision expressions of the library.

enum class Form { In, Out, InOut, OutIn };

const double pi = std::numbers::pi;

double outBounce(double x) {
    if (x < 1 / 2.75) return 7.5625 * x * x;
    if (x < 2 / 2.75) {
        x -= 1.5 / 2.75;
        return 7.5625 * x * x + 0.75;
    }
    if (x < 2.5 / 2.75) {
        x -= 2.25 / 2.75;
        return 7.5625 * x * x + 0.9375;
    }
    x -= 2.625 / 2.75;
    return 7.5625 * x * x + 0.984375;
}

double inShape(int family, double x) {
    switch (family) {
    case 0:
        return x * x;
    case 1:
        return x * x * x;
    case 2:
        return std::pow(x, 4);
    case 3:
        return std::pow(x, 5);
    case 4:
        return 1 - std::cos(x * pi / 2);
    case 5:
        return x == 0 ? 0 : std::pow(2.0, 10 * (x - 1));
    case 6:
        return 1 - std::sqrt(1 - x * x);
    case 7:
        return x == 0 ? 0 : x == 1 ? 1 : -std::pow(2.0, 10 * (x - 1)) * std::sin((x - 1 - 0.075) * 2 * pi / 0.3);
    case 8:
        return x * x * (2.70158 * x - 1.70158);
    case 9:
        return 1 - outBounce(1 - x);
    }
    return 0;
}

double outShape(int family, double x) { return 1 - inShape(family, 1 - x); }

double inOutShape(int family, double x) {
    if (family == 7) { // Elastic stretches its period over the whole tween
        if (x == 0 || x == 1) return x;
        const double v = 2 * x - 1, k = 2 * pi / 0.45;
        if (v < 0) return -0.5 * std::pow(2.0, 10 * v) * std::sin((v - 0.1125) * k);
        return 0.5 * std::pow(2.0, -10 * v) * std::sin((v - 0.1125) * k) + 1;
    }
    if (family == 8) { // Back overshoots further, by 1.525
        const double s = 1.70158 * 1.525;
        auto in = [s](double y) { return y * y * ((s + 1) * y - s); };
        return x < 0.5 ? in(2 * x) / 2 : 1 - in(2 - 2 * x) / 2;
    }
    return x < 0.5 ? inShape(family, 2 * x) / 2 : (1 + outShape(family, 2 * x - 1)) / 2;
}

double reference(EnumEasing e, std::int64_t t, double b, double c, std::int64_t d) {
    const auto raw = rawValue(e);
    if (raw == 0) return b + c * t / d;
    const int family = static_cast<int>((raw - 1) / 4);
    const auto form = static_cast<Form>((raw - 1) % 4);
    const double x = double(t) / double(d);
    switch (form) {
    case Form::In:
        return b + c * inShape(family, x);
    case Form::Out:
        return b + c * outShape(family, x);
    case Form::InOut:
        return b + c * inOutShape(family, x);
    case Form::OutIn:
        if (t < d / 2) return b + c / 2 * outShape(family, 2.0 * t / d);
        return b + c / 2 + c / 2 * inShape(family, double(2 * t - d) / d);
    }
    return 0;
}

// Rounding of a handful of float operations, in units of the tween's scale.
double tolerance(EnumEasing e, double b, double c) {
    const auto raw = rawValue(e);
    const bool elastic = raw >= 29 && raw <= 32; // its sine argument runs to ~20 rad
    return (elastic ? 32 : 8) * FLT_EPSILON * (std::fabs(b) + std::fabs(c));
}

// ---- Tests ----------------------------------------------------------------------

// Raw values outside the cases are empty; selection beyond the cases falls back to
// linear (every listed curve is reached through the model comparison below).
TEST(EnumEasing, OutOfRangeValues) {
    EXPECT_EQ(vyk::easingFromRaw(41), lastCase);
    EXPECT_FALSE(vyk::easingFromRaw(42));
    EXPECT_FALSE(vyk::easingFromRaw(-1));
    for (auto e : {lastCase, static_cast<EnumEasing>(1000), static_cast<EnumEasing>(-3)})
        EXPECT_EQ(curveFor(e), &easeNone);
}

// Expo and Elastic special-case their ends, so these are exact.
TEST(Easing, ExpoAndElasticEndsAreExact) {
    for (auto curve : {easeInExpo, easeOutExpo, easeInOutExpo, easeInElastic, easeOutElastic, easeInOutElastic}) {
        EXPECT_EQ(curve(0, 0.3f, 0.7f, 7), 0.3f);
        EXPECT_EQ(curve(7, 0.3f, 0.7f, 7), 0.3f + 0.7f);
    }
}

// At the quarters of a tween (its ends among them; the OutIn forms switch halves at
// the truncated middle) each curve agrees with the double-precision model.
TEST(Easing, QuartersAgreeWithDoublePrecisionModel) {
    for (auto e : allCurves()) {
        const auto curve = curveFor(e);
        for (std::int64_t d : {2, 5, 8, 40, 7}) {
            for (auto [b, c] : {std::pair{0.0f, 1.0f}, {2.0f, -3.0f}, {10.0f, 0.5f}, {-100.0f, 250.0f}}) {
                for (std::int64_t t : {std::int64_t{0}, d / 4, d / 2, 3 * d / 4, d}) {
                    SCOPED_TRACE("curve " + std::to_string(rawValue(e)) + " d " + std::to_string(d) + " t " +
                                 std::to_string(t) + " b " + std::to_string(b));
                    EXPECT_NEAR(curve(t, b, c, d), reference(e, t, b, c, d), tolerance(e, b, c));
                }
            }
        }
    }
}

// Values at chosen frames: the plain families exactly, the overshooting and
// bouncing ones to a few units in the last place.
TEST(Easing, ValuesAtChosenFrames) {
    struct Case {
        Curve curve;
        std::int64_t t;
        float b, c;
        std::int64_t d;
        float expected;
    };
    for (const auto& [curve, t, b, c, d, expected] :
         std::initializer_list<Case>{{easeNone, 1, 0, 1, 3, 0.333333343f},
                                     {easeNone, 2, 0, 1, 3, 0.666666687f},
                                     {easeOutExpo, 1, 0, 1, 10, 0.5f},
                                     {easeOutExpo, 2, 0, 1, 10, 0.75f},
                                     {easeOutExpo, 3, 0, 1, 10, 0.875f},
                                     {easeOutExpo, 9, 0, 1, 10, 0.998046875f},
                                     {easeInOutExpo, 5, 2, 3, 10, 3.5f},
                                     {easeInOutQuart, 5, 0, 1, 10, 0.5f}})
        EXPECT_EQ(curve(t, b, c, d), expected) << t;

    EXPECT_FLOAT_EQ(easeOutBounce(5, 0, 1, 10), 0.765625f);
    EXPECT_FLOAT_EQ(easeOutInExpo(2, 0, 1, 5), 0.50012207f);
    EXPECT_FLOAT_EQ(easeInBack(4, 0, 1, 10), -0.0993516818f);
    EXPECT_FLOAT_EQ(easeOutElastic(1, 0, 1, 10), 1.25f);
}

// Frames far outside the tween and broken lengths give IEEE results, never UB
// (the sanitizer build checks the conversions and the frame arithmetic).
TEST(Easing, ExtremeFramesStayDefined) {
    constexpr auto big = std::numeric_limits<std::int64_t>::max();
    constexpr auto small = std::numeric_limits<std::int64_t>::min();
    for (auto e : allCurves()) {
        const auto curve = curveFor(e);
        for (auto [t, d] :
             {std::pair{big, std::int64_t{10}}, {small, 10}, {5, big}, {5, small}, {big, small}, {3, 0}, {3, -4}}) {
            (void)curve(t, 1, 2, d);
        }
    }
    EXPECT_TRUE(std::isinf(easeNone(3, 0, 1, 0)));
    EXPECT_TRUE(std::isnan(easeNone(0, 0, 1, 0)));
}

} // namespace
