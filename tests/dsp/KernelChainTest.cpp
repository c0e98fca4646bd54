#include "KernelRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

using namespace rig;

TEST(KernelChain, BypassDelaysBothChannelsByExactly1024Frames) {
    Host host;
    host.adapter->setBypass(true);
    const Stereo in = noise(4096);
    const Stereo out = host.run(in, 512);
    for (std::size_t i = 0; i < in.size(); ++i) {
        const float l = i < 1024 ? 0.0f : in.l[i - 1024];
        const float r = i < 1024 ? 0.0f : in.r[i - 1024];
        ASSERT_EQ(out.l[i], l) << i;
        ASSERT_EQ(out.r[i], r) << i;
    }
    // Nothing behind the bypass moved.
    EXPECT_EQ(host.adapter->getPeakInput(), 0.0f);
    EXPECT_FALSE(host.adapter->isNewBuffer(0));
}

TEST(KernelChain, BypassStaysAlignedWithTheProcessedSignal) {
    // Processing feeds the bypass line, so switching it on mid-stream continues with the
    // input of 1024 frames before, as the processed path would.
    Host host;
    const Stereo in = noise(4096);
    Stereo out(in.size());
    host.render(in, out, 0, 2048);
    host.adapter->setBypass(true);
    host.render(in, out, 2048, 2048);
    for (std::size_t i = 2048; i < 4096; ++i) ASSERT_EQ(out.r[i], in.r[i - 1024]) << i;
}

TEST(KernelChain, AMonoFormatPassesTheInputExactly) {
    auto adapter = Adapter::make();
    ASSERT_TRUE(adapter->outputBus()->setFormat(AVAudioFormat(48000.0, 1)));
    adapter->allocateRenderResources();
    const Stereo in = noise(512);
    std::vector<float> out(512, 7.0f);
    AURenderPullInputBlock pull = [&](AudioUnitRenderActionFlags*, const AudioTimeStamp*, AUAudioFrameCount n,
                                      NSInteger, AudioBufferList* l) {
        std::memcpy(l->mBuffers[0].mData, in.l.data(), n * sizeof(float));
        return noErr;
    };
    AudioBufferList list{};
    list.mNumberBuffers = 1;
    list.mBuffers[0] = {1, 512 * 4, out.data()};
    AudioTimeStamp ts{};
    ASSERT_EQ(adapter->render(nullptr, &ts, 512, 0, &list, nullptr, &pull), noErr);
    EXPECT_EQ(out, in.l);
}

TEST(KernelChain, ConstantInputSettlesAtHalfGainTimesTheCompanderBoost) {
    // Band 0 runs at gain 0.5, so 0.25 becomes 0.125. The compander's input envelope of
    // |L+R| = 0.25 settles within one attack step (1/480) above 0.25 and boosts by
    // 1 + (1 - peak): between 1.74792 and 1.75.
    Host host;
    const Stereo in(48000, 0.25f);
    const Stereo out = host.run(in, 512);
    for (std::size_t i = 24000; i < in.size(); ++i) {
        ASSERT_GE(out.l[i], 0.125f * (1.75f - 1.0f / 480.0f) - 1e-6f) << i;
        ASSERT_LE(out.l[i], 0.21876f) << i;
        ASSERT_EQ(out.l[i], out.r[i]) << i;
    }
    // The first 1024 frames are the ring's silence.
    EXPECT_EQ(out.r[1023], 0.0f);
    EXPECT_GT(out.r[1024], 0.0f);
}

TEST(KernelChain, ASnapshotIsTheBandsLast1024FramesOldestFirst) {
    Host host;
    const Stereo warm = noise(16 * 1024, 3);
    host.run(warm, 1024); // the width and pan ramps from 0.5 are over
    const Stereo in = noise(2048, 4);
    Stereo out(in.size());
    host.render(in, out, 0, 1024);
    host.adapter->getBufferLeft(0); // the warm-up's last turn
    EXPECT_FALSE(host.adapter->isNewBuffer(0)) << "a turn is handed over with the next frame";
    host.render(in, out, 1024, 1);
    ASSERT_TRUE(host.adapter->isNewBuffer(0));
    const float* l = host.adapter->getBufferLeft(0);
    const float* r = host.adapter->getBufferRight(0);
    EXPECT_FALSE(host.adapter->isNewBuffer(0));
    EXPECT_EQ(l[0], 0.5f * warm.l.back()); // the left channel runs one frame late
    for (int i = 0; i < 1024; ++i) {
        ASSERT_EQ(r[i], 0.5f * in.r[i]) << i;
        if (i > 0) {
            ASSERT_EQ(l[i], 0.5f * in.l[i - 1]) << i;
        }
    }
}

