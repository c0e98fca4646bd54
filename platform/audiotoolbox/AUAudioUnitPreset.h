#pragma once
// A preset as hosts see it: a name and a number. Factory presets count from 0; a
// negative number marks a user preset.
#include "audiotoolbox/AUAudioTypes.h"

#include <string>

struct AUAudioUnitPreset {
    std::string name;
    NSInteger number = 0;

    bool operator==(const AUAudioUnitPreset&) const = default;
};
