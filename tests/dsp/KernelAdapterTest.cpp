#include "KernelRig.h"
#include "RenderGuard.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#if defined(__x86_64__)
#include <xmmintrin.h>
#endif

namespace {

using namespace rig;

AudioBufferList listOf(Stereo& s, std::size_t offset, AUAudioFrameCount frames) {
    AudioBufferList list{};
    list.mNumberBuffers = 2;
    list.mBuffers[0] = {1, frames * 4u, s.l.data() + offset};
    list.mBuffers[1] = {1, frames * 4u, s.r.data() + offset};
    return list;
}

TEST(KernelAdapter, RefusesMoreFramesThanItsMaximumOrItsBuffer) {
    Host host;
    const Stereo in = noise(8192);
    Stereo out(8192, 3.0f);
    EXPECT_EQ(host.render(in, out, 0, 4097), kAudioUnitErr_TooManyFramesToProcess);
    EXPECT_EQ(out.l[0], 3.0f);
    EXPECT_EQ(host.render(in, out, 0, 4096), noErr);
    // A maximum raised after allocation does not outgrow the input buffer.
    host.adapter->setMaximumFramesToRender(8192);
    EXPECT_EQ(host.render(in, out, 0, 4097), kAudioUnitErr_TooManyFramesToProcess);
    host.adapter->allocateRenderResources();
    EXPECT_EQ(host.render(in, out, 0, 8192), noErr);
}

TEST(KernelAdapter, RenderingBeforeAllocationReturnsAStatus) {
    auto adapter = Adapter::make();
    Stereo out(64);
    AudioBufferList list = listOf(out, 0, 64);
    AudioTimeStamp ts{};
    EXPECT_EQ(adapter->render(nullptr, &ts, 64, 0, &list, nullptr, nullptr), kAudioUnitErr_Uninitialized);
    adapter->allocateRenderResources();
    adapter->deallocateRenderResources();
    EXPECT_EQ(adapter->render(nullptr, &ts, 64, 0, &list, nullptr, nullptr), kAudioUnitErr_Uninitialized);
    EXPECT_EQ(adapter->render(nullptr, nullptr, 64, 0, &list, nullptr, nullptr), kAudio_ParamError);
}

TEST(KernelAdapter, NullOutputBuffersRenderInPlaceInTheInputBuffers) {
    Host inPlace, reference;
    const Stereo in = noise(4096);
    const Stereo expected = reference.run(in, 512);
    for (std::size_t at = 0; at < in.size(); at += 512) {
        AURenderPullInputBlock pull = [&](AudioUnitRenderActionFlags*, const AudioTimeStamp*, AUAudioFrameCount n,
                                          NSInteger, AudioBufferList* l) {
            std::memcpy(l->mBuffers[0].mData, in.l.data() + at, n * 4);
            std::memcpy(l->mBuffers[1].mData, in.r.data() + at, n * 4);
            return noErr;
        };
        AudioBufferList list{};
        list.mNumberBuffers = 2;
        AudioTimeStamp ts{};
        ts.mSampleTime = double(at);
        ASSERT_EQ(inPlace.adapter->render(nullptr, &ts, 512, 0, &list, nullptr, &pull), noErr);
        ASSERT_NE(list.mBuffers[0].mData, nullptr);
        EXPECT_EQ(list.mBuffers[1].mDataByteSize, 2048u);
        const float* l = static_cast<const float*>(list.mBuffers[0].mData);
        const float* r = static_cast<const float*>(list.mBuffers[1].mData);
        for (int i = 0; i < 512; ++i) {
            ASSERT_EQ(l[i], expected.l[at + i]);
            ASSERT_EQ(r[i], expected.r[at + i]);
        }
    }
}

TEST(KernelAdapter, AFailedPullReturnsItsStatusAndProcessesNothing) {
    Host failing, reference;
    const Stereo in = noise(4096);
    Stereo out(4096, 9.0f);
    AURenderPullInputBlock broken = [](AudioUnitRenderActionFlags*, const AudioTimeStamp*, AUAudioFrameCount, NSInteger,
                                       AudioBufferList*) { return OSStatus{-10863}; };
    AudioBufferList list = listOf(out, 0, 512);
    AudioTimeStamp ts{};
    EXPECT_EQ(failing.adapter->render(nullptr, &ts, 512, 0, &list, nullptr, &broken), -10863);
    EXPECT_EQ(out.l[0], 9.0f);
    // The kernel did not move: what follows is what a fresh kernel renders.
    EXPECT_EQ(failing.run(in, 512).l, reference.run(in, 512).l);
}

// A MIDI output block that counts the note-ons it receives.
struct MIDICounter {
    int notes = 0;
    std::shared_ptr<const AUMIDIOutputEventBlock> block() {
        return std::make_shared<const AUMIDIOutputEventBlock>(
            [this](AUEventSampleTime t, std::uint8_t cable, NSInteger n, const std::uint8_t* bytes) {
                EXPECT_EQ(t, 3);
                EXPECT_EQ(cable, 0);
                EXPECT_EQ(n, 3);
                EXPECT_EQ(bytes[0], 0x90);
                ++notes;
                return noErr;
            });
    }
};

AURenderEvent noteOn() {
    AURenderEvent note{};
    note.MIDI.eventType = AURenderEventMIDI;
    note.MIDI.eventSampleTime = 3;
    note.MIDI.length = 3;
    note.MIDI.data[0] = 0x90;
    return note;
}

TEST(KernelAdapter, MIDIThruReachesTheCurrentBlockWithoutClockOrTransport) {
    Host host;
    host.adapter->setParameterEx(-1, 1.0f); // ignored
    EXPECT_EQ(host.adapter->getParameterEx(-1), 0.0f);
    MIDICounter midi;
    host.adapter->setAUMIDIOutputEventBlock(midi.block());
    Stereo out(64);
    AudioBufferList list = listOf(out, 0, 64);
    AudioTimeStamp ts{};
    AURenderEvent note = noteOn();
    // Clock, start, continue, stop and reset stay here.
    AURenderEvent transport[5] = {note, note, note, note, note};
    const std::uint8_t status[5] = {0xF8, 0xFA, 0xFB, 0xFC, 0xFF};
    for (int i = 0; i < 5; ++i) {
        transport[i].MIDI.length = 1;
        transport[i].MIDI.data[0] = status[i];
        transport[i].head.next = i < 4 ? &transport[i + 1] : nullptr;
    }
    note.head.next = &transport[0];
    EXPECT_EQ(host.adapter->render(nullptr, &ts, 64, 0, &list, &note, nullptr), noErr);
    EXPECT_EQ(midi.notes, 0); // thru is off by default
    host.adapter->setMidiThru(true);
    EXPECT_EQ(host.adapter->render(nullptr, &ts, 64, 0, &list, &note, nullptr), noErr);
    EXPECT_EQ(midi.notes, 1);
    host.adapter->setAUMIDIOutputEventBlock(nullptr);
    EXPECT_EQ(host.adapter->render(nullptr, &ts, 64, 0, &list, &note, nullptr), noErr);
    EXPECT_EQ(midi.notes, 1);
}

// The render block differs from the render entry in two ways: it refuses to render
// without a pull-input block, and it keeps the MIDI output of its making.
TEST(KernelAdapter, TheRenderBlockAlwaysPullsAndKeepsTheMIDIOutputOfItsMaking) {
    Host host;
    host.adapter->setMidiThru(true);
    MIDICounter first, later;
    host.adapter->setAUMIDIOutputEventBlock(first.block());
    const AUInternalRenderBlock block = host.adapter->internalRenderBlock();
    host.adapter->setAUMIDIOutputEventBlock(later.block());

    const Stereo in = noise(64);
    Stereo pulled(64);
    ASSERT_EQ(host.render(in, pulled, 0, 64), noErr); // fills the bus's buffer
    Stereo out(64, 3.0f);
    AudioBufferList list = listOf(out, 0, 64);
    AudioTimeStamp ts{};
    AURenderEvent note = noteOn();
    EXPECT_EQ(block(nullptr, &ts, 64, 0, &list, &note, nullptr), kAudioUnitErr_NoConnection);
    EXPECT_EQ(out.l, std::vector<float>(64, 3.0f));
    EXPECT_EQ(first.notes + later.notes, 0);
    // The render entry renders what the bus's buffer holds instead.
    EXPECT_EQ(host.adapter->render(nullptr, &ts, 64, 0, &list, &note, nullptr), noErr);
    EXPECT_NE(out.l, std::vector<float>(64, 3.0f));
    EXPECT_EQ(later.notes, 1);

    AURenderPullInputBlock silence = [](AudioUnitRenderActionFlags*, const AudioTimeStamp*, AUAudioFrameCount,
                                        NSInteger, AudioBufferList*) { return noErr; };
    EXPECT_EQ(block(nullptr, &ts, 64, 0, &list, &note, &silence), noErr);
    EXPECT_EQ(first.notes, 1);
    EXPECT_EQ(later.notes, 1);
}

// A replaced block may still be in use by a render in flight, or be handed in again by
// a render block: it lives until render resources are released and nothing else holds it.
TEST(KernelAdapter, ReplacedMIDIBlocksLiveUntilReleasedAndUnheld) {
    Host host;
    MIDICounter counter;
    auto hand = [&](std::shared_ptr<const AUMIDIOutputEventBlock> block) {
        host.adapter->setAUMIDIOutputEventBlock(block);
        return std::weak_ptr<const AUMIDIOutputEventBlock>(block);
    };
    const auto replaced = hand(counter.block());
    const auto ofRenderBlock = hand(counter.block());
    AUInternalRenderBlock block = host.adapter->internalRenderBlock();
    const auto current = hand(counter.block());
    EXPECT_FALSE(replaced.expired());
    host.adapter->deallocateRenderResources();
    EXPECT_TRUE(replaced.expired());
    EXPECT_FALSE(ofRenderBlock.expired());
    EXPECT_FALSE(current.expired());

    block = nullptr;
    host.adapter->allocateRenderResources();
    host.adapter->deallocateRenderResources();
    EXPECT_TRUE(ofRenderBlock.expired());
    EXPECT_FALSE(current.expired());
}

TEST(KernelAdapter, DisplayGettersRefuseBandsOutsideZeroToThree) {
    Host host;
    EXPECT_EQ(host.adapter->getBufferLeft(4), nullptr);
    EXPECT_EQ(host.adapter->getBufferRight(-1), nullptr);
    EXPECT_FALSE(host.adapter->isNewBuffer(4));
    EXPECT_EQ(host.adapter->getPhaseShift(4), 0);
    EXPECT_EQ(host.adapter->getPhaseShift(0), 1);
}

#if defined(__x86_64__)
// The render entry runs with flush-to-zero and denormals-are-zero and gives the caller
// back its own mode.
TEST(KernelAdapter, RendersWithDenormalsFlushedAndRestoresTheCallersMode) {
    Host host;
    const unsigned callers = _mm_getcsr();
    _mm_setcsr(callers & ~0x8040u);
    unsigned during = 0;
    AURenderPullInputBlock pull = [&](AudioUnitRenderActionFlags*, const AudioTimeStamp*, AUAudioFrameCount, NSInteger,
                                      AudioBufferList*) {
        during = _mm_getcsr();
        return noErr;
    };
    Stereo out(64);
    AudioBufferList list = listOf(out, 0, 64);
    AudioTimeStamp ts{};
    const AUAudioUnitStatus status = host.adapter->render(nullptr, &ts, 64, 0, &list, nullptr, &pull);
    const unsigned after = _mm_getcsr();
    _mm_setcsr(callers);
    EXPECT_EQ(status, noErr);
    EXPECT_EQ(during & 0x8040u, 0x8040u);
    EXPECT_EQ(after & 0x8040u, 0u);
}
#endif

// One bad value must not silence the effect for good: once the input is finite again,
// the output is finite again after the ring's 1024 frames and one more block.
class Recovery : public ::testing::TestWithParam<bool> {};

TEST_P(Recovery, OutputTurnsFiniteAgainAfterNaNInfinityAndDenormals) {
    Host host(GetParam());
    Stereo in = noise(48000, 11);
    const float bad[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::denorm_min(), 1e-39f};
    for (std::size_t i = 0; i < 512; ++i) {
        in.l[8192 + i] = bad[i % 5];
        in.r[8192 + i] = bad[(i + 2) % 5];
    }
    const Stereo out = host.run(in, 512);
    bool sawNonFinite = false;
    for (std::size_t i = 0; i < 8192 + 1024; ++i) sawNonFinite |= !std::isfinite(out.l[i]);
    for (std::size_t i = 8192 + 1024; i < 8192 + 1024 + 1024; ++i) sawNonFinite |= !std::isfinite(out.r[i]);
    EXPECT_TRUE(sawNonFinite) << "the bad block should reach the output";
    double energy = 0;
    for (std::size_t i = 8192 + 512 + 1024 + 512; i < in.size(); ++i) {
        ASSERT_TRUE(std::isfinite(out.l[i]) && std::isfinite(out.r[i])) << i;
        energy += double(out.l[i]) * out.l[i];
    }
    EXPECT_GT(energy, 1.0);
}

INSTANTIATE_TEST_SUITE_P(BothModes, Recovery, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "ThreeBands" : "FullBand"; });

