#include "animation/AnimatorChain.h"

#include "animation/TickTimer.h"

#include <algorithm>

namespace vyk {

std::shared_ptr<AnimatorChain> AnimatorChain::make() { return std::make_shared<AnimatorChain>(Token{}); }

void AnimatorChain::add(std::shared_ptr<Animator> item) {
    if (item) _animators.push_back(std::move(item));
}

void AnimatorChain::remove(const std::shared_ptr<Animator>& item) {
    const auto it = std::find(_animators.begin(), _animators.end(), item);
    if (item && it != _animators.end()) _animators.erase(it);
}

void AnimatorChain::removeAll() {
    stop();
    _animators.clear();
    _animators.shrink_to_fit();
}

std::shared_ptr<Animator> AnimatorChain::getCurrentItem() const {
    if (_currentIndex < 0 || _currentIndex >= getCount()) return nullptr;
    return _animators[static_cast<std::size_t>(_currentIndex)];
}

void AnimatorChain::start() {
    ++generation_;
    cancelTicks(_timer);
    _timer = scheduleTicks(interval, [self = shared_from_this()] { self->animate(); });
}

void AnimatorChain::stop() {
    ++generation_;
    cancelTicks(_timer);
    _currentIndex = 0;
}

void AnimatorChain::animate() {
    if (warnIfNoAnimators(_animators.size())) return;
    const TickGuard guard(shared_from_this(), generation_);
    // Entries removed during a run can leave the index behind the list.
    if (_currentIndex < 0 || _currentIndex >= getCount()) _currentIndex = getCount() - 1;
    const auto a = _animators[static_cast<std::size_t>(_currentIndex)];
    if (onAnimation) {
        onAnimation(*this, *a);
        if (guard.taken()) return;
    }
    if (async) {
        a->start();
        _currentIndex += _direction;
    } else {
        a->animate();
        if (guard.taken()) return;
        if (a->isFinished()) _currentIndex += _direction;
    }
    const bool walkEnded = _direction > 0 ? _currentIndex >= getCount() : _currentIndex < 0;
    if (!walkEnded) return;
    if (onFinished) {
        onFinished(*this);
        if (guard.taken()) return;
    }
    stop();
}

} // namespace vyk
