#include "foundation/Clock.h"

#include <cmath>

Clock::Duration Clock::fromSeconds(double seconds) {
    constexpr double century = 100.0 * 365.25 * 24 * 3600;
    if (!(seconds > 0.0)) return Duration{0};
    if (seconds > century) seconds = century;
    return Duration{std::llround(seconds * 1e9)};
}

Clock::Duration Clock::steadyNow() {
    return std::chrono::duration_cast<Duration>(std::chrono::steady_clock::now().time_since_epoch());
}

Clock::Duration Clock::now() const { return isVirtual_ ? virtualNow_ : steadyNow(); }

void Clock::setVirtual(bool on) {
    if (on && !isVirtual_) virtualNow_ = steadyNow();
    isVirtual_ = on;
}

void Clock::advanceTo(Duration time) {
    if (time > virtualNow_) virtualNow_ = time;
}
