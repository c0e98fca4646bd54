#include "dsp/Compander.h"

#include <cmath>

Compander::Compander()
{
    setSamplerate(48000);
    init();
    setMultiplier(1);
    setInverted(false);
}

void Compander::setSamplerate(float sr)
{
    if (!(sr > 0 && sr <= Follower::kMaxSamplerate))
        return;
    fSamplerate = sr;
    inputFollower.setSamplerate(sr);
    outputFollower.setSamplerate(sr);
}

void Compander::reset()
{
    inputFollower.reset();
    outputFollower.reset();
    factor = 1;
}

void Compander::setMultiplier(float m)
{
    if (m != m)
        return;
    fMultiplier = m < -1 ? -1 : m;
}

void Compander::processBuffers(float* __restrict left, float* __restrict right, int64_t frames)
{
    if (frames <= 0)
        return;
    // The whole state lives in locals for the block: the two envelopes are
    // serial per frame, and stores through the sample pointers would
    // otherwise force it back to memory on every frame.
    Follower::Run in(inputFollower);
    Follower::Run out(outputFollower);
    const float multiplier = fMultiplier;
    const bool inverted = bInverted;
    float g = factor;

    for (int64_t i = 0; i < frames; ++i) {
        float l = left[i];
        float r = right[i];
        in.feed(std::fabs(static_cast<double>(l + r)));
        const float p = static_cast<float>(in.peak());
        if (p == 1)
            g = 1;
        else if (p > 1)
            g = 1 / p;
        else
            g = 1 + (1 - (p < 0 ? 0 : p)) * multiplier;
        l = l * g;
        r = r * g;
        if (inverted) {
            left[i] = left[i] - l;
            right[i] = right[i] - r;
        } else {
            left[i] = l;
            right[i] = r;
        }
        out.feed(std::fabs(static_cast<double>(l + r)));
    }

    factor = g;
    in.storeTo(inputFollower);
    out.storeTo(outputFollower);
}
