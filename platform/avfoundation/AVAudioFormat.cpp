#include "avfoundation/AVAudioFormat.h"

#include "audiotoolbox/AudioBufferList.h"

#include <cmath>
#include <stdexcept>
#include <string>

AVAudioFormat::AVAudioFormat(double sampleRate, AVAudioChannelCount channels)
    : sampleRate_(sampleRate), channels_(channels) {
    if (!std::isfinite(sampleRate) || sampleRate <= 0.0)
        throw std::invalid_argument("AVAudioFormat: sample rate must be positive, not " + std::to_string(sampleRate));
    if (channels == 0 || channels > kAudioBufferListCapacity)
        throw std::invalid_argument("AVAudioFormat: channel count must be 1 to " +
                                    std::to_string(kAudioBufferListCapacity) + ", not " + std::to_string(channels));
}
