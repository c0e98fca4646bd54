#include "audiounit/VYKPreset.h"

#include "foundation/FileManager.h"
#include "shared/Logging.h"

void VYKPreset::setDescription(const AudioComponentDescription& description, std::int64_t version, std::string name) {
    componentDescription_ = description;
    patch_.type = description.componentType;
    patch_.manufacturer = description.componentManufacturer;
    patch_.subtype = description.componentSubType;
    patch_.version = version;
    patch_.name = std::move(name);
}

bool VYKPreset::checkDescription(const AudioComponentDescription& description, std::int64_t) const {
    return componentDescription_.componentManufacturer == description.componentManufacturer &&
           componentDescription_.componentType == description.componentType &&
           componentDescription_.componentSubType == description.componentSubType;
}

void VYKPreset::makeFrom(const AUParameterGroup* tree) {
    if (tree == nullptr) {
        safeprint("VYKPreset::makeFrom() : The parameter group has no children.");
        return;
    }
    for (const auto& child : tree->children()) {
        const auto* group = dynamic_cast<const AUParameterGroup*>(child.get());
        if (group == nullptr) continue;
        auto presetGroup = std::make_unique<PresetGroup>();
        presetGroup->identifier = group->identifier();
        for (const auto& parameter : group->allParameters())
            presetGroup->params.push_back(
                std::make_unique<PresetParam>(parameter->address(), parameter->identifier(), parameter->value()));
        patch_.groups.push_back(std::move(presetGroup));
        makeFrom(group);
    }
}

void VYKPreset::makeFrom(const plist::Dictionary* state) {
    if (state == nullptr) return;
    found_.clear();
    patch_.fromDictionary(*state);
}

bool VYKPreset::read(std::string_view bytes, const std::string& path) {
    plist::Format format = plist::Format::xml;
    const plist::ReadResult result = plist::read(bytes, &format);
    if (!result) {
        safeprint("VYKPreset::loadFromFile() : ERROR: Could not read the file '" + path + "': " +
                  result.error.description() + ", Format: " + (format == plist::Format::xml ? "xml" : "binary"));
        return false;
    }
    const plist::Dictionary* root = result.value->dictionary();
    if (root == nullptr) {
        safeprint("VYKPreset::loadFromFile() : ERROR: The file '" + path + "' does not hold a preset dictionary.");
        return false;
    }
    makeFrom(root);
    return true;
}

bool VYKPreset::load(const URL& url) {
    const std::string& path = url.path();
    const FileManager& files = FileManager::defaultManager();
    if (!files.fileExists(path)) {
        safeprint("VYKPreset::loadFromFile() : ERROR: The path " + path + " does not exist.");
        return false;
    }
    const auto bytes = files.contents(path, maxFileBytes);
    if (!bytes) {
        safeprint("VYKPreset::loadFromFile() : ERROR: The file is not readable.");
        return false;
    }
    return read(*bytes, path);
}

bool VYKPreset::save(const URL& url) {
    std::string reason;
    const auto xml = plist::writeXML(plist::Value(getDictionary()), &reason);
    if (!xml) {
        safeprint("VYKPreset::saveToFile() : ERROR: Could not serialise the preset dictionary: " + reason);
        return false;
    }
    NSError error;
    if (!FileManager::defaultManager().writeAtomically(url.path(), *xml, &error)) {
        safeprint("VYKPreset::saveToFile() : ERROR: Could not write the file '" + url.path() +
                  "': " + error.localizedDescription);
        return false;
    }
    return true;
}

void VYKPreset::foundParameter(std::int64_t group, const std::string& identifier, AUParameterAddress address,
                               AUValue value) {
    found_.push_back({group, identifier, address, value});
}
