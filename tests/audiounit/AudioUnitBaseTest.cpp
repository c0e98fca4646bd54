// The platform's unit base, parameter tree and component registry, through a small
// unit written here.
#include "audiotoolbox/AUAudioStatus.h"
#include "audiotoolbox/AUAudioUnit.h"
#include "audiotoolbox/AUParameterTree.h"
#include "audiotoolbox/AudioComponentRegistry.h"
#include "foundation/Console.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr AudioComponentDescription kDescription{0x61756D66, 0x74657374, 0x54455354, 0, 0};

class CountingUnit : public AUAudioUnit {
public:
    explicit CountingUnit(const AudioComponentDescription& description, bool failAllocation = false)
        : failAllocation_(failAllocation) {
        initialize(description, 0);
    }
    int allocations = 0, deallocations = 0, resets = 0, renders = 0;
    std::vector<AUAudioFrameCount> framesSet;
    std::vector<bool> bypassSet;

protected:
    void internalAllocateRenderResources() override {
        if (failAllocation_) throw AUAudioUnitError(kAudioUnitErr_FormatNotSupported, "format");
        ++allocations;
    }
    void internalDeallocateRenderResources() override { ++deallocations; }
    void internalReset() override { ++resets; }
    void maximumFramesToRenderDidSet() override { framesSet.push_back(maximumFramesToRender()); }
    void shouldBypassEffectDidSet() override { bypassSet.push_back(shouldBypassEffect()); }
    AUInternalRenderBlock internalRenderBlock() override {
        return [this](AudioUnitRenderActionFlags*, const AudioTimeStamp*, AUAudioFrameCount,
                      NSInteger, AudioBufferList*, const AURenderEvent*,
                      const AURenderPullInputBlock*) {
            ++renders;
            return noErr;
        };
    }

private:
    bool failAllocation_;
};

AUAudioUnitStatus callOnce(const AURenderBlock& block) {
    AudioTimeStamp stamp;
    AudioBufferList list;
    return block(nullptr, &stamp, 16, 0, &list, nullptr, nullptr);
}

class ConsoleCapture {
public:
    ConsoleCapture() {
        previous_ = Console::setSink([this](std::string_view text) { text_ += text; });
    }
    ~ConsoleCapture() { Console::setSink(previous_); }
    const std::string& text() const { return text_; }

private:
    Console::Sink previous_;
    std::string text_;
};

} // namespace

TEST(AudioUnitBase, RendersOnlyWhileAllocatedAndKeepsTheFrameLimitFixedMeanwhile) {
    CountingUnit unit(kDescription);
    EXPECT_EQ(unit.componentDescription(), kDescription);
    const AURenderBlock early = unit.renderBlock();
    EXPECT_EQ(callOnce(early), kAudioUnitErr_Uninitialized);
    EXPECT_EQ(unit.renders, 0);

    unit.setMaximumFramesToRender(512);
    ASSERT_TRUE(unit.allocateRenderResources());
    EXPECT_TRUE(unit.renderResourcesAllocated());
    EXPECT_EQ(callOnce(early), noErr);  // a block made before allocation renders now
    {
        ConsoleCapture console;
        unit.setMaximumFramesToRender(4096);
        EXPECT_NE(console.text().find("maximumFramesToRender cannot grow"), std::string::npos);
    }
    EXPECT_EQ(unit.maximumFramesToRender(), 512u);
    unit.setMaximumFramesToRender(256);  // lowering keeps within the buffers
    EXPECT_EQ(unit.framesSet, (std::vector<AUAudioFrameCount>{512, 256}));

    unit.reset();
    unit.deallocateRenderResources();
    EXPECT_EQ(callOnce(early), kAudioUnitErr_Uninitialized);
    EXPECT_EQ(unit.renders, 1);
    EXPECT_EQ(unit.resets, 1);
    EXPECT_EQ(unit.deallocations, 1);

    unit.setShouldBypassEffect(true);
    unit.setShouldBypassEffect(false);
    EXPECT_EQ(unit.bypassSet, (std::vector<bool>{true, false}));
}

