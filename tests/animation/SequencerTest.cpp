#include "animation/AnimationSequencer.h"

#include "VirtualClock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using vyk::AnimationSequencer;
using vyk::Animator;

class Sequencer : public vyk::test::VirtualClockTest {
protected:
    // Logged: the sequencer's onAnimation ("a<name>"), an Animator's own onFinished
    // ("<name>!") and the sequencer's onFinished ("f").
    std::shared_ptr<AnimationSequencer> seq = AnimationSequencer::make();

    void SetUp() override {
        VirtualClockTest::SetUp();
        wire();
    }
    void wire() {
        seq->onAnimation = [this](AnimationSequencer&, Animator& a) { note("a" + names[&a]); };
        seq->onFinished = [this](AnimationSequencer&) { note("f"); };
    }
    void TearDown() override {
        seq->stop();
        VirtualClockTest::TearDown();
    }
    std::shared_ptr<Animator> add(const std::string& name, std::int64_t frames, std::int64_t at) {
        auto a = named(name, frames);
        a->onFinished = [this, name](Animator&, float) { note(name + "!"); };
        seq->add(a, at);
        return a;
    }
};

// Three frames placed at frame 2: stepped at frames 2 to 4, completing at frame 5,
// which is the end frame; the sequencer then stops with its counter at 0. Placed at
// frame 0, an Animator is first stepped at frame 1.
TEST_F(Sequencer, AnimatorRunsFromItsStartFrameToTheEndFrame) {
    auto a = add("x", 3, 2);
    seq->start();
    std::weak_ptr<AnimationSequencer> weak = seq;
    seq.reset();
    run(6);
    EXPECT_EQ(log, (std::vector<std::string>{"", "ax", "ax", "ax", "ax x! f", ""}));
    EXPECT_EQ(a->getValue(), 1.0f);
    EXPECT_TRUE(weak.expired());

    seq = AnimationSequencer::make();
    wire();
    log.clear();
    add("y", 3, 0);
    seq->start();
    run(5);
    EXPECT_EQ(log, (std::vector<std::string>{"ay", "ay", "ay", "ay y! f", ""}));
    EXPECT_EQ(seq->getCurrentCount(), 0);
    EXPECT_EQ(seq->getCurrentFrame(), 0);
}

// Equal start frames keep the order of adding; an earlier one added later sorts
// in front.
TEST_F(Sequencer, OrderOfAnimatorsOnTheTimeline) {
    add("b", 1, 2);
    add("c", 1, 2);
    add("d", 1, 1);
    seq->start();
    run(3);
    EXPECT_EQ(log, (std::vector<std::string>{"ad", "ad d! ab ac", "ab b! ac c! f"}));
}

// The end frame only grows when an Animator is removed; removeAll() resets it.
TEST_F(Sequencer, EndFrameAfterRemovals) {
    auto late = add("l", 3, 10);
    add("e", 1, 1);
    seq->remove(late);
    seq->remove(late); // no longer there
    EXPECT_EQ(seq->getCount(), 1);
    seq->start();
    run(13);
    EXPECT_EQ(log[11], "");
    EXPECT_EQ(log[12], "f");

    seq->removeAll();
    add("n", 1, 1);
    log.clear();
    seq->start();
    run(2);
    EXPECT_EQ(log, (std::vector<std::string>{"an", "an n! f"}));
}

// The counter keeps counting while paused; a tick after continue_() past the end
// frame ends the sequence.
TEST_F(Sequencer, PauseKeepsCountingFrames) {
    add("x", 2, 1);
    seq->start();
    run(1);
    seq->pause();
    run(3);
    EXPECT_EQ(seq->getCurrentFrame(), 4);
    seq->continue_();
    run(1);
    EXPECT_EQ(log, (std::vector<std::string>{"ax", "", "", "", "ax f"}));
}

TEST_F(Sequencer, MessagesForAMissingAnimatorAndAnEmptyTimeline) {
    seq->add(nullptr, 3);
    EXPECT_EQ(seq->getCount(), 0);
    seq->start();
    run(3);
    const std::string warning = "WARNUNG: Es sind keine Animator Objekte definiert.";
    EXPECT_EQ(console.lines(), (std::vector<std::string>{"FEHLER: Das Animator Objekt ist ung\xC3\xBCltig.", warning,
                                                         warning, warning}));
    EXPECT_EQ(log, std::vector<std::string>(3, ""));
}

// seek() stops the Animators that start before the frame and rewinds the others;
// beyond the end frame it stops the sequencer.
TEST_F(Sequencer, SeekAndRewind) {
    auto a = add("a", 2, 1), b = add("b", 2, 5), c = add("c", 2, 10);
    seq->seek(6);
    EXPECT_EQ(seq->getCurrentIndex(), 2);
    EXPECT_EQ(seq->getCurrentFrame(), 6);
    EXPECT_TRUE(a->isFinished());
    EXPECT_TRUE(b->isFinished());
    seq->start();
    run(6);
    EXPECT_EQ(log, (std::vector<std::string>{"", "", "", "ac", "ac", "ac c! f"}));

    // Replayed from the start after rewinding, every Animator plays again.
    seq->rewind();
    log.clear();
    seq->start();
    run(12);
    EXPECT_EQ(log[0], "aa");
    EXPECT_EQ(log[2], "aa a!");
    EXPECT_EQ(log[4], "ab");
    EXPECT_EQ(log[11], "ac c! f");

    seq->seek(100);
    EXPECT_EQ(seq->getCurrentFrame(), 0);
}

// An Animator added twice is active once; a looped one stays active past the end.
TEST_F(Sequencer, DuplicateAndLoopedAnimators) {
    auto a = add("x", 3, 1);
    seq->add(a, 1);
    EXPECT_EQ(seq->getCount(), 2);
    seq->start();
    run(4);
    EXPECT_EQ(log, (std::vector<std::string>{"ax", "ax", "ax", "ax x! f"}));

    seq->removeAll();
    auto l = add("l", 2, 1);
    l->looped = true;
    log.clear();
    seq->start();
    run(4);
    EXPECT_EQ(log, (std::vector<std::string>{"al", "al", "al f", ""}));
    EXPECT_EQ(seq->getCurrentCount(), 1);
}

} // namespace
