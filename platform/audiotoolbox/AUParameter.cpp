#include "audiotoolbox/AUParameter.h"

#include "audiotoolbox/AUParameterObservers.h"

#include <charconv>

AUParameter::AUParameter(std::string identifier, std::string name, AUParameterAddress address, AUValue minValue,
                         AUValue maxValue, AudioUnitParameterUnit unit, std::optional<std::string> unitName,
                         AudioUnitParameterOptions flags, std::optional<std::vector<std::string>> valueStrings,
                         std::optional<std::vector<AUParameterAddress>> dependentParameters)
    : AUParameterNode(std::move(identifier), std::move(name)), address_(address), minValue_(minValue),
      maxValue_(maxValue), unit_(unit), unitName_(std::move(unitName)), flags_(flags),
      valueStrings_(std::move(valueStrings)), dependentParameters_(std::move(dependentParameters)) {}

AUValue AUParameter::value() const {
    if (observers_) {
        if (const auto provided = observers_->providedValue(*this)) return *provided;
    }
    return value_.load(std::memory_order_relaxed);
}

void AUParameter::setValue(AUValue value) {
    value_.store(value, std::memory_order_relaxed);
    if (observers_) observers_->valueChanged(*this, value);
}

std::string AUParameter::stringFromValue(const AUValue* value) const {
    if (observers_) {
        if (auto text = observers_->string(*this, value)) return std::move(*text);
    }
    const AUValue v = value != nullptr ? *value : this->value();
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, result.ptr);
}
