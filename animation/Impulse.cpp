#include "animation/Impulse.h"

#include "animation/TickTimer.h"

#include <cmath>

namespace vyk {

std::shared_ptr<Impulse> Impulse::make() { return std::make_shared<Impulse>(Token{}); }

std::shared_ptr<Impulse> Impulse::make(std::int64_t frames, float amount, float interval, float intensity) {
    auto impulse = make();
    impulse->setup(frames, amount, interval, intensity);
    return impulse;
}

void Impulse::setup(std::int64_t frames, float amount, float interval, float intensity) {
    ++generation_;
    _frames = frames;
    _step = 0;
    if (_frames < 0) _frames = 0;
    _source = amount;
    _amount = amount;
    _intensity = intensity;
    _interval = interval;
}

void Impulse::setMinMax(bool enabled, float min, float max) {
    _collision = enabled;
    _minVal = min;
    _maxVal = max;
}

void Impulse::start() {
    ++generation_;
    cancelTicks(_timer);
    _timer = scheduleTicks(_interval, [self = shared_from_this()] { self->animate(); });
}

void Impulse::stop() {
    ++generation_;
    cancelTicks(_timer);
    reset();
}

void Impulse::reset() {
    _frames = -1;
    _step = 0;
    _amount = 0;
    _value = 0;
}

void Impulse::animate() {
    const TickGuard guard(shared_from_this(), generation_);
    _amount = _amount * _intensity;
    // Written so that a NaN or infinite push ends the impulse instead of ticking forever.
    if (!(std::fabs(_amount) >= _threshold) || !std::isfinite(_amount)) {
        _amount = 0;
        if (onFinished) {
            onFinished(*this);
            if (guard.taken()) return;
        }
        stop();
        return;
    }
    ++_step;
    _value = _value + _amount;
    if (_collision && (_value <= _minVal || _value >= _maxVal)) {
        _amount = -_amount;
        _value = _value + _amount;
        if (onCollision) {
            onCollision(*this);
            if (guard.taken()) return;
        }
    }
    if (onAnimation) onAnimation(*this);
}

} // namespace vyk
