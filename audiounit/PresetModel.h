#pragma once
// The preset dictionary, both the unit's full state and the content of .aupreset files:
// a patch holding groups holding parameters.
//
//   patch: "version", "type", "manufacturer", "subtype", "number", "name", "data",
//          "count" (groups), "group <i>" ..., "link"
//   group: "identifier", "count" (parameters), "param <i>" ... (sorted by address)
//   param: "address", "identifier", "value"
//
// Reading is forgiving and safe: a key of the wrong kind is skipped, a code outside 32
// bits is ignored, and a parameter is reported only when it has an address and, if it
// has a value, a finite one; a group keeps only the parameters it reported, so a patch
// written back holds nothing that was skipped. Any key containing "group" (or "param" in
// a group) makes a group (a parameter); "count" is never consulted.
// Thread rules: plain objects used by one thread at a time.
#include "audiotoolbox/AUAudioTypes.h"
#include "foundation/PropertyList.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class VYKPreset;

// Receives every parameter that a read finds.
class VYKPresetDelegate {
public:
    virtual ~VYKPresetDelegate() = default;
    virtual void onFoundParameter(std::int64_t group, const std::string& identifier, AUParameterAddress address,
                                  AUValue value) = 0;
};

class PresetGroup;

class PresetParam {
public:
    PresetParam() = default;
    PresetParam(AUParameterAddress address, std::string identifier, AUValue value)
        : address(address), identifier(std::move(identifier)), value(value) {}

    plist::Dictionary toDictionary() const;
    // Reports the parameter to `preset` when it is usable (see above); false otherwise.
    bool fromDictionary(const plist::Dictionary& dict, VYKPreset& preset);

    const PresetGroup* group = nullptr; // the owner, when read from a dictionary
    AUParameterAddress address = 0;
    std::string identifier = "parameter";
    AUValue value = 0;
};

class PresetGroup {
public:
    plist::Dictionary toDictionary(); // sorts params by address
    void fromDictionary(const plist::Dictionary& dict, VYKPreset& preset);
    // The last space-separated piece of the identifier as a decimal number, else 0.
    void findGroupNumber();

    std::int64_t id = 0;
    std::string identifier = "group";
    std::vector<std::unique_ptr<PresetParam>> params;

private:
    void sortParams();
};

class PresetPatch {
public:
    explicit PresetPatch(VYKPreset& parent) : parent_(parent) {}

    plist::Dictionary toDictionary();
    // Replaces the groups; absent scalar keys keep their fields.
    void fromDictionary(const plist::Dictionary& dict);

    std::int64_t version = 1;
    std::uint32_t type = 0;
    std::uint32_t manufacturer = 0x464C4E52; // 'FLNR'
    std::uint32_t subtype = 0;
    std::int64_t number = 0;
    std::string name = "Preset";
    plist::Data data;
    std::vector<std::unique_ptr<PresetGroup>> groups;
    std::string link;

private:
    VYKPreset& parent_;
};
