#include "dsp/CircularBuffer.h"
#include "dsp/CircularBuffer2.h"
#include "dsp/DynaBuffer.h"
#include "dsp/DynaBuffer2.h"

#include "RenderGuard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

namespace {

TEST(DynaBuffer, AllocateGrowsOnlyReadjustAlsoShrinks) {
    DynaBuffer one(8);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(one.getBuffer()) % 16, 0u);
    one[3] = 5;
    one.allocate(4);
    EXPECT_EQ(one.getSize(), 8);
    EXPECT_EQ(one[3], 5.0f);
    one.readjust(4);
    EXPECT_EQ(one.getSize(), 4);
    EXPECT_EQ(one[3], 0.0f);
    one.allocate(0);
    EXPECT_EQ(one.getBuffer(), nullptr);

    DynaBuffer2 two(8);
    std::iota(two.getBuffer(1), two.getBuffer(1) + 8, 1.0f);
    float* storage = two.getBuffer(1);
    two.allocate(4); // within the capacity: contents kept
    EXPECT_EQ(two.getSize(), 4);
    two.ensure(8); // back up: no reallocation, no clearing
    EXPECT_EQ(two.getBuffer(1), storage);
    EXPECT_EQ(two.getBuffer(1)[7], 8.0f);
    EXPECT_EQ(two.getBuffer(2), nullptr);
    EXPECT_EQ(two.getBuffer(-1), nullptr);
    two.allocate(32);
    EXPECT_EQ(two.getBuffer(1)[7], 0.0f);
    two.allocate(0);
    EXPECT_EQ(two.getBuffer(0), nullptr);
}

struct Watch {
    explicit Watch(CircularBuffer2* r) : ring(r) {}
    CircularBuffer2* ring;
    int count = 0;
    std::vector<float> left; // the ring's left channel at the last notification
};

void onReady(void* context) {
    auto* w = static_cast<Watch*>(context);
    ++w->count;
    w->left.assign(w->ring->getBuffer(0), w->ring->getBuffer(0) + w->ring->getSize());
}

TEST(CircularBuffer2, ExchangeDelaysByATurnAndNotifiesLazily) {
    CircularBuffer2 ring;
    Watch watch(&ring);
    watch.left.reserve(1024);
    ring.onBuffer = onReady;
    ring.callee = &watch;
    std::vector<float> l(3000), r(3000);
    std::iota(l.begin(), l.end(), 1.0f);
    for (size_t i = 0; i < r.size(); ++i) r[i] = -l[i];
    std::vector<float> outL = l, outR = r;
    int done = 0;
    vyk::test::RenderGuard guard;
    for (int piece : {1, 300, 500, 223, 1, 333, 333, 333, 333, 333, 310}) {
        ring.processBufferEx(outL.data() + done, outR.data() + done, piece);
        done += piece;
        // The 1025th frame notifies once, before it is stored, with the ring
        // holding the 1024 frames before it, oldest first.
        if (done == 1024) {
            EXPECT_EQ(watch.count, 0);
        } else if (done == 1025) {
            EXPECT_EQ(watch.count, 1);
            for (size_t i = 0; i < 1024; ++i) ASSERT_EQ(watch.left[i], l[i]);
        }
    }
    if (vyk::test::RenderGuard::active()) {
        EXPECT_EQ(guard.violations(), 0);
    }
    ASSERT_EQ(done, 3000);
    EXPECT_EQ(watch.count, 2);
    for (size_t i = 0; i < 3000; ++i) {
        ASSERT_EQ(outL[i], i < 1024 ? 0.0f : l[i - 1024]);
        ASSERT_EQ(outR[i], i < 1024 ? 0.0f : r[i - 1024]);
    }
}

