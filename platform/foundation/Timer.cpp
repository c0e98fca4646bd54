#include "foundation/Timer.h"

#include "foundation/Clock.h"
#include "foundation/RunLoop.h"

#include <cmath>

namespace {
constexpr double minimumInterval = 0.0001;
}

Timer::Timer(Private, double interval, bool repeats, Block block)
    : interval_(interval > minimumInterval ? interval : minimumInterval), repeats_(repeats),
      block_(std::make_shared<Block>(std::move(block))) {}

std::shared_ptr<Timer> Timer::scheduledTimer(double interval, bool repeats, Block block) {
    auto timer = std::make_shared<Timer>(Private{}, interval, repeats, std::move(block));
    RunLoop::current().addTimer(timer);
    return timer;
}

void Timer::invalidate() {
    std::shared_ptr<Block> released;
    {
        std::lock_guard lock(mutex_);
        valid_ = false;
        released = std::move(block_);
    }
    // The captures go here, outside the lock, or after the block returns when the
    // loop is running it.
}

bool Timer::isValid() const {
    std::lock_guard lock(mutex_);
    return valid_;
}

std::shared_ptr<Timer::Block> Timer::takeForFiring() {
    std::lock_guard lock(mutex_);
    if (!valid_) return nullptr;
    if (repeats_) return block_;
    valid_ = false;
    return std::move(block_);
}
