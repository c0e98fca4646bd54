// The platform's unit base, parameter tree and component registry, through a small
// unit written here.
#include "audiotoolbox/AUAudioStatus.h"
#include "audiotoolbox/AUAudioUnit.h"
#include "audiotoolbox/AUParameterTree.h"
#include "audiotoolbox/AudioComponentRegistry.h"
#include "UnitRig.h"

#include <gtest/gtest.h>

using unitrig::ConsoleCapture;

namespace {

constexpr AudioComponentDescription kDescription{0x61756D66, 0x74657374, 0x54455354, 0, 0};

class CountingUnit : public AUAudioUnit {
public:
    explicit CountingUnit(const AudioComponentDescription& description, bool failAllocation = false)
        : failAllocation_(failAllocation) {
        initialize(description, 0);
    }
    int allocations = 0, deallocations = 0, resets = 0, renders = 0;

protected:
    void internalAllocateRenderResources() override {
        if (failAllocation_) throw AUAudioUnitError(kAudioUnitErr_FormatNotSupported, "format");
        ++allocations;
    }
    void internalDeallocateRenderResources() override { ++deallocations; }
    void internalReset() override { ++resets; }
    AUInternalRenderBlock internalRenderBlock() override {
        return [this](AudioUnitRenderActionFlags*, const AudioTimeStamp*, AUAudioFrameCount, NSInteger,
                      AudioBufferList*, const AURenderEvent*, const AURenderPullInputBlock*) {
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
    EXPECT_EQ(callOnce(early), noErr); // a block made before allocation renders now
    {
        ConsoleCapture console;
        unit.setMaximumFramesToRender(4096);
        EXPECT_NE(console.text().find("maximumFramesToRender cannot grow"), std::string::npos);
    }
    EXPECT_EQ(unit.maximumFramesToRender(), 512u);
    unit.setMaximumFramesToRender(256); // lowering keeps within the buffers
    EXPECT_EQ(unit.maximumFramesToRender(), 256u);

    unit.reset();
    unit.deallocateRenderResources();
    EXPECT_EQ(callOnce(early), kAudioUnitErr_Uninitialized);
    EXPECT_EQ(unit.renders, 1);
    EXPECT_EQ(unit.resets, 1);
    EXPECT_EQ(unit.deallocations, 1);
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

TEST(ComponentRegistry, MatchesCodesWithZeroAsAnyAndFlagsUnderTheMask) {
    AudioComponentRegistry registry;
    AudioComponentDescription other = kDescription;
    other.componentSubType = 0x6F746872;
    other.componentFlags = 2;
    registry.registerComponent({kDescription, "Z", 1, "/b/z.appex"},
                               [](const AudioComponentDescription& d) { return std::make_shared<CountingUnit>(d); });
    registry.registerComponent({other, "A", 1, "/a/a.appex"},
                               [](const AudioComponentDescription& d) { return std::make_shared<CountingUnit>(d); });

    AudioComponentDescription any{kDescription.componentType, 0, 0, 2, 0};
    const auto both = registry.componentsMatching(any);
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[0].name, "A"); // sorted by bundle path
    any.componentFlagsMask = 2;
    ASSERT_EQ(registry.componentsMatching(any).size(), 1u);
    EXPECT_EQ(registry.componentsMatching(any)[0].name, "A");

    AudioComponentDescription search = kDescription;
    search.componentFlags = 2; // ignored: no mask
    const auto unit = registry.instantiate(search);
    EXPECT_EQ(unit->componentDescription(), kDescription);

    search.componentManufacturer = 1;
    EXPECT_THROW(registry.instantiate(search), AUAudioUnitError);
}
