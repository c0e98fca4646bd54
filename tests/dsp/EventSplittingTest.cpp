#include "dsp/DSPKernel.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

// Records what the base hands to a derived kernel, in order.
class RecordingKernel final : public DSPKernel {
public:
    std::vector<std::string> log;

    void process(AUAudioFrameCount frames, AUAudioFrameCount offset) override {
        log.push_back("process " + std::to_string(frames) + "@" + std::to_string(offset));
    }
    void setParameterAutomated(AUParameterAddress address, AUValue value, AUEventSampleTime) override {
        log.push_back("param " + std::to_string(address) + "=" + std::to_string(value));
    }
    void handleMIDIEvent(const AUMIDIEvent& event) override { log.push_back("midi " + std::to_string(event.data[0])); }
    const AUMIDIOutputEventBlock* output() const { return midiOut; }
};

// Builds a linked event list in a stable vector.
class Events {
public:
    explicit Events(std::size_t capacity) { events_.reserve(capacity); }
    Events& param(AUEventSampleTime t, AUParameterAddress a, AUValue v,
                  AURenderEventType type = AURenderEventParameter) {
        AURenderEvent e{};
        e.parameter.eventSampleTime = t;
        e.parameter.eventType = type;
        e.parameter.parameterAddress = a;
        e.parameter.value = v;
        e.parameter.rampDurationSampleFrames = 480;
        return push(e);
    }
    Events& midi(AUEventSampleTime t, std::uint8_t status, AURenderEventType type = AURenderEventMIDI) {
        AURenderEvent e{};
        e.MIDI.eventSampleTime = t;
        e.MIDI.eventType = type;
        e.MIDI.length = 1;
        e.MIDI.data[0] = status;
        return push(e);
    }
    const AURenderEvent* head() const { return events_.empty() ? nullptr : &events_.front(); }

private:
    Events& push(const AURenderEvent& e) {
        if (!events_.empty()) events_.back().head.next = nullptr;
        events_.push_back(e);
        for (std::size_t i = 0; i + 1 < events_.size(); ++i) events_[i].head.next = &events_[i + 1];
        return *this;
    }
    std::vector<AURenderEvent> events_;
};

AudioTimeStamp at(double sampleTime) {
    AudioTimeStamp ts;
    ts.mSampleTime = sampleTime;
    ts.mFlags = kAudioTimeStampSampleTimeValid;
    return ts;
}

using Log = std::vector<std::string>;

struct Case {
    const char* what;
    double stamp;
    AUAudioFrameCount frames;
    void (*events)(Events&);
    Log expected;
};

TEST(EventSplitting, CutsAtEventTimesAndAppliesEachEventOnce) {
    const Case cases[] = {
        {"the stamp is truncated",
         1000.75,
         8,
         [](Events& e) { e.param(1003, 5, 1.0f); },
         {"process 3@0", "param 5=1.000000", "process 5@3"}},
        {"no events: one piece", 0, 512, [](Events&) {}, {"process 512@0"}},
        {"past and immediate events apply first",
         100,
         16,
         [](Events& e) { e.param(AUEventSampleTimeImmediate, 1, 1.0f).param(10, 2, 2.0f).param(100, 3, 3.0f); },
         {"param 1=1.000000", "param 2=2.000000", "param 3=3.000000", "process 16@0"}},
        {"simultaneous events apply together in list order",
         0,
         8,
         [](Events& e) { e.param(4, 7, 0.25f).param(4, 7, 0.75f, AURenderEventParameterRamp).midi(6, 0x90); },
         {"process 4@0", "param 7=0.250000", "param 7=0.750000", "process 2@4", "midi 144", "process 2@6"}},
        {"unknown types cut without being applied",
         0,
         10,
         [](Events& e) {
             e.param(2, 1, 1.0f)
                 .midi(5, 0x80, AURenderEventMIDIEventList)
                 .midi(6, 0xF0, AURenderEventMIDISysEx)
                 .param(7, 2, 2.0f);
         },
         {"process 2@0", "param 1=1.000000", "process 3@2", "process 1@5", "midi 240", "process 1@6",
          "param 2=2.000000", "process 3@7"}},
        {"events at or beyond the end apply after the last frame",
         500,
         20,
         [](Events& e) { e.param(508, 1, 1.0f).param(520, 2, 2.0f).param(1u << 30, 3, 3.0f); },
         {"process 8@0", "param 1=1.000000", "process 12@8", "param 2=2.000000", "param 3=3.000000"}},
        {"a far-future event never lengthens a piece",
         -1e30,
         64,
         [](Events& e) { e.param(INT64_MAX, 9, 9.0f); },
         {"process 64@0", "param 9=9.000000"}},
        {"an event earlier than its predecessor joins the next cut",
         0,
         10,
         [](Events& e) { e.param(6, 1, 1.0f).param(2, 2, 2.0f).param(7, 3, 3.0f); },
         {"process 6@0", "param 1=1.000000", "param 2=2.000000", "process 1@6", "param 3=3.000000", "process 3@7"}},
        {"a NaN stamp counts as zero",
         std::numeric_limits<double>::quiet_NaN(),
         5,
         [](Events& e) { e.param(3, 1, 1.0f); },
         {"process 3@0", "param 1=1.000000", "process 2@3"}},
    };
    for (const Case& c : cases) {
        RecordingKernel k;
        Events ev(4);
        c.events(ev);
        k.processWithEvents(at(c.stamp), c.frames, ev.head(), nullptr);
        EXPECT_EQ(k.log, c.expected) << c.what;
    }
}

TEST(EventSplitting, ZeroFramesApplyNothingButKeepTheMIDIOutput) {
    RecordingKernel k;
    AUMIDIOutputEventBlock out = [](AUEventSampleTime, std::uint8_t, NSInteger, const std::uint8_t*) {
        return OSStatus{0};
    };
    Events ev(1);
    ev.param(0, 1, 1.0f);
    k.processWithEvents(at(0), 0, ev.head(), &out);
    EXPECT_TRUE(k.log.empty());
    EXPECT_EQ(k.output(), &out);
    k.processWithEvents(at(0), 4, nullptr, nullptr);
    EXPECT_EQ(k.output(), nullptr);
}

} // namespace
