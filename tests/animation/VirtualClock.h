#pragma once
// A test fixture that runs the calling thread's loop on a virtual clock, collects
// console lines, keeps a log of what callbacks reported (one entry per tick) and
// names the Animators it makes.
#include "TestEnvironment.h"
#include "animation/Animator.h"
#include "foundation/RunLoop.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace vyk::test {

class VirtualClockTest : public ::testing::Test {
protected:
    void SetUp() override { loop.setVirtualClock(true); }
    void TearDown() override { loop.setVirtualClock(false); }

    // Moves time on by `n` periods of a timer scheduled with `interval`.
    void tick(float interval, int n = 1) {
        for (int i = 0; i < n; ++i) loop.advance(static_cast<double>(interval));
    }

    // Runs `n` ticks of a timer of `interval` (the containers' default), each with
    // its own log entry.
    void run(int n, float interval = 0.005f) {
        for (int i = 0; i < n; ++i) {
            log.emplace_back();
            tick(interval);
        }
    }
    // Adds a word to the log entry of the current tick.
    void note(const std::string& word) {
        if (log.empty()) log.emplace_back();
        log.back() += (log.back().empty() ? "" : " ") + word;
    }

    // A tween from 0 to 1 over `frames`, logged under `name`.
    std::shared_ptr<Animator> named(const std::string& name, std::int64_t frames) {
        auto a = Animator::make(0, 1, frames);
        names[a.get()] = name;
        return a;
    }

    RunLoop& loop = RunLoop::current();
    ConsoleCapture console;
    std::vector<std::string> log;
    std::map<const Animator*, std::string> names;
};

} // namespace vyk::test
