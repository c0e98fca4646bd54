#include "audiotoolbox/AUParameterObservers.h"

#include "audiotoolbox/AUParameter.h"

#include <algorithm>

void AUParameterObservers::setImplementorValueObserver(AUImplementorValueObserver observer) {
    auto shared = std::make_shared<const AUImplementorValueObserver>(std::move(observer));
    std::lock_guard lock(mutex_);
    implementorObserver_ = std::move(shared);
}

void AUParameterObservers::setImplementorValueProvider(AUImplementorValueProvider provider) {
    auto shared = std::make_shared<const AUImplementorValueProvider>(std::move(provider));
    std::lock_guard lock(mutex_);
    provider_ = std::move(shared);
}

void AUParameterObservers::setImplementorStringFromValueCallback(AUImplementorStringFromValueCallback callback) {
    auto shared = std::make_shared<const AUImplementorStringFromValueCallback>(std::move(callback));
    std::lock_guard lock(mutex_);
    stringCallback_ = std::move(shared);
}

AUParameterObserverToken AUParameterObservers::add(AUParameterObserver observer) {
    auto shared = std::make_shared<const AUParameterObserver>(std::move(observer));
    std::lock_guard lock(mutex_);
    observers_.emplace_back(++lastToken_, std::move(shared));
    return lastToken_;
}

void AUParameterObservers::remove(AUParameterObserverToken token) {
    Shared removed; // destroyed after the lock is released
    std::lock_guard lock(mutex_);
    const auto it =
        std::find_if(observers_.begin(), observers_.end(), [token](const auto& entry) { return entry.first == token; });
    if (it == observers_.end()) return;
    removed = std::move(it->second);
    observers_.erase(it);
}

void AUParameterObservers::valueChanged(const AUParameter& parameter, AUValue value) const {
    std::shared_ptr<const AUImplementorValueObserver> implementor;
    std::vector<std::pair<AUParameterObserverToken, Shared>> observers;
    {
        std::lock_guard lock(mutex_);
        implementor = implementorObserver_;
        observers = observers_;
    }
    if (implementor && *implementor) (*implementor)(parameter, value);
    for (const auto& entry : observers)
        if (*entry.second) (*entry.second)(parameter.address(), value);
}

std::optional<AUValue> AUParameterObservers::providedValue(const AUParameter& parameter) const {
    std::shared_ptr<const AUImplementorValueProvider> provider;
    {
        std::lock_guard lock(mutex_);
        provider = provider_;
    }
    if (!provider || !*provider) return std::nullopt;
    return (*provider)(parameter);
}

std::optional<std::string> AUParameterObservers::string(const AUParameter& parameter, const AUValue* value) const {
    std::shared_ptr<const AUImplementorStringFromValueCallback> callback;
    {
        std::lock_guard lock(mutex_);
        callback = stringCallback_;
    }
    if (!callback || !*callback) return std::nullopt;
    return (*callback)(parameter, value);
}
