#include "dsp/DSPKernel.h"

#include <cmath>
#include <cstdint>

namespace {

// The stamp's sample time truncated toward zero; NaN counts as 0 and values beyond
// the 64-bit range are held at its ends.
AUEventSampleTime toSampleTime(double t) {
    if (std::isnan(t)) return 0;
    if (t >= 9.2233720368547748e18) return INT64_MAX;
    if (t <= -9.2233720368547758e18) return INT64_MIN;
    return static_cast<AUEventSampleTime>(t);
}

// Frames from `now` to `t`, 0 for a time in the past, at most `limit`. Computed in
// unsigned arithmetic so that no time difference can overflow.
AUAudioFrameCount framesUntil(AUEventSampleTime t, AUEventSampleTime now, AUAudioFrameCount limit) {
    if (t <= now) return 0;
    const std::uint64_t d = static_cast<std::uint64_t>(t) - static_cast<std::uint64_t>(now);
    return d < limit ? static_cast<AUAudioFrameCount>(d) : limit;
}

} // namespace

void DSPKernel::processWithEvents(const AudioTimeStamp& timestamp, AUAudioFrameCount frameCount,
                                  const AURenderEvent* events, const AUMIDIOutputEventBlock* midiOutput) noexcept {
    midiOut = midiOutput;
    AUEventSampleTime now = toSampleTime(timestamp.mSampleTime);
    AUAudioFrameCount remaining = frameCount;
    const AURenderEvent* event = events;

    while (remaining > 0) {
        if (event == nullptr) {
            process(remaining, frameCount - remaining);
            return;
        }
        const AUAudioFrameCount piece = framesUntil(event->head.eventSampleTime, now, remaining);
        if (piece > 0) {
            process(piece, frameCount - remaining);
            remaining -= piece;
            // Stays in range: the piece never exceeds the distance to the event.
            now = static_cast<AUEventSampleTime>(static_cast<std::uint64_t>(now) + piece);
        }
        if (remaining == 0) {
            // The host's list does not outlive the call: what lies at or beyond the end
            // of the buffer is applied here, in list order, so no change is lost.
            for (; event != nullptr; event = event->head.next) handleOneEvent(*event);
            return;
        }
        performAllSimultaneousEvents(now, event);
    }
}

void DSPKernel::performAllSimultaneousEvents(AUEventSampleTime now, const AURenderEvent*& event) {
    do {
        handleOneEvent(*event);
        event = event->head.next;
    } while (event != nullptr && event->head.eventSampleTime <= now);
}

void DSPKernel::handleOneEvent(const AURenderEvent& event) {
    switch (event.head.eventType) {
    case AURenderEventParameter:
    case AURenderEventParameterRamp:
        setParameterAutomated(event.parameter.parameterAddress, event.parameter.value, event.parameter.eventSampleTime);
        break;
    case AURenderEventMIDI:
    case AURenderEventMIDISysEx:
        handleMIDIEvent(event.MIDI);
        break;
    default:
        break;
    }
}
