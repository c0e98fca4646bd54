#include "dsp/BufferedAudioBus.h"

void BufferedAudioBus::init(const AVAudioFormat& format, AUAudioChannelCount maxChannels) {
    deallocateRenderResources();
    maxFrames_ = 0;
    bus_ = AUAudioUnitBus::make(format);
    bus_->setMaximumChannelCount(maxChannels);
}

void BufferedAudioBus::allocateRenderResources(AUAudioFrameCount frames) {
    // The old buffer goes first, so a failure leaves the bus cleanly unallocated.
    deallocateRenderResources();
    maxFrames_ = frames;
    pcmBuffer_ = std::make_unique<AVAudioPCMBuffer>(bus_->format(), frames);
    originalAudioBufferList_ = pcmBuffer_->audioBufferList();
    mutableAudioBufferList_ = pcmBuffer_->mutableAudioBufferList();
}

void BufferedAudioBus::deallocateRenderResources() {
    originalAudioBufferList_ = nullptr;
    mutableAudioBufferList_ = nullptr;
    pcmBuffer_.reset();
}
