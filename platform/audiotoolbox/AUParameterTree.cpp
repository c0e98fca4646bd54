#include "audiotoolbox/AUParameterTree.h"

namespace {

void collect(const AUParameterGroup& group, std::vector<std::shared_ptr<AUParameter>>& out) {
    for (const auto& child : group.children()) {
        if (auto parameter = std::dynamic_pointer_cast<AUParameter>(child))
            out.push_back(std::move(parameter));
        else if (const auto* nested = dynamic_cast<const AUParameterGroup*>(child.get()))
            collect(*nested, out);
    }
}

} // namespace

std::vector<std::shared_ptr<AUParameter>> AUParameterGroup::allParameters() const {
    std::vector<std::shared_ptr<AUParameter>> out;
    collect(*this, out);
    return out;
}

AUParameterTree::AUParameterTree(std::vector<std::shared_ptr<AUParameterNode>> children)
    : AUParameterGroup("", "", std::move(children)), observers_(std::make_shared<AUParameterObservers>()) {
    for (auto& parameter : allParameters()) {
        parameter->observers_ = observers_;
        byAddress_.try_emplace(parameter->address(), std::move(parameter));
    }
}

std::shared_ptr<AUParameter>
AUParameterTree::createParameter(std::string identifier, std::string name, AUParameterAddress address, AUValue min,
                                 AUValue max, AudioUnitParameterUnit unit, std::optional<std::string> unitName,
                                 AudioUnitParameterOptions flags, std::optional<std::vector<std::string>> valueStrings,
                                 std::optional<std::vector<AUParameterAddress>> dependentParameters) {
    return std::make_shared<AUParameter>(std::move(identifier), std::move(name), address, min, max, unit,
                                         std::move(unitName), flags, std::move(valueStrings),
                                         std::move(dependentParameters));
}

std::shared_ptr<AUParameterGroup> AUParameterTree::createGroup(std::string identifier, std::string name,
                                                               std::vector<std::shared_ptr<AUParameterNode>> children) {
    return std::make_shared<AUParameterGroup>(std::move(identifier), std::move(name), std::move(children));
}

std::shared_ptr<AUParameterTree> AUParameterTree::createTree(std::vector<std::shared_ptr<AUParameterNode>> children) {
    return std::make_shared<AUParameterTree>(std::move(children));
}

std::shared_ptr<AUParameter> AUParameterTree::parameterWithAddress(AUParameterAddress address) const {
    const auto it = byAddress_.find(address);
    return it == byAddress_.end() ? nullptr : it->second;
}

void AUParameterTree::setImplementorValueObserver(AUImplementorValueObserver observer) {
    observers_->setImplementorValueObserver(std::move(observer));
}

void AUParameterTree::setImplementorValueProvider(AUImplementorValueProvider provider) {
    observers_->setImplementorValueProvider(std::move(provider));
}

void AUParameterTree::setImplementorStringFromValueCallback(AUImplementorStringFromValueCallback callback) {
    observers_->setImplementorStringFromValueCallback(std::move(callback));
}

AUParameterObserverToken AUParameterTree::tokenByAddingParameterObserver(AUParameterObserver observer) {
    return observers_->add(std::move(observer));
}

void AUParameterTree::removeParameterObserver(AUParameterObserverToken token) { observers_->remove(token); }
