#include "shared/Logging.h"

#include "foundation/Console.h"
#include "foundation/DispatchQueue.h"
#include "foundation/RunLoop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

class Lines : public ::testing::Test {
protected:
    void SetUp() override {
        RunLoop::main().runUntilIdle();
        old_ = Console::setSink([this](std::string_view t) { written.emplace_back(t); });
    }
    void TearDown() override { Console::setSink(std::move(old_)); }
    std::vector<std::string> written; // the sink runs on the main thread here
private:
    Console::Sink old_;
};

// A line is written only when the main loop drains, as given with one line feed added.
TEST_F(Lines, ALineIsWrittenWhenTheMainLoopDrainsWithOneLineFeed) {
    safeprint("first");
    debugprint("");
    safeprint("ends in a line feed\n");
    EXPECT_TRUE(written.empty());
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(written, (std::vector<std::string>{"first\n", "\n", "ends in a line feed\n\n"}));
}

TEST_F(Lines, LinesFromManyThreadsArriveWholeOnceAndInEachThreadsOrder) {
    constexpr int threads = 8, perThread = 1000;
    std::atomic<int> finished{0};
    std::vector<std::thread> loggers;
    for (int t = 0; t < threads; ++t)
        loggers.emplace_back([&, t] {
            for (int i = 0; i < perThread; ++i)
                (i % 2 ? safeprint : debugprint)("t" + std::to_string(t) + " " + std::to_string(i));
            if (++finished == threads) DispatchQueue::main().async([] { RunLoop::main().stop(); });
        });
    RunLoop::main().run();
    for (auto& l : loggers) l.join();
    ASSERT_EQ(written.size(), size_t(threads * perThread));
    std::vector<int> next(threads, 0);
    for (const std::string& line : written) {
        int t = -1, i = -1;
        ASSERT_EQ(std::sscanf(line.c_str(), "t%d %d", &t, &i), 2) << line;
        EXPECT_EQ(line, "t" + std::to_string(t) + " " + std::to_string(i) + "\n");
        EXPECT_EQ(i, next[t]++) << "thread " << t;
    }
}

// A program that never runs its main loop still gets its lines when it exits.
TEST(LinesAtExit, AreWrittenWhenTheProcessEnds) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            Console::setSink([](std::string_view t) { std::fwrite(t.data(), 1, t.size(), stderr); });
            std::thread([] { safeprint("from a thread"); }).join();
            debugprint("from main");
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "from a thread\nfrom main\n");
}

} // namespace
