#pragma once
// Time as a run loop sees it: the steady clock in programs, or a virtual clock that
// moves only when a test says so. Time is kept in whole nanoseconds, so that timer
// deadlines add up exactly and a test's tick counts never depend on rounding.
// Thread rules: a Clock belongs to the thread of its run loop.
#include <chrono>

class Clock {
public:
    using Duration = std::chrono::nanoseconds;

    // Seconds rounded to the nearest nanosecond; NaN and negative values give 0,
    // values beyond a century are held at a century.
    static Duration fromSeconds(double seconds);

    Duration now() const;
    bool isVirtual() const { return isVirtual_; }

    // Switching to virtual freezes time at the present steady time; switching back
    // returns to the steady clock.
    void setVirtual(bool on);
    // Virtual clock only; time never goes backwards.
    void advanceTo(Duration time);

private:
    static Duration steadyNow();

    bool isVirtual_ = false;
    Duration virtualNow_{};
};
