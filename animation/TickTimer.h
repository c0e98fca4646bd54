#pragma once
// The repeating timer behind every running object of the animation library.
// Thread rules: the thread whose run loop runs the ticks (the main thread).
#include <functional>
#include <memory>

class Timer;

namespace vyk {

// Schedules `tick` on the calling thread's run loop every `interval` seconds (the
// float widened to double, so 0.009f ticks every 0.008999999612569809 s), first one
// interval from now. The timer holds `tick` and what it captures until invalidated.
std::shared_ptr<Timer> scheduleTicks(float interval, std::function<void()> tick);

// Invalidates and drops a held timer; nothing when none is held.
void cancelTicks(std::shared_ptr<Timer>& timer);

} // namespace vyk
