#include "animation/AnimatorStack.h"

#include "VirtualClock.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using vyk::Animator;
using vyk::AnimatorStack;

class Stack : public vyk::test::VirtualClockTest {
protected:
    std::map<const Animator*, std::string> names;

    void attach(AnimatorStack& s) {
        s.onAnimation = [this](AnimatorStack&, Animator& a) { note("a" + names[&a]); };
        s.onRemovedItem = [this](AnimatorStack&, Animator& a) { note("r" + names[&a]); };
        s.onFinished = [this](AnimatorStack&) { note("f"); };
    }
    std::shared_ptr<Animator> named(std::string name, std::int64_t frames) {
        auto a = Animator::make(0, 1, frames);
        names[a.get()] = std::move(name);
        return a;
    }
    void run(int ticks) { VirtualClockTest::run(0.005f, ticks); }
};

// Two tweens of 3 and 5 frames: the first completes at tick 4, the second at tick 6,
// and tick 7 finds nothing to step, finishes, and leaves the stack idle and empty.
TEST_F(Stack, RunsAnimatorsSideBySideAndFinishesAfterTheLast) {
    auto s = AnimatorStack::make();
    attach(*s);
    auto a1 = named("1", 3), a2 = named("2", 5);
    s->add(a1);
    s->add(nullptr);
    s->add(a2);
    EXPECT_EQ(s->getCount(), 2);
    s->start();
    std::weak_ptr<AnimatorStack> weak = s;
    s.reset();
    run(8);
    EXPECT_EQ(log, (std::vector<std::string>{"a1 a2", "a1 a2", "a1 a2", "a1 r1 a2", "a2",
                                             "a2 r2", "f", ""}));
    EXPECT_EQ(a1->getValue(), 1.0f);
    EXPECT_EQ(a2->getValue(), 1.0f);
    EXPECT_TRUE(weak.expired()); // stopped, so nothing holds it any more
}

TEST_F(Stack, EmptyOrFinishedStackFinishesOnePeriodAfterStart) {
    auto s = AnimatorStack::make();
    attach(*s);
    s->add(Animator::make()); // never set up, so finished
    s->start();
    loop.advance(0.004);
    EXPECT_TRUE(log.empty());
    run(2);
    EXPECT_EQ(log, (std::vector<std::string>{"f", ""}));
    EXPECT_EQ(s->getCount(), 0);
}

// A looped member keeps the stack running; stop() ends it without onFinished and
// leaves the member as it was.
TEST_F(Stack, StopEndsALoopedStackWithoutFinishing) {
    auto s = AnimatorStack::make();
    attach(*s);
    auto a = named("l", 2);
    a->looped = true;
    s->add(a);
    s->start();
    run(20);
    EXPECT_EQ(log.back(), "al");
    const float value = a->getValue();
    s->stop();
    run(2);
    EXPECT_EQ(log.back(), "");
    EXPECT_EQ(s->getCount(), 0);
    EXPECT_EQ(a->getValue(), value);
    EXPECT_FALSE(a->isFinished());
}

// A callback that stops the stack ends the tick: later entries are not stepped and
// no onFinished follows. One added from a callback waits for the next tick.
TEST_F(Stack, CallbacksStoppingOrAddingDuringATick) {
    auto s = AnimatorStack::make();
    auto a1 = named("1", 3), a2 = named("2", 3);
    s->add(a1);
    s->add(a2);
    int finished = 0;
    s->onFinished = [&](AnimatorStack&) { ++finished; };
    s->onAnimation = [](AnimatorStack& self, Animator&) { self.stop(); };
    s->start();
    tick(0.005f, 3);
    EXPECT_EQ(a1->getValue(), 0.0f);
    EXPECT_EQ(a2->getValue(), 0.0f);
    EXPECT_EQ(finished, 0);

    auto late = named("late", 1);
    s->onAnimation = nullptr;
    s->add(a1);
    s->onRemovedItem = [&](AnimatorStack& self, Animator&) {
        if (self.getCount() == 0) self.add(late);
    };
    a1->setup(0, 1, 0); // completes at its first step
    s->animate();
    EXPECT_EQ(late->getValue(), 0.0f); // not stepped in the tick that added it
    s->animate();
    EXPECT_EQ(late->getValue(), 1.0f);
}

} // namespace
