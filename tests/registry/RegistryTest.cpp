#include "audiotoolbox/AUAudioStatus.h"
#include "audiotoolbox/AUAudioUnit.h"
#include "audiotoolbox/AUViewController.h"
#include "audiotoolbox/AVAudioUnitComponentManager.h"
#include "avfoundation/AVAudioUnit.h"
#include "TestEnvironment.h"
#include "foundation/RunLoop.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr AudioComponentDescription kGain{0x61756678, 0x7674676E, 0x56594B54, 0, 0}; // aufx vtgn VYKT
const fs::path kPlugIns = VYK_TEST_PLUGINS_DIR;
const fs::path kModule = kPlugIns / "VYKTestGain.appex" / "VYKTestGain.so";

struct Fields {
    std::string type = "aufx", subtype = "vtgn", manufacturer = "VYKT";
    std::string module = "VYKTestGain.so", factory = "VYKTestGainFactory";
    std::string flags = "<integer>2</integer>";
};

std::string infoPlist(const Fields& f) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
           "<key>type</key><string>" +
           f.type +
           "</string>\n"
           "<key>subtype</key><string>" +
           f.subtype +
           "</string>\n"
           "<key>manufacturer</key><string>" +
           f.manufacturer +
           "</string>\n"
           "<key>name</key><string>Copy</string>\n<key>version</key><integer>1</integer>\n"
           "<key>flags</key>" +
           f.flags +
           "\n"
           "<key>module</key><string>" +
           f.module +
           "</string>\n"
           "<key>factoryFunction</key><string>" +
           f.factory + "</string>\n</dict>\n</plist>\n";
}

// A folder of bundles made by the test: copies of the gain module with their own
// description files. AUDIO_COMPONENT_PATH names the build's test bundle and this folder,
// whatever the environment held.
class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string path = "relative/PlugIns::" + kPlugIns.string() + ":" + root_.string();
        ::setenv("AUDIO_COMPONENT_PATH", path.c_str(), 1);
    }
    void TearDown() override { ::unsetenv("AUDIO_COMPONENT_PATH"); }

    fs::path bundle(const std::string& name, const std::string& plist, bool withModule = true) {
        const fs::path folder = root_ / (name + ".appex");
        fs::create_directories(folder);
        std::ofstream(folder / "Info.plist") << plist;
        if (withModule) fs::copy_file(kModule, folder / "VYKTestGain.so");
        return folder;
    }

    struct Result {
        bool called = false;
        bool onMain = false;
        std::shared_ptr<AUAudioUnit> unit;
        std::optional<AUAudioUnitError> error;
    };
    Result instantiate(const AudioComponentDescription& description) {
        Result result;
        AUAudioUnit::instantiate(description, 0,
                                 [&](std::shared_ptr<AUAudioUnit> unit, std::optional<AUAudioUnitError> error) {
                                     result = {true, RunLoop::isMainThread(), std::move(unit), std::move(error)};
                                 });
        EXPECT_FALSE(result.called); // never before the main queue runs
        RunLoop::main().runUntilIdle();
        EXPECT_TRUE(result.called);
        EXPECT_TRUE(result.onMain);
        EXPECT_NE(result.unit == nullptr, !result.error.has_value());
        return result;
    }

    std::vector<std::string> foundPaths(const AudioComponentDescription& description) {
        std::vector<std::string> paths;
        for (const auto& component :
             AVAudioUnitComponentManager::sharedAudioUnitComponentManager().componentsMatching(description))
            paths.push_back(component->bundlePath());
        return paths;
    }

    vyk::test::TemporaryFolder tmp_;
    fs::path root_ = tmp_.path();
    vyk::test::ConsoleCapture console_;
};

std::vector<float> renderGain(AUAudioUnit& unit, const std::vector<float>& input) {
    const auto frames = static_cast<AUAudioFrameCount>(input.size());
    std::vector<float> left(frames), right(frames);
    AudioBufferList output;
    output.mNumberBuffers = 2;
    output.mBuffers[0] = {1, frames * 4, left.data()};
    output.mBuffers[1] = {1, frames * 4, right.data()};
    const AURenderPullInputBlock pull = [&](AudioUnitRenderActionFlags*, const AudioTimeStamp*, AUAudioFrameCount n,
                                            NSInteger, AudioBufferList* data) {
        for (std::uint32_t b = 0; b < data->mNumberBuffers; ++b)
            std::copy_n(input.begin(), n, static_cast<float*>(data->mBuffers[b].mData));
        return noErr;
    };
    AudioUnitRenderActionFlags flags = 0;
    AudioTimeStamp time{};
    EXPECT_EQ(unit.renderBlock()(&flags, &time, frames, 0, &output, nullptr, &pull), noErr);
    EXPECT_EQ(left, right);
    return left;
}

} // namespace

