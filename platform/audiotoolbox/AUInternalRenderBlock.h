#pragma once
// A unit's render callback as the host calls it on its real-time thread. Absent
// event lists and pull-input blocks are null pointers. Every block is a noexcept lambda
// (std::function cannot carry that in its type): errors come back as statuses.
#include "audiotoolbox/AURenderEvent.h"
#include "audiotoolbox/AURenderPullInputBlock.h"

using AUInternalRenderBlock = std::function<AUAudioUnitStatus(
    AudioUnitRenderActionFlags* actionFlags, const AudioTimeStamp* timestamp, AUAudioFrameCount frameCount,
    NSInteger outputBusNumber, AudioBufferList* outputData, const AURenderEvent* realtimeEventListHead,
    const AURenderPullInputBlock* pullInputBlock)>;
