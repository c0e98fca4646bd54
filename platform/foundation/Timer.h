#pragma once
// A timer on the run loop of the thread that schedules it.
//
// Thread rules: scheduledTimer() on the thread whose loop fires it (the main thread in
// the programs); the block runs there. invalidate() and isValid() from any thread.
// The loop keeps a valid timer alive; invalidate() drops the block, and when that
// happens inside the block its captures are released after the block returns.
#include <functional>
#include <memory>
#include <mutex>

class RunLoop;

class Timer {
public:
    using Block = std::function<void(Timer&)>;

    // The first fire comes one interval after scheduling. A repeating timer keeps its
    // schedule: a late fire skips the ticks it missed instead of catching up. Intervals
    // below 0.1 ms (and NaN) become 0.1 ms.
    static std::shared_ptr<Timer> scheduledTimer(double interval, bool repeats, Block block);

    // Idempotent; safe inside the timer's own block.
    void invalidate();
    bool isValid() const;
    double timeInterval() const { return interval_; }

private:
    friend class RunLoop;
    struct Private {};

public:
    Timer(Private, double interval, bool repeats, Block block);

private:
    // Loop thread: the block to call now, or none when the timer is no longer valid.
    // A one-shot timer becomes invalid here, before its block runs.
    std::shared_ptr<Block> takeForFiring();

    const double interval_;
    const bool repeats_;
    mutable std::mutex mutex_;
    bool valid_ = true;            // guarded by mutex_
    std::shared_ptr<Block> block_; // guarded by mutex_
};
