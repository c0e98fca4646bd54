#include "animation/Animator.h"

#include "animation/TickTimer.h"

namespace vyk {

std::atomic<std::int64_t> Animator::liveCount{0};

Animator::Animator(Token) { liveCount.fetch_add(1, std::memory_order_relaxed); }

Animator::~Animator() { liveCount.fetch_sub(1, std::memory_order_relaxed); }

std::int64_t Animator::classCount() { return liveCount.load(std::memory_order_relaxed); }

std::shared_ptr<Animator> Animator::make() { return std::make_shared<Animator>(Token{}); }

std::shared_ptr<Animator> Animator::make(float sourceValue, float destinationValue, std::int64_t frames, float interval,
                                         EnumEasing type) {
    auto a = make();
    a->setup(sourceValue, destinationValue, frames, interval, type);
    return a;
}

void Animator::setup(float source, float destination, std::int64_t frames, float interval, EnumEasing type) {
    ++generation_;
    _source = source;
    _destination = destination;
    _value = _source;
    _amount = _destination - _source;
    _frames = frames;
    _frameCount = _frames;
    _step = 0;
    _interval = interval;
    setType(type);
    if (_frames < 0) _frames = 0;
    if (_amount == 0) _frames = 0;
}

void Animator::reverse() { setup(_destination, _source, _frames, _interval, _type); }

void Animator::undo() {
    _frames = 1;
    _step = 0;
    setup(_source, _destination, 1, 0.009f, EnumEasing::EASING_easeNone);
    animate();
    animate();
}

void Animator::rewind() { setup(_source, _destination, _frameCount, 0.009f, EnumEasing::EASING_easeNone); }

void Animator::setType(EnumEasing type) {
    _type = type;
    _action = easing::curveFor(type);
}

void Animator::animate() {
    if (_frames < 0) return;
    // A callback may drop the last outside reference; stay alive until the frame ends.
    const auto keepAlive = shared_from_this();
    const auto generation = generation_;
    if (_step < _frames) {
        if (onAnimation) {
            onAnimation(*this, _value);
            if (generation_ != generation) return;
        }
        ++_step;
        _value = _action(_step, _source, _amount, _frames);
        return;
    }
    _value = _destination;
    if (looped) {
        if (onLoop) {
            onLoop(*this);
            if (generation_ != generation) return;
        }
        reverse();
        return;
    }
    stop();
    if (onFinished) onFinished(*this, _value);
}

void Animator::start() {
    ++generation_;
    cancelTicks(_timer);
    _timer = scheduleTicks(_interval, [self = shared_from_this()] { self->animate(); });
}

void Animator::stop() {
    ++generation_;
    cancelTicks(_timer);
    reset();
}

void Animator::reset() {
    _step = 0;
    _frames = -1;
    looped = false;
}

} // namespace vyk
