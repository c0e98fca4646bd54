#pragma once
// The process's audio session as far as a player uses it: a category and mode, and
// active or not. On Linux nothing needs arranging, so both calls succeed, unless a
// test has asked for a failure.
// Thread rules: any control thread.
#include "avfoundation/AVAudioError.h"

#include <mutex>
#include <optional>
#include <string>

using AVAudioSessionCategory = std::string;
using AVAudioSessionMode = std::string;
using AVAudioSessionCategoryOptions = unsigned;
using AVAudioSessionSetActiveOptions = unsigned;

inline const AVAudioSessionCategory AVAudioSessionCategoryPlayback = "AVAudioSessionCategoryPlayback";
inline const AVAudioSessionMode AVAudioSessionModeDefault = "AVAudioSessionModeDefault";

class AVAudioSession {
public:
    static AVAudioSession& sharedInstance();

    // Throw AVAudioError (only when a failure was injected).
    void setCategory(const AVAudioSessionCategory& category, const AVAudioSessionMode& mode,
                     AVAudioSessionCategoryOptions options);
    void setActive(bool active, AVAudioSessionSetActiveOptions options);

    AVAudioSessionCategory category() const;
    bool isActive() const;

    // Testing hook: the next calls of setCategory / setActive throw this error until
    // it is cleared with nullopt.
    void failCategoryForTesting(std::optional<AVAudioError> error);
    void failActivationForTesting(std::optional<AVAudioError> error);

private:
    mutable std::mutex mutex_;
    AVAudioSessionCategory category_;
    bool active_ = false;
    std::optional<AVAudioError> categoryFailure_;
    std::optional<AVAudioError> activationFailure_;
};