// The volume smoother steps once per piece toward its target in 16 steps. Compared with
// a twin that keeps gain 0.5, the band's snapshots differ by the gain ratio, piece by
// piece, also when events cut the pieces (once the width and pan glides are over, the
// gain is the only stage that scales the right channel).
TEST(KernelChain, GainRampsInSixteenPiecesCountingPiecesCutByEvents) {
    Host ramp(true), twin(true);
    constexpr std::size_t kCalls = 30, kRaise = 16;
    const Stereo in = noise(kCalls * 1024, 9);
    Stereo outA(in.size()), outB(in.size());
    std::vector<double> ratios;
    for (std::size_t call = 0; call < kCalls; ++call) {
        const std::size_t at = call * 1024;
        // An event cuts every call in two at its middle; one raises the gain.
        const AUEventSampleTime middle = AUEventSampleTime(at + 512);
        std::vector<AURenderEvent> a{
            parameterEvent(middle, call == kRaise ? Kernel::kVolume1 : Kernel::kVolumeIn, 1.0f)};
        std::vector<AURenderEvent> b{parameterEvent(middle, Kernel::kVolumeIn, 1.0f)};
        ASSERT_EQ(ramp.render(in, outA, at, 1024, link(a)), noErr);
        ASSERT_EQ(twin.render(in, outB, at, 1024, link(b)), noErr);
        if (call <= kRaise) continue;
        // The snapshot now holds the previous call's two pieces.
        ramp.adapter->getBufferLeft(1);
        twin.adapter->getBufferLeft(1);
        const float* ra = ramp.adapter->getBufferRight(1);
        const float* rb = twin.adapter->getBufferRight(1);
        for (int half = 0; half < 2; ++half) {
            ratios.push_back(double(ra[half * 512]) / double(rb[half * 512]));
            for (int i = half * 512; i < half * 512 + 512; ++i)
                ASSERT_NEAR(ra[i], ratios.back() * rb[i], 1e-6 * std::fabs(rb[i])) << i;
        }
    }
    // The piece before the event keeps 0.5; then 0.53125, 0.5625, ... and 1.0 from the
    // 16th piece on.
    ASSERT_GE(ratios.size(), 20u);
    EXPECT_NEAR(ratios[0], 1.0, 1e-6);
    for (int k = 1; k <= 16; ++k) EXPECT_NEAR(ratios[k], (0.5 + k * 0.03125) / 0.5, 1e-6) << k;
    for (std::size_t k = 17; k < ratios.size(); ++k) EXPECT_NEAR(ratios[k], 2.0, 1e-6) << k;
}

TEST(KernelChain, BandsSwitchedOffAreSilentFromTheirEvent) {
    Host host(true);
    const Stereo in = noise(8192, 5);
    Stereo out(in.size());
    host.render(in, out, 0, 4096);
    std::vector<AURenderEvent> off{parameterEvent(4096 + 100, Kernel::kActive1, 0.0f),
                                   parameterEvent(4096 + 100, Kernel::kActive1 + 1, 0.0f),
                                   parameterEvent(4096 + 100, Kernel::kActive1 + 2, 0.0f)};
    ASSERT_EQ(host.render(in, out, 4096, 4096, link(off)), noErr);
    EXPECT_NE(out.l[4096 + 99], 0.0f);
    for (std::size_t i = 4096 + 100; i < in.size(); ++i) {
        ASSERT_EQ(out.l[i], 0.0f) << i;
        ASSERT_EQ(out.r[i], 0.0f) << i;
    }
}

// Every stage after the split is linear and alike in each band, and the three bands
// add back to their input, so at neutral settings three bands sound as the full band.
TEST(KernelChain, ThreeNeutralBandsMatchTheFullBand) {
    Host full(false), three(true);
    const Stereo in = noise(48000, 6);
    const Stereo a = full.run(in, 512);
    const Stereo b = three.run(in, 512);
    for (std::size_t i = 0; i < in.size(); ++i) {
        ASSERT_NEAR(a.l[i], b.l[i], 2e-5) << i;
        ASSERT_NEAR(a.r[i], b.r[i], 2e-5) << i;
    }
}

