#include "animation/AnimatorChain.h"

#include "VirtualClock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using vyk::Animator;
using vyk::AnimatorChain;

const std::string warning = "WARNUNG: Es sind keine Animator Objekte definiert.";

class Chain : public vyk::test::VirtualClockTest {
protected:
    std::shared_ptr<AnimatorChain> chain = AnimatorChain::make();

    void SetUp() override {
        VirtualClockTest::SetUp();
        chain->onAnimation = [this](AnimatorChain&, Animator& a) { note("a" + names[&a]); };
        chain->onFinished = [this](AnimatorChain&) { note("f"); };
    }
    void TearDown() override {
        chain->stop();
        VirtualClockTest::TearDown();
    }
    std::shared_ptr<Animator> add(std::int64_t frames) {
        auto a = named(std::to_string(names.size()), frames);
        chain->add(a);
        return a;
    }
};

// Forward and synchronous: each Animator runs to completion in turn; the tick that
// completes the last one finishes the chain, which goes back to index 0.
TEST_F(Chain, SynchronousForwardRunsOneAfterAnother) {
    auto a0 = add(2), a1 = add(1);
    chain->start();
    run(6);
    EXPECT_EQ(log, (std::vector<std::string>{"a0", "a0", "a0", "a1", "a1 f", ""}));
    EXPECT_EQ(chain->getCurrentIndex(), 0);
    EXPECT_EQ(a0->getValue(), 1.0f);
    EXPECT_EQ(a1->getValue(), 1.0f);

    // Started again without rewinding: each finished Animator is passed in one tick.
    log.clear();
    chain->start();
    run(3);
    EXPECT_EQ(log, (std::vector<std::string>{"a0", "a1 f", ""}));
}

// Asynchronous: one Animator started per tick on its own timer; the chain finishes
// when it has started the last, and the Animators run on.
TEST_F(Chain, AsynchronousStartsOnePerTick) {
    auto a0 = add(3), a1 = add(3), a2 = add(3);
    chain->async = true;
    chain->start();
    std::weak_ptr<AnimatorChain> weak = chain;
    chain.reset();
    run(3);
    EXPECT_EQ(log, (std::vector<std::string>{"a0", "a1", "a2 f"}));
    EXPECT_TRUE(weak.expired());
    EXPECT_FALSE(a2->isFinished());
    tick(0.009f, 10);
    for (auto& a : {a0, a1, a2}) {
        EXPECT_TRUE(a->isFinished());
        EXPECT_EQ(a->getValue(), 1.0f);
    }
    chain = AnimatorChain::make();
}

// Turned backward while the third of three runs, the walk goes back over the
// second and the first (both finished, so one tick each) and ends past the first.
// A stopped chain set backward works on the first entry until it completes.
TEST_F(Chain, BackwardWalks) {
    auto a0 = add(1);
    add(1);
    auto a2 = add(1);
    chain->start();
    run(5);
    EXPECT_EQ(chain->getCurrentIndex(), 2);
    EXPECT_EQ(chain->getCurrentItem(), a2);
    chain->setBackwards(true);
    run(4);
    EXPECT_EQ(log, (std::vector<std::string>{"a0", "a0", "a1", "a1", "a2", "a2", "a1", "a0 f", ""}));

    log.clear();
    a0->setup(0, 1, 2);
    chain->start();
    run(4);
    EXPECT_EQ(log, (std::vector<std::string>{"a0", "a0", "a0 f", ""}));
    EXPECT_EQ(a0->getValue(), 1.0f);
}

// An empty running chain warns at every tick and keeps running; an Animator added
// then is run from the next tick on.
TEST_F(Chain, EmptyChainWarnsAtEveryTick) {
    EXPECT_EQ(chain->getCurrentItem(), nullptr);
    chain->start();
    run(3);
    EXPECT_EQ(console.lines(), (std::vector<std::string>(3, warning)));
    add(1);
    run(2);
    EXPECT_EQ(log.back(), "a0 f");
    EXPECT_EQ(console.lines().size(), 3u);
}

// Removing the current last entry moves the index onto the new last one.
TEST_F(Chain, RemovedEntriesAndRemoveAll) {
    add(1);
    auto a1 = add(1);
    auto a2 = add(3);
    chain->start();
    run(5);
    EXPECT_EQ(chain->getCurrentIndex(), 2);
    chain->remove(a2);
    chain->remove(a2); // not in the list any more
    chain->remove(nullptr);
    EXPECT_EQ(chain->getCount(), 2);
    run(1);
    EXPECT_EQ(log.back(), "a1 f");

    chain->start();
    run(1);
    chain->removeAll();
    run(2);
    EXPECT_EQ(log, (std::vector<std::string>{"a0", "a0", "a1", "a1", "a2", "a1 f", "a0", "", ""}));
    EXPECT_EQ(chain->getCount(), 0);
    EXPECT_EQ(chain->getCurrentIndex(), 0);
}

} // namespace
