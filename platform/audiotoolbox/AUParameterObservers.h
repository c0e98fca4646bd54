#pragma once
// What a parameter tree tells about its values and asks for them: the implementor's value
// observer, value provider and string callback (the unit's link to its kernel), and the
// observers anyone adds with a token (a user interface).
//
// Thread rules: every member may be called from any thread except the render thread.
// Callbacks run on the thread that sets or reads a value, with no lock held, so a
// callback may itself set values or add and remove observers. An observer removed while
// a change is being delivered may still receive that one change.
#include "audiotoolbox/AUAudioTypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class AUParameter;

using AUImplementorValueObserver = std::function<void(const AUParameter& parameter, AUValue value)>;
using AUImplementorValueProvider = std::function<AUValue(const AUParameter& parameter)>;
using AUImplementorStringFromValueCallback =
    std::function<std::string(const AUParameter& parameter, const AUValue* value)>;
using AUParameterObserver = std::function<void(AUParameterAddress address, AUValue value)>;
// 0 is never a token.
using AUParameterObserverToken = std::uint64_t;

class AUParameterObservers {
public:
    void setImplementorValueObserver(AUImplementorValueObserver observer);
    void setImplementorValueProvider(AUImplementorValueProvider provider);
    void setImplementorStringFromValueCallback(AUImplementorStringFromValueCallback callback);

    AUParameterObserverToken add(AUParameterObserver observer);
    void remove(AUParameterObserverToken token);

    // The implementor observer, then every token observer in the order they were added.
    void valueChanged(const AUParameter& parameter, AUValue value) const;
    // None when no provider is installed.
    std::optional<AUValue> providedValue(const AUParameter& parameter) const;
    std::optional<std::string> string(const AUParameter& parameter, const AUValue* value) const;

private:
    using Shared = std::shared_ptr<const AUParameterObserver>;
    mutable std::mutex mutex_;
    std::shared_ptr<const AUImplementorValueObserver> implementorObserver_;
    std::shared_ptr<const AUImplementorValueProvider> provider_;
    std::shared_ptr<const AUImplementorStringFromValueCallback> stringCallback_;
    std::vector<std::pair<AUParameterObserverToken, Shared>> observers_;
    AUParameterObserverToken lastToken_ = 0;
};
