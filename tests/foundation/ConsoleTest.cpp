#include "foundation/Console.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

// Lines written from several threads arrive whole, exactly as given.
TEST(Console, LinesFromManyThreadsNeverInterleave) {
    std::vector<std::string> seen;
    auto old = Console::setSink([&](std::string_view t) { seen.emplace_back(t); });
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < 200; ++i)
                Console::write("thread " + std::to_string(t) + " line " + std::to_string(i) + "\n");
        });
    for (auto& th : threads) th.join();
    Console::setSink(std::move(old));

    ASSERT_EQ(seen.size(), 800u);
    for (const auto& line : seen) {
        EXPECT_EQ(line.rfind("thread ", 0), 0u) << line;
        EXPECT_EQ(line.back(), '\n');
        EXPECT_EQ(line.find('\n'), line.size() - 1) << line;
    }
}

} // namespace
