#include "dsp/BufferedInputBus.h"

#include "audiotoolbox/AUAudioStatus.h"

AUAudioUnitStatus BufferedInputBus::pullInput(AudioUnitRenderActionFlags* actionFlags, const AudioTimeStamp& timestamp,
                                              AUAudioFrameCount frameCount, NSInteger inputBusNumber,
                                              const AURenderPullInputBlock* pullInputBlock) {
    if (pullInputBlock == nullptr || !*pullInputBlock) return kAudioUnitErr_NoConnection;
    if (!isAllocated()) return kAudioUnitErr_Uninitialized;
    prepareInputBufferList();
    return (*pullInputBlock)(actionFlags, &timestamp, frameCount, inputBusNumber, mutableAudioBufferList());
}

void BufferedInputBus::prepareInputBufferList() {
    const AudioBufferList* original = originalAudioBufferList();
    AudioBufferList* list = mutableAudioBufferList();
    if (original == nullptr || list == nullptr) return;
    // The format is non-interleaved float32, one channel per buffer.
    const std::uint32_t byteSize = maxFrames() * static_cast<std::uint32_t>(sizeof(float));
    list->mNumberBuffers = original->mNumberBuffers;
    for (std::uint32_t i = 0; i < original->mNumberBuffers; ++i) {
        list->mBuffers[i].mNumberChannels = original->mBuffers[i].mNumberChannels;
        list->mBuffers[i].mData = original->mBuffers[i].mData;
        list->mBuffers[i].mDataByteSize = byteSize;
    }
}