TEST_F(Registry, FindsTheTestComponentByItsDescriptionAndMatchesLikeTheRegistry) {
    const auto found = AVAudioUnitComponentManager::sharedAudioUnitComponentManager().componentsMatching(kGain);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0]->name(), "VYKT: Test Gain");
    EXPECT_EQ(found[0]->version(), 65793u);
    EXPECT_EQ(
        found[0]->audioComponentDescription(),
        (AudioComponentDescription{kGain.componentType, kGain.componentSubType, kGain.componentManufacturer, 2, 0}));
    EXPECT_EQ(fs::path(found[0]->modulePath()), fs::canonical(kModule));

    // Zero matches any code; flags count only under the mask.
    const auto [type, subtype, maker, flags, mask] = kGain;
    const std::pair<AudioComponentDescription, std::size_t> searches[] = {{{type, 0, maker, 0, 0}, 1},
                                                                          {{type, subtype, maker, 3, 0}, 1},
                                                                          {{type, subtype, maker, 3, 2}, 1},
                                                                          {{type, subtype, maker, 3, 1}, 0},
                                                                          {{type, subtype, 0x56594B55, 0, 0}, 0}};
    for (const auto& [search, count] : searches) EXPECT_EQ(foundPaths(search).size(), count);
    EXPECT_EQ(console_.text(), "");
}

TEST_F(Registry, InstantiatesThroughTheModuleAndRenders) {
    Result result = instantiate(kGain);
    ASSERT_TRUE(result.unit);
    EXPECT_EQ(result.unit->componentDescription().componentFlags, 2u); // the component's own
    ASSERT_TRUE(result.unit->allocateRenderResources());
    EXPECT_EQ(renderGain(*result.unit, {1.0f, -0.5f, 0.25f, 0.0f}), (std::vector<float>{0.5f, -0.25f, 0.125f, 0.0f}));

    result.unit->setContextName("running in a test");
    EXPECT_EQ(result.unit->contextName(), "running in a test");

    // The controller that made the unit, its view loaded before it made it; the same
    // controller every time.
    std::shared_ptr<AUViewController> controller, again;
    result.unit->requestViewController([&](std::shared_ptr<AUViewController> c) { controller = std::move(c); });
    result.unit->requestViewController([&](std::shared_ptr<AUViewController> c) { again = std::move(c); });
    EXPECT_FALSE(controller); // delivered on the main queue
    RunLoop::main().runUntilIdle();
    ASSERT_TRUE(controller);
    EXPECT_EQ(again, controller);
    ASSERT_TRUE(controller->isViewLoaded());
    EXPECT_EQ(controller->view()->accessibilityIdentifier,
              std::to_string(reinterpret_cast<std::uintptr_t>(result.unit.get())) + " view first");

    // The host's handle keeps the pair alive: the controller lives while the unit does.
    const std::weak_ptr<AUViewController> watched = controller;
    controller.reset();
    again.reset();
    EXPECT_FALSE(watched.expired());
    result.unit.reset();
    EXPECT_TRUE(watched.expired());

    // A second instance is a unit of its own.
    Result second = instantiate(kGain);
    ASSERT_TRUE(second.unit);
    EXPECT_NE(second.unit.get(), result.unit.get());
    EXPECT_FALSE(second.unit->renderResourcesAllocated());
}

TEST_F(Registry, InstantiatesAsAnEngineNodeOnTheMainQueue) {
    std::shared_ptr<AVAudioUnit> node;
    std::optional<AUAudioUnitError> error;
    bool onMain = false;
    auto instantiateNode = [&](const AudioComponentDescription& description) {
        AVAudioUnit::instantiate(description, 0,
                                 [&](std::shared_ptr<AVAudioUnit> n, std::optional<AUAudioUnitError> e) {
                                     node = std::move(n);
                                     error = std::move(e);
                                     onMain = RunLoop::isMainThread();
                                 });
        RunLoop::main().runUntilIdle();
    };
    instantiateNode(kGain);
    ASSERT_TRUE(node);
    EXPECT_FALSE(error);
    EXPECT_TRUE(onMain);
    EXPECT_EQ(node->auAudioUnit()->componentDescription().componentSubType, kGain.componentSubType);
    instantiateNode({kGain.componentType, kGain.componentSubType, 0x4E4F4E45, 0, 0}); // maker NONE
    EXPECT_FALSE(node);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), -66753);
}

