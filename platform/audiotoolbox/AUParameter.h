#pragma once
// One parameter of a unit, known to the kernel by its address.
#include "audiotoolbox/AUAudioTypes.h"

class AUParameter {
public:
    explicit AUParameter(AUParameterAddress address) : address_(address) {}

    AUParameterAddress address() const { return address_; }

private:
    AUParameterAddress address_;
};
