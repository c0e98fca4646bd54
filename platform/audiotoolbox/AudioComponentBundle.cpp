#include "audiotoolbox/AudioComponentBundle.h"

#include "foundation/FileManager.h"
#include "foundation/PropertyList.h"

#include <climits>
#include <cstdlib>
#include <memory>

namespace {

// A description file is a few hundred bytes; anything near this is not one.
constexpr std::size_t kMaxDescriptionBytes = 64 * 1024;

struct Failure {
    std::string reason;
};

std::optional<std::string> realPath(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    if (!resolved) return std::nullopt;
    return std::string(resolved.get());
}

const plist::Value& required(const plist::Dictionary& dict, std::string_view key) {
    const plist::Value* value = dict.find(key);
    if (!value) throw Failure{"the key '" + std::string(key) + "' is missing"};
    return *value;
}

const std::string& requiredString(const plist::Dictionary& dict, std::string_view key) {
    const std::string* text = required(dict, key).string();
    if (!text) throw Failure{"the key '" + std::string(key) + "' is not a string"};
    return *text;
}

OSType requiredCode(const plist::Dictionary& dict, std::string_view key) {
    const std::string& text = requiredString(dict, key);
    const auto code = fourCharCode(text);
    if (!code) throw Failure{"the " + std::string(key) + " '" + text + "' is not four printable ASCII characters"};
    return *code;
}

std::uint32_t requiredUInt32(const plist::Dictionary& dict, std::string_view key) {
    const auto number = required(dict, key).uint64();
    if (!number || *number > UINT32_MAX)
        throw Failure{"the key '" + std::string(key) + "' is not an integer from 0 to 4294967295"};
    return static_cast<std::uint32_t>(*number);
}

bool isPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

bool isSymbolName(const std::string& name) {
    if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
    for (char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) return false;
    return true;
}

AudioComponentBundleInfo read(const std::string& bundlePath) {
    const FileManager& files = FileManager::defaultManager();
    const auto bundle = realPath(bundlePath);
    if (!bundle || files.kindOfItem(*bundle) != FileManager::ItemKind::directory)
        throw Failure{"the bundle is not a folder"};

    NSError error;
    const auto bytes = files.contents(*bundle + "/Info.plist", kMaxDescriptionBytes, &error);
    if (!bytes) throw Failure{"Info.plist cannot be read: " + error.localizedDescription};
    const plist::ReadResult parsed = plist::read(*bytes);
    if (!parsed) throw Failure{"Info.plist is malformed: " + parsed.error.description()};
    const plist::Dictionary* dict = parsed.value->dictionary();
    if (!dict) throw Failure{"Info.plist does not hold a dictionary"};

    AudioComponentBundleInfo info;
    info.description.componentType = requiredCode(*dict, "type");
    info.description.componentSubType = requiredCode(*dict, "subtype");
    info.description.componentManufacturer = requiredCode(*dict, "manufacturer");
    info.description.componentFlags = requiredUInt32(*dict, "flags");
    info.name = requiredString(*dict, "name");
    info.version = requiredUInt32(*dict, "version");
    info.bundlePath = *bundle;

    const std::string& module = requiredString(*dict, "module");
    if (!isPlainFileName(module))
        throw Failure{"the module '" + module + "' is not a plain file name inside the bundle"};
    const auto modulePath = realPath(*bundle + "/" + module);
    if (!modulePath || files.kindOfItem(*modulePath) != FileManager::ItemKind::regularFile)
        throw Failure{"the module '" + module + "' is missing"};
    if (modulePath->compare(0, bundle->size() + 1, *bundle + "/") != 0)
        throw Failure{"the module '" + module + "' lies outside the bundle"};
    info.modulePath = *modulePath;

    info.factoryFunction = requiredString(*dict, "factoryFunction");
    if (!isSymbolName(info.factoryFunction))
        throw Failure{"the factory function '" + info.factoryFunction + "' is not a symbol name"};
    return info;
}

} // namespace

std::optional<OSType> fourCharCode(std::string_view text) {
    if (text.size() != 4) return std::nullopt;
    OSType code = 0;
    for (char c : text) {
        if (c < 0x20 || c > 0x7E) return std::nullopt;
        code = (code << 8) | static_cast<unsigned char>(c);
    }
    return code;
}

AudioComponentBundleRead readAudioComponentBundle(const std::string& bundlePath) {
    try {
        return {read(bundlePath), {}};
    } catch (const Failure& failure) {
        return {std::nullopt, bundlePath + ": " + failure.reason};
    }
}
