// Full state and presets: what the unit saves, what it restores, and what it refuses.
#include "UnitRig.h"
#include "audiounit/VYKPreset.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cfloat>
#include <fstream>

using namespace unitrig;
using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

namespace {

// Identifiers and defaults of the 47 parameters, in address order.
const char* const kIdentifiers[47] = {"kVolumeIn",       "kVolumeOut",      "kCurrentMode",    "kSplit1",
                                      "kSplit2",         "kActive1",        "kActive2",        "kActive3",
                                      "kBypass1",        "kBypass2",        "kBypass3",        "kVolume1",
                                      "kVolume2",        "kVolume3",        "kStereoWidth0",   "kStereoWidth1",
                                      "kStereoWidth2",   "kStereoWidth3",   "kPanorama0",      "kPanorama1",
                                      "kPanorama2",      "kPanorama3",      "kPhaseShift0",    "kPhaseShift1",
                                      "kPhaseShift2",    "kPhaseShift3",    "kSwapChannels0",  "kSwapChannels1",
                                      "kSwapChannels2",  "kSwapChannels3",  "kInvertChannel0", "kInvertChannel1",
                                      "kInvertChannel2", "kInvertChannel3", "kRecoverMono0",   "kRecoverMono1",
                                      "kRecoverMono2",   "kRecoverMono3",   "kTestMono0",      "kTestMono1",
                                      "kTestMono2",      "kTestMono3",      "kDynamicsOn",     "kDynamicsMultiplier",
                                      "kDynamicsAttack", "kDynamicsHold",   "kDynamicsRelease"};

float defaultValue(int a) {
    if (a == 2) return 2;
    if (a == 3) return 0.25f;
    if (a == 4) return 0.75f;
    if ((a >= 5 && a <= 7) || a == 42) return 1;
    if (a == 0 || a == 1 || (a >= 11 && a <= 21) || a == 46) return 0.5f;
    if (a == 44) return 0.3f;
    if (a == 45) return 0.1f;
    return 0; // read-only bypasses, phase, switches, multiplier
}

std::vector<float> kernelValues(VYK_Wimbrax_Extension_AudioUnit& unit) {
    std::vector<float> v;
    for (int a = 0; a < 47; ++a) v.push_back(unit.getParameter(a));
    return v;
}

void writeFile(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// A factory preset as a person would write it: two parameters, no codes.
const char* const kWidePreset = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0">
<dict>
	<key>name</key><string>Wide</string>
	<key>group 0</key>
	<dict>
		<key>identifier</key><string>kGlobalParameters</string>
		<key>param 0</key>
		<dict><key>address</key><integer>2</integer><key>identifier</key><string>kCurrentMode</string><key>value</key><real>0</real></dict>
		<key>param 1</key>
		<dict><key>address</key><integer>14</integer><key>identifier</key><string>kStereoWidth0</string><key>value</key><real>0.8</real></dict>
		<key>param 2</key>
		<dict><key>identifier</key><string>kVolumeIn</string><key>value</key><real>0.1</real></dict>
	</dict>
</dict>
</plist>
)";

class UnitState : public ::testing::Test {
protected:
    Documents documents;
    std::shared_ptr<VYK_Wimbrax_Extension_AudioUnit> unit = makeUnit();
};

} // namespace

TEST_F(UnitState, FreshFullStateHoldsEveryParameterAtItsDefault) {
    plist::Dictionary group;
    group.set("identifier", "kGlobalParameters");
    group.set("count", 47);
    for (int a = 0; a < 47; ++a) {
        plist::Dictionary param;
        param.set("address", AUParameterAddress(a));
        param.set("identifier", kIdentifiers[a]);
        param.set("value", double(defaultValue(a)));
        group.set("param " + std::to_string(a), std::move(param));
    }
    plist::Dictionary expected;
    expected.set("version", 1);
    expected.set("type", 1635085670u);
    expected.set("manufacturer", 1179405906u);
    expected.set("subtype", 1986754402u);
    expected.set("number", 0);
    expected.set("name", "Preset");
    expected.set("data", plist::Data{});
    expected.set("count", 1);
    expected.set("group 0", std::move(group));
    expected.set("link", "");

    ConsoleCapture console;
    const auto state = unit->fullState();
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ(*state, expected);
    EXPECT_TRUE(console.text().empty());
}

TEST_F(UnitState, EveryParameterComesBackExactlyWhateverTheSplitOrder) {
    const auto saved = unit->fullState();
    const std::vector<float> before = kernelValues(*unit);
    for (int a = 0; a < 47; ++a) unit->setParameter(a, float(a + 1) / 64.0f);
    ASSERT_NE(kernelValues(*unit), before);
    unit->setFullState(saved);
    EXPECT_EQ(kernelValues(*unit), before);

    const std::pair<float, float> pairs[] = {{0.1f, 0.2f},  {0.3f, 0.6f}, {0.8f, 0.9f},
                                             {0.2f, 0.85f}, {0.5f, 0.5f}, {0.0f, 1.0f}};
    for (const auto& want : pairs) {
        for (const auto& from : pairs) {
            unit->setParameter(3, 0);
            unit->setParameter(4, want.second);
            unit->setParameter(3, want.first);
            const auto state = unit->fullState();
            unit->setParameter(3, 0);
            unit->setParameter(4, from.second);
            unit->setParameter(3, from.first);
            unit->setFullState(state);
            EXPECT_EQ(unit->getParameter(3), want.first) << from.first << " " << from.second;
            EXPECT_EQ(unit->getParameter(4), want.second) << from.first << " " << from.second;
        }
    }
}

