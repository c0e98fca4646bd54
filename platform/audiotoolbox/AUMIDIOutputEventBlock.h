#pragma once
// The host's callback receiving MIDI bytes the unit sends out. On the render thread it is
// reached through a pointer to an object its owner keeps alive; it is never copied there.
#include "audiotoolbox/AUAudioTypes.h"

#include <cstdint>
#include <functional>

using AUMIDIOutputEventBlock = std::function<OSStatus(AUEventSampleTime eventSampleTime, std::uint8_t cable,
                                                      NSInteger length, const std::uint8_t* midiBytes)>;
