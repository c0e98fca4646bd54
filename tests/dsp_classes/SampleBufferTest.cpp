#include "dsp/CircularBuffer.h"
#include "dsp/CircularBuffer2.h"
#include "dsp/DynaBuffer.h"
#include "dsp/DynaBuffer2.h"

#include "RenderGuard.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <vector>

namespace {

bool aligned(const void* p) { return reinterpret_cast<uintptr_t>(p) % 16 == 0; }

TEST(DynaBuffer, GrowsShrinksAndEmpties)
{
    DynaBuffer buf(8);
    ASSERT_NE(buf.getBuffer(), nullptr);
    EXPECT_TRUE(aligned(buf.getBuffer()));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(buf[i], 0.0f);
    buf[3] = 5;
    buf.allocate(4);  // a request to shrink is ignored
    EXPECT_EQ(buf.getSize(), 8);
    EXPECT_EQ(buf[3], 5.0f);
    buf.ensure(8);
    EXPECT_EQ(buf[3], 5.0f);
    buf.readjust(4);
    EXPECT_EQ(buf.getSize(), 4);
    EXPECT_EQ(buf[3], 0.0f);
    buf.allocate(16);
    EXPECT_EQ(buf.getSize(), 16);
    buf[15] = 1;
    buf.clear();
    EXPECT_EQ(buf[15], 0.0f);
    buf.allocate(0);
    EXPECT_EQ(buf.getSize(), 0);
    EXPECT_EQ(buf.getBuffer(), nullptr);
    buf.readjust(-2);
    EXPECT_EQ(buf.getBuffer(), nullptr);
    buf.clear();
    buf.free();
}

TEST(DynaBuffer2, CapacityKeepsContents)
{
    DynaBuffer2 buf(8);
    EXPECT_TRUE(aligned(buf.getBuffer(0)) && aligned(buf.getBuffer(1)));
    std::iota(buf.getBuffer(0), buf.getBuffer(0) + 8, 1.0f);
    std::iota(buf.getBuffer(1), buf.getBuffer(1) + 8, 11.0f);
    float* before = buf.getBuffer(0);
    buf.allocate(4);
    EXPECT_EQ(buf.getSize(), 4);
    EXPECT_EQ(buf.getBuffer(0), before);
    EXPECT_EQ(buf.getBuffer(0)[3], 4.0f);
    buf.ensure(8);  // back within the capacity: no reallocation, no clearing
    EXPECT_EQ(buf.getSize(), 8);
    EXPECT_EQ(buf.getBuffer(0), before);
    EXPECT_EQ(buf.getBuffer(1)[7], 18.0f);
    buf.clear();
    EXPECT_EQ(buf.getBuffer(1)[7], 0.0f);
    EXPECT_EQ(buf.getBuffer(2), nullptr);
    EXPECT_EQ(buf.getBuffer(-1), nullptr);
    EXPECT_EQ(buf.getBuffers()[1], buf.getBuffer(1));
    buf.allocate(32);
    EXPECT_EQ(buf.getSize(), 32);
    EXPECT_EQ(buf.getBuffer(0)[31], 0.0f);
    buf.allocate(0);
    EXPECT_EQ(buf.getSize(), 0);
    EXPECT_EQ(buf.getBuffer(0), nullptr);
    EXPECT_EQ(buf.getBuffer(1), nullptr);

    DynaBuffer2 empty(0);
    EXPECT_EQ(empty.getSize(), 0);
    EXPECT_EQ(empty.getBuffer(0), nullptr);
}

struct Notifications {
    int count = 0;
    std::vector<float> left, right;  // the ring's content at each notification
    CircularBuffer2* ring = nullptr;
};

void onReady(void* context)
{
    auto* n = static_cast<Notifications*>(context);
    ++n->count;
    n->left.assign(n->ring->getBuffer(0), n->ring->getBuffer(0) + n->ring->getSize());
    n->right.assign(n->ring->getBuffer(1), n->ring->getBuffer(1) + n->ring->getSize());
}

TEST(CircularBuffer2, ExchangeDelaysByATurnAndNotifiesLazily)
{
    CircularBuffer2 ring;
    Notifications seen;
    seen.ring = &ring;
    ring.onBuffer = onReady;
    ring.callee = &seen;
    ASSERT_EQ(ring.getSize(), 1024);

    // 1024 frames in pieces of odd lengths: zeros out, no notification.
    std::vector<float> l(3000), r(3000);
    for (size_t i = 0; i < l.size(); ++i) {
        l[i] = static_cast<float>(i + 1);
        r[i] = -static_cast<float>(i + 1);
    }
    std::vector<float> outL = l, outR = r;
    int done = 0;
    for (int piece : {1, 300, 500, 223}) {
        ring.processBufferEx(outL.data() + done, outR.data() + done, piece);
        done += piece;
    }
    EXPECT_EQ(done, 1024);
    EXPECT_EQ(seen.count, 0);
    for (int i = 0; i < 1024; ++i)
        ASSERT_EQ(outL[static_cast<size_t>(i)], 0.0f);

    // The 1025th frame notifies once before it is stored and returns the first frame.
    ring.processBufferEx(outL.data() + done, outR.data() + done, 1);
    EXPECT_EQ(seen.count, 1);
    EXPECT_EQ(outL[1024], 1.0f);
    EXPECT_EQ(outR[1024], -1.0f);
    // The snapshot is the last 1024 frames, oldest first.
    for (size_t i = 0; i < 1024; ++i) {
        ASSERT_EQ(seen.left[i], l[i]);
        ASSERT_EQ(seen.right[i], r[i]);
    }
    ++done;

    // Further turns: one notification per 1024 frames, whatever the piece length.
    while (done < 3000) {
        const int piece = std::min(333, 3000 - done);
        ring.processBufferEx(outL.data() + done, outR.data() + done, piece);
        done += piece;
    }
    EXPECT_EQ(seen.count, 2);
    for (size_t i = 1024; i < 3000; ++i) {
        ASSERT_EQ(outL[i], l[i - 1024]);
        ASSERT_EQ(outR[i], r[i - 1024]);
    }
    for (size_t i = 0; i < 1024; ++i)
        ASSERT_EQ(seen.left[i], l[1024 + i]);
}

TEST(CircularBuffer2, GuardsDelayAndOtherOperations)
{
    CircularBuffer2 ring;
    Notifications seen;
    seen.ring = &ring;
    ring.onBuffer = onReady;
    ring.callee = &seen;
    float a[4] = {1, 2, 3, 4}, b[4] = {5, 6, 7, 8};

    ring.processBufferEx(a, nullptr, 4);
    ring.processBufferEx(nullptr, b, 4);
    EXPECT_EQ(ring.getPosition(), 0);
    EXPECT_EQ(a[0], 1.0f);

    ring.setInitialDelay(1025);
    EXPECT_EQ(ring.getPosition(), 0);
    ring.setInitialDelay(0);
    EXPECT_EQ(ring.getPosition(), 1024);
    ring.processBufferInput(a, b, 4);
    EXPECT_EQ(seen.count, 1);
    EXPECT_EQ(ring.getBuffer(0)[3], 4.0f);

    // Accumulate: output = input + old ring; Output reads; Silence only advances.
    ring.setInitialDelay(1024);
    float c[4] = {10, 10, 10, 10}, d[4] = {0, 0, 0, 0};
    ring.processBufferAcc(c, d, 4);
    EXPECT_EQ(c[2], 13.0f);
    EXPECT_EQ(d[2], 7.0f);
    EXPECT_EQ(ring.getBuffer(0)[2], 10.0f);
    ring.setInitialDelay(1024);
    float e[4], f[4];
    ring.processBufferOutput(e, f, 4);
    EXPECT_EQ(e[1], 10.0f);
    EXPECT_EQ(f[1], 0.0f);
    const int countBefore = seen.count;
    std::vector<float> quietL(2000, 1.0f), quietR(2000, 1.0f);
    ring.processBufferSilence(quietL.data(), quietR.data(), 2000);
    EXPECT_EQ(quietL[1999], 0.0f);
    EXPECT_EQ(quietR[0], 0.0f);
    EXPECT_EQ(ring.getPosition(), 2004);
    EXPECT_EQ(ring.getBuffer(0)[1], 10.0f);
    EXPECT_EQ(seen.count, countBefore);
    float g[1] = {9}, h[1] = {9};
    ring.processBufferEx(g, h, 1);  // wraps and notifies
    EXPECT_EQ(seen.count, countBefore + 1);
    EXPECT_EQ(ring.getPosition(), 1);

    ring.reset();
    EXPECT_EQ(ring.getPosition(), 0);
    EXPECT_EQ(ring.getBuffer(0)[0], 0.0f);
    EXPECT_EQ(ring.getResampledSize(), 1024);
    EXPECT_EQ(ring.calculateResamplingFactor(), 1.0f);

    // A ring of size 0 does nothing.
    ring.allocate(0);
    ring.processBufferEx(a, b, 4);
    EXPECT_EQ(a[0], 1.0f);
    EXPECT_EQ(seen.count, countBefore + 1);
}

TEST(CircularBuffer2, ResamplerAveragesIntoItsCopy)
{
    CircularBuffer2 ring;
    ring.isResampler = true;
    ring.setResamplingSize(512);
    ring.getResampled().allocate(512);
    ASSERT_EQ(ring.getResampledSize(), 512);
    EXPECT_EQ(ring.calculateResamplingFactor(), 2.0f);
    std::vector<float> l(1025), r(1025);
    for (size_t i = 0; i < l.size(); ++i)
        l[i] = r[i] = static_cast<float>(i);
    ring.processBufferInput(l.data(), r.data(), 1025);
    const float* out = ring.getResampled().getBuffer(0);
    EXPECT_EQ(out[0], 0.0f);            // (0 + 0) / 2
    EXPECT_EQ(out[1], 1.0f);            // (2 + 0) / 2
    EXPECT_EQ(out[2], (4.0f + 1) / 2);  // the average carries over
}

TEST(CircularBuffer, MonoRingNotifiesAfterReset)
{
    struct Counting : CircularBuffer {
        int count = 0;
        void onBufferReady() override { ++count; }
    } ring;
    ring.allocate(8);
    ring.reset();
    EXPECT_EQ(ring.getPosition(), 8);
    std::vector<float> x = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    ring.processBufferEx(x.data(), 1);
    EXPECT_EQ(ring.count, 1);
    EXPECT_EQ(x[0], 0.0f);
    ring.processBufferEx(x.data() + 1, 9);
    EXPECT_EQ(ring.count, 2);
    EXPECT_EQ(x[8], 1.0f);  // eight frames later
    EXPECT_EQ(x[9], 2.0f);
    EXPECT_EQ(ring.getPosition(), 2);
    float y[3] = {7, 7, 7};
    ring.processBuffer(y, 3);
    EXPECT_EQ(ring.getBuffer()[4], 7.0f);
    EXPECT_EQ(ring.getPosition(), 5);
    ring.setInitialDelay(9);
    EXPECT_EQ(ring.getPosition(), 5);
    ring.setInitialDelay(5);
    EXPECT_EQ(ring.getPosition(), 3);
    ring.processBuffer(nullptr, 3);
    EXPECT_EQ(ring.getPosition(), 3);
}

TEST(CircularBuffer2, RingOperationsNeverAllocate)
{
    CircularBuffer2 ring;
    Notifications seen;
    seen.left.reserve(1024);
    seen.right.reserve(1024);
    seen.ring = &ring;
    ring.onBuffer = [](void* context) { ++static_cast<Notifications*>(context)->count; };
    ring.callee = &seen;
    std::vector<float> l(4096, 1.0f), r(4096, 2.0f);
    vyk::test::RenderGuard guard;
    for (int k = 0; k < 10; ++k)
        ring.processBufferEx(l.data(), r.data(), 4096);
    if (vyk::test::RenderGuard::active()) {
        EXPECT_EQ(guard.violations(), 0);
    }
    EXPECT_EQ(seen.count, 39);
}

} // namespace
