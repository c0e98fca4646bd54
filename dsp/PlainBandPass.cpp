#include "dsp/PlainBandPass.h"

namespace {

template <bool Scale>
float scaled(float x, float gain) {
    // The gain stage skips a gain of exactly 1, so a NaN keeps its payload.
    return Scale ? x * gain : x;
}

template <BandMix Mix>
void emit(float& out, float ringOut, float mixGain) {
    if constexpr (Mix == BandMix::Store)
        out = ringOut;
    else if constexpr (Mix == BandMix::First)
        out = ringOut * mixGain;
    else if constexpr (Mix == BandMix::Add)
        out = out + ringOut * mixGain; // (low + middle) + high, as mix sums them
}

template <bool Scale, BandMix Mix>
void pass(CircularBuffer2& ring, Latency& line, const float* inL, const float* inR, float* outL, float* outR,
          int frames, float gain, float mixGain) {
    // The delay line hands frame 0 its carried frame and keeps the block's last one.
    float carry = line.exchangeCarry(scaled<Scale>(inL[frames - 1], gain));
    ring.walk(frames, [&](float* __restrict ringL, float* __restrict ringR, int at, int n) {
        // Left: frame i enters the ring as input frame i - 1. Walking the segment
        // backwards reads each input frame before an in-place output overwrites it;
        // the segment's last input frame is kept for the next segment's first frame.
        const float next = scaled<Scale>(inL[at + n - 1], gain);
        for (int j = n - 1; j > 0; --j) {
            const float old = ringL[j];
            ringL[j] = scaled<Scale>(inL[at + j - 1], gain);
            emit<Mix>(outL[at + j], old, mixGain);
        }
        const float old = ringL[0];
        ringL[0] = carry;
        emit<Mix>(outL[at], old, mixGain);
        carry = next;
        for (int j = 0; j < n; ++j) {
            const float oldR = ringR[j];
            ringR[j] = scaled<Scale>(inR[at + j], gain);
            emit<Mix>(outR[at + j], oldR, mixGain);
        }
    });
}

template <bool Scale>
void passFor(BandMix mix, CircularBuffer2& ring, Latency& line, const float* inL, const float* inR, float* outL,
             float* outR, int frames, float gain, float mixGain) {
    if (mix == BandMix::Store)
        pass<Scale, BandMix::Store>(ring, line, inL, inR, outL, outR, frames, gain, mixGain);
    else if (mix == BandMix::First)
        pass<Scale, BandMix::First>(ring, line, inL, inR, outL, outR, frames, gain, mixGain);
    else if (mix == BandMix::Add)
        pass<Scale, BandMix::Add>(ring, line, inL, inR, outL, outR, frames, gain, mixGain);
    else
        pass<Scale, BandMix::Discard>(ring, line, inL, inR, outL, outR, frames, gain, mixGain);
}

} // namespace

void plainBandPass(CircularBuffer2& ring, Latency& line, const float* inL, const float* inR, float* outL, float* outR,
                   int frames, float gain, BandMix mix, float mixGain) {
    if (gain != 1.0f)
        passFor<true>(mix, ring, line, inL, inR, outL, outR, frames, gain, mixGain);
    else
        passFor<false>(mix, ring, line, inL, inR, outL, outR, frames, gain, mixGain);
}
