#pragma once
#include "dsp/Follower.h"

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
