#include "foundation/DispatchQueue.h"
#include "foundation/RunLoop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Runs the main loop until done() holds, checked after each main-queue item.
template <class Done>
void runMainLoopUntil(Done done) {
    std::function<void()> check = [&] {
        if (done())
            RunLoop::main().stop();
        else
            DispatchQueue::main().async(check);
    };
    DispatchQueue::main().async(check);
    RunLoop::main().run();
}

TEST(DispatchQueueThreads, MainQueueKeepsEachThreadsOrderAndRunsOnTheMainThread) {
    constexpr int threads = 6, perThread = 1000;
    std::vector<std::vector<int>> seen(threads);
    std::atomic<bool> offMain{false};
    std::atomic<int> posted{0};
    std::vector<std::thread> posters;
    for (int t = 0; t < threads; ++t)
        posters.emplace_back([&, t] {
            for (int i = 0; i < perThread; ++i) {
                DispatchQueue::main().async([&, t, i] {
                    if (!RunLoop::isMainThread()) offMain = true;
                    seen[t].push_back(i);
                });
                ++posted;
            }
        });
    // seen is written on the main thread only, so the check reads it there too.
    runMainLoopUntil([&] {
        if (posted < threads * perThread) return false;
        size_t total = 0;
        for (auto& s : seen) total += s.size();
        return total == size_t(threads * perThread);
    });
    for (auto& p : posters) p.join();
    EXPECT_FALSE(offMain);
    for (int t = 0; t < threads; ++t) {
        ASSERT_EQ(seen[t].size(), size_t(perThread));
        for (int i = 0; i < perThread; ++i) ASSERT_EQ(seen[t][i], i) << "thread " << t;
    }
}

TEST(DispatchQueueThreads, MainQueueSyncFromAnotherThreadRunsOnTheMainThread) {
    std::atomic<bool> ranOnMain{false}, returned{false};
    std::thread caller([&] {
        DispatchQueue::main().sync([&] { ranOnMain = RunLoop::isMainThread(); });
        returned = true;
    });
    runMainLoopUntil([&] { return returned.load(); });
    caller.join();
    EXPECT_TRUE(ranOnMain);
}

// Four items that each wait for all four can only finish on four workers at once.
TEST(DispatchQueueThreads, GlobalQueueRunsAtLeastFourItemsAtOnce) {
    std::mutex m;
    std::condition_variable cv;
    int arrived = 0, finished = 0;
    bool allMet = true;
    for (int i = 0; i < 4; ++i)
        DispatchQueue::global().async([&] {
            std::unique_lock lock(m);
            ++arrived;
            cv.notify_all();
            if (!cv.wait_for(lock, std::chrono::seconds(10), [&] { return arrived >= 4; })) allMet = false;
            ++finished;
            cv.notify_all();
        });
    std::unique_lock lock(m);
    cv.wait(lock, [&] { return finished == 4; });
    EXPECT_TRUE(allMet);
}

TEST(DispatchQueueThreads, SerialQueueRunsOneItemAtATimeInSubmissionOrder) {
    DispatchQueue queue("com.example.serial");
    constexpr int threads = 4, perThread = 500;
    std::vector<std::vector<int>> seen(threads);
    std::atomic<int> inside{0};
    std::atomic<bool> overlapped{false};
    std::vector<std::thread> posters;
    for (int t = 0; t < threads; ++t)
        posters.emplace_back([&, t] {
            for (int i = 0; i < perThread; ++i)
                queue.async([&, t, i] {
                    if (++inside != 1) overlapped = true;
                    seen[t].push_back(i);
                    --inside;
                });
        });
    for (auto& p : posters) p.join();
    // sync runs after everything submitted before it.
    size_t total = 0;
    queue.sync([&] {
        for (auto& s : seen) total += s.size();
    });
    EXPECT_EQ(total, size_t(threads * perThread));
    EXPECT_FALSE(overlapped);
    for (int t = 0; t < threads; ++t)
        for (int i = 0; i < perThread; ++i) ASSERT_EQ(seen[t][i], i);
}

// No queue lock is held while an item runs: items submit to their own queue, sync
// onto other queues and outlive the last handle of their queue.
TEST(DispatchQueueThreads, ItemsMaySubmitAndSyncFreelyAndOutliveTheirHandle) {
    std::atomic<int> steps{0};
    std::atomic<bool> done{false};
    {
        DispatchQueue queue("com.example.reentrant");
        DispatchQueue other("com.example.other");
        queue.async([queue, other, &steps, &done] {
            ++steps;
            other.sync([&] { ++steps; });
            DispatchQueue::global().sync([&] { ++steps; });
            queue.async([&] {
                ++steps;
                DispatchQueue::main().async([&] { done = true; });
            });
        });
    }
    runMainLoopUntil([&] { return done.load(); });
    EXPECT_EQ(steps, 4);
}

} // namespace
