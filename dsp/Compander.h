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

    // processBuffers one frame at a time, for a caller that interleaves the frames with
    // its own per-frame work: each frame gets the same operations in the same order, so
    // a block through a Stream equals processBuffers on it. At most one per Compander at
    // a time; finish() stores the state back.
    class Stream {
    public:
        explicit Stream(Compander& c);
        // One frame of input (l, r) to output (outL, outR); may be the same floats.
        void frame(float l, float r, float& outL, float& outR);
        void finish();

    private:
        Compander& c_;
        Follower::Run in_, out_;
        float multiplier_;
        int32_t keepDifference_;
    };

    // Bitwise choice between two floats: compilers vectorise it, while a
    // conditional on floats keeps a loop scalar (it may trap).
    static float pick(int32_t mask, float yes, float no)
    {
        return std::bit_cast<float>((std::bit_cast<int32_t>(yes) & mask) |
                                    (std::bit_cast<int32_t>(no) & ~mask));
    }
    // The gain for an input envelope p: 1 + (1 - p) * multiplier below 1, 1 at 1,
    // 1 / p above (x / 1 is exact, so one division covers all three). An envelope
    // is never negative nor NaN, so its bits compare as its value does.
    static float gainFor(float p, float multiplier)
    {
        constexpr int32_t kOneBits = 0x3f800000;  // 1.0f
        const int32_t bits = std::bit_cast<int32_t>(p);
        const float numerator =
            pick(-static_cast<int32_t>(bits < kOneBits), 1 + (1 - p) * multiplier, 1.0f);
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

inline Compander::Stream::Stream(Compander& c)
    : c_(c), in_(c.inputFollower), out_(c.outputFollower), multiplier_(c.fMultiplier),
      keepDifference_(c.bInverted ? -1 : 0)
{
}

inline void Compander::Stream::frame(float l, float r, float& outL, float& outR)
{
    in_.feed(std::fabs(static_cast<double>(l + r)));
    const float g = gainFor(static_cast<float>(in_.peak()), multiplier_);
    const float sl = l * g;
    const float sr = r * g;
    outL = pick(keepDifference_, l - sl, sl);
    outR = pick(keepDifference_, r - sr, sr);
    out_.feed(std::fabs(static_cast<double>(sl + sr)));
}

inline void Compander::Stream::finish()
{
    c_.factor = gainFor(static_cast<float>(in_.peak()), multiplier_);
    in_.storeTo(c_.inputFollower);
    out_.storeTo(c_.outputFollower);
}
