#pragma once
// What identifies an audio component: its type, subtype and manufacturer codes (four
// characters packed into 32 bits, the first in the most significant byte), its flags
// and the mask under which a search compares flags.
#include <cstdint>

using OSType = std::uint32_t;

struct AudioComponentDescription {
    OSType componentType = 0;
    OSType componentSubType = 0;
    OSType componentManufacturer = 0;
    std::uint32_t componentFlags = 0;
    std::uint32_t componentFlagsMask = 0;

    bool operator==(const AudioComponentDescription&) const = default;
};

// Options a host passes when it instantiates a component; a bit mask.
using AudioComponentInstantiationOptions = std::uint32_t;

constexpr OSType kAudioUnitType_Effect = 0x61756678;      // 'aufx'
constexpr OSType kAudioUnitType_MusicEffect = 0x61756D66; // 'aumf'
