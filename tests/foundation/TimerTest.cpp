#include "foundation/RunLoop.h"
#include "foundation/Timer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

class VirtualTime : public ::testing::Test {
protected:
    void SetUp() override { RunLoop::main().setVirtualClock(true); }
    void TearDown() override {
        RunLoop::main().runUntilIdle();
        RunLoop::main().setVirtualClock(false);
    }
    RunLoop& loop = RunLoop::main();
};

// Intervals as the animations use them: single-precision values widened to double
// (0.009f is 0.008999999612569809 s), a third of a second, the 25 Hz refresh.
const double intervals[] = {double(0.009f), double(0.005f), 0.04, 1.0 / 3.0, 0.0001};

// Step by step and in one advance of n intervals, a repeating timer fires exactly n
// times, the first one interval after scheduling.
TEST_F(VirtualTime, RepeatingTimerFiresExactlyNTimesInNIntervals) {
    for (double interval : intervals) {
        int fires = 0;
        auto timer = Timer::scheduledTimer(interval, true, [&](Timer&) { ++fires; });
        loop.advance(interval * 0.9);
        EXPECT_EQ(fires, 0) << interval;
        loop.advance(interval * 0.1);
        EXPECT_EQ(fires, 1) << interval;
        for (int n = 2; n <= 500; ++n) {
            loop.advance(interval);
            ASSERT_EQ(fires, n) << "interval " << interval;
        }
        timer->invalidate();
        for (int n : {1, 3, 4, 25, 321, 442}) {
            fires = 0;
            timer = Timer::scheduledTimer(interval, true, [&](Timer&) { ++fires; });
            loop.advance(n * interval);
            EXPECT_EQ(fires, n) << "interval " << interval << " n " << n;
            timer->invalidate();
        }
    }
}

// A one-shot timer fires once; invalidated from outside, a repeating one stops at
// once. Either way the block and its captures are released.
TEST_F(VirtualTime, OneShotAndInvalidatedTimersReleaseTheirBlock) {
    auto token = std::make_shared<int>(0);
    std::weak_ptr<int> watch = token;
    int fires = 0;
    auto oneShot = Timer::scheduledTimer(0.5, false, [&fires, token](Timer& t) {
        ++fires;
        EXPECT_FALSE(t.isValid());
    });
    token = std::make_shared<int>(1);
    std::weak_ptr<int> watchRepeating = token;
    int repeats = 0;
    auto repeating = Timer::scheduledTimer(0.01, true, [&repeats, token](Timer&) { ++repeats; });
    token.reset();
    loop.advance(0.025);
    repeating->invalidate();
    EXPECT_TRUE(watchRepeating.expired());
    loop.advance(5.0);
    EXPECT_EQ(repeats, 2);
    EXPECT_EQ(fires, 1);
    EXPECT_FALSE(oneShot->isValid());
    EXPECT_TRUE(watch.expired());
}

TEST_F(VirtualTime, TimerInvalidatedInsideItsBlockFiresNoMoreAndFreesCapturesAfterwards) {
    auto token = std::make_shared<std::string>("captured");
    std::weak_ptr<std::string> watch = token;
    int fires = 0;
    bool aliveAfterInvalidate = false;
    auto timer = Timer::scheduledTimer(0.01, true, [&, token](Timer& t) {
        if (++fires == 3) {
            t.invalidate();
            t.invalidate(); // idempotent
            // The block's captures live until it returns.
            aliveAfterInvalidate = !watch.expired() && *token == "captured";
        }
    });
    token.reset();
    loop.advance(1.0);
    EXPECT_EQ(fires, 3);
    EXPECT_TRUE(aliveAfterInvalidate);
    EXPECT_TRUE(watch.expired());
    EXPECT_FALSE(timer->isValid());
    timer->invalidate();
    loop.advance(1.0);
    EXPECT_EQ(fires, 3);
}

