#pragma once
// AnimationSequencer: places Animators on a frame timeline. Each timer tick counts
// one frame (also while paused), makes every Animator whose start frame has come
// active, steps each active Animator once (at the sequencer's pace), and at the end
// frame reports onFinished and stops, which sets the frame counter back to 0.
//
// The end frame is the latest frame at which an Animator completes: one set up for
// N frames needs N + 1 steps, the first at its start frame, and never before frame
// 1 (the first tick). It only grows, except through removeAll().
//
// Ownership: made only by make(); holds its Animators; a started sequencer is held
// by its timer until it stops.
// Thread rules: one thread, the one whose run loop start() schedules on. A callback
// that stops, restarts, seeks or rewinds the sequencer ends that tick at once.
#include "animation/Animator.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class Timer;

namespace vyk {

class AnimationSequencer : public std::enable_shared_from_this<AnimationSequencer> {
    struct Token {};

public:
    static std::shared_ptr<AnimationSequencer> make();
    explicit AnimationSequencer(Token) {}
    AnimationSequencer(const AnimationSequencer&) = delete;
    AnimationSequencer& operator=(const AnimationSequencer&) = delete;

    // Places an Animator at a start frame, behind those with the same start frame.
    // A null item prints an error line and changes nothing.
    void add(std::shared_ptr<Animator> item, std::int64_t at);
    // Takes out the first entry that is `item` (none when absent); the active list
    // is not touched.
    void remove(const std::shared_ptr<Animator>& item);
    // Empties the timeline and sets the end frame to 0; the active list, the frame
    // counter and the search position stay.
    void removeAll();

    std::int64_t getCount() const { return static_cast<std::int64_t>(_animators.size()); }
    std::int64_t getCurrentCount() const { return static_cast<std::int64_t>(_animatedItems.size()); }
    std::int64_t getCurrentFrame() const { return _currentFrame; }
    std::int64_t getCurrentIndex() const { return _currentIndex; }

    // Schedules the timer with the current interval (a held timer is invalidated
    // first); runs on from where the fields stand.
    void start();
    // Invalidates the timer; the frame counter and search position go back to 0.
    void stop();
    void pause() { _suspended = true; }
    void continue_() { _suspended = false; }
    // Rewinds every Animator of the timeline; the counter and active list stay.
    void rewind();
    // Moves the timeline to `frame`: Animators that start before it are stopped, the
    // others rewound. A frame beyond the end frame stops the sequencer.
    void seek(std::int64_t frame);
    // One tick without the frame advance.
    void animate();
    // Raises the end frame to the latest completion among the Animators.
    void calculateFrames();

    float interval = 0.005f;
    std::function<void(AnimationSequencer&, Animator&)> onAnimation; // before each step
    std::function<void(AnimationSequencer&)> onFinished;             // at the end frame

private:
    void findAnimators();
    void scheduleItem(const std::shared_ptr<Animator>& item);

    std::shared_ptr<Timer> _timer;
    std::int64_t _currentFrame = 0;
    std::int64_t _maxFrames = 0;
    std::vector<std::shared_ptr<Animator>> _animators;
    std::vector<std::shared_ptr<Animator>> _animatedItems;
    std::int64_t _currentIndex = 0;
    bool _suspended = false;
    std::uint64_t generation_ = 0; // changes at every stop, start, seek and rewind
};

} // namespace vyk
