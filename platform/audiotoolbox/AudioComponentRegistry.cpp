#include "audiotoolbox/AudioComponentRegistry.h"

#include <algorithm>

// No component answers the description.
constexpr OSStatus kAudioComponentErr_NotFound = -66753;

AudioComponentRegistry& AudioComponentRegistry::shared() {
    static AudioComponentRegistry registry;
    return registry;
}

void AudioComponentRegistry::registerComponent(AudioComponentInfo info, AudioComponentFactory factory) {
    auto shared = std::make_shared<const AudioComponentFactory>(std::move(factory));
    std::lock_guard lock(mutex_);
    entries_.push_back({std::move(info), std::move(shared)});
}

bool AudioComponentRegistry::matches(const AudioComponentDescription& component,
                                     const AudioComponentDescription& search) {
    auto code = [](OSType have, OSType wanted) { return wanted == 0 || have == wanted; };
    const std::uint32_t mask = search.componentFlagsMask;
    return code(component.componentType, search.componentType) &&
           code(component.componentSubType, search.componentSubType) &&
           code(component.componentManufacturer, search.componentManufacturer) &&
           (component.componentFlags & mask) == (search.componentFlags & mask);
}

std::vector<AudioComponentRegistry::Entry>
AudioComponentRegistry::matchingEntries(const AudioComponentDescription& search) const {
    std::vector<Entry> found;
    {
        std::lock_guard lock(mutex_);
        for (const Entry& entry : entries_)
            if (matches(entry.info.description, search)) found.push_back(entry);
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Entry& a, const Entry& b) { return a.info.bundlePath < b.info.bundlePath; });
    return found;
}

std::vector<AudioComponentInfo>
AudioComponentRegistry::componentsMatching(const AudioComponentDescription& search) const {
    std::vector<AudioComponentInfo> infos;
    for (Entry& entry : matchingEntries(search)) infos.push_back(std::move(entry.info));
    return infos;
}

std::shared_ptr<AUAudioUnit> AudioComponentRegistry::instantiate(const AudioComponentDescription& search) const {
    const std::vector<Entry> found = matchingEntries(search);
    if (found.empty())
        throw AUAudioUnitError(kAudioComponentErr_NotFound, "No audio component matches the description.");
    const Entry& entry = found.front();
    auto unit = (*entry.factory)(entry.info.description);
    if (!unit)
        throw AUAudioUnitError(kAudioUnitErr_FailedInitialization,
                               "The component '" + entry.info.name + "' made no audio unit.");
    return unit;
}