TEST_F(UnitState, StatesOfAnotherComponentOrWithoutCodesTouchNothing) {
    auto state = *unit->fullState();
    state.find("group 0")->dictionary()->find("param 14")->dictionary()->set("value", 0.9);
    state.set("manufacturer", 0x41424344u);
    const std::vector<float> before = kernelValues(*unit);
    ConsoleCapture console;
    unit->setFullState(state);
    unit->setFullState(std::nullopt);
    state.set("manufacturer", 1179405906u);
    state.set("subtype", "vkwb"); // wrong kind: the code is not read
    unit->setFullState(state);
    EXPECT_EQ(kernelValues(*unit), before);
    const std::string mismatch =
        "AUExtension::fullState() : ERROR: The component description of the patch does not match.";
    EXPECT_EQ(console.lines(), (Lines{mismatch, mismatch, mismatch}));

    state.set("subtype", 1986754402u);
    unit->setFullState(state);
    EXPECT_EQ(unit->getParameter(14), 0.9f);
}

TEST_F(UnitState, FactoryPresetsAreSortedRegularFilesAndLoadThroughTheKernel) {
    EXPECT_TRUE(unit->factoryPresets().empty()); // no folder yet
    const fs::path folder = documents.makePresets();
    writeFile(folder / "b.aupreset", kWidePreset);
    writeFile(folder / "readme.txt", "not a preset");
    writeFile(folder / "A.AUPRESET", kWidePreset);
    fs::create_directory(folder / "d.aupreset");
    const std::vector<AUAudioUnitPreset> listed{{"A", 0}, {"b", 1}};
    EXPECT_EQ(unit->factoryPresets(), listed);

    std::vector<float> expected = kernelValues(*unit);
    expected[2] = 0;
    expected[14] = 0.8f; // the entry without an address is not applied to parameter 0
    ConsoleCapture console;
    unit->setCurrentPreset(AUAudioUnitPreset{"A", 0});
    EXPECT_EQ(kernelValues(*unit), expected);
    EXPECT_EQ(unit->currentPreset(), (AUAudioUnitPreset{"A", 0}));
    EXPECT_TRUE(console.text().empty());

    // A user preset restores a whole state saved as a file.
    unit->setParameter(20, 0.125f);
    VYKPreset saver;
    const auto mine = unit->fullState();
    saver.makeFrom(&*mine);
    ASSERT_TRUE(saver.save(URL::fileURL((folder / "mine.aupreset").string())));
    unit->setParameter(20, 0.5f);
    unit->setCurrentPreset(AUAudioUnitPreset{"mine", -1});
    EXPECT_EQ(unit->getParameter(20), 0.125f);
    EXPECT_EQ(unit->currentPreset(), (AUAudioUnitPreset{"mine", -1}));

    unit->setCurrentPreset(std::nullopt);
    EXPECT_FALSE(unit->currentPreset().has_value());
    EXPECT_EQ(unit->getParameter(20), 0.125f);
}