TEST(AudioUnitBase, FailedAllocationOrInitialisationLeavesNothingUsable) {
    CountingUnit unit(kDescription, true);
    OSStatus status = noErr;
    EXPECT_FALSE(unit.allocateRenderResources(&status));
    EXPECT_EQ(status, kAudioUnitErr_FormatNotSupported);
    EXPECT_FALSE(unit.renderResourcesAllocated());
    EXPECT_EQ(callOnce(unit.renderBlock()), kAudioUnitErr_Uninitialized);

    try {
        CountingUnit noType(AudioComponentDescription{});
        FAIL() << "a description without a type made a unit";
    } catch (const AUAudioUnitError& e) {
        EXPECT_EQ(e.code(), kAudioUnitErr_FailedInitialization);
    }
}

TEST(ParameterTree, ObserversProviderAndAddressLookup) {
    auto a = AUParameterTree::createParameter("a", "A", 3, 0, 1, kAudioUnitParameterUnit_Generic,
                                              std::nullopt, kAudioUnitParameterFlag_IsReadable,
                                              std::nullopt, std::nullopt);
    auto b = AUParameterTree::createParameter("b", "B", 7, -1, 1, kAudioUnitParameterUnit_Boolean,
                                              "u", 0, std::vector<std::string>{"x"}, std::nullopt);
    auto duplicate = AUParameterTree::createParameter(
        "c", "C", 3, 0, 1, kAudioUnitParameterUnit_Generic, std::nullopt, 0, std::nullopt,
        std::nullopt);
    auto inner = AUParameterTree::createGroup("inner", "Inner", {b, duplicate});
    auto tree = AUParameterTree::createTree({a, inner});

    const auto all = tree->allParameters();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[1], b);
    EXPECT_EQ(tree->parameterWithAddress(3), a);  // first in tree order wins
    EXPECT_EQ(tree->parameterWithAddress(4), nullptr);

    std::vector<std::pair<AUParameterAddress, AUValue>> implementor, observed;
    float stored = 0.25f;
    tree->setImplementorValueObserver([&](const AUParameter& p, AUValue v) {
        implementor.emplace_back(p.address(), v);
        stored = v;
    });
    const auto token = tree->tokenByAddingParameterObserver(
        [&](AUParameterAddress address, AUValue v) { observed.emplace_back(address, v); });
    EXPECT_NE(token, 0u);

    b->setValue(0.75f);
    EXPECT_EQ(b->value(), 0.75f);  // no provider: the stored value
    tree->setImplementorValueProvider([&](const AUParameter&) { return stored * 2; });
    EXPECT_EQ(b->value(), 1.5f);
    tree->removeParameterObserver(token);
    a->setValue(0.5f);
    EXPECT_EQ(implementor, (std::vector<std::pair<AUParameterAddress, AUValue>>{{7, 0.75f}, {3, 0.5f}}));
    EXPECT_EQ(observed, (std::vector<std::pair<AUParameterAddress, AUValue>>{{7, 0.75f}}));

    const AUValue quarter = 0.25f;
    EXPECT_EQ(a->stringFromValue(&quarter), "0.25");
    tree->setImplementorStringFromValueCallback(
        [](const AUParameter&, const AUValue* v) { return v ? "given" : "current"; });
    EXPECT_EQ(a->stringFromValue(&quarter), "given");
    EXPECT_EQ(a->stringFromValue(nullptr), "current");
}

TEST(ComponentRegistry, MatchesCodesWithZeroAsAnyAndFlagsUnderTheMask) {
    AudioComponentRegistry registry;
    AudioComponentDescription other = kDescription;
    other.componentSubType = 0x6F746872;
    other.componentFlags = 2;
    registry.registerComponent({kDescription, "Z", 1, "/b/z.appex"},
                               [](const AudioComponentDescription& d) {
                                   return std::make_shared<CountingUnit>(d);
                               });
    registry.registerComponent({other, "A", 1, "/a/a.appex"},
                               [](const AudioComponentDescription& d) {
                                   return std::make_shared<CountingUnit>(d);
                               });

    AudioComponentDescription any{kDescription.componentType, 0, 0, 2, 0};
    const auto both = registry.componentsMatching(any);
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[0].name, "A");  // sorted by bundle path
    any.componentFlagsMask = 2;
    ASSERT_EQ(registry.componentsMatching(any).size(), 1u);
    EXPECT_EQ(registry.componentsMatching(any)[0].name, "A");

    AudioComponentDescription search = kDescription;
    search.componentFlags = 2;  // ignored: no mask
    const auto unit = registry.instantiate(search);
    EXPECT_EQ(unit->componentDescription(), kDescription);

    search.componentManufacturer = 1;
    EXPECT_THROW(registry.instantiate(search), AUAudioUnitError);
}
