#pragma once
// AnimatorStack: runs Animators side by side from one timer of its own. Each tick
// steps every unfinished Animator once (at the stack's pace, whatever interval the
// Animator holds) and takes out those that complete; the first tick that steps
// nothing reports onFinished and stops the stack, which leaves the list empty.
//
// Ownership: made only by make(); holds its Animators; a started stack is held by
// its timer until it stops.
// Thread rules: one thread, the one whose run loop start() schedules on. A callback
// that stops, resets or restarts the stack ends that tick at once.
#include "animation/Animator.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class Timer;

namespace vyk {

class AnimatorStack : public std::enable_shared_from_this<AnimatorStack> {
    struct Token {};

public:
    using ItemCallback = std::function<void(AnimatorStack&, Animator&)>;

    static std::shared_ptr<AnimatorStack> make();
    explicit AnimatorStack(Token) {}
    AnimatorStack(const AnimatorStack&) = delete;
    AnimatorStack& operator=(const AnimatorStack&) = delete;

    // Appends an Animator (a null one is ignored); one added during a tick is first
    // visited at the next.
    void add(std::shared_ptr<Animator> item);
    std::int64_t getCount() const { return static_cast<std::int64_t>(_animators.size()); }
    std::vector<std::shared_ptr<Animator>> getItems() const { return _animators; }

    // Schedules the timer with the current interval (a held timer is invalidated first).
    void start();
    // Both invalidate the timer and empty the list; the Animators are left as they are.
    void stop() { reset(); }
    void reset();
    void animate();

    float interval = 0.005f;
    ItemCallback onAnimation;                       // before each frame step of an Animator
    std::function<void(AnimatorStack&)> onFinished; // at the first tick with nothing to step
    ItemCallback onRemovedItem;                     // after a completed Animator left the list

private:
    std::shared_ptr<Timer> _timer;
    std::vector<std::shared_ptr<Animator>> _animators;
    std::uint64_t generation_ = 0; // changes at every stop, reset and start
};

} // namespace vyk
