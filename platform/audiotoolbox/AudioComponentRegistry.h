#pragma once
// The components this process knows: each a description with a factory that makes its
// unit. Modules add theirs at load time; hosts search and instantiate.
// A search matches type, subtype and manufacturer when they are equal or the searched
// value is 0, and flags when they agree under the searched mask; results are sorted by
// bundle path.
// Thread rules: any thread; a factory runs on the instantiating thread, outside the lock.
#include "audiotoolbox/AUAudioUnit.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Makes the unit for the component's description; throws AUAudioUnitError on failure.
using AudioComponentFactory = std::function<std::shared_ptr<AUAudioUnit>(const AudioComponentDescription& description)>;

struct AudioComponentInfo {
    AudioComponentDescription description;
    std::string name;
    std::uint32_t version = 0;
    std::string bundlePath; // the folder the component came from; empty when built in
};

class AudioComponentRegistry {
public:
    // The process's registry.
    static AudioComponentRegistry& shared();

    void registerComponent(AudioComponentInfo info, AudioComponentFactory factory);
    std::vector<AudioComponentInfo> componentsMatching(const AudioComponentDescription& search) const;
    // The unit of the first component matching `search`, made from that component's own
    // description. Throws AUAudioUnitError when none matches, when the factory fails or
    // gives no unit.
    std::shared_ptr<AUAudioUnit> instantiate(const AudioComponentDescription& search) const;

    static bool matches(const AudioComponentDescription& component, const AudioComponentDescription& search);

private:
    struct Entry {
        AudioComponentInfo info;
        std::shared_ptr<const AudioComponentFactory> factory;
    };
    std::vector<Entry> matchingEntries(const AudioComponentDescription& search) const;

    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
};
