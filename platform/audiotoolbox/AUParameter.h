#pragma once
// One parameter of a unit, known to the kernel by its address.
//
// Thread rules: the description never changes after construction; value() and
// setValue() may be called from any thread except the render thread (the value itself
// is atomic). Once the parameter belongs to a tree, a set value goes to the tree's
// observers and a read asks the tree's value provider.
#include "audiotoolbox/AUAudioTypes.h"
#include "audiotoolbox/AUParameterNode.h"
#include "audiotoolbox/AUParameterTypes.h"

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class AUParameterObservers;

class AUParameter : public AUParameterNode {
public:
    // A bare parameter with only an address, as the kernel needs it.
    explicit AUParameter(AUParameterAddress address) : AUParameterNode("", ""), address_(address) {}
    AUParameter(std::string identifier, std::string name, AUParameterAddress address, AUValue minValue,
                AUValue maxValue, AudioUnitParameterUnit unit, std::optional<std::string> unitName,
                AudioUnitParameterOptions flags, std::optional<std::vector<std::string>> valueStrings,
                std::optional<std::vector<AUParameterAddress>> dependentParameters);

    AUParameterAddress address() const { return address_; }
    AUValue minValue() const { return minValue_; }
    AUValue maxValue() const { return maxValue_; }
    AudioUnitParameterUnit unit() const { return unit_; }
    const std::optional<std::string>& unitName() const { return unitName_; }
    AudioUnitParameterOptions flags() const { return flags_; }
    const std::optional<std::vector<std::string>>& valueStrings() const { return valueStrings_; }
    const std::optional<std::vector<AUParameterAddress>>& dependentParameters() const { return dependentParameters_; }

    // The tree's value provider's answer when it has one, else the value last set.
    AUValue value() const;
    // Stores the value, then tells the tree's implementor observer and its other
    // observers, in that order, on this thread. Neither clamps nor checks writability.
    void setValue(AUValue value);
    // The tree's string callback's text for *value (or for the current value when
    // value is null); without a callback, the shortest text that reads back the same.
    std::string stringFromValue(const AUValue* value) const;

private:
    friend class AUParameterTree; // attaches its observers when it takes the parameter in

    AUParameterAddress address_;
    AUValue minValue_ = 0;
    AUValue maxValue_ = 1;
    AudioUnitParameterUnit unit_ = kAudioUnitParameterUnit_Generic;
    std::optional<std::string> unitName_;
    AudioUnitParameterOptions flags_ = 0;
    std::optional<std::vector<std::string>> valueStrings_;
    std::optional<std::vector<AUParameterAddress>> dependentParameters_;
    std::atomic<AUValue> value_{0};
    std::shared_ptr<const AUParameterObservers> observers_;
};
