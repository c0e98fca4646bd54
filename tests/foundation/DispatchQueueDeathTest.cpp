#include "foundation/DispatchQueue.h"
#include "foundation/RunLoop.h"

#include <gtest/gtest.h>

namespace {

// sync onto the queue the caller is on, directly, through an outer queue or through
// a copy of the handle, fails clearly and names the queue instead of deadlocking.
TEST(DispatchQueueDeathTest, SyncOntoTheCurrentQueueFailsClearly) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(DispatchQueue::main().sync([] {}),
                 "DispatchQueue::sync: called on queue 'main' from that queue, which would deadlock");
    EXPECT_DEATH(
        {
            DispatchQueue queue("com.falnor.AUEnginePlayer.stateQueue");
            queue.sync([&] { queue.sync([] {}); });
        },
        "called on queue 'com.falnor.AUEnginePlayer.stateQueue' from that queue");
    EXPECT_DEATH(
        {
            DispatchQueue a("queue.a");
            DispatchQueue b("queue.b");
            a.sync([&] { b.sync([&] { a.sync([] {}); }); });
        },
        "called on queue 'queue.a' from that queue");
    EXPECT_DEATH(
        {
            DispatchQueue q("com.example.q");
            DispatchQueue copy = q;
            q.sync([&] { copy.sync([] {}); });
        },
        "called on queue 'com.example.q' from that queue");
}

TEST(DispatchQueue, SyncOntoTheGlobalQueueRunsOnTheCallingThread) {
    bool ran = false;
    DispatchQueue::global().sync([&] {
        ran = RunLoop::isMainThread();
        DispatchQueue::global().sync([&] { ran = ran && RunLoop::isMainThread(); });
    });
    EXPECT_TRUE(ran);
}

} // namespace
