// The effect's unit as a host and the control panel drive it: construction, buses,
// capabilities, the parameter tree, render resources and the render block.
#include "UnitRig.h"
#include "audiotoolbox/AUParameterTree.h"
#include "RenderEvents.h"
#include "RenderGuard.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace unitrig;
using Lines = std::vector<std::string>;

TEST(AudioUnit, ConstructionPrintsItsLinesAndFailsWithTheBaseError) {
    ConsoleCapture console;
    const auto unit = makeUnit();
    const Lines lines = console.lines();
    ASSERT_GE(lines.size(), 3u); // the kernel may add diagnostics of its own
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 3),
              (Lines{"AUExtension::init()", "FLNR : vkwb", "AUExtension: We will prepare required resources now..."}));
    EXPECT_EQ(unit->componentDescription(), kDescription);

    console.clear();
    AudioComponentDescription noType = kDescription;
    noType.componentType = 0;
    EXPECT_THROW(VYK_Wimbrax_Extension_AudioUnit failed(noType, 7), AUAudioUnitError);
    ASSERT_GE(console.lines().size(), 3u); // the unit's lines came before the base failed
    EXPECT_EQ(console.lines()[0], "AUExtension::init()");
}

TEST(AudioUnit, BusesCapabilitiesAndViewQueries) {
    const auto unit = makeUnit();
    ConsoleCapture console;
    const auto in1 = unit->inputBusses();
    const auto in2 = unit->inputBusses();
    EXPECT_EQ(in1, in2);
    ASSERT_EQ(in1->count(), 1u);
    EXPECT_EQ(in1->busType(), AUAudioUnitBusType::input);
    EXPECT_EQ((*in1)[0]->format().channelCount(), 2u);
    EXPECT_EQ(unit->outputBusses()->busType(), AUAudioUnitBusType::output);

    // Each query prints its answer; the lines are the values.
    unit->latency();
    unit->tailTime();
    unit->canPerformInput();
    unit->canPerformOutput();
    unit->canProcessInPlace();
    unit->isMusicDeviceOrEffect();
    unit->virtualMIDICableCount();
    EXPECT_EQ(unit->MIDIOutputNames(), Lines{"VYK Wimbrax MIDI Out"});
    EXPECT_EQ(unit->channelCapabilities(), (std::vector<int>{2, 2}));
    EXPECT_TRUE(unit->parametersForOverview(0).empty());
    EXPECT_TRUE(unit->parametersForOverview(100).empty());
    EXPECT_TRUE(unit->supportedViewConfigurations({{}, {}, {}}).empty());
    unit->supportsUserPresets();
    const auto tree = unit->parameterTree();
    unit->setParameterTree(std::make_shared<AUParameterTree>());
    EXPECT_EQ(unit->parameterTree(), tree);

    EXPECT_EQ(
        console.lines(),
        (Lines{"AUExtension::inputBusses: 1", "AUExtension::inputBusses: 1", "AUExtension::outputBusses: 1",
               "AUExtension::latency: 0.021333333333333333", "AUExtension::tailTime: 0",
               "AUExtension::canPerformInput: true", "AUExtension::canPerformOutput: true",
               "AUExtension::canProcessInPlace() true", "AUExtension::isMusicDeviceOrEffect: true",
               "AUExtension::virtualMIDICableCount: 1", "AUExtension::midiOutputNames: [\"VYK Wimbrax MIDI Out\"]",
               "AUExtension::channelCapabilities", "AUExtension::parametersForOverview()",
               "AUExtension::parametersForOverview()", "AUExtension::supportedViewConfigurations()",
               "AUExtension::supportsUserPresets: true", "AUExtension::parameterTree (set) !!!"}));
}

TEST(AudioUnit, ParameterTreeMatchesTheTableAndReachesTheKernel) {
    const auto unit = makeUnit();
    const auto tree = unit->parameterTree();
    ASSERT_EQ(tree->children().size(), 1u);
    const auto* group = dynamic_cast<const AUParameterGroup*>(tree->children()[0].get());
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->identifier(), "kGlobalParameters");
    EXPECT_EQ(group->displayName(), "VYK Wimbrax Global");

    const auto all = tree->allParameters();
    ASSERT_EQ(all.size(), 47u);
    for (AUParameterAddress a = 0; a < 47; ++a) {
        const auto& p = all[a];
        EXPECT_EQ(p->address(), a);
        const bool readOnly = a >= 8 && a <= 10;
        EXPECT_EQ(p->flags(), readOnly ? 0x40000000u : 0xC0000000u) << a;
        EXPECT_EQ(p->minValue(), a == 43 ? -1.0f : 0.0f) << a;
        EXPECT_EQ(p->maxValue(), a == 2 ? 3.0f : 1.0f) << a;
        EXPECT_EQ(p->unit() == kAudioUnitParameterUnit_Indexed, a == 2) << a;
        EXPECT_FALSE(p->unitName().has_value());
        EXPECT_FALSE(p->valueStrings().has_value());
    }
    EXPECT_EQ(all[14]->identifier(), "kStereoWidth0");
    EXPECT_EQ(all[30]->displayName(), "AP Invert A Channel");
    EXPECT_EQ(all[46]->displayName(), "Dynamics Release");
    EXPECT_EQ(tree->parameterWithAddress(47), nullptr);

    // Reads come from the kernel, which stops split 1 at split 2.
    tree->parameterWithAddress(3)->setValue(0.9f);
    EXPECT_EQ(tree->parameterWithAddress(3)->value(), 0.75f);

    const AUValue quarter = 0.25f;
    EXPECT_EQ(all[0]->stringFromValue(&quarter), "0.25");
    EXPECT_EQ(all[0]->stringFromValue(nullptr), "0.5");
}

