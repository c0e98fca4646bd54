#pragma once
// AnimatorChain: runs Animators one after another, walking its list by an index,
// forward or backward. Synchronous (the default): each tick steps the current
// Animator and moves on once it has completed. Asynchronous: each tick starts the
// current Animator on its own timer and moves on; the chain finishes once it has
// started the last one. A walk ends past the last entry (forward) or past the first
// (backward), with onFinished, and stops the chain, which sets the index back to 0.
//
// Ownership: made only by make(); holds its Animators; a started chain is held by
// its timer until it stops.
// Thread rules: one thread, the one whose run loop start() schedules on. A callback
// that stops or restarts the chain ends that tick at once.
#include "animation/Animator.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class Timer;

namespace vyk {

class AnimatorChain : public std::enable_shared_from_this<AnimatorChain> {
    struct Token {};

public:
    static std::shared_ptr<AnimatorChain> make();
    explicit AnimatorChain(Token) {}
    AnimatorChain(const AnimatorChain&) = delete;
    AnimatorChain& operator=(const AnimatorChain&) = delete;

    // Appends an Animator; a null one is ignored.
    void add(std::shared_ptr<Animator> item);
    // Takes out the first entry that is `item`; the index is not adjusted. A null
    // item or one not in the list changes nothing.
    void remove(const std::shared_ptr<Animator>& item);
    // Stops the chain (no onFinished) and empties the list.
    void removeAll();

    std::int64_t getCount() const { return static_cast<std::int64_t>(_animators.size()); }
    // The index of the Animator the next tick works on; 0 when idle.
    std::int64_t getCurrentIndex() const { return _currentIndex; }
    // The Animator at the index, or null when the index names no entry.
    std::shared_ptr<Animator> getCurrentItem() const;

    // Schedules the timer with the current interval (a held timer is invalidated
    // first); neither index nor direction is touched.
    void start();
    // Invalidates the timer and sets the index to 0; the Animators run on.
    void stop();
    // true: walk backward from the next advance on; false: forward.
    void setBackwards(bool direction) { _direction = direction ? -1 : 1; }
    void animate();

    float interval = 0.005f;
    bool async = false;
    std::function<void(AnimatorChain&, Animator&)> onAnimation; // each tick, its Animator
    std::function<void(AnimatorChain&)> onFinished;             // when a walk ends

private:
    std::shared_ptr<Timer> _timer;
    std::vector<std::shared_ptr<Animator>> _animators;
    std::int64_t _currentIndex = 0;
    std::int64_t _direction = 1;
    std::uint64_t generation_ = 0; // changes at every stop and start
};

} // namespace vyk