// The kernel takes a short block's output from peek before the exchange runs.
TEST(CircularBuffer2, PeekShowsWhatTheNextExchangeHandsBack) {
    CircularBuffer2 ring;
    std::vector<float> l(4000), r(4000);
    std::iota(l.begin(), l.end(), 1.0f);
    std::iota(r.begin(), r.end(), -4000.0f);
    int done = 0;
    for (int n : {1000, 24, 1, 1023, 1024, 500, 300}) { // from and up to the turn's end
        std::vector<float> seen[2] = {std::vector<float>(static_cast<size_t>(n), 7.0f),
                                      std::vector<float>(static_cast<size_t>(n), 7.0f)};
        ring.peek(n, [&](const float* a, const float* b, int at, int k) {
            std::copy(a, a + k, seen[0].begin() + at);
            std::copy(b, b + k, seen[1].begin() + at);
        });
        ring.processBufferEx(l.data() + done, r.data() + done, n);
        ASSERT_EQ(seen[0], std::vector<float>(l.begin() + done, l.begin() + done + n)) << n;
        ASSERT_EQ(seen[1], std::vector<float>(r.begin() + done, r.begin() + done + n)) << n;
        done += n;
    }
}

TEST(CircularBuffer2, GuardsDelayAndTheOtherOperations) {
    CircularBuffer2 ring;
    Watch watch(&ring);
    ring.onBuffer = onReady;
    ring.callee = &watch;
    float a[4] = {1, 2, 3, 4}, b[4] = {5, 6, 7, 8};
    ring.processBufferEx(a, nullptr, 4);
    EXPECT_EQ(ring.getPosition(), 0);
    ring.setInitialDelay(1025);
    EXPECT_EQ(ring.getPosition(), 0);
    ring.setInitialDelay(0); // the very next frame notifies
    ring.processBufferInput(a, b, 4);
    EXPECT_EQ(watch.count, 1);

    ring.setInitialDelay(1024);
    float c[4] = {10, 10, 10, 10}, d[4] = {};
    ring.processBufferAcc(c, d, 4);
    EXPECT_EQ(c[2], 13.0f);
    EXPECT_EQ(d[2], 7.0f);
    ring.setInitialDelay(1024);
    ring.processBufferOutput(a, b, 4);
    EXPECT_EQ(a[2], 10.0f);
    std::vector<float> quietL(2000, 1.0f), quietR(2000, 1.0f);
    ring.processBufferSilence(quietL.data(), quietR.data(), 2000);
    EXPECT_EQ(quietL[1999], 0.0f);
    EXPECT_EQ(ring.getPosition(), 2004); // neither wraps nor notifies
    EXPECT_EQ(watch.count, 1);
    ring.processBufferEx(a, b, 1);
    EXPECT_EQ(watch.count, 2);
    ring.allocate(0);
    ring.processBufferEx(a, b, 4);
    EXPECT_EQ(watch.count, 2);
}

TEST(CircularBuffer2, ResamplerAveragesIntoItsCopy) {
    CircularBuffer2 ring;
    ring.isResampler = true;
    ring.getResampled().allocate(512);
    EXPECT_EQ(ring.calculateResamplingFactor(), 2.0f);
    std::vector<float> x(1025);
    std::iota(x.begin(), x.end(), 0.0f);
    ring.processBufferInput(x.data(), x.data(), 1025);
    const float* out = ring.getResampled().getBuffer(0);
    EXPECT_EQ(out[1], 1.0f);           // (2 + 0) / 2
    EXPECT_EQ(out[2], (4.0f + 1) / 2); // the average carries over
}

TEST(CircularBuffer, MonoRingNotifiesAfterReset) {
    struct Counting : CircularBuffer {
        int count = 0;
        void onBufferReady() override { ++count; }
    } ring;
    ring.allocate(8);
    ring.reset();
    std::vector<float> x = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    ring.processBufferEx(x.data(), 1);
    EXPECT_EQ(ring.count, 1);
    ring.processBufferEx(x.data() + 1, 9);
    EXPECT_EQ(ring.count, 2);
    EXPECT_EQ(x[8], 1.0f); // eight frames later
}

} // namespace
