#include "animation/TickTimer.h"

#include "foundation/Console.h"
#include "foundation/Timer.h"

namespace vyk {

std::shared_ptr<Timer> scheduleTicks(float interval, std::function<void()> tick) {
    return Timer::scheduledTimer(static_cast<double>(interval), true, [tick = std::move(tick)](Timer&) { tick(); });
}

void cancelTicks(std::shared_ptr<Timer>& timer) {
    if (!timer) return;
    timer->invalidate();
    timer.reset();
}

bool warnIfNoAnimators(std::size_t count) {
    if (count > 0) return false;
    Console::write("WARNUNG: Es sind keine Animator Objekte definiert.\n");
    return true;
}

} // namespace vyk
