#pragma once
// Impulse: moves a value by a decaying push. Each tick multiplies the push by the
// intensity and adds it to the value, until the push falls below 0.001 (or is not
// a finite number); then onFinished fires and the impulse stops, which sets value
// and push back to 0. With bounds enabled, a step that reaches or crosses a bound
// is taken back and the push turned round (onCollision).
//
// Ownership: made only by make(); a started impulse is held by its timer until it
// stops.
// Thread rules: one thread, the one whose run loop start() schedules on. A callback
// that stops, sets up or restarts the impulse ends that tick at once.
#include <cstdint>
#include <functional>
#include <memory>

class Timer;

namespace vyk {

class Impulse : public std::enable_shared_from_this<Impulse> {
    struct Token {};

public:
    using Callback = std::function<void(Impulse&)>;

    static std::shared_ptr<Impulse> make();
    static std::shared_ptr<Impulse> make(std::int64_t frames, float amount, float interval = 0.009f,
                                         float intensity = 0.75f);
    explicit Impulse(Token) {}
    Impulse(const Impulse&) = delete;
    Impulse& operator=(const Impulse&) = delete;

    // A new push from the current value. Frames below 0 become 0 (the count is kept
    // for the finished test only).
    void setup(std::int64_t frames, float amount, float interval = 0.009f, float intensity = 0.75f);
    // Bounds of the value while `enabled`; stored as given.
    void setMinMax(bool enabled, float min, float max);

    // Schedules the timer with the current interval (a held timer is invalidated first).
    void start();
    // Invalidates the timer; value, push and step count go back to 0, unset up.
    void stop();
    void animate();

    bool isFinished() const { return _frames < 0; }
    float getSourceValue() const { return _source; } // the push of the last set-up
    float getValue() const { return _value; }

    Callback onAnimation; // after each tick that moved the value
    Callback onFinished;  // at the tick that ends the impulse, before it stops
    Callback onCollision; // after a step was turned back at a bound

private:
    void reset();

    std::shared_ptr<Timer> _timer;
    std::int64_t _frames = -1;
    std::int64_t _step = 0;
    float _amount = 0;
    float _value = 0;
    float _source = 0;
    float _intensity = 0.75f;
    float _threshold = 0.001f;
    float _interval = 0.009f;
    float _minVal = -1024;
    float _maxVal = 1024;
    bool _collision = false;
    std::uint64_t generation_ = 0; // changes at every stop, set-up and start
};

} // namespace vyk