// Due timers fire in deadline order, and work they post runs before time moves on.
TEST_F(VirtualTime, TimersFireInDeadlineOrderWithPostedWorkInBetween) {
    std::string order;
    auto a = Timer::scheduledTimer(0.025, true, [&](Timer&) { order += 'A'; });
    auto b = Timer::scheduledTimer(0.010, true, [&](Timer&) {
        order += 'B';
        loop.perform([&] { order += 'w'; });
    });
    auto c = Timer::scheduledTimer(0.015, true, [&](Timer&) { order += 'C'; });
    loop.advance(0.026);
    EXPECT_EQ(order, "BwCBwA");
    for (auto& t : {a, b, c}) t->invalidate();
}

TEST_F(VirtualTime, TimerScheduledInsideABlockStartsCountingFromThatMoment) {
    std::vector<double> firedAt;
    const auto start = loop.now();
    auto seconds = [&] { return std::chrono::duration<double>(loop.now() - start).count(); };
    std::shared_ptr<Timer> inner;
    auto outer = Timer::scheduledTimer(0.1, false, [&](Timer&) {
        firedAt.push_back(seconds());
        inner = Timer::scheduledTimer(0.05, false, [&](Timer&) { firedAt.push_back(seconds()); });
    });
    loop.advance(1.0);
    ASSERT_EQ(firedAt.size(), 2u);
    EXPECT_NEAR(firedAt[0], 0.1, 1e-9);
    EXPECT_NEAR(firedAt[1], 0.15, 1e-9);
}

TEST_F(VirtualTime, RunUntilIdleDrainsWorkWithoutMovingTime) {
    int fires = 0, work = 0;
    auto timer = Timer::scheduledTimer(0.01, true, [&](Timer&) { ++fires; });
    const auto before = loop.now();
    loop.perform([&] {
        ++work;
        loop.perform([&] { ++work; }); // posted while draining: still run
    });
    loop.runUntilIdle();
    EXPECT_EQ(work, 2);
    EXPECT_EQ(fires, 0);
    EXPECT_EQ(loop.now(), before);
    timer->invalidate();
}

// Idle work waits until posted work, and what that work posts, is done; the items run
// one at a time, each after what the one before posted; run() runs them as well.
TEST_F(VirtualTime, IdleWorkWaitsForPostedWorkOneItemAtATime) {
    std::vector<std::string> log;
    auto note = [&log](std::string line) { return [&log, line] { log.push_back(line); }; };
    loop.performWhenIdle([&] {
        log.push_back("idle 1");
        loop.perform(note("posted by idle 1"));
    });
    loop.performWhenIdle(note("idle 2"));
    loop.perform([&] {
        log.push_back("work");
        loop.perform(note("posted by work"));
    });
    loop.runUntilIdle();
    EXPECT_EQ(log, (std::vector<std::string>{"work", "posted by work", "idle 1", "posted by idle 1", "idle 2"}));

    log.clear();
    loop.performWhenIdle([&] {
        log.push_back("idle 3");
        loop.stop();
    });
    loop.perform(note("work"));
    loop.run();
    EXPECT_EQ(log, (std::vector<std::string>{"work", "idle 3"}));
}

TEST_F(VirtualTime, AdvanceWithoutAVirtualClockFailsClearly) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            RunLoop::main().setVirtualClock(false);
            RunLoop::main().advance(1.0);
        },
        "RunLoop::advance: the run loop has no virtual clock");
}

// With the steady clock, a repeating timer that comes due late fires once and skips
// the ticks it missed instead of bursting.
TEST(SteadyTime, LateRepeatingTimerSkipsMissedTicks) {
    RunLoop& loop = RunLoop::main();
    int fires = 0;
    auto timer = Timer::scheduledTimer(0.1, true, [&](Timer&) { ++fires; });
    std::this_thread::sleep_for(std::chrono::milliseconds(350));
    loop.runUntilIdle();
    EXPECT_EQ(fires, 1);
    timer->invalidate();
}

} // namespace
