#pragma once
// Render events as the tests hand them to a render call.
#include "audiotoolbox/AURenderEvent.h"

namespace vyk::test {

inline AURenderEvent parameterEvent(AUEventSampleTime t, AUParameterAddress a, AUValue v) {
    AURenderEvent e{};
    e.parameter.eventType = AURenderEventParameter;
    e.parameter.eventSampleTime = t;
    e.parameter.parameterAddress = a;
    e.parameter.value = v;
    return e;
}

} // namespace vyk::test
