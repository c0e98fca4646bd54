#pragma once
// The whole chain of a band whose tool switches are off and whose width and panorama
// stages are neutral, in one pass per channel: gain, the one-frame delay of the left
// channel, the analysis ring exchange, and (in three-band mode) the weighted sum into
// the output. Each frame sees the same operations in the same order as the separate
// passes, so the result is bit-identical; the ring is walked segment by segment, so its
// notifications come at the same frames.
// Render thread; no allocation.
#include "dsp/CircularBuffer2.h"
#include "dsp/Latency.h"

// What happens to the ring's output: stored as it is, stored weighted (the first band of
// a sum), added weighted to what the output holds (the later bands), or nothing (the
// caller took it from CircularBuffer2::peek beforehand).
enum class BandMix { Store, First, Add, Discard };

// Needs ring.usable(), line.isOneFrame() and frames > 0. `in` and `out` may be the same
// arrays (full band) or separate (a split band summed into the output); with Discard,
// out is not written.
void plainBandPass(CircularBuffer2& ring, Latency& line, const float* inL, const float* inR, float* outL, float* outR,
                   int frames, float gain, BandMix mix, float mixGain);