TEST(KernelChain, PiecesLongerThanTheBandBuffersRunInTurns) {
    Host big(true, 8192), small(true, 8192);
    const Stereo in = noise(16 * 512 + 10000, 7);
    Stereo a(in.size()), b(in.size());
    for (std::size_t i = 0; i < 16; ++i) { // the ramps finish alike
        big.render(in, a, i * 512, 512);
        small.render(in, b, i * 512, 512);
    }
    ASSERT_EQ(big.render(in, a, 8192, 5000), noErr);
    ASSERT_EQ(big.render(in, a, 13192, 5000), noErr);
    for (std::size_t at = 8192; at < in.size(); at += 1000) ASSERT_EQ(small.render(in, b, at, 1000), noErr);
    EXPECT_EQ(a.l, b.l);
    EXPECT_EQ(a.r, b.r);
}

// Splits set before allocation reach the filters through init and reset, exactly as
// splits set afterwards, which the render thread applies at its next piece.
TEST(KernelChain, StoredSplitPointsSurviveAllocationAndReset) {
    const Stereo in = noise(8192, 8);
    auto split = [](Host& h) {
        h.adapter->setParameterEx(Kernel::kSplit1, 0.5f);
        h.adapter->setParameterEx(Kernel::kSplit2, 0.6f);
        h.adapter->setParameterEx(Kernel::kVolume1, 0.1f); // the low band shows the split
    };
    Host before(true);
    split(before);
    before.adapter->deallocateRenderResources();
    before.adapter->allocateRenderResources();
    Host after(true);
    split(after);
    Host resetAfter(true);
    split(resetAfter);
    resetAfter.adapter->reset();
    Host defaults(true);
    defaults.adapter->setParameterEx(Kernel::kVolume1, 0.1f);

    const Stereo a = before.run(in, 512), b = after.run(in, 512), c = resetAfter.run(in, 512),
                 d = defaults.run(in, 512);
    EXPECT_EQ(a.l, b.l);
    EXPECT_EQ(b.l, c.l);
    EXPECT_NE(a.l, d.l);
}

// Moving one split point alone, while rendering, moves that band edge: with the outer
// bands turned down, each edge shows in the sum.
TEST(KernelChain, EachSplitPointMovedAloneMovesItsEdge) {
    const Stereo in = noise(8192, 9);
    auto quietOuterBands = [](Host& h) {
        h.adapter->setParameterEx(Kernel::kVolume1, 0.1f);
        h.adapter->setParameterEx(Kernel::kVolume1 + 2, 0.1f);
    };
    Host still(true);
    quietOuterBands(still);
    const Stereo reference = still.run(in, 512);
    for (auto [address, value] : {std::pair{Kernel::kSplit1, 0.4f}, std::pair{Kernel::kSplit2, 0.6f}}) {
        Host moved(true);
        quietOuterBands(moved);
        Stereo out(in.size());
        moved.render(in, out, 0, 512);
        moved.adapter->setParameterEx(address, value);
        for (std::size_t at = 512; at < in.size(); at += 512) moved.render(in, out, at, 512);
        EXPECT_NE(out.l, reference.l) << address;
    }
}

TEST(KernelParameters, SplitPointsStopAtEachOtherInTheOrderSet) {
    Kernel k;
    k.setParameter(Kernel::kSplit1, 0.9f);
    k.setParameter(Kernel::kSplit2, 0.95f);
    EXPECT_FLOAT_EQ(k.getParameter(Kernel::kSplit1), 0.75f);
    EXPECT_FLOAT_EQ(k.getParameter(Kernel::kSplit2), 0.95f);
    Kernel m;
    m.setParameter(Kernel::kSplit2, 0.95f);
    m.setParameter(Kernel::kSplit1, 0.9f);
    EXPECT_FLOAT_EQ(m.getParameter(Kernel::kSplit1), 0.9f);
    m.setParameter(Kernel::kSplit1, -0.2f);
    m.setParameter(Kernel::kSplit2, 1.5f);
    EXPECT_EQ(m.getParameter(Kernel::kSplit1), 0.0f);
    EXPECT_EQ(m.getParameter(Kernel::kSplit2), 1.0f);
}

