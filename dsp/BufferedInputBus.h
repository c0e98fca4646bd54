#pragma once
// The input bus: pulls the host's input into the bus's own buffer.
// Thread rules: pullInput and prepareInputBufferList run on the render thread, between
// allocateRenderResources and deallocateRenderResources; they never allocate.
#include "audiotoolbox/AURenderPullInputBlock.h"
#include "dsp/BufferedAudioBus.h"

class BufferedInputBus : public BufferedAudioBus {
public:
    // Without a block: kAudioUnitErr_NoConnection; without a buffer:
    // kAudioUnitErr_Uninitialized. Otherwise the block's own status.
    AUAudioUnitStatus pullInput(AudioUnitRenderActionFlags* actionFlags, const AudioTimeStamp& timestamp,
                                AUAudioFrameCount frameCount, NSInteger inputBusNumber,
                                const AURenderPullInputBlock* pullInputBlock);
    // Points the mutable list back at the buffer's own memory, at full capacity, since a
    // host's pull may have repointed it.
    void prepareInputBufferList();
};
