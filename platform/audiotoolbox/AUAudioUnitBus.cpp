#include "audiotoolbox/AUAudioUnitBus.h"

AUAudioUnitBus::AUAudioUnitBus(const AVAudioFormat& format) : format_(format) {}

bool AUAudioUnitBus::setFormat(const AVAudioFormat& format) {
    if (maximumChannelCount_ != 0 && format.channelCount() > maximumChannelCount_) return false;
    format_ = format;
    return true;
}
