#include "KernelRig.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

namespace {

using namespace rig;

// The render thread feeds turn k of the full-band ring with the constant k, so every
// snapshot of turn k reads 0.5 k on the right and, one frame late, on the left. A
// display thread checks that each pair it takes comes from one turn and that turns
// only move forward, while a third thread keeps changing parameters.
TEST(KernelThreads, TheDisplayAlwaysTakesBothChannelsOfOneTurn) {
    Host host;
    // At least kTurns turns, and more while the display has taken too few pairs to mean
    // anything (a loaded machine may starve the display thread).
    constexpr int kTurns = 3000, kMaxTurns = 200000, kFirstChecked = 20; // glides are over
    std::atomic<bool> done{false};
    std::atomic<long> pairs{0}, mismatches{0};

    std::thread display([&] {
        float lastTurn = 0;
        while (!done.load()) {
            if (!host.adapter->isNewBuffer(0)) {
                std::this_thread::yield();
                continue;
            }
            const float* l = host.adapter->getBufferLeft(0);
            const float* r = host.adapter->getBufferRight(0);
            const float turn = r[0];
            if (turn < 0.5f * kFirstChecked) continue;
            bool same = turn >= lastTurn;
            for (int i = 1; i < 1024; ++i) same = same && r[i] == turn && l[i] == turn;
            same = same && l[0] == turn - 0.5f;
            if (!same) mismatches.fetch_add(1);
            lastTurn = turn;
            pairs.fetch_add(1);
        }
    });
    std::thread parameters([&] {
        for (int i = 0; !done.load(); ++i) {
            host.adapter->setParameterEx(Kernel::kSplit1, float(i % 10) / 20);
            host.adapter->setParameterEx(Kernel::kSplit2, 0.5f + float(i % 10) / 20);
            host.adapter->setParameterEx(Kernel::kVolume1 + i % 3, float(i % 5) / 4);
            (void)host.adapter->getPeakOutput();
            std::this_thread::yield();
        }
    });

    Stereo in(1024), out(1024);
    for (int turn = 0; turn < kTurns || (pairs.load() <= 10 && turn < kMaxTurns); ++turn) {
        std::fill(in.l.begin(), in.l.end(), float(turn));
        std::fill(in.r.begin(), in.r.end(), float(turn));
        host.adapter->setParameterEx(Kernel::kCurrentMode, 0.0f);
        ASSERT_EQ(host.render(in, out, 0, 1024), noErr);
        if (turn % 8 == 0) std::this_thread::yield();
    }
    done.store(true);
    display.join();
    parameters.join();
    EXPECT_GT(pairs.load(), 10);
    EXPECT_EQ(mismatches.load(), 0);
}

// A host resets from its own thread while audio renders: the render thread applies each
// reset between pieces, so the output stays within what a reset can give.
TEST(KernelThreads, ResetWhileRenderingIsAppliedBetweenPieces) {
    Host host(true);
    std::atomic<bool> done{false};
    std::atomic<long> resets{0};
    std::thread resetter([&] {
        while (!done.load()) {
            host.adapter->reset();
            resets.fetch_add(1);
            std::this_thread::yield();
        }
    });
    // Constant input of 0.25: unity band gain at most and the compander's boost below 2.
    const Stereo in(512, 0.25f);
    Stereo out(512);
    for (int call = 0; call < 4000 || (resets.load() < 100 && call < 200000); ++call) {
        ASSERT_EQ(host.render(in, out, 0, 512), noErr);
        for (std::size_t i = 0; i < out.size(); ++i)
            ASSERT_TRUE(std::fabs(out.l[i]) <= 0.5f && std::fabs(out.r[i]) <= 0.5f)
                << call << " " << i << " " << out.l[i] << " " << out.r[i];
    }
    done.store(true);
    resetter.join();
    EXPECT_GE(resets.load(), 100);
}

} // namespace
