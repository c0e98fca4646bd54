#include "audiotoolbox/AUAudioStatus.h"
#include "dsp/BufferedInputBus.h"

#include <gtest/gtest.h>

namespace {

struct InputBusTest : ::testing::Test {
    BufferedInputBus bus;
    AudioBufferList seen{};
    int pulls = 0;
    AURenderPullInputBlock recorder = [this](AudioUnitRenderActionFlags*, const AudioTimeStamp*, AUAudioFrameCount,
                                             NSInteger, AudioBufferList* l) {
        ++pulls;
        seen = *l;
        return OSStatus{0};
    };
    AudioUnitRenderActionFlags flags = 0;
    AudioTimeStamp ts{};

    void SetUp() override { bus.init(AVAudioFormat(48000.0, 2), 2); }
};

TEST_F(InputBusTest, HandsTheHostItsOwnBuffersAtFullCapacity) {
    EXPECT_EQ(bus.bus()->maximumChannelCount(), 2u);
    bus.allocateRenderResources(4096);
    ASSERT_EQ(bus.pullInput(&flags, ts, 512, 0, &recorder), 0);
    ASSERT_EQ(seen.mNumberBuffers, 2u);
    for (unsigned c = 0; c < 2; ++c) {
        EXPECT_EQ(seen.mBuffers[c].mDataByteSize, 16384u);
        EXPECT_EQ(seen.mBuffers[c].mData, bus.originalAudioBufferList()->mBuffers[c].mData);
    }
    // Reallocated smaller, pulls offer the new capacity.
    bus.deallocateRenderResources();
    EXPECT_FALSE(bus.isAllocated());
    EXPECT_EQ(bus.maxFrames(), 4096u);
    bus.allocateRenderResources(1024);
    ASSERT_EQ(bus.pullInput(&flags, ts, 16, 0, &recorder), 0);
    EXPECT_EQ(seen.mBuffers[0].mDataByteSize, 4096u);
}

TEST_F(InputBusTest, RestoresPointersAHostRedirectedAtTheNextPull) {
    bus.allocateRenderResources(256);
    float hostMemory[2][16] = {};
    AURenderPullInputBlock redirect = [&](AudioUnitRenderActionFlags*, const AudioTimeStamp*, AUAudioFrameCount n,
                                          NSInteger, AudioBufferList* l) {
        for (unsigned c = 0; c < 2; ++c) {
            l->mBuffers[c].mData = hostMemory[c];
            l->mBuffers[c].mDataByteSize = n * 4;
        }
        return OSStatus{0};
    };
    ASSERT_EQ(bus.pullInput(&flags, ts, 16, 0, &redirect), 0);
    EXPECT_EQ(bus.mutableAudioBufferList()->mBuffers[1].mData, hostMemory[1]);
    ASSERT_EQ(bus.pullInput(&flags, ts, 16, 0, &recorder), 0);
    EXPECT_EQ(seen.mBuffers[1].mData, bus.originalAudioBufferList()->mBuffers[1].mData);
    EXPECT_EQ(seen.mBuffers[1].mDataByteSize, 1024u);
}

TEST_F(InputBusTest, WithoutABlockOrABufferNothingIsPulledAndFailuresPassOn) {
    EXPECT_EQ(bus.pullInput(&flags, ts, 16, 0, &recorder), kAudioUnitErr_Uninitialized);
    bus.allocateRenderResources(64);
    AudioBufferList before = *bus.mutableAudioBufferList();
    EXPECT_EQ(bus.pullInput(&flags, ts, 16, 0, nullptr), kAudioUnitErr_NoConnection);
    AURenderPullInputBlock empty;
    EXPECT_EQ(bus.pullInput(&flags, ts, 16, 0, &empty), kAudioUnitErr_NoConnection);
    EXPECT_EQ(bus.mutableAudioBufferList()->mBuffers[0].mData, before.mBuffers[0].mData);
    AURenderPullInputBlock failing = [](AudioUnitRenderActionFlags*, const AudioTimeStamp*, AUAudioFrameCount,
                                        NSInteger, AudioBufferList*) { return OSStatus{-50}; };
    EXPECT_EQ(bus.pullInput(&flags, ts, 16, 0, &failing), -50);
    bus.deallocateRenderResources();
    EXPECT_EQ(bus.pullInput(&flags, ts, 16, 0, &recorder), kAudioUnitErr_Uninitialized);
    EXPECT_EQ(pulls, 0);
}

} // namespace
