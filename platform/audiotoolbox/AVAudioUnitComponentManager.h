#pragma once
// Finds the audio components installed on disk. Each search scans, afresh, the
// PlugIns folder of the main bundle and then each absolute folder listed in the
// environment variable AUDIO_COMPONENT_PATH (colon-separated; empty and relative
// entries are ignored) for folders named *.appex. A bundle whose description cannot be
// used is skipped, and said once per process in one line naming the bundle and why.
//
// Matching: type, subtype and manufacturer match when equal or when the searched value
// is 0; flags match when they agree under the searched mask. The result is sorted by
// bundle path (canonical; a bundle reachable twice is listed once), so every search
// gives the same order.
// Thread rules: any thread but the render thread.
#include "audiotoolbox/AVAudioUnitComponent.h"

#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

class AVAudioUnitComponentManager {
public:
    static AVAudioUnitComponentManager& sharedAudioUnitComponentManager();

    std::vector<std::shared_ptr<AVAudioUnitComponent>> componentsMatching(const AudioComponentDescription& description);

    static bool matches(const AudioComponentDescription& component, const AudioComponentDescription& search);

private:
    std::vector<std::string> searchFolders() const;
    void reportOnce(const std::string& line);

    std::mutex reportedMutex_;
    std::set<std::string> reported_;
};