TEST(AudioUnit, SetParameterTellsObserversOnlyOfChangesAndIgnoresUnknownAddresses) {
    const auto unit = makeUnit();
    std::vector<std::pair<AUParameterAddress, AUValue>> heard;
    const auto tree = unit->parameterTree();
    tree->tokenByAddingParameterObserver([&](AUParameterAddress a, AUValue v) { heard.emplace_back(a, v); });
    ConsoleCapture console;

    unit->setParameter(14, 0.8f);
    EXPECT_EQ(unit->getParameter(14), 0.8f);
    unit->setParameter(14, 0.8f); // unchanged: observers stay quiet
    unit->onFoundParameter(3, "any", 2, 1.0f);
    EXPECT_EQ(unit->getParameter(2), 1.0f);
    unit->setParameter(47, 1.0f);
    unit->setParameter(-1, 1.0f);
    unit->onFoundParameter(0, "", (AUParameterAddress(1) << 32) + 2, 3.0f); // not parameter 2
    EXPECT_EQ(unit->getParameter(2), 1.0f);
    EXPECT_EQ(unit->getParameter(47), 0.0f);
    unit->updateParameters();

    EXPECT_EQ(heard, (std::vector<std::pair<AUParameterAddress, AUValue>>{{14, 0.8f}, {2, 1.0f}}));
    EXPECT_TRUE(console.text().empty());
    EXPECT_EQ(unit->getBufferLeft(4), nullptr);
    EXPECT_EQ(unit->getBufferRight(-1), nullptr);
    EXPECT_EQ(unit->getBufferLeft(NSInteger(1) << 32), nullptr);
    EXPECT_EQ(unit->getBufferSize(), 1024);
}

TEST(AudioUnit, AllocationPassesHostBlocksAndRefusesBadFormatsAndLateMaximumChanges) {
    const auto unit = makeUnit();
    {
        ConsoleCapture console;
        unit->setMaximumFramesToRender(512);
        unit->setShouldBypassEffect(true);
        EXPECT_TRUE(unit->allocateRenderResources());
        EXPECT_EQ(console.lines(),
                  (Lines{"AUExtension::maximumFramesToRender (set): 512", "AUExtension::shouldBypassEffect (did set)",
                         "AUExtension::allocateRenderResources()", "AUExtension::outputBusses: 1",
                         "AUExtension::outputBusses: 1",
                         "AUExtension: WARNING: The property 'musicalContextBlock' is NOT defined.",
                         "AUExtension: WARNING: The property 'transportStateBlock' is NOT defined.",
                         "AUExtension: WARNING: The property 'scheduleMIDIEventBlock' is NOT defined.",
                         "AUExtension::midiOutputEventBlock (get) ",
                         "AUExtension: WARNING: The property 'midiOutputEventBlock' is NOT defined."}));
        EXPECT_TRUE((*unit->outputBusses())[0]->shouldAllocateBuffer());
    }
    {
        ConsoleCapture console;
        unit->setMaximumFramesToRender(8192); // the input buffer holds 512
        EXPECT_EQ(unit->maximumFramesToRender(), 512u);
        EXPECT_EQ(console.text().find("AUExtension::maximumFramesToRender (set)"), std::string::npos);
    }
    unit->deallocateRenderResources();

    unit->setMusicalContextBlock(std::make_shared<AUHostMusicalContextBlock>(
        [](double*, double*, NSInteger*, double*, NSInteger*, double*) { return true; }));
    unit->setTransportStateBlock(std::make_shared<AUHostTransportStateBlock>(
        [](AUHostTransportStateFlags*, double*, double*, double*) { return true; }));
    unit->setScheduleMIDIEventBlock(std::make_shared<AUScheduleMIDIEventBlock>(
        [](AUEventSampleTime, std::uint8_t, NSInteger, const std::uint8_t*) {}));
    unit->setMIDIOutputEventBlock(std::make_shared<AUMIDIOutputEventBlock>(
        [](AUEventSampleTime, std::uint8_t, NSInteger, const std::uint8_t*) { return 0; }));
    {
        ConsoleCapture console;
        EXPECT_TRUE(unit->allocateRenderResources());
        const Lines lines = console.lines();
        ASSERT_EQ(lines.size(), 9u);
        EXPECT_EQ(lines[3], "AUExtension: The property 'musicalContextBlock' is defined.");
        EXPECT_EQ(lines[5], "AUExtension: The property 'scheduleMIDIEventBlock' is defined.");
        EXPECT_EQ(lines[7], "AUExtension: The property 'midiOutputEventBlock' is defined.");
        EXPECT_EQ(lines[8], "AUExtension::midiOutputEventBlock (get) ");
    }
    unit->deallocateRenderResources();

    // A mono input to a stereo output would make the kernel read a channel that is not there.
    ASSERT_TRUE((*unit->inputBusses())[0]->setFormat(AVAudioFormat(48000, 1)));
    ConsoleCapture console;
    OSStatus status = noErr;
    EXPECT_FALSE(unit->allocateRenderResources(&status));
    EXPECT_EQ(status, kAudioUnitErr_FormatNotSupported);
    EXPECT_NE(console.text().find("AUExtension::ERROR: The bus formats are not supported"), std::string::npos);
    EXPECT_EQ(unit->renderBlock()(nullptr, nullptr, 0, 0, nullptr, nullptr, nullptr), kAudioUnitErr_Uninitialized);
    // Mono on both buses passes through the kernel undelayed.
    ASSERT_TRUE((*unit->outputBusses())[0]->setFormat(AVAudioFormat(48000, 1)));
    EXPECT_TRUE(unit->allocateRenderResources());
    EXPECT_EQ(unit->latency(), 0.0);
}

