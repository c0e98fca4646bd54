#pragma once
// The repeating timer behind every running object of the animation library, and
// what each of their ticks shares.
// Thread rules: the thread whose run loop runs the ticks (the main thread).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

class Timer;

namespace vyk {

// Schedules `tick` on the calling thread's run loop every `interval` seconds (the
// float widened to double, so 0.009f ticks every 0.008999999612569809 s), first one
// interval from now. The timer holds `tick` and what it captures until invalidated.
std::shared_ptr<Timer> scheduleTicks(float interval, std::function<void()> tick);

// Invalidates and drops a held timer; nothing when none is held.
void cancelTicks(std::shared_ptr<Timer>& timer);

// Held through one tick: keeps the ticking object alive across its callbacks and
// tells whether a callback moved its generation on (stopped, restarted, sought or
// rewound it), after which the tick must end at once.
class TickGuard {
public:
    TickGuard(std::shared_ptr<const void> owner, const std::uint64_t& generation)
        : owner_(std::move(owner)), generation_(generation), start_(generation) {}
    bool taken() const { return generation_ != start_; }

private:
    std::shared_ptr<const void> owner_;
    const std::uint64_t& generation_;
    std::uint64_t start_;
};

// Prints the warning of a container ticking without Animators; true when it did.
bool warnIfNoAnimators(std::size_t count);

} // namespace vyk
