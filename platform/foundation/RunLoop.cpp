#include "foundation/RunLoop.h"

#include "foundation/Console.h"
#include "foundation/Shutdown.h"
#include "foundation/SignalStop.h"
#include "foundation/Timer.h"

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <optional>
#include <unistd.h>

namespace {

class ConditionWaiter final : public RunLoopWaiter {
public:
    void wait(std::optional<Clock::Duration> timeout) override {
        std::unique_lock lock(mutex_);
        if (timeout)
            cv_.wait_for(lock, *timeout, [this] { return woken_; });
        else
            cv_.wait(lock, [this] { return woken_; });
        woken_ = false;
    }
    void wake() override {
        {
            std::lock_guard lock(mutex_);
            woken_ = true;
        }
        cv_.notify_one();
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool woken_ = false;
};

} // namespace

RunLoop& RunLoop::main() {
    // Never destroyed: work and timers may still reach it during static destruction.
    static RunLoop* loop = [] {
        auto* l = new RunLoop;
        std::atexit(Foundation::shutdown);
        return l;
    }();
    return *loop;
}

RunLoop& RunLoop::current() {
    if (isMainThread()) return main();
    thread_local RunLoop loop;
    return loop;
}

bool RunLoop::isMainThread() { return gettid() == getpid(); }

RunLoop::RunLoop() : waiter_(std::make_shared<ConditionWaiter>()) {}

RunLoop::~RunLoop() { invalidateTimers(); }

void RunLoop::perform(std::function<void()> work) { post(Work{std::move(work), {}}); }

void RunLoop::performWrite(std::string text) { post(Work{{}, std::move(text)}); }

void RunLoop::post(Work work) {
    std::shared_ptr<RunLoopWaiter> toWake;
    {
        std::unique_lock lock(mutex_);
        if (closed_) {
            lock.unlock();
            if (!work.fn) Console::write(work.text);
            return; // dropped work is destroyed here, outside the lock
        }
        work_.push_back(std::move(work));
        if (!wakePending_) {
            wakePending_ = true;
            toWake = waiter_;
        }
    }
    if (toWake) toWake->wake();
}

bool RunLoop::hasWork() const {
    std::lock_guard lock(mutex_);
    return !work_.empty();
}

void RunLoop::drainWork() {
    std::deque<Work> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(work_);
        wakePending_ = false;
    }
    while (!batch.empty()) {
        Work work = std::move(batch.front());
        batch.pop_front();
        if (work.fn)
            work.fn();
        else
            Console::write(work.text);
    }
}

void RunLoop::performWhenIdle(std::function<void()> work) { idleWork_.push_back(std::move(work)); }

bool RunLoop::runIdleWork() {
    if (idleWork_.empty() || timerDue() || hasWork()) return false;
    std::function<void()> work = std::move(idleWork_.front());
    idleWork_.pop_front();
    work();
    return true;
}

void RunLoop::addTimer(std::shared_ptr<Timer> timer) { armTimer(TimerEntry{std::move(timer), clock_.now(), 1}); }

void RunLoop::armTimer(TimerEntry entry) {
    const double interval = entry.timer->interval_;
    const Clock::Duration deadline = entry.origin + Clock::fromSeconds(static_cast<double>(entry.tick) * interval);
    timers_.emplace(TimerKey{deadline, nextTimerOrder_++}, std::move(entry));
}

bool RunLoop::timerDue() const {
    return !timers_.empty() && timers_.begin()->first.deadline <= clock_.now() + timerSlack;
}

void RunLoop::fireDueTimers() {
    // Only timers due when the pass starts fire; a repeating one is re-armed past that
    // moment, skipping the ticks it missed, so it fires once per pass however late.
    const Clock::Duration due = clock_.now() + timerSlack;
    while (!timers_.empty() && timers_.begin()->first.deadline <= due) {
        TimerEntry entry = std::move(timers_.extract(timers_.begin()).mapped());
        std::shared_ptr<Timer::Block> block = entry.timer->takeForFiring();
        if (!block) continue;
        std::shared_ptr<Timer> timer = entry.timer;
        if (timer->repeats_) {
            const double interval = timer->interval_;
            const double elapsed = std::chrono::duration<double>(due - entry.origin).count();
            std::int64_t next = std::max(entry.tick + 1, static_cast<std::int64_t>(elapsed / interval));
            while (entry.origin + Clock::fromSeconds(static_cast<double>(next) * interval) <= due) ++next;
            entry.tick = next;
            armTimer(std::move(entry));
        }
        (*block)(*timer);
    }
}

void RunLoop::invalidateTimers() {
    auto timers = std::move(timers_);
    timers_.clear();
    for (auto& [key, entry] : timers) entry.timer->invalidate();
}

void RunLoop::run() {
    std::optional<SignalStop> signals;
    if (this == &main() && runDepth_ == 0) signals.emplace();
    ++runDepth_;
    for (;;) {
        drainWork();
        fireDueTimers();
        if (stopRequested_.exchange(false)) break;
        if (runIdleWork()) continue;
        std::optional<Clock::Duration> timeout;
        if (!timers_.empty() && !clock_.isVirtual())
            timeout = std::max(Clock::Duration{0}, timers_.begin()->first.deadline - timerSlack - clock_.now());
        std::shared_ptr<RunLoopWaiter> waiter;
        {
            std::lock_guard lock(mutex_);
            if (!work_.empty()) continue;
            waiter = waiter_;
        }
        waiter->wait(timeout);
    }
    --runDepth_;
}

void RunLoop::stop() {
    stopRequested_ = true;
    std::shared_ptr<RunLoopWaiter> waiter;
    {
        std::lock_guard lock(mutex_);
        waiter = waiter_;
    }
    waiter->wake();
}

void RunLoop::runUntilIdle() {
    for (;;) {
        drainWork();
        fireDueTimers();
        if (!timerDue() && !hasWork() && !runIdleWork()) return;
    }
}

void RunLoop::setVirtualClock(bool on) { clock_.setVirtual(on); }

void RunLoop::advance(double seconds) {
    if (!clock_.isVirtual()) Console::fatal("RunLoop::advance: the run loop has no virtual clock");
    const Clock::Duration target = clock_.now() + Clock::fromSeconds(seconds);
    runUntilIdle();
    while (!timers_.empty() && timers_.begin()->first.deadline <= target + timerSlack) {
        clock_.advanceTo(std::min(timers_.begin()->first.deadline, target));
        runUntilIdle();
    }
    clock_.advanceTo(target);
    runUntilIdle();
}

void RunLoop::setWaiter(std::shared_ptr<RunLoopWaiter> waiter) {
    if (!waiter) waiter = std::make_shared<ConditionWaiter>();
    std::lock_guard lock(mutex_);
    waiter_ = std::move(waiter);
}

void RunLoop::close() {
    std::deque<Work> pending;
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        pending.swap(work_);
    }
    for (Work& work : pending)
        if (!work.fn) Console::write(work.text);
    pending.clear();
    if (this == &current()) {
        invalidateTimers();
        idleWork_.clear();
    }
}