TEST(KernelParameters, MapReadsBackWhatIsStoredAndIgnoresTheRest) {
    auto k = std::make_unique<Kernel>();
    for (AUParameterAddress a = 0; a <= 46; ++a) {
        if (a == Kernel::kSplit1 || a == Kernel::kSplit2) continue;
        k->setParameter(a, 0.3f + 0.01f * float(a));
        const float expected = (a >= 8 && a <= 10) ? 0.0f : 0.3f + 0.01f * float(a);
        EXPECT_EQ(k->getParameter(a), expected) << a; // 42-46 included: states keep them
    }
    k->setParameter(47, 1.0f);
    EXPECT_EQ(k->getParameter(47), 0.0f);
    // Values that are not finite change nothing anywhere.
    for (float bad : {std::nanf(""), INFINITY, -INFINITY})
        for (AUParameterAddress a = 0; a <= 46; ++a) {
            const float before = k->getParameter(a);
            k->setParameter(a, bad);
            EXPECT_EQ(k->getParameter(a), before) << a;
        }
}

// Every address, set by a render event to -FLT_MAX, its minimum, its maximum and
// +FLT_MAX (alone, and all addresses at once), reads back clamped and keeps the output
// finite; one second after the old values return, the level matches a twin's.
TEST(KernelParameters, EveryAddressAtAndBeyondItsEndsIsClampedAndRecovers) {
    const Stereo in = noise(56 * 1024, 12); // one second and 8000 frames more
    auto rms = [](const Stereo& s, std::size_t from) {
        double sum = 0;
        for (std::size_t i = from; i < s.size(); ++i) sum += double(s.l[i]) * s.l[i];
        return std::sqrt(sum / double(s.size() - from));
    };
    auto lowest = [](AUParameterAddress a) { return a == Kernel::kDynamicsMultiplier ? -1.0f : 0.0f; };
    auto highest = [](AUParameterAddress a) { return a == Kernel::kCurrentMode ? 3.0f : 1.0f; };
    Host twin(true);
    const double reference = rms(twin.run(in, 1024), 48000);
    for (int kind = 0; kind < 4; ++kind) {
        for (int only = -1; only <= 46; ++only) { // -1: all at once
            Host host(true);
            std::vector<AURenderEvent> set, restore;
            for (AUParameterAddress a = 0; a <= 46; ++a) {
                if (only >= 0 && a != AUParameterAddress(only)) continue;
                const float v[] = {-FLT_MAX, lowest(a), highest(a), FLT_MAX};
                set.push_back(parameterEvent(0, a, v[kind]));
                restore.push_back(parameterEvent(0, a, host.adapter->getParameterEx(int32_t(a))));
            }
            // Twice, so that neither split point is held by the other's extreme.
            const std::vector<AURenderEvent> once = restore;
            restore.insert(restore.end(), once.begin(), once.end());
            Stereo out(4096);
            ASSERT_EQ(host.render(noise(4096, 5), out, 0, 4096, link(set)), noErr);
            for (const AURenderEvent& e : set) {
                const AUParameterAddress a = e.parameter.parameterAddress;
                const float read = host.adapter->getParameterEx(int32_t(a));
                EXPECT_TRUE(read >= lowest(a) && read <= highest(a)) << a << " " << kind;
            }
            for (std::size_t i = 0; i < out.size(); ++i)
                ASSERT_TRUE(std::isfinite(out.l[i]) && std::isfinite(out.r[i]))
                    << "address " << only << " kind " << kind << " frame " << i;
            Stereo after(in.size());
            ASSERT_EQ(host.render(in, after, 0, 1024, link(restore)), noErr);
            for (std::size_t at = 1024; at < in.size(); at += 1024) ASSERT_EQ(host.render(in, after, at, 1024), noErr);
            EXPECT_NEAR(rms(after, 48000) / reference, 1.0, 0.01) << only << " " << kind;
        }
    }
}

// A reset hides the display's snapshots until a ring turn begun after it is complete.
TEST(KernelChain, AfterResetTheDisplayShowsSilenceUntilNewAudioHasPassed) {
    Host host;
    const Stereo in = noise(5 * 1024, 6);
    Stereo out(in.size());
    auto silent = [&] {
        const float* l = host.adapter->getBufferLeft(0);
        const float* r = host.adapter->getBufferRight(0);
        return std::all_of(l, l + 1024, [](float x) { return x == 0.0f; }) &&
               std::all_of(r, r + 1024, [](float x) { return x == 0.0f; });
    };
    host.render(in, out, 0, 3 * 1024);
    ASSERT_FALSE(silent());
    host.adapter->reset();
    EXPECT_TRUE(silent());
    host.render(in, out, 3 * 1024, 1); // completes the turn begun before the reset
    EXPECT_TRUE(host.adapter->isNewBuffer(0));
    EXPECT_TRUE(silent());
    host.render(in, out, 3 * 1024 + 1, 1024);
    EXPECT_FALSE(silent());
}

} // namespace
