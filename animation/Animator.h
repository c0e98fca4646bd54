#pragma once
// Animator: moves one float from a source to a destination value over a number of
// frames along an easing curve, one frame per animate(). It drives itself with a
// repeating timer (start()), or a stack, chain or sequencer calls animate() from
// its own timer.
//
// A tween of N >= 1 frames takes N + 1 calls: call k reports the value of frame
// k - 1 through onAnimation and computes frame k; call N + 1 sets the destination,
// stops and reports it through onFinished. A looped tween runs back and forth
// (onLoop at each turn) until stop() or until `looped` is cleared.
//
// Ownership: made only by make(), held by shared_ptr. A started Animator is held by
// its timer until it stops, so it needs no other owner while it runs, and is
// released once it has stopped (no cycle outlives stop()).
//
// Thread rules: one thread, the one whose run loop start() schedules on (the main
// thread). Callbacks run inside animate() and may call any operation of this
// Animator; a callback that stops, sets up again or restarts it ends that frame at
// once.
#include "animation/Easing.h"
#include "animation/EnumEasing.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

class Timer;

namespace vyk {

class Animator : public std::enable_shared_from_this<Animator> {
    struct Token {};

public:
    using ValueCallback = std::function<void(Animator&, float value)>;
    using LoopCallback = std::function<void(Animator&)>;

    static std::shared_ptr<Animator> make();
    static std::shared_ptr<Animator> make(float sourceValue, float destinationValue, std::int64_t frames,
                                          float interval = 0.009f, EnumEasing type = EnumEasing::EASING_easeNone);
    explicit Animator(Token);
    ~Animator();
    Animator(const Animator&) = delete;
    Animator& operator=(const Animator&) = delete;

    // Live Animators (diagnostics).
    static std::int64_t classCount();

    // Prepares a tween from `source`; touches neither the timer, `looped`, nor the
    // callbacks. Frames below 0 become 0, and so does a tween that covers no distance.
    void setup(float source, float destination, std::int64_t frames, float interval = 0.009f,
               EnumEasing type = EnumEasing::EASING_easeNone);
    // The tween from the destination back to the source.
    void reverse();
    // Jumps to the destination within the call (linear, one frame).
    void undo();
    // The tween again from its source, with the frame count last given to setup(),
    // the linear curve and the interval 0.009 s.
    void rewind();

    float getDestinationValue() const { return _destination; }
    float getSourceValue() const { return _source; }
    float getValue() const { return _value; }

    void animate();
    bool isFinished() const { return _frames < 0; }

    // Schedules a repeating timer of the current interval on this thread's run loop
    // (a timer already held is invalidated first).
    void start();
    // Invalidates the timer and leaves the Animator finished.
    void stop();

    // The new curve applies from the next frame on.
    void setType(EnumEasing type);
    // Applies at the next start().
    void setInterval(float interval) { _interval = interval; }

    bool looped = false;
    ValueCallback onAnimation; // each frame, with the value before the frame's step
    ValueCallback onFinished;  // once at the end of a tween that is not looped
    LoopCallback onLoop;       // at each turn of a looped tween

    // For the sequencer: its timeline position and the current tween's length
    // (-1 once finished).
    std::int64_t startFrame() const { return _startFrame; }
    void setStartFrame(std::int64_t frame) { _startFrame = frame; }
    std::int64_t frames() const { return _frames; }

private:
    void reset();

    std::int64_t _startFrame = 0;
    std::int64_t _frameCount = 0;
    std::shared_ptr<Timer> _timer;
    float _source = 0;
    float _value = 0;
    float _destination = 0;
    float _amount = 0;
    std::int64_t _frames = -1;
    std::int64_t _step = 0;
    float _interval = 0.005f;
    easing::Curve _action = easing::easeNone;
    EnumEasing _type = EnumEasing::EASING_easeNone;
    // Changes whenever the Animator is stopped, set up or started, so a frame can
    // tell that a callback took over.
    std::uint64_t generation_ = 0;

    static std::atomic<std::int64_t> liveCount;
};

} // namespace vyk
