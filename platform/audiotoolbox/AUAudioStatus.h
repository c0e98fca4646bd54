#pragma once
// Render statuses. 0 is success; every other value is returned unchanged to the host.
#include "audiotoolbox/AUAudioTypes.h"

constexpr OSStatus noErr = 0;
// The call asks for more frames than the unit's maximum or its buffers hold.
constexpr OSStatus kAudioUnitErr_TooManyFramesToProcess = -10874;
// A render needs input but the host gave no way to pull it.
constexpr OSStatus kAudioUnitErr_NoConnection = -10876;
// A render arrived before render resources were allocated (or after they were released).
constexpr OSStatus kAudioUnitErr_Uninitialized = -10867;
// A required argument is missing or malformed (no time stamp, buffers too small).
constexpr OSStatus kAudio_ParamError = -50;
