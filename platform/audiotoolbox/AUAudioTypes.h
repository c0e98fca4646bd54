#pragma once
// Scalar types of the audio-unit interfaces.
#include <cstdint>

using OSStatus = std::int32_t;
using AUAudioUnitStatus = OSStatus;
using NSInteger = std::int64_t;
using AUAudioFrameCount = std::uint32_t;
using AUAudioChannelCount = std::uint32_t;
using AUEventSampleTime = std::int64_t;
using AUParameterAddress = std::uint64_t;
using AUValue = float;
using AudioUnitRenderActionFlags = std::uint32_t;