// The diagnostic listing: the tree's one group, then its 47 parameters one blank
// deeper, in address order; the name is not printed and a null tree prints nothing.
TEST(AudioUnit, DumpParametersListsTheGroupAndItsParametersIndented) {
    const auto unit = makeUnit();
    ConsoleCapture console;
    unit->dumpParameters("ignored", unit->parameterTree().get(), 1);
    unit->dumpParameters("none", nullptr, 0);
    const Lines lines = console.lines();
    ASSERT_EQ(lines.size(), 48u);
    EXPECT_EQ(lines[0], " VYK Wimbrax Global");
    EXPECT_EQ(lines[1], "  Input Volume");
    EXPECT_EQ(lines[47], "  Dynamics Release");
}

namespace {

Stereo ramp(std::size_t n) {
    Stereo s(n);
    for (std::size_t i = 0; i < n; ++i) {
        s.l[i] = std::sin(0.01f * float(i)) * 0.5f;
        s.r[i] = std::cos(0.013f * float(i)) * 0.25f;
    }
    return s;
}

using vyk::test::parameterEvent;

} // namespace

TEST(AudioUnitRender, ParameterEventsTakeEffectAtTheirSample) {
    constexpr std::size_t kBlock = 256, kTotal = 4096;
    const Stereo in = ramp(kTotal);
    for (AUParameterAddress address : {AUParameterAddress(30), AUParameterAddress(26)}) {
        auto render = [&](bool asEvent) {
            Host host(makeUnit());
            host.unit->setParameter(2, 0); // full band
            EXPECT_TRUE(host.allocate());
            Stereo out(kTotal);
            for (std::size_t at = 0; at < kTotal; at += kBlock) {
                if (at != kBlock) {
                    EXPECT_EQ(host.render(in, out, at, kBlock), noErr);
                } else if (asEvent) {
                    // The sample time is the buffer's own time plus 100.
                    AURenderEvent e = parameterEvent(AUEventSampleTime(at + 100), address, 1);
                    EXPECT_EQ(host.render(in, out, at, kBlock, &e), noErr);
                } else {
                    EXPECT_EQ(host.render(in, out, at, 100), noErr);
                    host.unit->setParameter(std::int32_t(address), 1);
                    EXPECT_EQ(host.render(in, out, at + 100, kBlock - 100), noErr);
                }
            }
            return out;
        };
        const Stereo byEvent = render(true), bySplit = render(false);
        EXPECT_EQ(byEvent.l, bySplit.l) << address;
        EXPECT_EQ(byEvent.r, bySplit.r) << address;

        Host plain(makeUnit());
        plain.unit->setParameter(2, 0);
        ASSERT_TRUE(plain.allocate());
        Stereo untouched(kTotal);
        for (std::size_t at = 0; at < kTotal; at += kBlock) plain.render(in, untouched, at, kBlock);
        EXPECT_NE(byEvent.l, untouched.l) << "parameter " << address << " changed nothing";
    }
}

