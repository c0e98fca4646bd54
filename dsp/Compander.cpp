#include "dsp/Compander.h"

#include <algorithm>
#include <cmath>

Compander::Compander() {
    setSamplerate(48000);
    init();
    setMultiplier(1);
    setInverted(false);
}

void Compander::setSamplerate(float sr) {
    if (!(sr > 0 && sr <= Follower::kMaxSamplerate)) return;
    fSamplerate = sr;
    inputFollower.setSamplerate(sr);
    outputFollower.setSamplerate(sr);
}

void Compander::reset() {
    inputFollower.reset();
    outputFollower.reset();
    factor = 1;
}

void Compander::setMultiplier(float m) {
    if (m != m) return;
    fMultiplier = m < -1 ? -1 : m;
}

namespace {

// The input envelope of one chunk, interleaved with the output envelope of the
// chunk before it. The two envelopes never read each other, so each sees its
// samples in the same order as in separate loops, and the two serial chains
// overlap in the pipeline.
void feedEnvelopes(Follower::Run& inRun, const float* __restrict l, const float* __restrict r, float* __restrict peak,
                   int n, Follower::Run& outRun, const float* __restrict pendingSum, int pending) {
    // Copies, so the envelopes stay in registers whatever the stores below may alias.
    Follower::Run in = inRun, out = outRun;
    const int both = std::min(n, pending);
    for (int i = 0; i < both; ++i) {
        in.feed(std::fabs(static_cast<double>(l[i] + r[i])));
        peak[i] = static_cast<float>(in.peak());
        out.feed(std::fabs(static_cast<double>(pendingSum[i])));
    }
    for (int i = both; i < n; ++i) {
        in.feed(std::fabs(static_cast<double>(l[i] + r[i])));
        peak[i] = static_cast<float>(in.peak());
    }
    for (int i = both; i < pending; ++i) out.feed(std::fabs(static_cast<double>(pendingSum[i])));
    inRun = in;
    outRun = out;
}

// Everything per frame between the envelopes, element-wise, so it vectorises;
// each frame sees the operations of a frame-by-frame loop.
void applyGain(float* __restrict l, float* __restrict r, const float* __restrict peak, float* __restrict sum, int n,
               float multiplier, int32_t keepDifference) {
    for (int i = 0; i < n; ++i) {
        const float g = Compander::gainFor(peak[i], multiplier);
        const float sl = l[i] * g;
        const float sr = r[i] * g;
        l[i] = Compander::pick(keepDifference, l[i] - sl, sl);
        r[i] = Compander::pick(keepDifference, r[i] - sr, sr);
        sum[i] = sl + sr;
    }
}

} // namespace

void Compander::processBuffers(float* left, float* right, int64_t frames) {
    if (frames <= 0) return;
    // Per chunk: the input envelope (with the previous chunk's output
    // envelope alongside), then the gain; the last chunk's output envelope
    // runs alone at the end.
    constexpr int kChunk = 32;
    float peak[kChunk];
    float sum[2][kChunk];
    int pending = 0;
    Follower::Run in(inputFollower);
    Follower::Run out(outputFollower);
    const float multiplier = fMultiplier;
    const int32_t keepDifference = bInverted ? -1 : 0;
    for (int64_t done = 0, k = 0; done < frames; done += kChunk, ++k) {
        const int n = static_cast<int>(std::min<int64_t>(kChunk, frames - done));
        float* l = left + done;
        float* r = right + done;
        feedEnvelopes(in, l, r, peak, n, out, sum[(k + 1) & 1], pending);
        applyGain(l, r, peak, sum[k & 1], n, multiplier, keepDifference);
        pending = n;
    }
    const int64_t chunks = (frames + kChunk - 1) / kChunk;
    feedEnvelopes(in, nullptr, nullptr, nullptr, 0, out, sum[(chunks + 1) & 1], pending);
    factor = gainFor(static_cast<float>(in.peak()), multiplier);
    in.storeTo(inputFollower);
    out.storeTo(outputFollower);
}
