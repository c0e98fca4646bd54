#pragma once
// One preset: its patch and the description of the component it belongs to. Builds a
// patch from a parameter tree, reads one from a preset dictionary or file, and writes
// preset files (XML property lists, replaced in one step).
//
// A read never applies anything: it parses the whole input and keeps the parameters it
// found; the caller checks the result before it hands them to its delegate. Files are
// read only when they are regular files of at most maxFileBytes, without blocking;
// either property-list format is accepted. Every failure prints one "VYKPreset::" line
// through the main queue.
// Thread rules: one thread at a time; never the render thread.
#include "audiounit/PresetModel.h"
#include "audiotoolbox/AUParameterTree.h"
#include "audiotoolbox/AudioComponentDescription.h"
#include "foundation/URL.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class VYKPreset {
public:
    static constexpr std::size_t maxFileBytes = 1 << 20;

    struct FoundParameter {
        std::int64_t group;
        std::string identifier;
        AUParameterAddress address;
        AUValue value;
        bool operator==(const FoundParameter&) const = default;
    };

    VYKPreset() = default;
    VYKPreset(const VYKPreset&) = delete;
    VYKPreset& operator=(const VYKPreset&) = delete;

    const AudioComponentDescription& componentDescription() const { return componentDescription_; }
    void setComponentDescription(const AudioComponentDescription& d) { componentDescription_ = d; }
    PresetPatch& patch() { return patch_; }

    void setDescription(const AudioComponentDescription& description, std::int64_t version, std::string name);
    // Manufacturer, type and subtype equal; flags and version take no part.
    bool checkDescription(const AudioComponentDescription& description, std::int64_t version = 1) const;

    // Appends one group per parameter group of the tree, depth first.
    void makeFrom(const AUParameterGroup* tree);
    // Reads the dictionary into the patch; null does nothing.
    void makeFrom(const plist::Dictionary* state);
    // Parses property-list bytes; false (with a line naming `path`) when they are not
    // one or its root is not a dictionary, and then nothing changes.
    bool read(std::string_view bytes, const std::string& path);
    bool load(const URL& url);
    bool save(const URL& url);

    plist::Dictionary getDictionary() { return patch_.toDictionary(); }

    // What the last read found, in the order it was found.
    const std::vector<FoundParameter>& foundParameters() const { return found_; }

    // Called by the model for each usable parameter it reads.
    void foundParameter(std::int64_t group, const std::string& identifier, AUParameterAddress address, AUValue value);

private:
    AudioComponentDescription componentDescription_;
    PresetPatch patch_{*this};
    std::vector<FoundParameter> found_;
};
