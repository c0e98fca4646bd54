#include "animation/Animator.h"

#include "VirtualClock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using vyk::Animator;
using vyk::EnumEasing;

// What the callbacks of an Animator reported, in order.
struct Event {
    char kind; // 'a' onAnimation, 'f' onFinished, 'l' onLoop
    float value;
    bool operator==(const Event&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Event& e) { return os << e.kind << ' ' << e.value; }

struct Recorder {
    std::vector<Event> events;
    void attach(Animator& a) {
        a.onAnimation = [this](Animator&, float v) { events.push_back({'a', v}); };
        a.onFinished = [this](Animator&, float v) { events.push_back({'f', v}); };
        a.onLoop = [this](Animator& self) { events.push_back({'l', self.getValue()}); };
    }
};

constexpr float third = 0.333333343f, twoThirds = 0.666666687f;

TEST(Animator, DegenerateTweensFinishAtTheFirstFrame) {
    auto fresh = Animator::make();
    Recorder r;
    r.attach(*fresh);
    EXPECT_TRUE(fresh->isFinished());
    fresh->animate(); // never set up: nothing
    EXPECT_TRUE(r.events.empty());

    fresh->setup(0.5f, 0.5f, 10); // covers no distance
    EXPECT_EQ(fresh->frames(), 0);
    fresh->animate();
    EXPECT_EQ(r.events, (std::vector<Event>{{'f', 0.5f}}));

    // reverse() of a finished tween has -1 frames, clamped to 0: it jumps back.
    r.events.clear();
    fresh->setup(0, 2, -5);
    fresh->animate();
    fresh->reverse();
    fresh->animate();
    EXPECT_EQ(r.events, (std::vector<Event>{{'f', 2}, {'f', 0}}));
}

// Each leg ends at its destination, turns (onLoop) and starts from there.
TEST(Animator, LoopedTweenRunsBackAndForthUntilStopped) {
    auto a = Animator::make(0, 1, 2);
    a->looped = true;
    Recorder r;
    r.attach(*a);
    for (int i = 0; i < 7; ++i) a->animate();
    EXPECT_EQ(r.events,
              (std::vector<Event>{{'a', 0}, {'a', 0.5f}, {'l', 1}, {'a', 1}, {'a', 0.5f}, {'l', 0}, {'a', 0}}));
    EXPECT_FALSE(a->isFinished());

    // Clearing the flag lets the leg under way end like a plain tween.
    r.events.clear();
    a->looped = false;
    a->animate();
    a->animate();
    EXPECT_EQ(r.events, (std::vector<Event>{{'a', 0.5f}, {'f', 1}}));

    // stop() clears the flag: set up again, the tween runs once.
    a->looped = true;
    a->stop();
    EXPECT_FALSE(a->looped);
}

TEST(Animator, RewindRestartsLinearlyAndUndoJumpsToTheEnd) {
    auto a = Animator::make(0, 1, 4, 0.02f, EnumEasing::EASING_easeOutExpo);
    Recorder r;
    r.attach(*a);
    a->animate();
    a->animate();
    EXPECT_NEAR(r.events.back().value, 1 - std::pow(2.0, -2.5), 1e-6); // out-expo, frame 1 of 4
    a->rewind();
    r.events.clear();
    for (int i = 0; i < 3; ++i) a->animate();
    EXPECT_EQ(r.events, (std::vector<Event>{{'a', 0}, {'a', 0.25f}, {'a', 0.5f}}));

    r.events.clear();
    a->undo();
    EXPECT_EQ(r.events, (std::vector<Event>{{'a', 0}, {'f', 1}}));
    EXPECT_TRUE(a->isFinished());
}

// A callback that stops or sets up its own Animator ends the frame: no step with
// the old fields (which would give 0 - 1 after a stop or 0/0 after a set-up), no
// late onFinished.
TEST(Animator, CallbackThatStopsOrResetsEndsTheFrame) {
    auto a = Animator::make(0, 1, 4);
    int finished = 0;
    a->onFinished = [&](Animator&, float) { ++finished; };
    a->onAnimation = [](Animator& self, float v) {
        if (v > 0) self.stop();
    };
    a->animate();
    a->animate();
    EXPECT_EQ(a->getValue(), 0.25f);
    EXPECT_TRUE(a->isFinished());
    a->animate();
    EXPECT_EQ(finished, 0);

    auto b = Animator::make(0, 1, 4);
    b->onAnimation = [](Animator& self, float) { self.setup(5, 5, 3); };
    b->animate();
    EXPECT_EQ(b->getValue(), 5.0f);
    b->onAnimation = nullptr;
    float end = 0;
    b->onFinished = [&](Animator&, float v) { end = v; };
    b->animate();
    EXPECT_EQ(end, 5.0f);

    // Stopped at a turn, a looped tween does not turn into a new leg.
    auto c = Animator::make(0, 1, 1);
    c->looped = true;
    c->onLoop = [](Animator& self) { self.stop(); };
    c->animate();
    c->animate();
    EXPECT_TRUE(c->isFinished());
    EXPECT_EQ(c->getValue(), 1.0f);

    // A callback may drop the last outside reference to its Animator.
    auto d = Animator::make(0, 1, 1);
    bool called = false;
    d->onFinished = [&](Animator& self, float v) {
        d.reset();
        called = self.getValue() == v;
    };
    Animator* raw = d.get();
    raw->animate();
    raw->animate();
    EXPECT_TRUE(called);
}

class AnimatorTimer : public vyk::test::VirtualClockTest {};

// Started and left alone, an Animator runs its tween on the run loop, one frame per
// period: a tween of N frames takes N + 1 ticks, each reporting the value before its
// step, the last the destination through onFinished. Then it is released.
TEST_F(AnimatorTimer, RunsOnItsTimerAndIsReleasedAfterItStops) {
    const auto baseline = Animator::classCount();
    std::weak_ptr<Animator> weak;
    Recorder r;
    {
        auto a = Animator::make(0, 1, 3);
        r.attach(*a);
        a->start();
        weak = a;
    }
    EXPECT_EQ(Animator::classCount(), baseline + 1);
    loop.advance(0.0089); // first frame one period after start()
    EXPECT_TRUE(r.events.empty());
    tick(0.009f, 3);
    EXPECT_EQ(r.events, (std::vector<Event>{{'a', 0}, {'a', third}, {'a', twoThirds}}));
    EXPECT_FALSE(weak.expired());
    tick(0.009f);
    EXPECT_EQ(r.events.back(), (Event{'f', 1}));
    EXPECT_TRUE(weak.expired());
    EXPECT_EQ(Animator::classCount(), baseline);
    tick(0.009f, 3);
    EXPECT_EQ(r.events.size(), 4u);
}

// Whatever ends a started Animator releases it: stop() of a looped one, and undo()
// (which reports the destination within the call). Starting twice leaves one timer.
TEST_F(AnimatorTimer, StopAndUndoReleaseAStartedAnimator) {
    auto looped = Animator::make(0, 1, 2);
    looped->looped = true;
    int loops = 0;
    looped->onLoop = [&](Animator&) { ++loops; };
    looped->start();
    std::weak_ptr<Animator> weakLooped = looped;
    looped.reset();
    tick(0.009f, 9);
    EXPECT_EQ(loops, 3);
    ASSERT_FALSE(weakLooped.expired());
    weakLooped.lock()->stop();
    EXPECT_TRUE(weakLooped.expired());

    auto a = Animator::make(0, 1, 10);
    int frames = 0;
    float end = 0;
    a->onAnimation = [&](Animator&, float) { ++frames; };
    a->onFinished = [&](Animator&, float v) { end = v; };
    a->start();
    a->start();
    tick(0.009f, 2);
    EXPECT_EQ(frames, 2);
    std::weak_ptr<Animator> weak = a;
    a->undo();
    a.reset();
    EXPECT_EQ(end, 1.0f);
    EXPECT_TRUE(weak.expired());
}

} // namespace
