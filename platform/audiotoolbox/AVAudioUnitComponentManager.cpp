#include "audiotoolbox/AVAudioUnitComponentManager.h"

#include "audiotoolbox/AudioComponentRegistry.h"
#include "foundation/Bundle.h"
#include "foundation/Console.h"
#include "foundation/FileManager.h"

#include <algorithm>
#include <cstdlib>

AVAudioUnitComponentManager& AVAudioUnitComponentManager::sharedAudioUnitComponentManager() {
    static AVAudioUnitComponentManager manager;
    return manager;
}

bool AVAudioUnitComponentManager::matches(const AudioComponentDescription& component,
                                          const AudioComponentDescription& search) {
    return AudioComponentRegistry::matches(component, search);
}

std::vector<std::string> AVAudioUnitComponentManager::searchFolders() const {
    std::vector<std::string> folders;
    if (const auto plugIns = Bundle::main().builtInPlugInsURL()) folders.push_back(plugIns->path());
    const char* variable = std::getenv("AUDIO_COMPONENT_PATH");
    std::string_view rest = variable ? variable : "";
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::string_view entry = rest.substr(0, colon);
        if (!entry.empty() && entry.front() == '/') folders.emplace_back(entry);
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
    return folders;
}

void AVAudioUnitComponentManager::reportOnce(const std::string& line) {
    {
        std::lock_guard lock(reportedMutex_);
        if (!reported_.insert(line).second) return;
    }
    Console::write("AVAudioUnitComponentManager: ERROR: " + line + "\n");
}

std::vector<std::shared_ptr<AVAudioUnitComponent>>
AVAudioUnitComponentManager::componentsMatching(const AudioComponentDescription& description) {
    const FileManager& files = FileManager::defaultManager();
    std::vector<std::shared_ptr<AVAudioUnitComponent>> found;
    for (const std::string& folder : searchFolders()) {
        const auto names = files.contentsOfDirectory(folder);
        if (!names) continue; // a listed folder that is not there holds nothing
        for (const std::string& name : *names) {
            if (name.size() <= 6 || name.compare(name.size() - 6, 6, ".appex") != 0) continue;
            const std::string path = folder + "/" + name;
            if (files.kindOfItem(path) != FileManager::ItemKind::directory) continue;
            AudioComponentBundleRead read = readAudioComponentBundle(path);
            if (!read.info) {
                reportOnce(read.error);
                continue;
            }
            if (matches(read.info->description, description))
                found.push_back(std::make_shared<AVAudioUnitComponent>(std::move(*read.info)));
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a->bundlePath() < b->bundlePath(); });
    found.erase(std::unique(found.begin(), found.end(),
                            [](const auto& a, const auto& b) { return a->bundlePath() == b->bundlePath(); }),
                found.end());
    return found;
}
