#include "animation/AnimationSequencer.h"

#include "animation/SafeInt.h"
#include "animation/TickTimer.h"

#include "foundation/Console.h"

#include <algorithm>

namespace vyk {

std::shared_ptr<AnimationSequencer> AnimationSequencer::make() { return std::make_shared<AnimationSequencer>(Token{}); }

void AnimationSequencer::add(std::shared_ptr<Animator> item, std::int64_t at) {
    if (!item) {
        Console::write("FEHLER: Das Animator Objekt ist ung\u00fcltig.\n");
        return;
    }
    item->setStartFrame(at);
    _animators.push_back(std::move(item));
    std::stable_sort(_animators.begin(), _animators.end(),
                     [](const auto& a, const auto& b) { return a->startFrame() < b->startFrame(); });
    calculateFrames();
}

void AnimationSequencer::remove(const std::shared_ptr<Animator>& item) {
    const auto it = std::find(_animators.begin(), _animators.end(), item);
    if (item && it != _animators.end()) _animators.erase(it);
    calculateFrames();
}

void AnimationSequencer::removeAll() {
    _animators.clear();
    _animators.shrink_to_fit();
    _maxFrames = 0;
}

void AnimationSequencer::calculateFrames() {
    for (const auto& a : _animators) {
        // The first tick is frame 1, so an Animator placed earlier starts there.
        const auto end = saturatingAdd(std::max<std::int64_t>(a->startFrame(), 1), a->frames());
        if (_maxFrames < end) _maxFrames = end;
    }
}

void AnimationSequencer::start() {
    ++generation_;
    cancelTicks(_timer);
    _timer = scheduleTicks(interval, [self = shared_from_this()] {
        self->_currentFrame = saturatingAdd(self->_currentFrame, 1);
        self->animate();
    });
}

void AnimationSequencer::stop() {
    ++generation_;
    cancelTicks(_timer);
    _currentIndex = 0;
    _currentFrame = 0;
}

void AnimationSequencer::rewind() {
    ++generation_;
    for (const auto& a : std::vector(_animators)) a->rewind();
}

void AnimationSequencer::seek(std::int64_t frame) {
    ++generation_;
    _currentFrame = frame;
    _currentIndex = 0;
    if (_maxFrames < frame) {
        stop();
        return;
    }
    for (const auto& a : std::vector(_animators)) {
        if (a->startFrame() < frame) {
            a->stop();
            ++_currentIndex;
        } else {
            a->rewind();
        }
    }
}

void AnimationSequencer::findAnimators() {
    // Removals can leave the search position behind the list: nothing to search then.
    const auto count = getCount();
    for (auto i = _currentIndex; i >= 0 && i < count; ++i) {
        const auto& a = _animators[static_cast<std::size_t>(i)];
        if (a->startFrame() <= _currentFrame && !a->isFinished()) {
            _currentIndex = i;
            scheduleItem(a);
        }
    }
}

void AnimationSequencer::scheduleItem(const std::shared_ptr<Animator>& item) {
    if (std::find(_animatedItems.begin(), _animatedItems.end(), item) == _animatedItems.end())
        _animatedItems.push_back(item);
}

void AnimationSequencer::animate() {
    if (_suspended) return;
    if (warnIfNoAnimators(_animators.size())) return;
    const TickGuard guard(shared_from_this(), generation_);
    findAnimators();
    for (const auto& a : std::vector(_animatedItems)) {
        if (onAnimation) {
            onAnimation(*this, *a);
            if (guard.taken()) return;
        }
        a->animate();
        if (guard.taken()) return;
        if (!a->isFinished()) continue;
        const auto it = std::find(_animatedItems.begin(), _animatedItems.end(), a);
        if (it != _animatedItems.end()) _animatedItems.erase(it);
    }
    if (_currentFrame < _maxFrames) return;
    if (onFinished) {
        onFinished(*this);
        if (guard.taken()) return;
    }
    stop();
}

} // namespace vyk
