#pragma once
#include <cstdint>

// Moves a value toward a destination in equal steps, one step per getValue()
// call (the kernel calls it once per band and processed piece, so a ramp is
// counted in pieces, not samples). Can announce the end of a ramp through a
// stored callback. Used by one thread at a time.
class Interpolator {
public:
    using EventFunction = void (*)(void* callee, Interpolator* source, int id);

    Interpolator();

    void reset();
    // Jumps to v; a running ramp ends at the next getValue().
    void setInitialValue(float v);
    // Ramps to v in `time` steps (at least 1). The same target again does not
    // restart a running ramp; a step below 1e-6 jumps at once.
    void setDestinationValue(float v, int64_t time);
    // Advances one step and returns the value; `id` is handed to `event`.
    float getValue(int id);

    static float getAbsVal(float v) { return v >= 0 ? v : -v; }

    // Called with (callee, this, id) when a ramp arrives; null by default.
    EventFunction event = nullptr;
    void* callee = nullptr;

private:
    float destinationValue = 0;
    float currentValue = 0;
    float increase = 0;
};
