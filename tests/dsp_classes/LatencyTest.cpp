#include "dsp/Latency.h"

#include "RenderGuard.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <numeric>
#include <vector>

namespace {

std::vector<float> ramp(int n, float start) {
    std::vector<float> v(static_cast<size_t>(n));
    std::iota(v.begin(), v.end(), start);
    return v;
}

TEST(Latency, RequestsAndTheDefaultLength) {
    Latency line;
    for (int n : {0, 1, -5}) {
        line.setSize(n);
        EXPECT_EQ(line.getSize(), 1) << n;
    }
    line.setSize(5000); // never beyond the storage, so processing never allocates
    EXPECT_EQ(line.getSize(), 1024);
    std::vector<float> x = ramp(3000, 1);
    for (int done = 0; done < 3000; done += 500) line.processBufferEx(x.data() + done, 500);
    for (size_t i = 0; i < 3000; ++i) ASSERT_EQ(x[i], i < 1024 ? 0.0f : static_cast<float>(i - 1023));
}

TEST(Latency, LengthChangesTakeEffectAtTheWrapWithoutAJump) {
    Latency line;
    std::vector<float> warm = ramp(1000, 1);
    line.processBufferEx(warm.data(), 1000); // 24 frames left in this turn
    line.setSize(1);
    EXPECT_EQ(line.getSize(), 1);
    EXPECT_EQ(line.getActiveSize(), 1024);
    std::vector<float> x = ramp(100, 2001);
    line.processBufferEx(x.data(), 100);
    for (size_t i = 0; i < 100; ++i) ASSERT_EQ(x[i], i < 24 ? 0.0f : static_cast<float>(2000 + i)) << i;

    // From 1 to 4: the previous input, then what slots 1..3 of the storage
    // still hold (warm-up frames 2..4), then the signal.
    line.setSize(4);
    std::vector<float> y = ramp(8, 3001);
    line.processBufferEx(y.data(), 8);
    EXPECT_EQ(y, (std::vector<float>{2100, 2, 3, 4, 3001, 3002, 3003, 3004}));

    // Write-only: the seeded slot is overwritten at once; two turns of 3.
    line.setSize(3);
    std::vector<float> z = ramp(6, 1);
    line.processBuffer(z.data(), 6);
    EXPECT_EQ(z[0], 1.0f);
    EXPECT_EQ(line.getBuffer()[0], 4.0f);
    EXPECT_EQ(line.getBuffer()[2], 6.0f);
    EXPECT_EQ(line.getActiveSize(), 3);
}

TEST(Latency, LengthOneNeverReadsBeforeTheBlockAndCarriesTheLastInput) {
    // The kernel's sequence: setSize(1), reset, then blocks; each length change
    // below falls on frame 0 of a block, which starts a page (a read of
    // block[-1] would fault).
    const long page = sysconf(_SC_PAGESIZE);
    auto* mem = static_cast<char*>(
        mmap(nullptr, static_cast<size_t>(2 * page), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(mem, MAP_FAILED);
    ASSERT_EQ(mprotect(mem, static_cast<size_t>(page), PROT_NONE), 0);
    auto* block = reinterpret_cast<float*>(mem + page);
    const auto run = [&](Latency& line) {
        std::iota(block, block + 16, 1.0f);
        line.processBufferEx(block, 16);
        return block[0];
    };
    Latency line;
    line.setSize(1);
    line.reset();
    vyk::test::RenderGuard guard;
    EXPECT_EQ(run(line), 0.0f);
    EXPECT_EQ(block[15], 15.0f);
    EXPECT_EQ(run(line), 16.0f);
    line.setSize(2);
    EXPECT_EQ(run(line), 16.0f);
    line.setSize(1);
    EXPECT_EQ(run(line), 16.0f);
    if (vyk::test::RenderGuard::active()) {
        EXPECT_EQ(guard.violations(), 0);
    }
    munmap(mem, static_cast<size_t>(2 * page));
}

// The kernel's fused band pass replaces processBufferEx on a one-frame line by
// exchangeCarry plus its own shift: same outputs and the same state afterwards,
// from the block right after the line became one frame long.
TEST(Latency, ExchangeCarryIsProcessBufferExOnAOneFrameLine) {
    Latency a, b;
    std::vector<float> warm = ramp(1000, 1), warmB = warm;
    a.processBufferEx(warm.data(), 1000);
    b.processBufferEx(warmB.data(), 1000);
    a.setSize(1);
    b.setSize(1);
    std::vector<float> settle(25), settleB(25);
    a.processBufferEx(settle.data(), 25); // past the wrap that applies the length
    b.processBufferEx(settleB.data(), 25);
    float next = 5000;
    for (int n : {1, 3, 64, 1, 100}) {
        ASSERT_TRUE(b.isOneFrame());
        std::vector<float> x = ramp(n, next), y = x;
        next += static_cast<float>(n);
        a.processBufferEx(x.data(), n);
        const float first = b.exchangeCarry(y.back());
        y.insert(y.begin(), first);
        y.pop_back();
        ASSERT_EQ(x, y) << n;
    }
    EXPECT_TRUE(a.isOneFrame());
    a.setSize(2);
    EXPECT_FALSE(a.isOneFrame());
}

} // namespace
