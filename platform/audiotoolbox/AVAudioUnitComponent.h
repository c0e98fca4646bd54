#pragma once
// An audio component installed on disk, as the component manager found it: what its
// bundle's description file says.
// Thread rules: immutable; any thread.
#include "audiotoolbox/AudioComponentBundle.h"

#include <cstdint>
#include <string>

class AVAudioUnitComponent {
public:
    explicit AVAudioUnitComponent(AudioComponentBundleInfo info) : info_(std::move(info)) {}

    // The registered codes and flags; the mask is 0.
    const AudioComponentDescription& audioComponentDescription() const { return info_.description; }
    const std::string& name() const { return info_.name; }
    std::uint32_t version() const { return info_.version; }
    const std::string& bundlePath() const { return info_.bundlePath; }
    const std::string& modulePath() const { return info_.modulePath; }
    const std::string& factoryFunction() const { return info_.factoryFunction; }

private:
    AudioComponentBundleInfo info_;
};
