#include "animation/AnimatorStack.h"

#include "animation/TickTimer.h"

#include <algorithm>

namespace vyk {

std::shared_ptr<AnimatorStack> AnimatorStack::make() { return std::make_shared<AnimatorStack>(Token{}); }

void AnimatorStack::add(std::shared_ptr<Animator> item) {
    if (item) _animators.push_back(std::move(item));
}

void AnimatorStack::start() {
    ++generation_;
    cancelTicks(_timer);
    _timer = scheduleTicks(interval, [self = shared_from_this()] { self->animate(); });
}

void AnimatorStack::reset() {
    ++generation_;
    cancelTicks(_timer);
    _animators.clear();
    _animators.shrink_to_fit();
}

void AnimatorStack::animate() {
    const TickGuard guard(shared_from_this(), generation_);
    bool animated = false;
    for (const auto& a : std::vector(_animators)) {
        if (a->isFinished()) continue;
        if (onAnimation) {
            onAnimation(*this, *a);
            if (guard.taken()) return;
        }
        a->animate();
        if (guard.taken()) return;
        animated = true;
        if (!a->isFinished()) continue;
        const auto it = std::find(_animators.begin(), _animators.end(), a);
        if (it != _animators.end()) _animators.erase(it);
        if (onRemovedItem) {
            onRemovedItem(*this, *a);
            if (guard.taken()) return;
        }
    }
    if (animated) return;
    if (onFinished) {
        onFinished(*this);
        if (guard.taken()) return;
    }
    stop();
}

} // namespace vyk
