#include "animation/AnimationSequencer.h"
#include "animation/AnimatorChain.h"
#include "animation/AnimatorStack.h"

#include "VirtualClock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using vyk::Animator;
using vyk::AnimatorStack;

class Stack : public vyk::test::VirtualClockTest {
protected:
    std::shared_ptr<AnimatorStack> stack = AnimatorStack::make();

    void SetUp() override {
        VirtualClockTest::SetUp();
        stack->onAnimation = [this](AnimatorStack&, Animator& a) { note("a" + names[&a]); };
        stack->onRemovedItem = [this](AnimatorStack&, Animator& a) { note("r" + names[&a]); };
        stack->onFinished = [this](AnimatorStack&) { note("f"); };
    }
    void TearDown() override {
        stack->stop();
        VirtualClockTest::TearDown();
    }
};

// Two tweens of 3 and 5 frames: the first completes at tick 4, the second at tick 6,
// and tick 7 finds nothing to step, finishes, and leaves the stack idle and empty.
TEST_F(Stack, RunsAnimatorsSideBySideAndFinishesAfterTheLast) {
    auto a1 = named("1", 3), a2 = named("2", 5);
    stack->add(a1);
    stack->add(nullptr);
    stack->add(a2);
    EXPECT_EQ(stack->getCount(), 2);
    stack->start();
    std::weak_ptr<AnimatorStack> weak = stack;
    stack.reset();
    run(8);
    EXPECT_EQ(log, (std::vector<std::string>{"a1 a2", "a1 a2", "a1 a2", "a1 r1 a2", "a2", "a2 r2", "f", ""}));
    EXPECT_EQ(a1->getValue(), 1.0f);
    EXPECT_EQ(a2->getValue(), 1.0f);
    EXPECT_TRUE(weak.expired()); // stopped, so nothing holds it any more
    stack = AnimatorStack::make();
}

// A stack of finished Animators finishes one period after start(). A looped member
// keeps the stack running; stop() ends it without onFinished and leaves the member
// as it was.
TEST_F(Stack, FinishedStackEndsAtOnceAndStopEndsALoopedOne) {
    stack->add(Animator::make()); // never set up, so finished
    stack->start();
    loop.advance(0.004);
    EXPECT_TRUE(log.empty());
    run(2);
    EXPECT_EQ(log, (std::vector<std::string>{"f", ""}));
    EXPECT_EQ(stack->getCount(), 0);

    auto a = named("l", 2);
    a->looped = true;
    stack->add(a);
    stack->start();
    run(20);
    EXPECT_EQ(log.back(), "al");
    const float value = a->getValue();
    stack->stop();
    run(2);
    EXPECT_EQ(log.back(), "");
    EXPECT_EQ(stack->getCount(), 0);
    EXPECT_EQ(a->getValue(), value);
    EXPECT_FALSE(a->isFinished());
}

// One added from a callback waits for the next tick.
TEST_F(Stack, AnimatorAddedDuringATickWaitsForTheNext) {
    auto a1 = named("1", 0), late = named("late", 1);
    stack->add(a1); // no frames: completes at its first step
    stack->onRemovedItem = [&](AnimatorStack& self, Animator&) {
        if (self.getCount() == 0) self.add(late);
    };
    stack->animate();
    EXPECT_EQ(late->getValue(), 0.0f); // not stepped in the tick that added it
    stack->animate();
    EXPECT_EQ(late->getValue(), 1.0f);
}

class Containers : public vyk::test::VirtualClockTest {};

// A callback that stops its container ends the tick: no step, later entries are not
// stepped, and no onFinished follows.
TEST_F(Containers, ACallbackThatStopsEndsTheTick) {
    auto a = named("a", 3), b = named("b", 3);
    auto chain = vyk::AnimatorChain::make();
    auto sequencer = vyk::AnimationSequencer::make();
    auto stack = AnimatorStack::make();
    chain->add(a);
    sequencer->add(a, 1);
    stack->add(a);
    stack->add(b);
    int finished = 0;
    auto check = [&](auto container) {
        container->onAnimation = [](auto& self, Animator&) { self.stop(); };
        container->onFinished = [&](auto&) { ++finished; };
        container->start();
        run(3);
        container->stop();
    };
    check(chain);
    check(sequencer);
    check(stack);
    EXPECT_EQ(a->getValue(), 0.0f);
    EXPECT_EQ(b->getValue(), 0.0f);
    EXPECT_EQ(finished, 0);
}

} // namespace
