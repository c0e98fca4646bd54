#include "dsp/Compander.h"

#include <algorithm>
#include <bit>
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

namespace {

constexpr int32_t kOneBits = 0x3f800000;  // 1.0f

// Bitwise choice between two floats: compilers vectorise it, while a
// conditional on floats keeps a loop scalar (it may trap).
float pick(int32_t mask, float yes, float no)
{
    return std::bit_cast<float>((std::bit_cast<int32_t>(yes) & mask) |
                                (std::bit_cast<int32_t>(no) & ~mask));
}

// The gain for an input envelope p: 1 + (1 - p) * multiplier below 1, 1 at 1,
// 1 / p above (x / 1 is exact, so one division covers all three). An envelope
// is never negative nor NaN, so its bits compare as its value does.
float gainFor(float p, float multiplier)
{
    const int32_t bits = std::bit_cast<int32_t>(p);
    const float numerator = pick(-static_cast<int32_t>(bits < kOneBits), 1 + (1 - p) * multiplier, 1.0f);
    const float denominator = pick(-static_cast<int32_t>(bits > kOneBits), p, 1.0f);
    return numerator / denominator;
}

} // namespace

void Compander::processBuffers(float* left, float* right, int64_t frames)
{
    if (frames <= 0)
        return;
    // Per chunk, the two envelopes run as tight serial loops (their state in
    // registers) and everything per frame between them runs element-wise,
    // which the compiler vectorises; each frame sees the same operations as
    // in a frame-by-frame loop.
    constexpr int kChunk = 256;
    float peak[kChunk];
    float sum[kChunk];
    Follower::Run in(inputFollower);
    Follower::Run out(outputFollower);
    const float multiplier = fMultiplier;
    const int32_t keepDifference = bInverted ? -1 : 0;
    for (int64_t done = 0; done < frames; done += kChunk) {
        const int n = static_cast<int>(std::min<int64_t>(kChunk, frames - done));
        float* __restrict l = left + done;
        float* __restrict r = right + done;
        for (int i = 0; i < n; ++i) {
            in.feed(std::fabs(static_cast<double>(l[i] + r[i])));
            peak[i] = static_cast<float>(in.peak());
        }
        for (int i = 0; i < n; ++i) {
            const float g = gainFor(peak[i], multiplier);
            const float sl = l[i] * g;
            const float sr = r[i] * g;
            l[i] = pick(keepDifference, l[i] - sl, sl);
            r[i] = pick(keepDifference, r[i] - sr, sr);
            sum[i] = sl + sr;
        }
        for (int i = 0; i < n; ++i)
            out.feed(std::fabs(static_cast<double>(sum[i])));
    }
    factor = gainFor(static_cast<float>(in.peak()), multiplier);
    in.storeTo(inputFollower);
    out.storeTo(outputFollower);
}
