#pragma once
#include "dsp/Follower.h"

#include <bit>
#include <cmath>
#include <cstdint>

// Pulls the level of the summed channels toward full scale: quiet material is
// raised (silence gets a gain of 1 + fMultiplier), material above 1 is lowered
// to 1. The gain follows the input follower's envelope of |L+R|; a second
// follower measures the output.
// Thread rules: processBuffers on the render thread; the followers' peaks may
// be read from any thread (they are published once per block).
class Compander {
public:
    Compander();

    void setSamplerate(float sr);
    void init() { reset(); }
    void reset();
    // Lowest value -1 (which turns the compander into an expander); no upper limit.
    void setMultiplier(float m);
    // When set, the output is the input minus the processed signal.
    void setInverted(bool b) { bInverted = b; }

    void processBuffers(float* left, float* right, int64_t frames);

    // processBuffers for a caller that hands the frames over one at a time and
    // interleaves them with its own work: the input envelope follows each frame as it
    // comes; the gain runs in chunks, element-wise, and the output envelope one chunk
    // behind, so per frame only the two envelope steps remain. Each envelope sees its
    // samples in order and each frame gets the operations of processBuffers, so the
    // result is the same. One Stream per Compander at a time.
    class Stream {
    public:
        // The output envelope's lag. Its last chunk runs alone in finish, after the
        // splitter's loop, so a short lag keeps small blocks cheap; the chunk length only
        // decides when the element-wise gain runs, never what it computes.
        static constexpr int kChunk = 16;
        // in and out must not overlap; out's frame t is written after frame(t), at the
        // latest in finish.
        Stream(Compander& c, const float* inL, const float* inR, float* outL, float* outR);
        // Frames 0, 1, 2, ... in turn.
        void frame(int t);
        // After frames 0 to frames - 1; stores the state back.
        void finish(int frames);

    private:
        void gain(int from, int n);

        Compander& c_;
        Follower::Run in_, out_;
        const float* inL_;
        const float* inR_;
        float* outL_;
        float* outR_;
        float multiplier_;
        int32_t keepDifference_;
        float peak_[kChunk];
        float sum_[kChunk];
    };

    // Bitwise choice between two floats: compilers vectorise it, while a
    // conditional on floats keeps a loop scalar (it may trap).
    static float pick(int32_t mask, float yes, float no) {
        return std::bit_cast<float>((std::bit_cast<int32_t>(yes) & mask) | (std::bit_cast<int32_t>(no) & ~mask));
    }
    // The gain for an input envelope p: 1 + (1 - p) * multiplier below 1, 1 at 1,
    // 1 / p above (x / 1 is exact, so one division covers all three). An envelope
    // is never negative nor NaN, so its bits compare as its value does.
    static float gainFor(float p, float multiplier) {
        constexpr int32_t kOneBits = 0x3f800000; // 1.0f
        const int32_t bits = std::bit_cast<int32_t>(p);
        const float numerator = pick(-static_cast<int32_t>(bits < kOneBits), 1 + (1 - p) * multiplier, 1.0f);
        const float denominator = pick(-static_cast<int32_t>(bits > kOneBits), p, 1.0f);
        return numerator / denominator;
    }

    const Follower& getInputFollower() const { return inputFollower; }
    const Follower& getOutputFollower() const { return outputFollower; }
    float getFactor() const { return factor; }

private:
    Follower inputFollower;
    Follower outputFollower;
    float fSamplerate = 48000;
    float fMultiplier = 1;
    float factor = 1;
    bool bInverted = false;
};

inline Compander::Stream::Stream(Compander& c, const float* inL, const float* inR, float* outL, float* outR)
    : c_(c), in_(c.inputFollower), out_(c.outputFollower), inL_(inL), inR_(inR), outL_(outL), outR_(outR),
      multiplier_(c.fMultiplier), keepDifference_(c.bInverted ? -1 : 0) {}

inline void Compander::Stream::frame(int t) {
    const int k = t & (kChunk - 1);
    in_.feed(std::fabs(static_cast<double>(inL_[t] + inR_[t])));
    peak_[k] = static_cast<float>(in_.peak());
    // Slot k still holds frame t - kChunk's sum: the output envelope's next sample.
    if (t >= kChunk) out_.feed(std::fabs(static_cast<double>(sum_[k])));
    if (k == kChunk - 1) gain(t + 1 - kChunk, kChunk);
}

inline void Compander::Stream::gain(int from, int n) {
    const float* __restrict l = inL_ + from;
    const float* __restrict r = inR_ + from;
    float* __restrict ol = outL_ + from;
    float* __restrict orr = outR_ + from;
    for (int i = 0; i < n; ++i) {
        const float g = gainFor(peak_[i], multiplier_);
        const float sl = l[i] * g;
        const float sr = r[i] * g;
        ol[i] = pick(keepDifference_, l[i] - sl, sl);
        orr[i] = pick(keepDifference_, r[i] - sr, sr);
        sum_[i] = sl + sr;
    }
}

inline void Compander::Stream::finish(int frames) {
    // The last whole chunk's sums not yet fed, then those of the partial chunk after it.
    const int rest = frames & (kChunk - 1);
    if (frames >= kChunk)
        for (int k = rest; k < kChunk; ++k) out_.feed(std::fabs(static_cast<double>(sum_[k])));
    if (rest > 0) {
        gain(frames - rest, rest);
        for (int k = 0; k < rest; ++k) out_.feed(std::fabs(static_cast<double>(sum_[k])));
    }
    c_.factor = gainFor(static_cast<float>(in_.peak()), multiplier_);
    in_.storeTo(c_.inputFollower);
    out_.storeTo(c_.outputFollower);
}
