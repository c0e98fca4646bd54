#include "dsp/Latency.h"

#include "RenderGuard.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <vector>

namespace {

std::vector<float> ramp(int n, float start)
{
    std::vector<float> v(static_cast<size_t>(n));
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = start + static_cast<float>(i);
    return v;
}

TEST(Latency, SizeRequests)
{
    Latency line;
    EXPECT_EQ(line.getSize(), 1024);
    for (int n : {0, 1, -5}) {
        line.setSize(n);
        EXPECT_EQ(line.getSize(), 1) << n;
    }
    line.setSize(2);
    EXPECT_EQ(line.getSize(), 2);
    EXPECT_EQ(line.getActiveSize(), 1024);  // until the next wrap
    // Never longer than the storage, so processing never allocates.
    line.setSize(5000);
    EXPECT_EQ(line.getSize(), 1024);
}

TEST(Latency, NewLineDelaysBy1024)
{
    Latency line;
    std::vector<float> x = ramp(3000, 1);
    for (int done = 0; done < 3000; done += 500)
        line.processBufferEx(x.data() + done, 500);
    for (size_t i = 0; i < 1024; ++i)
        ASSERT_EQ(x[i], 0.0f);
    for (size_t i = 1024; i < 3000; ++i)
        ASSERT_EQ(x[i], static_cast<float>(i - 1024 + 1));
}

TEST(Latency, SwitchToOneMidBlockGivesThePreviousFrame)
{
    Latency line;
    std::vector<float> warm = ramp(1000, 1);
    line.processBufferEx(warm.data(), 1000);  // pos 1000 of 1024
    line.setSize(1);
    std::vector<float> x = ramp(100, 2001);
    line.processBufferEx(x.data(), 100);
    // Frames 0..23 still come from the long line (zeros); the wrap at frame 24
    // switches to length 1 and outputs the frame just before it.
    for (size_t i = 0; i < 24; ++i)
        ASSERT_EQ(x[i], 0.0f) << i;
    for (size_t i = 24; i < 100; ++i)
        ASSERT_EQ(x[i], static_cast<float>(2001 + i - 1)) << i;
    EXPECT_EQ(line.getActiveSize(), 1);
}

TEST(Latency, LengthOneCarriesTheLastInputAcrossCalls)
{
    // The kernel's sequence: setSize(1), reset, then blocks. The switch falls on
    // frame 0 of the first block, where the previous input is the carried one.
    Latency line;
    line.setSize(1);
    line.reset();
    std::vector<float> a = ramp(64, 1), b = ramp(64, 101), c = ramp(1, 500);
    line.processBufferEx(a.data(), 64);
    EXPECT_EQ(a[0], 0.0f);
    for (size_t i = 1; i < 64; ++i)
        ASSERT_EQ(a[i], static_cast<float>(i));
    line.processBufferEx(b.data(), 64);
    EXPECT_EQ(b[0], 64.0f);
    EXPECT_EQ(b[63], 163.0f);
    line.processBufferEx(c.data(), 1);
    EXPECT_EQ(c[0], 164.0f);
}

TEST(Latency, GrowingFromOneReplaysTheStorage)
{
    Latency line;
    std::vector<float> fill = ramp(1024, 1);  // storage 1..1024
    line.processBufferEx(fill.data(), 1024);
    line.setSize(1);
    std::vector<float> x = ramp(10, 2001);
    line.processBufferEx(x.data(), 10);  // length 1 now; slot 0 holds 2010
    line.setSize(4);
    std::vector<float> y = ramp(8, 3001);
    line.processBufferEx(y.data(), 8);
    // The previous input, then what is left in slots 1..3, then the delayed signal.
    EXPECT_EQ(y[0], 2010.0f);
    EXPECT_EQ(y[1], 2.0f);
    EXPECT_EQ(y[2], 3.0f);
    EXPECT_EQ(y[3], 4.0f);
    for (size_t i = 4; i < 8; ++i)
        EXPECT_EQ(y[i], static_cast<float>(3001 + i - 4));
}

TEST(Latency, WriteOnlyAndGuards)
{
    Latency line;
    line.setSize(3);
    std::vector<float> x = ramp(1030, 1);
    // Wraps at 1024 to length 3 (the seeded slot 0 is overwritten at once), then
    // six more frames: two turns of the short line.
    line.processBuffer(x.data(), 1030);
    EXPECT_EQ(x[0], 1.0f);  // the input is not changed
    EXPECT_EQ(line.getBuffer()[0], 1028.0f);
    EXPECT_EQ(line.getBuffer()[2], 1030.0f);
    line.processBufferEx(nullptr, 4);
    line.processBufferEx(x.data(), 0);
    line.processBufferEx(x.data(), -2);
    EXPECT_EQ(x[0], 1.0f);
    std::vector<float> y(3);
    line.processBufferEx(y.data(), 3);
    EXPECT_EQ(y[0], 1028.0f);
    EXPECT_EQ(y[1], 1029.0f);
    EXPECT_EQ(y[2], 1030.0f);

    // Storage replaced by a smaller one: lengths follow it instead of overrunning.
    line.readjust(2);
    std::vector<float> z = ramp(6, 1);
    line.processBufferEx(z.data(), 6);
    EXPECT_EQ(line.getActiveSize(), 2);
}

TEST(Latency, NeverReadsBeforeTheBlock)
{
    // The block starts a page: a read of buffer[-1] would fault.
    const long page = sysconf(_SC_PAGESIZE);
    auto* mem = static_cast<char*>(mmap(nullptr, static_cast<size_t>(2 * page), PROT_READ | PROT_WRITE,
                                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(mem, MAP_FAILED);
    ASSERT_EQ(mprotect(mem, static_cast<size_t>(page), PROT_NONE), 0);
    auto* block = reinterpret_cast<float*>(mem + page);
    auto refill = [block] {
        for (int i = 0; i < 16; ++i)
            block[i] = static_cast<float>(i + 1);
    };
    // Each length change below falls on frame 0 of a block.
    Latency line;
    line.setSize(1);
    line.reset();
    refill();
    line.processBufferEx(block, 16);
    EXPECT_EQ(block[0], 0.0f);
    refill();
    line.setSize(2);
    line.processBufferEx(block, 16);
    EXPECT_EQ(block[0], 16.0f);
    refill();
    line.setSize(1);
    line.processBufferEx(block, 16);
    EXPECT_EQ(block[0], 16.0f);
    munmap(mem, static_cast<size_t>(2 * page));
}

TEST(Latency, ProcessingNeverAllocates)
{
    Latency line;
    std::vector<float> x = ramp(4096, 0);
    vyk::test::RenderGuard guard;
    line.setSize(1);
    line.processBufferEx(x.data(), 4096);
    line.setSize(1024);
    line.processBufferEx(x.data(), 4096);
    line.setSize(100000);
    line.processBufferEx(x.data(), 4096);
    if (vyk::test::RenderGuard::active()) {
        EXPECT_EQ(guard.violations(), 0);
    }
}

} // namespace
