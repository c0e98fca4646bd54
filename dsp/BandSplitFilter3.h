#pragma once
#include "dsp/LanePackedSplit.h"
#include "dsp/SVFilter4Pole1.h"

#include <algorithm>

// Cuts a stereo block into a low, a middle and a high band at two movable
// split points (normalised 0..1, lower <= upper), keeps the bands in its own
// buffers so they can be processed in place, and sums them back. The high
// band is the high-pass part of the input at the upper split, the low band
// the low-pass part of the remainder at the lower split, the middle band what
// is left: the three always add up to the input. At most kMaxFrames frames
// of a block are split and mixed.
// Thread rules: one thread at a time. The setters are cheap (no allocation,
// no lock) and may run on the render thread between split and mix calls.
class BandSplitFilter3 {
public:
    static constexpr int kMaxFrames = 4096;

    BandSplitFilter3();

    void setSamplerate(float sr);
    // Ignored outside 0..1 (and for NaN); stops at the other split point.
    void setCutoff1(float c);
    void setCutoff2(float c);
    float getCutoff1() const { return fCutoff1; }
    float getCutoff2() const { return fCutoff2; }

    // Clears the bands and the filter states; the filters keep running at the
    // stored split points.
    void init();
    void reset() { init(); }
    // Zeroes the six band buffers.
    void clear();

    // The input is only read.
    void split(const float* left, const float* right, int frames);
    // split, calling each(t) for every frame t once input frame t has been read, so
    // each may overwrite it; its work overlaps the filters' recursions.
    template <typename EachFrame>
    void splitWith(const float* left, const float* right, int frames, EachFrame&& each);
    // left/right := low + middle + high, each weighted by its band gain (1).
    void mix(float* left, float* right, int frames);

    // The band weights mix applies.
    float getGainLP() const { return fGainLP; }
    float getGainBP() const { return fGainBP; }
    float getGainHP() const { return fGainHP; }

    float* getLPLeft() { return bufferLP[0]; }
    float* getLPRight() { return bufferLP[1]; }
    float* getBPLeft() { return bufferBP[0]; }
    float* getBPRight() { return bufferBP[1]; }
    float* getHPLeft() { return bufferHP[0]; }
    float* getHPRight() { return bufferHP[1]; }

    const SVFilter4Pole1& getLowFilter(int ch) const { return lpf[ch]; }
    const SVFilter4Pole1& getHighFilter(int ch) const { return hpf[ch]; }

private:
    LanePackedSplit loadLanes(const float* left, const float* right);
    void storeLanes(const LanePackedSplit& lanes);

    float fGainLP = 1.0f;
    float fGainBP = 1.0f;
    float fGainHP = 1.0f;
    float fSamplerate = 48000;
    float fCutoff1 = 0.33f;
    float fCutoff2 = 0.66f;
    alignas(64) float bufferLP[2][kMaxFrames];
    alignas(64) float bufferHP[2][kMaxFrames];
    alignas(64) float bufferBP[2][kMaxFrames];
    SVFilter4Pole1 lpf[2]; // at fCutoff1
    SVFilter4Pole1 hpf[2]; // at fCutoff2
};

template <typename EachFrame>
void BandSplitFilter3::splitWith(const float* left, const float* right, int frames, EachFrame&& each) {
    const int m = std::min(frames, kMaxFrames);
    if (m <= 0) return;
    LanePackedSplit lanes = loadLanes(left, right);
    lanes.run(m, each);
    storeLanes(lanes);
}