TEST(AudioUnitRender, LatencyHoldsWithAndWithoutBypass) {
    constexpr std::size_t kTotal = 2048;
    Stereo impulse(kTotal);
    impulse.l[0] = impulse.r[0] = 1.0f;
    for (bool bypass : {false, true}) {
        Host host(makeUnit());
        host.unit->setParameter(2, 0);
        host.unit->setShouldBypassEffect(bypass);
        ASSERT_TRUE(host.allocate());
        Stereo out(kTotal);
        for (std::size_t at = 0; at < kTotal; at += 512) ASSERT_EQ(host.render(impulse, out, at, 512), noErr);
        std::size_t peak = 0;
        for (std::size_t i = 0; i < kTotal; ++i)
            if (std::fabs(out.r[i]) > std::fabs(out.r[peak])) peak = i;
        EXPECT_EQ(double(peak), host.unit->latency() * 48000.0) << "bypass " << bypass;
        EXPECT_GT(std::fabs(out.r[peak]), 0.1f);
    }
}

TEST(AudioUnitRender, FailedCallsAreReportedOffTheRenderThreadWithoutAllocating) {
    Host host(makeUnit());
    host.unit->setMaximumFramesToRender(512);
    ASSERT_TRUE(host.allocate());
    const Stereo in = ramp(2048);
    Stereo out(2048);
    std::vector<AURenderEvent> events{parameterEvent(10, 14, 0.9f), parameterEvent(20, 26, 1)};
    events[0].head.next = &events[1];

    ConsoleCapture console;
    {
        vyk::test::RenderGuard guard;
        EXPECT_EQ(host.render(in, out, 0, 512, &events[0]), noErr);
        EXPECT_EQ(host.render(in, out, 0, 513), kAudioUnitErr_TooManyFramesToProcess);
        EXPECT_EQ(host.render(in, out, 512, 512), noErr);
        EXPECT_EQ(host.render(in, out, 0, 2048), kAudioUnitErr_TooManyFramesToProcess);
        if (vyk::test::RenderGuard::active()) {
            EXPECT_EQ(guard.violations(), 0);
        }
    }
    EXPECT_TRUE(console.text().empty());
    host.unit->flushRenderErrors();
    EXPECT_EQ(console.lines(), (Lines{"AUExtension::ERROR: We have a problem with the kernel! "
                                      "-10874 (2 render calls failed)"}));
    console.clear();
    EXPECT_EQ(host.render(in, out, 0, 600), kAudioUnitErr_TooManyFramesToProcess);
    host.unit->flushRenderErrors();
    host.unit->flushRenderErrors();
    EXPECT_EQ(console.lines(), (Lines{"AUExtension::ERROR: We have a problem with the kernel! -10874"}));
    EXPECT_EQ(host.unit->getParameter(14), 0.9f);
}

// A render block keeps the MIDI output block of its making, through a later block and a
// reallocation, and hands it over on every call without a lock or an allocation, even
// when two render blocks with different MIDI blocks take turns.
TEST(AudioUnitRender, RenderBlocksKeepTheirMIDIOutputThroughReallocation) {
    Host host(makeUnit());
    auto quiet = [] {
        return std::make_shared<const AUMIDIOutputEventBlock>(
            [](AUEventSampleTime, std::uint8_t, NSInteger, const std::uint8_t*) { return noErr; });
    };
    std::weak_ptr<const AUMIDIOutputEventBlock> first, second;
    host.unit->setMIDIOutputEventBlock(quiet());
    first = host.unit->MIDIOutputEventBlock();
    ASSERT_TRUE(host.allocate()); // the adapter gets the first block here
    host.unit->setMIDIOutputEventBlock(quiet());
    second = host.unit->MIDIOutputEventBlock();
    AURenderBlock other = host.unit->renderBlock(); // the second block reaches the adapter only through it
    host.unit->setMIDIOutputEventBlock(nullptr);
    host.unit->deallocateRenderResources();
    ASSERT_TRUE(host.unit->allocateRenderResources());
    EXPECT_FALSE(first.expired());
    EXPECT_FALSE(second.expired());

    const Stereo in = ramp(4096);
    Stereo out(4096);
    {
        vyk::test::RenderGuard guard;
        for (std::size_t at = 0; at < 4096; at += 256) {
            std::swap(host.block, other); // moves no memory
            EXPECT_EQ(host.render(in, out, at, 256), noErr);
        }
        if (vyk::test::RenderGuard::active()) {
            EXPECT_EQ(guard.violations(), 0);
        }
    }
    // Once no render block holds it and it is no longer current, a block goes at release.
    other = nullptr;
    host.unit->deallocateRenderResources();
    EXPECT_TRUE(second.expired());
    EXPECT_FALSE(first.expired());
}
