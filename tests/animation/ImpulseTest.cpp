#include "animation/Impulse.h"

#include "VirtualClock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using vyk::Impulse;

// Per tick: "m<value>" for a move, "c" for a collision, "f<value>" at the end.
struct Trace {
    std::vector<std::string> events;
    void attach(Impulse& i) {
        i.onAnimation = [this](Impulse& self) { events.push_back("m" + str(self.getValue())); };
        i.onCollision = [this](Impulse& self) { events.push_back("c"); };
        i.onFinished = [this](Impulse& self) { events.push_back("f" + str(self.getValue())); };
    }
    static std::string str(float v) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.9g", v);
        return buf;
    }
};

class ImpulseTimer : public vyk::test::VirtualClockTest {};

// A push of 10 at the default intensity moves the value 32 times and ends at the
// 33rd tick, near 10 x 0.75 / 0.25 = 30; then the impulse stops and is released.
TEST_F(ImpulseTimer, APushDecaysAndEnds) {
    Trace t;
    float endValue = 0;
    std::weak_ptr<Impulse> weak;
    {
        auto i = Impulse::make(0, 10);
        t.attach(*i);
        i->onFinished = [&](Impulse& self) { endValue = self.getValue(); };
        i->start();
        weak = i;
    }
    tick(0.009f, 3);
    EXPECT_EQ(t.events, (std::vector<std::string>{"m7.5", "m13.125", "m17.34375"}));
    tick(0.009f, 29);
    EXPECT_EQ(t.events.size(), 32u);
    EXPECT_EQ(endValue, 0.0f);
    ASSERT_FALSE(weak.expired());
    tick(0.009f);
    EXPECT_FLOAT_EQ(endValue, 29.9969807f);
    EXPECT_EQ(t.events.size(), 32u);
    EXPECT_TRUE(weak.expired());
}

// Bounds 0..10: a step that reaches or crosses a bound is taken back and the push
// turned round, reported before the move.
TEST(Impulse, TurnsAtTheBounds) {
    auto i = Impulse::make();
    i->setMinMax(true, 0, 10);
    i->setup(0, 8);
    Trace t;
    t.attach(*i);
    for (int k = 0; k < 5; ++k) i->animate();
    EXPECT_EQ(t.events, (std::vector<std::string>{"m6", "c", "m6", "m2.625", "m0.09375", "c", "m0.09375"}));
    // A value landing exactly on a bound counts.
    auto j = Impulse::make();
    j->setMinMax(true, -5, 6);
    j->setup(0, 8);
    Trace u;
    u.attach(*j);
    j->animate();
    EXPECT_EQ(u.events, (std::vector<std::string>{"c", "m0"}));
    // Disabled bounds have no effect.
    j->setMinMax(false, 0, 0);
    j->animate();
    EXPECT_EQ(u.events.back(), "m-4.5");
}

TEST(Impulse, EndsAtTheThresholdAndKeepsItsSource) {
    auto i = Impulse::make(0, 0.0013f);
    Trace t;
    t.attach(*i);
    i->animate(); // 0.000975 is below 0.001: ends without moving
    EXPECT_EQ(t.events, (std::vector<std::string>{"f0"}));
    EXPECT_TRUE(i->isFinished());
    EXPECT_EQ(i->getSourceValue(), 0.0013f);
}

// A push that is not a finite number ends the impulse at its first tick instead of
// ticking forever, as does a start without a set-up (no push); starting twice
// leaves one timer, so it ends once.
TEST_F(ImpulseTimer, NonFiniteOrMissingPushEndsAtOnce) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (auto [amount, intensity] : {std::pair{nan, 0.75f}, {10.0f, nan}, {inf, 0.75f}, {-inf, 0.5f}, {0.0f, 0.75f}}) {
        auto i = amount == 0 ? Impulse::make() : Impulse::make(0, amount, 0.009f, intensity);
        int finished = 0, moved = 0;
        i->onFinished = [&](Impulse&) { ++finished; };
        i->onAnimation = [&](Impulse&) { ++moved; };
        i->start();
        i->start();
        std::weak_ptr<Impulse> weak = i;
        i.reset();
        tick(0.009f, 3);
        EXPECT_EQ(finished, 1);
        EXPECT_EQ(moved, 0);
        EXPECT_TRUE(weak.expired());
    }
}

// A callback that stops the impulse ends the tick.
TEST(Impulse, CallbackThatStopsEndsTheTick) {
    auto i = Impulse::make();
    i->setMinMax(true, 0, 5);
    i->setup(0, 8);
    int moves = 0;
    i->onCollision = [](Impulse& self) { self.stop(); };
    i->onAnimation = [&](Impulse&) { ++moves; };
    i->animate();
    EXPECT_EQ(moves, 0);
    EXPECT_TRUE(i->isFinished());
    EXPECT_EQ(i->getValue(), 0.0f);
}

} // namespace
