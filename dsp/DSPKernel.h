#pragma once
// Base of the real-time kernel: turns one render call into plain `process` calls, cut at
// the sample time of every render event, so parameter changes and MIDI land on the
// frame they name.
// Thread rules: everything here runs on the render thread, inside the adapter's render
// entry; nothing allocates, locks or blocks.
#include "audiotoolbox/AUAudioTypes.h"
#include "audiotoolbox/AUMIDIOutputEventBlock.h"
#include "audiotoolbox/AURenderEvent.h"
#include "audiotoolbox/AudioTimeStamp.h"

class DSPKernel {
public:
    DSPKernel() = default;
    DSPKernel(const DSPKernel&) = delete;
    DSPKernel& operator=(const DSPKernel&) = delete;

    // Renders `frameCount` frames of the buffers set for this call. Events due before the
    // stamp (including AUEventSampleTimeImmediate) apply before the first frame; events
    // at or beyond the end of the buffer apply after the last one. Types 1 and 2 reach
    // setParameterAutomated, 8 and 9 handleMIDIEvent; other types only cut the buffer.
    // `midiOutput` (may be null) is owned by the caller and outlives the call.
    void processWithEvents(const AudioTimeStamp& timestamp, AUAudioFrameCount frameCount, const AURenderEvent* events,
                           const AUMIDIOutputEventBlock* midiOutput) noexcept;

    // One piece: `frameCount` frames starting `bufferOffset` frames into the buffers.
    virtual void process(AUAudioFrameCount frameCount, AUAudioFrameCount bufferOffset) {}
    virtual void setParameterAutomated(AUParameterAddress address, AUValue value, AUEventSampleTime sampleTime) {}
    virtual void handleMIDIEvent(const AUMIDIEvent& event) {}

protected:
    // Never deleted through the base.
    ~DSPKernel() = default;

    // The host's MIDI output for the current call, or null.
    const AUMIDIOutputEventBlock* midiOut = nullptr;

private:
    void performAllSimultaneousEvents(AUEventSampleTime now, const AURenderEvent*& event);
    void handleOneEvent(const AURenderEvent& event);
};
