// Full state and presets of the unit.
#include "audiounit/VYK_Wimbrax_Extension_AudioUnit.h"
#include "audiounit/PresetApplyOrder.h"
#include "audiounit/VYKPreset.h"
#include "dsp/ParamMetadata.h"
#include "foundation/FileManager.h"

#include <algorithm>
#include <cctype>

namespace {

bool isPresetExtension(const std::string& extension) {
    std::string upper = extension;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper == "AUPRESET";
}

// Names come from hosts: one that could leave the preset folder never names a file.
bool isSafeName(const std::string& name) {
    return !name.empty() && name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

} // namespace

std::optional<plist::Dictionary> VYK_Wimbrax_Extension_AudioUnit::fullState() {
    std::lock_guard lock(stateMutex_);
    VYKPreset preset;
    preset.setDescription(componentDescription(), 1, "Preset");
    preset.makeFrom(parameterTree().get());
    _fullState = preset.getDictionary();
    return _fullState;
}

void VYK_Wimbrax_Extension_AudioUnit::setFullState(std::optional<plist::Dictionary> state) {
    std::lock_guard lock(stateMutex_);
    applyFullState(state);
}

bool VYK_Wimbrax_Extension_AudioUnit::applyFullState(const std::optional<plist::Dictionary>& state) {
    VYKPreset preset;
    preset.makeFrom(state ? &*state : nullptr);
    // A state of another component never touches a parameter.
    if (!preset.checkDescription(componentDescription(), 1)) {
        debugprint("AUExtension::fullState() : ERROR: The component description of the patch does "
                   "not match.");
        return false;
    }
    applyParameters(preset);
    _fullState = preset.getDictionary();
    return true;
}

void VYK_Wimbrax_Extension_AudioUnit::applyParameters(const VYKPreset& preset) {
    for (const auto& p : presetApplyOrder(preset.foundParameters(), getParameter(vyk::param::kSplit2)))
        onFoundParameter(p.group, p.identifier, p.address, p.value);
}

bool VYK_Wimbrax_Extension_AudioUnit::supportsUserPresets() {
    debugprint("AUExtension::supportsUserPresets: true");
    return true;
}

std::optional<URL> VYK_Wimbrax_Extension_AudioUnit::presetFolder() const {
    const auto documents = FileManager::defaultManager().documentDirectoryURLs();
    if (documents.empty()) return std::nullopt;
    return documents.front().appendingPathComponent("Presets");
}

std::optional<URL> VYK_Wimbrax_Extension_AudioUnit::presetFile(const std::string& name) const {
    const auto folder = presetFolder();
    if (!folder || !isSafeName(name)) return std::nullopt;
    const FileManager& files = FileManager::defaultManager();
    const URL exact = folder->appendingPathComponent(name + ".aupreset");
    if (files.kindOfItem(exact.path()) == FileManager::ItemKind::regularFile) return exact;
    // The listing accepts the extension in any case; open the file it found.
    const auto entries = files.contentsOfDirectory(folder->path());
    if (!entries) return std::nullopt;
    for (const std::string& entry : *entries) {
        const URL url = folder->appendingPathComponent(entry);
        if (url.deletingPathExtension().lastPathComponent() == name && isPresetExtension(url.pathExtension()) &&
            files.kindOfItem(url.path()) == FileManager::ItemKind::regularFile)
            return url;
    }
    return std::nullopt;
}

std::vector<AUAudioUnitPreset> VYK_Wimbrax_Extension_AudioUnit::factoryPresets() {
    std::lock_guard lock(stateMutex_);
    const FileManager& files = FileManager::defaultManager();
    const auto folder = presetFolder();
    if (!folder || !files.fileExists(folder->path())) return {};
    NSError error;
    const auto entries = files.contentsOfDirectory(folder->path(), &error);
    if (!entries) {
        debugprint("Creating factory presets failed: " + error.localizedDescription);
        return presets;
    }
    // Sorted by name, so a preset keeps its number while the folder keeps its files.
    presets.clear();
    for (const std::string& entry : *entries) {
        const URL url = folder->appendingPathComponent(entry);
        if (!isPresetExtension(url.pathExtension()) ||
            files.kindOfItem(url.path()) != FileManager::ItemKind::regularFile)
            continue;
        presets.push_back({url.deletingPathExtension().lastPathComponent(), static_cast<NSInteger>(presets.size())});
    }
    return presets;
}

std::optional<AUAudioUnitPreset> VYK_Wimbrax_Extension_AudioUnit::currentPreset() {
    std::lock_guard lock(stateMutex_);
    return _currentPreset;
}

void VYK_Wimbrax_Extension_AudioUnit::setCurrentPreset(std::optional<AUAudioUnitPreset> preset) {
    std::lock_guard lock(stateMutex_);
    if (!preset) {
        _currentPreset.reset();
        return;
    }
    if (preset->number < 0) {
        plist::Dictionary state;
        try {
            state = readPresetState(*preset);
        } catch (const AUAudioUnitError&) {
            debugprint("AUExtension::ERROR: Unable to restore set for preset " + preset->name);
            return;
        }
        if (applyFullState(state)) _currentPreset = preset;
        return;
    }
    if (static_cast<std::size_t>(preset->number) >= presets.size()) {
        debugprint("AUExtension::ERROR: The preset number " + std::to_string(preset->number) + " is invalid.");
        return;
    }
    const auto url = presetFile(preset->name);
    if (!url) {
        debugprint("AUExtension::ERROR: The preset file '" + preset->name + ".aupreset' does not exist.");
        return;
    }
    VYKPreset reader;
    if (!reader.load(*url)) return;
    applyParameters(reader);
    _currentPreset = preset;
}

plist::Dictionary VYK_Wimbrax_Extension_AudioUnit::presetState(const AUAudioUnitPreset& preset) {
    std::lock_guard lock(stateMutex_);
    return readPresetState(preset);
}

plist::Dictionary VYK_Wimbrax_Extension_AudioUnit::readPresetState(const AUAudioUnitPreset& preset) const {
    const auto url = presetFile(preset.name);
    if (!url) {
        debugprint("AUExtension::ERROR: The preset file '" + preset.name + ".aupreset' does not exist.");
        throw AUAudioUnitError(kAudioUnitErr_InvalidFile, "The preset file does not exist.");
    }
    VYKPreset reader;
    if (!reader.load(*url)) throw AUAudioUnitError(kAudioUnitErr_InvalidFile, "The preset file could not be read.");
    return reader.getDictionary();
}
