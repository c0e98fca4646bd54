#include "coregraphics/CGColor.h"

#include <algorithm>
#include <cmath>

namespace {
double clamp01(double v) { return std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0); }
} // namespace

CGColor CGColor::clamped() const { return {clamp01(red), clamp01(green), clamp01(blue), clamp01(alpha)}; }