TEST_F(Registry, BrokenBundlesAreSkippedWithTheirReasonOnce) {
    Fields shortCode, nonAscii, pathModule, parentModule, badFlags;
    shortCode.subtype = "bad";
    nonAscii.manufacturer = "VYK\xC3\x84";
    pathModule.module = "sub/VYKTestGain.so";
    parentModule.module = "../VYKTestGain.so";
    badFlags.flags = "<integer>-1</integer>";
    bundle("a-garbage", "<plist><dict><key>type</key>");
    bundle("b-short", infoPlist(shortCode));
    bundle("c-ascii", infoPlist(nonAscii));
    bundle("d-path", infoPlist(pathModule));
    bundle("e-parent", infoPlist(parentModule));
    bundle("f-flags", infoPlist(badFlags));
    bundle("g-missing", infoPlist(Fields{}), false);
    const fs::path outside = bundle("h-outside", infoPlist(Fields{}), false);
    fs::create_symlink(kModule, outside / "VYKTestGain.so");
    bundle("i-array", "<plist version=\"1.0\"><array/></plist>");

    const AudioComponentDescription any{0, 0, kGain.componentManufacturer, 0, 0};
    EXPECT_EQ(foundPaths(any).size(), 1u); // only the build's own test bundle
    const std::string first = console_.text();
    for (const char* expected :
         {"a-garbage.appex: Info.plist is malformed: line ",
          "b-short.appex: the subtype 'bad' is not four printable ASCII characters",
          "c-ascii.appex: the manufacturer 'VYK\xC3\x84' is not four printable ASCII characters",
          "d-path.appex: the module 'sub/VYKTestGain.so' is not a plain file name inside the bundle",
          "e-parent.appex: the module '../VYKTestGain.so' is not a plain file name",
          "f-flags.appex: the key 'flags' is not an integer from 0 to 4294967295",
          "g-missing.appex: the module 'VYKTestGain.so' is missing",
          "h-outside.appex: the module 'VYKTestGain.so' lies outside the bundle",
          "i-array.appex: Info.plist does not hold a dictionary"})
        EXPECT_NE(first.find(expected), std::string::npos) << expected << "\n" << first;
    EXPECT_EQ(std::count(first.begin(), first.end(), '\n'), 9);
    EXPECT_EQ(first.rfind("AVAudioUnitComponentManager: ERROR: " + root_.string(), 0), 0u);

    foundPaths(any);
    EXPECT_EQ(console_.text(), first); // said once per process
}

TEST_F(Registry, InstantiationFailuresReachTheCompletion) {
    Fields noSymbol, failing, notAModule;
    noSymbol.subtype = "nsym";
    noSymbol.factory = "VYKTestGainFactoryGone";
    failing.subtype = "fail";
    notAModule.subtype = "junk";
    bundle("nsym", infoPlist(noSymbol));
    bundle("fail", infoPlist(failing));
    const fs::path junk = bundle("junk", infoPlist(notAModule), false);
    std::ofstream(junk / "VYKTestGain.so") << "not an ELF file";

    AudioComponentDescription search = kGain;
    search.componentSubType = 0x6E73796D; // nsym
    Result result = instantiate(search);
    ASSERT_TRUE(result.error);
    EXPECT_EQ(result.error->localizedDescription(),
              "The module '" + fs::canonical(root_ / "nsym.appex" / "VYKTestGain.so").string() +
                  "' has no factory function 'VYKTestGainFactoryGone'.");

    search.componentSubType = 0x6661696C; // fail: the unit's own error comes through
    result = instantiate(search);
    ASSERT_TRUE(result.error);
    EXPECT_EQ(result.error->code(), kAudioUnitErr_FailedInitialization);
    EXPECT_EQ(result.error->localizedDescription(), "The test gain refuses to start.");

    search.componentSubType = 0x6A756E6B; // junk
    result = instantiate(search);
    ASSERT_TRUE(result.error);
    EXPECT_NE(result.error->localizedDescription().find("could not be loaded: "), std::string::npos);

    search.componentSubType = 0x6E6F6E65; // none installed
    result = instantiate(search);
    ASSERT_TRUE(result.error);
    EXPECT_EQ(result.error->localizedDescription(), "No installed audio component matches aufx none VYKT.");
}

TEST_F(Registry, SearchesGiveTheSameOrderSortedByBundlePath) {
    for (const char* name : {"zeta", "alpha", "Mid", "beta"}) bundle(name, infoPlist(Fields{}));
    // The build's own folder listed a second time adds nothing.
    const std::string path = root_.string() + ":" + kPlugIns.string() + ":" + kPlugIns.string();
    ::setenv("AUDIO_COMPONENT_PATH", path.c_str(), 1);
    const std::vector<std::string> first = foundPaths(kGain);
    ASSERT_EQ(first.size(), 5u);
    EXPECT_TRUE(std::is_sorted(first.begin(), first.end()));
    EXPECT_EQ(foundPaths(kGain), first);

    // The first match is the one instantiated.
    Result result = instantiate(kGain);
    ASSERT_TRUE(result.unit);
}
