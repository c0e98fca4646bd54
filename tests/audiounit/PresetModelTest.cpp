// The preset dictionary's reader and writer, and preset files.
#include "UnitRig.h"
#include "audiounit/VYKPreset.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

using namespace unitrig;
using Found = VYKPreset::FoundParameter;
namespace fs = std::filesystem;

namespace {

plist::Dictionary param(plist::Value address, plist::Value value, const char* identifier = "p") {
    plist::Dictionary d;
    d.set("address", std::move(address));
    d.set("identifier", identifier);
    d.set("value", std::move(value));
    return d;
}

} // namespace

TEST(PresetModel, GroupNumbersComeFromTheLastPieceOfTheIdentifier) {
    const std::pair<const char*, std::int64_t> cases[] = {{"kGlobalParameters", 0},
                                                          {"Band 2", 2},
                                                          {"x -3", -3},
                                                          {"group 7 ", 0},
                                                          {"12", 12},
                                                          {"a +5", 5},
                                                          {"a +-5", 0},
                                                          {"a 5x", 0},
                                                          {"a -", 0},
                                                          {"a 99999999999999999999", 0}};
    for (const auto& [identifier, number] : cases) {
        PresetGroup group;
        group.identifier = identifier;
        group.findGroupNumber();
        EXPECT_EQ(group.id, number) << identifier;
    }
}

TEST(PresetModel, ReadingKeepsScalarsSkipsWrongKindsAndKeepsOnlyUsableParameters) {
    VYKPreset preset;
    preset.setComponentDescription({0, 0, 0, 5, 6});
    plist::Dictionary group;
    group.set("identifier", "Band 2");
    group.set("param 0", param(5, 0.5));
    group.set("param 1", param(1, 1)); // integer value
    group.set("param 2", param(3, plist::Value("loud")));
    group.set("param 3", param(4, std::nan("")));
    group.set("param 4", param(6, 1e39)); // beyond float
    group.set("param x", "not a dictionary");
    plist::Dictionary noAddress;
    noAddress.set("value", 0.25);
    group.set("param 5", std::move(noAddress));
    plist::Dictionary patch;
    patch.set("count", 5);
    patch.set("groups", group);
    patch.set("subgroup", plist::Dictionary{});
    patch.set("group 9", plist::Array{});
    patch.set("name", 12);
    patch.set("type", 0x61756D66u);
    patch.set("subtype", std::uint64_t(1) << 40);
    preset.makeFrom(&patch);
    preset.makeFrom(&patch); // the same groups once, not twice

    EXPECT_EQ(preset.foundParameters(), (std::vector<Found>{{2, "p", 5, 0.5f}, {2, "p", 1, 1.0f}}));
    ASSERT_EQ(preset.patch().groups.size(), 2u);
    EXPECT_EQ(preset.patch().name, "Preset");
    EXPECT_EQ(preset.componentDescription(), (AudioComponentDescription{0x61756D66, 0, 0, 5, 6})); // flags untouched
    EXPECT_EQ(preset.patch().manufacturer, 0x464C4E52u); // the patch's default stays

    // Written back sorted by address, whatever order they were read in, and only what
    // was read: a skipped entry never comes back as address 0 or value 0.
    const plist::Dictionary written = preset.getDictionary();
    const plist::Dictionary* g = written.find("group 0")->dictionary();
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->find("count")->int64(), 2);
    EXPECT_EQ(g->find("param 2"), nullptr);
    std::vector<std::uint64_t> addresses;
    for (int i = 0; i < 2; ++i)
        addresses.push_back(*g->find("param " + std::to_string(i))->dictionary()->find("address")->uint64());
    EXPECT_EQ(addresses, (std::vector<std::uint64_t>{1, 5}));
    EXPECT_EQ(written.find("count")->int64(), 2);
    EXPECT_EQ(written.find("group 1")->dictionary()->find("count")->int64(), 0);
}

TEST(PresetModel, DescriptionsCheckOnTheThreeCodesOnly) {
    VYKPreset fresh;
    EXPECT_FALSE(fresh.checkDescription(kDescription));
    VYKPreset preset;
    preset.setDescription(kDescription, 1, "Preset");
    AudioComponentDescription flagged = kDescription;
    flagged.componentFlags = 2;
    flagged.componentFlagsMask = 7;
    EXPECT_TRUE(preset.checkDescription(flagged, 3));
    flagged.componentSubType = 1;
    EXPECT_FALSE(preset.checkDescription(flagged));

    ConsoleCapture console;
    preset.makeFrom(static_cast<const AUParameterGroup*>(nullptr));
    EXPECT_EQ(console.text(), "VYKPreset::makeFrom() : The parameter group has no children.\n");
}

TEST(PresetFiles, SavedFilesLoadBackAndBadFilesChangeNothing) {
    Documents documents;
    const fs::path folder = documents.makePresets();
    VYKPreset source;
    source.setDescription(kDescription, 1, "Saved");
    auto group = std::make_unique<PresetGroup>();
    group->identifier = "kGlobalParameters";
    group->params.push_back(std::make_unique<PresetParam>(4, "kSplit2", 0.3f));
    group->params.push_back(std::make_unique<PresetParam>(3, "kSplit1", 0.1f));
    source.patch().groups.push_back(std::move(group));
    const URL url = URL::fileURL((folder / "s.aupreset").string());
    ASSERT_TRUE(source.save(url));

    VYKPreset loaded;
    ASSERT_TRUE(loaded.load(url));
    EXPECT_TRUE(loaded.checkDescription(kDescription));
    EXPECT_EQ(loaded.foundParameters(), (std::vector<Found>{{0, "kSplit1", 3, 0.1f}, {0, "kSplit2", 4, 0.3f}}));
    EXPECT_EQ(loaded.getDictionary(), source.getDictionary());

    ConsoleCapture console;
    const std::string missing = (folder / "none.aupreset").string();
    EXPECT_FALSE(loaded.load(URL::fileURL(missing)));
    EXPECT_FALSE(source.save(URL::fileURL((folder / "no-folder" / "x.aupreset").string())));
    ASSERT_EQ(console.lines().size(), 2u);
    EXPECT_EQ(console.lines()[0], "VYKPreset::loadFromFile() : ERROR: The path " + missing + " does not exist.");
    EXPECT_EQ(console.lines()[1].rfind("VYKPreset::saveToFile() : ERROR: Could not write the file '", 0), 0u);
    EXPECT_EQ(loaded.foundParameters().size(), 2u); // the good read is kept
}

TEST(PresetFiles, ABinaryPropertyListReadsLikeXML) {
    const fs::path corpus = VYK_PRESET_CORPUS;
    VYKPreset binary;
    ASSERT_TRUE(binary.load(URL::fileURL((corpus / "binary.aupreset").string())));
    EXPECT_EQ(binary.foundParameters(), (std::vector<Found>{{0, "parameter", 3, 0.5f}}));

    VYKPreset xml;
    ASSERT_TRUE(xml.load(URL::fileURL((corpus / "splits.aupreset").string())));
    EXPECT_EQ(xml.foundParameters(), (std::vector<Found>{{2, "kSplit2", 4, 0.9f}, {2, "kSplit1", 3, 0.8f}}));
    EXPECT_TRUE(xml.checkDescription(kDescription));
}
