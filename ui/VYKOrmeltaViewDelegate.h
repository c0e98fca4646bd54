#pragma once
// What the control panel reports: parameter changes for the audio unit and view
// options (48 normalised correlograph, 49 correlograph shown) for the correlograph.
// Booleans travel as 1.0 and 0.0, continuous values as 0 to 1.
// Thread rules: main thread.
#include <cstdint>

class VYKOrmeltaViewDelegate {
public:
    virtual ~VYKOrmeltaViewDelegate() = default;
    virtual void onVYKOrmeltaViewParameter(std::int64_t address, float value) = 0;
    virtual void onVYKOrmeltaViewOption(std::int64_t address, float value) = 0;
};
