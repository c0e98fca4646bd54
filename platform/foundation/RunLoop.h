#pragma once
// The run loop of a thread: work posted to it, its timers and a clock.
//
// Thread rules:
// - The main thread's loop, RunLoop::main(), runs the main queue (DispatchQueue::main()).
//   Every other thread gets its own loop from RunLoop::current(), which nothing drains
//   unless that thread runs it.
// - perform(), performWrite() and stop() may be called from any thread. Everything else
//   belongs to the loop's own thread.
// - A post from another thread wakes a sleeping loop at most once per drain.
// - No lock is held while work or a timer's block runs, so both may post, schedule and
//   invalidate freely.
// - While the main loop runs, SIGINT and SIGTERM stop it (a second signal ends the
//   process the default way).
#include "foundation/Clock.h"
#include "foundation/RunLoopWaiter.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

class Timer;

class RunLoop {
public:
    static RunLoop& main();
    // The calling thread's loop.
    static RunLoop& current();
    static bool isMainThread();

    RunLoop();
    ~RunLoop();
    RunLoop(const RunLoop&) = delete;
    RunLoop& operator=(const RunLoop&) = delete;

    // Work runs on the loop's thread at its next drain, in the order of posting.
    void perform(std::function<void()> work);
    // Queues console text (Console::write) in order with the work. Unlike work, text
    // still queued when the process shuts down is written, not dropped.
    void performWrite(std::string text);

    // Loop thread: work that runs once the loop has nothing else to do (no posted work,
    // no due timer), one item per pass, so what an item posts runs before the next one.
    // run() and runUntilIdle() run it; close() drops it.
    void performWhenIdle(std::function<void()> work);

    // Drains work, fires due timers and sleeps until stop().
    void run();
    // Makes run() return after the work in hand; a stop before run() ends the next run().
    void stop();
    // Drains queued work, fires due timers and runs idle work until there is none, without
    // sleeping or moving a virtual clock. Work that keeps posting itself keeps it busy.
    void runUntilIdle();

    // A timer fires when its deadline is at most a microsecond away, so that tick counts
    // never hinge on how seconds round to nanoseconds.
    static constexpr Clock::Duration timerSlack = std::chrono::microseconds(1);

    // Tests: a virtual clock, frozen until advance() moves it.
    void setVirtualClock(bool on);
    // Virtual clock only: moves time forward by the given seconds, stopping at each
    // timer deadline on the way to fire the timers due there, in deadline order, with
    // the work they post drained in between.
    void advance(double seconds);
    Clock::Duration now() const { return clock_.now(); }

    // An empty pointer restores the condition-variable waiter.
    void setWaiter(std::shared_ptr<RunLoopWaiter> waiter);

    // Process exit: writes the queued console text, drops other work and invalidates
    // the timers; later work is dropped and later text written at once.
    void close();

private:
    friend class Timer;
    struct Work {
        std::function<void()> fn; // empty: write text
        std::string text;
    };
    struct TimerKey {
        Clock::Duration deadline;
        std::uint64_t order;
        bool operator<(const TimerKey& o) const {
            return deadline != o.deadline ? deadline < o.deadline : order < o.order;
        }
    };

    struct TimerEntry {
        std::shared_ptr<Timer> timer;
        Clock::Duration origin; // deadlines are origin + round(tick * interval), no drift
        std::int64_t tick;
    };

    void post(Work work);
    void drainWork();
    // Runs the first idle item when nothing else is waiting; false when it ran none.
    bool runIdleWork();
    void fireDueTimers();
    bool hasWork() const;
    bool timerDue() const;
    void addTimer(std::shared_ptr<Timer> timer);
    void armTimer(TimerEntry entry);
    void invalidateTimers();

    mutable std::mutex mutex_;
    std::deque<Work> work_;                 // guarded by mutex_
    bool wakePending_ = false;              // guarded by mutex_
    bool closed_ = false;                   // guarded by mutex_
    std::shared_ptr<RunLoopWaiter> waiter_; // guarded by mutex_
    std::atomic<bool> stopRequested_{false};

    // The loop's own thread only. Invalidated timers stay here until they come due.
    Clock clock_;
    std::map<TimerKey, TimerEntry> timers_;
    std::deque<std::function<void()>> idleWork_;
    std::uint64_t nextTimerOrder_ = 0;
    int runDepth_ = 0;
};
