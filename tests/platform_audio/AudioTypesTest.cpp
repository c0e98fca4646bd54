#include "audiotoolbox/AUAudioUnitBus.h"
#include "audiotoolbox/AURenderEvent.h"
#include "avfoundation/AVAudioPCMBuffer.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <stdexcept>

namespace {

// The list walker reads next, time and type through `head` whatever the event is.
static_assert(offsetof(AUParameterEvent, eventType) == offsetof(AURenderEventHeader, eventType));
static_assert(offsetof(AUMIDIEvent, eventType) == offsetof(AURenderEventHeader, eventType));
static_assert(offsetof(AUMIDIEvent, eventSampleTime) == offsetof(AURenderEventHeader, eventSampleTime));

TEST(AVAudioFormat, RefusesRatesAndChannelCountsNoBufferListCanCarry) {
    EXPECT_THROW(AVAudioFormat(0.0, 2), std::invalid_argument);
    EXPECT_THROW(AVAudioFormat(std::numeric_limits<double>::quiet_NaN(), 2), std::invalid_argument);
    EXPECT_THROW(AVAudioFormat(48000.0, 0), std::invalid_argument);
    EXPECT_THROW(AVAudioFormat(48000.0, kAudioBufferListCapacity + 1), std::invalid_argument);
    const AVAudioFormat f(44100.0, kAudioBufferListCapacity);
    EXPECT_EQ(f.channelCount(), kAudioBufferListCapacity);
    EXPECT_EQ(f, AVAudioFormat(44100.0, kAudioBufferListCapacity));
    EXPECT_FALSE(f == AVAudioFormat(48000.0, kAudioBufferListCapacity));
}

TEST(AVAudioPCMBuffer, OwnsOneZeroedAlignedArrayPerChannelBehindBothLists) {
    AVAudioPCMBuffer buf(AVAudioFormat(48000.0, 2), 4096);
    const AudioBufferList* own = buf.audioBufferList();
    ASSERT_EQ(own->mNumberBuffers, 2u);
    for (unsigned c = 0; c < 2; ++c) {
        EXPECT_EQ(own->mBuffers[c].mNumberChannels, 1u);
        EXPECT_EQ(own->mBuffers[c].mDataByteSize, 4096u * 4u);
        EXPECT_EQ(own->mBuffers[c].mData, buf.floatChannelData()[c]);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(own->mBuffers[c].mData) % 64, 0u);
        for (unsigned i = 0; i < 4096; ++i) ASSERT_EQ(buf.floatChannelData()[c][i], 0.0f);
    }
    // A host repointing the mutable list leaves the buffer's own list as made.
    float elsewhere[4];
    buf.mutableAudioBufferList()->mBuffers[1].mData = elsewhere;
    EXPECT_EQ(own->mBuffers[1].mData, buf.floatChannelData()[1]);

    buf.setFrameLength(5000);
    EXPECT_EQ(buf.frameLength(), 4096u);
}

TEST(AVAudioPCMBuffer, ZeroCapacityIsAValidEmptyBuffer) {
    AVAudioPCMBuffer buf(AVAudioFormat(48000.0, 1), 0);
    EXPECT_EQ(buf.audioBufferList()->mBuffers[0].mDataByteSize, 0u);
    EXPECT_NE(buf.floatChannelData()[0], nullptr);
}

TEST(AUAudioUnitBus, RefusesAFormatAboveItsChannelLimit) {
    auto bus = AUAudioUnitBus::make(AVAudioFormat(48000.0, 2));
    bus->setMaximumChannelCount(2);
    EXPECT_FALSE(bus->setFormat(AVAudioFormat(48000.0, 3)));
    EXPECT_EQ(bus->format().channelCount(), 2u);
    EXPECT_TRUE(bus->setFormat(AVAudioFormat(96000.0, 1)));
    EXPECT_EQ(bus->format().sampleRate(), 96000.0);
}

} // namespace
