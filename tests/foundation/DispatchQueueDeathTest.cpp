#include "foundation/DispatchQueue.h"
#include "foundation/RunLoop.h"

#include <gtest/gtest.h>

namespace {

class DispatchQueueDeathTest : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(DispatchQueueDeathTest, SyncOntoTheMainQueueFromTheMainThreadFailsClearly) {
    EXPECT_DEATH(DispatchQueue::main().sync([] {}),
                 "DispatchQueue::sync: called on queue 'main' from that queue, which would deadlock");
}

TEST_F(DispatchQueueDeathTest, SyncOntoASerialQueueFromItsOwnItemNamesTheQueue) {
    EXPECT_DEATH(
        {
            DispatchQueue queue("com.falnor.AUEnginePlayer.stateQueue");
            queue.sync([&] { queue.sync([] {}); });
        },
        "called on queue 'com.falnor.AUEnginePlayer.stateQueue' from that queue");
}

TEST_F(DispatchQueueDeathTest, SyncBackOntoAnOuterQueueIsCaughtToo) {
    EXPECT_DEATH(
        {
            DispatchQueue a("queue.a");
            DispatchQueue b("queue.b");
            a.sync([&] { b.sync([&] { a.sync([] {}); }); });
        },
        "called on queue 'queue.a' from that queue");
}

TEST(DispatchQueue, SyncOntoTheGlobalQueueRunsOnTheCallingThread) {
    bool ran = false;
    DispatchQueue::global().sync([&] {
        ran = RunLoop::isMainThread();
        DispatchQueue::global().sync([&] { ran = ran && RunLoop::isMainThread(); });
    });
    EXPECT_TRUE(ran);
}

TEST(DispatchQueue, CopiesNameTheSameQueue) {
    DispatchQueue q("com.example.q");
    DispatchQueue copy = q;
    EXPECT_EQ(copy.label(), "com.example.q");
    EXPECT_DEATH(
        {
            GTEST_FLAG_SET(death_test_style, "threadsafe");
            q.sync([&] { copy.sync([] {}); });
        },
        "com.example.q");
}

} // namespace