TEST_F(UnitState, HostileSelectionsGiveTheirLineAndChangeNothing) {
    const fs::path folder = documents.makePresets();
    writeFile(folder / "a.aupreset", kWidePreset);
    writeFile(folder.parent_path() / "x.aupreset", kWidePreset); // outside the folder
    writeFile(folder / "array.aupreset", "<plist version=\"1.0\"><array/></plist>");
    writeFile(folder / "cut.aupreset", std::string(kWidePreset).substr(0, 200));
    ASSERT_EQ(mkfifo((folder / "fifo.aupreset").c_str(), 0600), 0);
    const int fd = open((folder / "huge.aupreset").c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, off_t(1) << 30), 0); // sparse
    close(fd);
    ASSERT_EQ(unit->factoryPresets().size(), 4u); // a, array, cut, huge

    ConsoleCapture console;
    unit->setCurrentPreset(AUAudioUnitPreset{"a", 7}); // listing has 4
    const std::vector<float> before = kernelValues(*unit);
    const std::string folderPath = folder.string();
    const std::pair<std::string, std::string> cases[] = {
        {"fifo", "AUExtension::ERROR: The preset file 'fifo.aupreset' does not exist."},
        {"../x", "AUExtension::ERROR: The preset file '../x.aupreset' does not exist."},
        {"", "AUExtension::ERROR: The preset file '.aupreset' does not exist."},
        {std::string("a\0b", 3), "AUExtension::ERROR: The preset file 'a"},
        {"huge", "VYKPreset::loadFromFile() : ERROR: The file is not readable."},
        {"array", "VYKPreset::loadFromFile() : ERROR: The file '" + folderPath +
                      "/array.aupreset' does not hold a preset dictionary."},
        {"cut", "VYKPreset::loadFromFile() : ERROR: Could not read the file '" + folderPath + "/cut.aupreset': "},
    };
    const Lines earlier = console.lines();
    EXPECT_EQ(earlier, Lines{"AUExtension::ERROR: The preset number 7 is invalid."});
    for (const auto& [name, line] : cases) {
        console.clear();
        unit->setCurrentPreset(AUAudioUnitPreset{name, 0});
        ASSERT_EQ(console.lines().size(), 1u) << line;
        EXPECT_EQ(console.lines()[0].substr(0, line.size()), line);
        if (name == "cut") {
            EXPECT_EQ(console.lines()[0].substr(console.lines()[0].size() - 11), "Format: xml");
        }
        EXPECT_EQ(kernelValues(*unit), before) << line;
        EXPECT_FALSE(unit->currentPreset().has_value()) << line;

        console.clear();
        unit->setCurrentPreset(AUAudioUnitPreset{name, -1});
        const Lines lines = console.lines();
        EXPECT_NE(std::find(lines.begin(), lines.end(), "AUExtension::ERROR: Unable to restore set for preset " + name),
                  lines.end());
        EXPECT_EQ(kernelValues(*unit), before) << line;
        EXPECT_FALSE(unit->currentPreset().has_value()) << line;
    }
}

TEST_F(UnitState, PresetNumbersFollowTheLatestListing) {
    const fs::path folder = documents.makePresets();
    writeFile(folder / "a.aupreset", kWidePreset);
    writeFile(folder / "b.aupreset", kWidePreset);
    ConsoleCapture console;
    unit->setCurrentPreset(AUAudioUnitPreset{"a", 0}); // never listed
    ASSERT_EQ(unit->factoryPresets().size(), 2u);
    unit->setCurrentPreset(AUAudioUnitPreset{"b", 2});
    fs::remove(folder / "b.aupreset");
    unit->setCurrentPreset(AUAudioUnitPreset{"b", 1});
    EXPECT_EQ(console.lines(), (Lines{"AUExtension::ERROR: The preset number 0 is invalid.",
                                      "AUExtension::ERROR: The preset number 2 is invalid.",
                                      "AUExtension::ERROR: The preset file 'b.aupreset' does not exist."}));
    EXPECT_FALSE(unit->currentPreset().has_value());
    EXPECT_THROW(unit->presetState({"b", -1}), AUAudioUnitError);

    // Reading a preset's state applies it to no unit.
    const std::vector<float> before = kernelValues(*unit);
    const plist::Dictionary state = unit->presetState({"a", 0});
    EXPECT_EQ(kernelValues(*unit), before);
    EXPECT_EQ(*state.find("name")->string(), "Wide");
}

// Every address at -FLT_MAX, its minimum, its maximum and +FLT_MAX, through the tree, a
// full state and a preset file: the tree reads back the value clamped to the parameter's
// range (0 for the read-only bypasses; a split point stops at the other one), and its
// observers hear only values in range from states and presets.
TEST_F(UnitState, ValuesBeyondTheRangeAreClampedOnEveryRoad) {
    const URL file = URL::fileURL((documents.makePresets() / "p.aupreset").string());
    const auto tree = unit->parameterTree();
    std::vector<float> heard;
    tree->tokenByAddingParameterObserver([&](AUParameterAddress, AUValue v) { heard.push_back(v); });
    const plist::Dictionary defaults = *unit->fullState();
    for (int road = 0; road < 3; ++road) {
        for (int a = 0; a < 47; ++a) {
            const auto parameter = tree->parameterWithAddress(AUParameterAddress(a));
            const float lo = parameter->minValue(), hi = parameter->maxValue();
            for (float v : {-FLT_MAX, lo, hi, FLT_MAX}) {
                plist::Dictionary state = defaults;
                state.find("group 0")
                    ->dictionary()
                    ->find("param " + std::to_string(a))
                    ->dictionary()
                    ->set("value", double(v));
                VYKPreset saver;
                saver.makeFrom(&state);
                heard.clear();
                if (road == 0) parameter->setValue(v);
                if (road == 1) unit->setFullState(state);
                if (road == 2 && saver.save(file) && unit->factoryPresets().size() == 1)
                    unit->setCurrentPreset(AUAudioUnitPreset{"p", 0});
                float expected = a >= 8 && a <= 10 ? 0 : std::clamp(v, lo, hi);
                if (a == 3) expected = std::min(expected, defaultValue(4));
                if (a == 4) expected = std::max(expected, defaultValue(3));
                EXPECT_EQ(parameter->value(), expected) << road << " " << a << " " << v;
                for (float h : heard) EXPECT_TRUE(road == 0 || (h >= lo && h <= hi)) << road << " " << a;
                unit->setFullState(defaults);
            }
        }
    }
}
