#include "dsp/BandSplitFilter3.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

BandSplitFilter3::BandSplitFilter3()
{
    setSamplerate(48000);
    reset();
    setCutoff1(0.333f);
    setCutoff2(0.666f);
}

void BandSplitFilter3::setSamplerate(float sr)
{
    fSamplerate = sr;
    for (SVFilter4Pole1& f : hpf)
        f.setSamplerate(sr);
    for (SVFilter4Pole1& f : lpf)
        f.setSamplerate(sr);
}

void BandSplitFilter3::setCutoff1(float c)
{
    if (!(c >= 0 && c <= 1))
        return;
    fCutoff1 = std::min(c, fCutoff2);
    lpf[0].setCutoff(fCutoff1);
    lpf[1].setCutoff(fCutoff1);
}

void BandSplitFilter3::setCutoff2(float c)
{
    if (!(c >= 0 && c <= 1))
        return;
    fCutoff2 = std::max(c, fCutoff1);
    hpf[0].setCutoff(fCutoff2);
    hpf[1].setCutoff(fCutoff2);
}

void BandSplitFilter3::init()
{
    clear();
    for (int ch = 0; ch < 2; ++ch) {
        hpf[ch].reset();
        lpf[ch].reset();
        // A reset filter runs at 0.5; put it back at the split point.
        hpf[ch].setCutoff(fCutoff2);
        lpf[ch].setCutoff(fCutoff1);
    }
}

void BandSplitFilter3::clear()
{
    std::memset(bufferLP, 0, sizeof bufferLP);
    std::memset(bufferHP, 0, sizeof bufferHP);
    std::memset(bufferBP, 0, sizeof bufferBP);
}

namespace {

// Four float lanes: the high-pass filters of the left and right channels, then the
// low-pass filters. GCC and Clang vector extensions: SSE2 on x86-64, NEON on ARM, and
// lane by lane in scalar code elsewhere; every lane gets the IEEE operations of the
// scalar filter step, so all targets give the same bits.
typedef float Lanes __attribute__((vector_size(16)));
typedef std::int32_t Mask __attribute__((vector_size(16)));

Lanes select(Mask m, Lanes yes, Lanes no)
{
    return reinterpret_cast<Lanes>((reinterpret_cast<Mask>(yes) & m) |
                                   (reinterpret_cast<Mask>(no) & ~m));
}

// The four filters, one stage step per frame, with the low-pass lanes two frames
// behind the high-pass ones: frame t feeds the input of frame t to the high-pass
// lanes and the high-pass remainder of frame t - 2 to the low-pass lanes. Each lane
// runs SVFilter4Pole1::step on its own state in its own order, so the result is that
// of four separate filters; the lag only moves the hand-over from one filter to the
// next off the recursion's critical path (with one frame it stays on it).
struct LanePackedSplit {
    Lanes cf, cq, gain, band, low;
    Mask highLanes = {-1, -1, 0, 0};
    Lanes rest1 = {}, rest2 = {};  // lanes 0, 1: the remainders of frames t - 1, t - 2
    const float* inL;
    const float* inR;
    float *hpL, *hpR, *bpL, *bpR, *lpL, *lpR;

    // One frame t; lanes outside `active` keep their state and store nothing.
    template <bool All>
    void frame(int t, Mask active)
    {
        const bool high = All || active[0], lowPass = All || active[2];
        const Lanes x = {high ? inL[t] : 0.0f, high ? inR[t] : 0.0f, rest2[0], rest2[1]};
        const Lanes h = 0.5f * x;
        const Lanes lo = low + cf * band;
        const Lanes hi = h - lo - cq * band;
        const Lanes nextBand = cf * hi + band;
        const Lanes y = select(highLanes, hi, lo) * gain;
        // High-pass lanes: the remainder x - y; low-pass lanes: the middle band.
        const Lanes d = x - y;
        if constexpr (All) {
            band = nextBand;
            low = lo;
        } else {
            band = select(active, nextBand, band);
            low = select(active, lo, low);
        }
        if (high) {
            hpL[t] = y[0];
            hpR[t] = y[1];
        }
        if (lowPass) {
            lpL[t - 2] = y[2];
            lpR[t - 2] = y[3];
            bpL[t - 2] = d[2];
            bpR[t - 2] = d[3];
        }
        rest2 = rest1;
        rest1 = d;
    }

    // Frames 0 and 1 start the high-pass lanes alone, frames m and m + 1 finish the
    // low-pass lanes alone.
    void run(int m)
    {
        const int head = std::min(m, 2);
        for (int t = 0; t < head; ++t)
            frame<false>(t, Mask{-1, -1, 0, 0});
        for (int t = 2; t < m; ++t)
            frame<true>(t, Mask{});
        for (int t = std::max(m, head); t < m + 2; ++t)
            frame<false>(t, Mask{0, 0, -(t >= 2), -(t >= 2)});
    }
};

} // namespace

void BandSplitFilter3::split(const float* left, const float* right, int frames)
{
    const int m = std::min(frames, kMaxFrames);
    if (m <= 0)
        return;
    SVFilter4Pole1* const f[4] = {&hpf[0], &hpf[1], &lpf[0], &lpf[1]};
    LanePackedSplit s;
    for (int k = 0; k < 4; ++k) {
        s.cf[k] = f[k]->cf;
        s.cq[k] = f[k]->cq;
        s.gain[k] = f[k]->booster;
        s.band[k] = f[k]->band;
        s.low[k] = f[k]->low;
    }
    s.inL = left;
    s.inR = right;
    s.hpL = bufferHP[0], s.hpR = bufferHP[1];
    s.bpL = bufferBP[0], s.bpR = bufferBP[1];
    s.lpL = bufferLP[0], s.lpR = bufferLP[1];
    s.run(m);
    for (int k = 0; k < 4; ++k) {
        f[k]->band = s.band[k];
        f[k]->low = s.low[k];
        f[k]->recoverState();
    }
}

void BandSplitFilter3::mix(float* left, float* right, int frames)
{
    const int m = std::min(frames, kMaxFrames);
    const float gLP = fGainLP, gBP = fGainBP, gHP = fGainHP;
    float* const out[2] = {left, right};
    for (int ch = 0; ch < 2; ++ch) {
        float* __restrict o = out[ch];
        const float* __restrict lp = bufferLP[ch];
        const float* __restrict bp = bufferBP[ch];
        const float* __restrict hp = bufferHP[ch];
        for (int i = 0; i < m; ++i)
            o[i] = lp[i] * gLP + bp[i] * gBP + hp[i] * gHP;
    }
}
