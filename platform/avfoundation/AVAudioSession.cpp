#include "avfoundation/AVAudioSession.h"

AVAudioSession& AVAudioSession::sharedInstance() {
    static AVAudioSession session;
    return session;
}

void AVAudioSession::setCategory(const AVAudioSessionCategory& category, const AVAudioSessionMode&,
                                 AVAudioSessionCategoryOptions) {
    std::lock_guard lock(mutex_);
    if (categoryFailure_) throw *categoryFailure_;
    category_ = category;
}

void AVAudioSession::setActive(bool active, AVAudioSessionSetActiveOptions) {
    std::lock_guard lock(mutex_);
    if (activationFailure_) throw *activationFailure_;
    active_ = active;
}

AVAudioSessionCategory AVAudioSession::category() const {
    std::lock_guard lock(mutex_);
    return category_;
}

bool AVAudioSession::isActive() const {
    std::lock_guard lock(mutex_);
    return active_;
}

void AVAudioSession::failCategoryForTesting(std::optional<AVAudioError> error) {
    std::lock_guard lock(mutex_);
    categoryFailure_ = std::move(error);
}

void AVAudioSession::failActivationForTesting(std::optional<AVAudioError> error) {
    std::lock_guard lock(mutex_);
    activationFailure_ = std::move(error);
}