// Ten seconds of rendering with events, in both modes, through the render entry and the
// render block, with every switch on and the MIDI output switched between two held
// blocks on the render thread: no allocation, lock or other counted call there.
TEST(KernelAdapter, RenderingNeverAllocatesOrLocks) {
    if (!vyk::test::RenderGuard::active()) GTEST_SKIP() << "sanitizers own the allocator";
    for (bool threeBands : {false, true}) {
        Host host(threeBands);
        for (int32_t a = Kernel::kSwapChannels0; a < int32_t(Kernel::kDynamicsOn); ++a)
            host.adapter->setParameterEx(a, 1.0f);
        host.adapter->setMidiThru(true);
        auto quiet = [] {
            return std::make_shared<const AUMIDIOutputEventBlock>(
                [](AUEventSampleTime, std::uint8_t, NSInteger, const std::uint8_t*) { return noErr; });
        };
        const auto first = quiet(), second = quiet();
        host.adapter->setAUMIDIOutputEventBlock(first);
        host.adapter->keepAUMIDIOutputEventBlock(second);
        const AUInternalRenderBlock block = host.adapter->internalRenderBlock();
        const Stereo in = noise(480000 / 2, 12);
        Stereo out(in.size());
        AURenderPullInputBlock pull = [&](AudioUnitRenderActionFlags*, const AudioTimeStamp* ts, AUAudioFrameCount n,
                                          NSInteger, AudioBufferList* l) {
            const std::size_t at = std::size_t(ts->mSampleTime) % in.size();
            std::memcpy(l->mBuffers[0].mData, in.l.data() + at, n * 4);
            std::memcpy(l->mBuffers[1].mData, in.r.data() + at, n * 4);
            return noErr;
        };
        long violations = 0;
        {
            vyk::test::RenderGuard guard;
            for (std::size_t call = 0; call < 480000 / 512; ++call) {
                const std::size_t at = (call * 512) % (in.size() - 512);
                AudioBufferList list = listOf(out, at, 512);
                AudioTimeStamp ts{};
                ts.mSampleTime = double(at);
                AURenderEvent ev[3] = {
                    parameterEvent(AUEventSampleTime(at + 100), Kernel::kSplit1, float(call % 7) / 10),
                    parameterEvent(AUEventSampleTime(at + 200), Kernel::kVolume1, float(call % 3) / 2),
                    {}};
                ev[2].MIDI.eventType = AURenderEventMIDI;
                ev[2].MIDI.eventSampleTime = AUEventSampleTime(at + 300);
                ev[2].MIDI.length = 3;
                ev[0].head.next = &ev[1];
                ev[1].head.next = &ev[2];
                host.adapter->setBypass(call % 50 == 49);
                host.adapter->setAUMIDIOutputEventBlock(call % 3 ? first : second);
                const AUAudioUnitStatus s = call % 2 ? block(nullptr, &ts, 512, 0, &list, ev, &pull)
                                                     : host.adapter->render(nullptr, &ts, 512, 0, &list, ev, &pull);
                if (s != noErr) ++violations;
                host.adapter->getBufferLeft(int32_t(call % 4));
            }
            violations += guard.violations();
        }
        EXPECT_EQ(violations, 0) << (threeBands ? "three bands" : "full band");
    }
}

} // namespace
