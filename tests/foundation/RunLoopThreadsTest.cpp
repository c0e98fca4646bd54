#include "foundation/RunLoop.h"
#include "foundation/Timer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <memory>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

class CountingWaiter final : public RunLoopWaiter {
public:
    void wait(std::optional<Clock::Duration>) override {}
    void wake() override { ++wakes; }
    std::atomic<int> wakes{0};
};

// However many posts arrive between two drains, the loop is woken once.
TEST(RunLoopThreads, PostsFromAnotherThreadWakeTheLoopOncePerDrain) {
    RunLoop& loop = RunLoop::main();
    loop.runUntilIdle();
    auto waiter = std::make_shared<CountingWaiter>();
    loop.setWaiter(waiter);
    std::atomic<int> ran{0};
    std::thread poster([&] {
        for (int i = 0; i < 100; ++i) loop.perform([&] { ++ran; });
    });
    poster.join();
    EXPECT_EQ(waiter->wakes, 1);
    loop.runUntilIdle();
    EXPECT_EQ(ran, 100);
    std::thread again([&] { loop.perform([&] { ++ran; }); });
    again.join();
    EXPECT_EQ(waiter->wakes, 2);
    loop.runUntilIdle();
    loop.setWaiter(nullptr);
}

// A sleeping loop wakes for work posted from other threads and runs it in order.
TEST(RunLoopThreads, SleepingLoopRunsWorkFromOtherThreadsInPostingOrder) {
    RunLoop& loop = RunLoop::main();
    constexpr int threads = 4, perThread = 500;
    std::vector<std::vector<int>> seen(threads);
    std::atomic<int> done{0};
    std::vector<std::thread> posters;
    for (int t = 0; t < threads; ++t)
        posters.emplace_back([&, t] {
            for (int i = 0; i < perThread; ++i) {
                loop.perform([&, t, i] { seen[t].push_back(i); });
                if (i % 50 == 0) std::this_thread::yield();
            }
            if (++done == threads) loop.perform([&] { loop.stop(); });
        });
    loop.run();
    for (auto& p : posters) p.join();
    for (int t = 0; t < threads; ++t) {
        ASSERT_EQ(seen[t].size(), size_t(perThread));
        for (int i = 0; i < perThread; ++i) EXPECT_EQ(seen[t][i], i);
    }
}

// run() keeps going until another thread stops it, and then returns.
TEST(RunLoopThreads, StopFromAnotherThreadEndsRun) {
    RunLoop& loop = RunLoop::main();
    std::atomic<bool> running{false}, stopped{false};
    loop.perform([&] { running = true; });
    std::thread stopper([&] {
        while (!running) std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        stopped = true;
        loop.stop();
    });
    loop.run();
    EXPECT_TRUE(stopped);
    running = true; // releases the stopper should run() have ended before the work ran
    stopper.join();
}

// SIGINT and SIGTERM stop the main loop cleanly; afterwards the old action is back.
TEST(RunLoopThreads, TerminationSignalsStopTheMainLoop) {
    RunLoop& loop = RunLoop::main();
    for (int sig : {SIGTERM, SIGINT}) {
        struct sigaction before {};
        sigaction(sig, nullptr, &before);
        int fires = 0;
        auto timer = Timer::scheduledTimer(0.001, true, [&, sig](Timer&) {
            if (++fires == 2) kill(getpid(), sig);
        });
        loop.run();
        timer->invalidate();
        EXPECT_GE(fires, 2);
        struct sigaction after {};
        sigaction(sig, nullptr, &after);
        EXPECT_EQ(after.sa_handler, before.sa_handler);
    }
}

// Each thread has its own loop: timers scheduled there fire only when it runs.
TEST(RunLoopThreads, TimersBelongToTheLoopOfTheSchedulingThread) {
    int workerFires = 0;
    std::thread worker([&] {
        RunLoop& own = RunLoop::current();
        EXPECT_NE(&own, &RunLoop::main());
        EXPECT_FALSE(RunLoop::isMainThread());
        own.setVirtualClock(true);
        auto t = Timer::scheduledTimer(0.01, true, [&](Timer&) { ++workerFires; });
        own.advance(0.05);
        t->invalidate();
    });
    worker.join();
    EXPECT_TRUE(RunLoop::isMainThread());
    EXPECT_EQ(workerFires, 5);
}

} // namespace
