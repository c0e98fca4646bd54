#pragma once
// A test fixture that runs the calling thread's loop on a virtual clock and
// collects console lines.
#include "foundation/Console.h"
#include "foundation/RunLoop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vyk::test {

class VirtualClockTest : public ::testing::Test {
protected:
    void SetUp() override {
        loop.setVirtualClock(true);
        previousSink = Console::setSink([this](std::string_view t) { lines.emplace_back(t); });
    }
    void TearDown() override {
        Console::setSink(std::move(previousSink));
        loop.setVirtualClock(false);
    }

    // Moves time on by `n` periods of a timer scheduled with `interval`.
    void tick(float interval, int n = 1) {
        for (int i = 0; i < n; ++i) loop.advance(static_cast<double>(interval));
    }

    RunLoop& loop = RunLoop::current();
    std::vector<std::string> lines;

private:
    Console::Sink previousSink;
};

} // namespace vyk::test
