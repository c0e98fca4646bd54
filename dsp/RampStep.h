#pragma once

// One step of a linear ramp: current moves by increase and stops at
// destination, where increase becomes 0. Returns whether this step arrived.
// A ramp with increase 0 stands still.
inline bool stepRamp(float& current, float& increase, float destination) {
    if (increase == 0) return false;
    current += increase;
    if ((increase < 0 && current <= destination) || (increase > 0 && current >= destination)) {
        current = destination;
        increase = 0;
        return true;
    }
    return false;
}
