#pragma once
// The host's callback that fills a buffer list with a bus's input for one render call.
// It is called on the render thread and must not be copied there: pass it by pointer.
#include "audiotoolbox/AUAudioTypes.h"
#include "audiotoolbox/AudioBufferList.h"
#include "audiotoolbox/AudioTimeStamp.h"

#include <functional>

using AURenderPullInputBlock = std::function<AUAudioUnitStatus(
    AudioUnitRenderActionFlags* actionFlags, const AudioTimeStamp* timestamp, AUAudioFrameCount frameCount,
    NSInteger inputBusNumber, AudioBufferList* inputData)>;
