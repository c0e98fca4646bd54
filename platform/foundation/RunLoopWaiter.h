#pragma once
// How a run loop sleeps when it has nothing to do. The default waits on a condition
// variable; a window backend installs its own (an event wait that a wake interrupts).
#include "foundation/Clock.h"

#include <optional>

class RunLoopWaiter {
public:
    virtual ~RunLoopWaiter() = default;

    // Loop thread. Returns once wake() has been called since the last wait returned,
    // or when the timeout has passed (no timeout: wait for a wake). May return early.
    virtual void wait(std::optional<Clock::Duration> timeout) = 0;

    // Any thread. A wake that comes before the wait is not lost.
    virtual void wake() = 0;
};
