#include "dsp/BandSplitFilter3.h"

#include <algorithm>
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

void BandSplitFilter3::split(const float* left, const float* right, int frames)
{
    const int m = std::min(frames, kMaxFrames);
    if (m <= 0)
        return;
    // The four filters run in one loop: each has its own state and depends
    // only on its own input sample, so the result equals four passes, while
    // their recursions overlap in the pipeline.
    SVFilter4Pole1 &hl = hpf[0], &hr = hpf[1], &ll = lpf[0], &lr = lpf[1];
    const float hcf = hl.cf, hcq = hl.cq, hgain = hl.booster;
    const float lcf = ll.cf, lcq = ll.cq, lgain = ll.booster;
    // Both filters of a pair always get the same cutoff, hence the same coefficients.
    float hlb = hl.band, hll = hl.low, hrb = hr.band, hrl = hr.low;
    float llb = ll.band, lll = ll.low, lrb = lr.band, lrl = lr.low;
    const float* __restrict inL = left;
    const float* __restrict inR = right;
    float* __restrict hpL = bufferHP[0];
    float* __restrict hpR = bufferHP[1];
    float* __restrict bpL = bufferBP[0];
    float* __restrict bpR = bufferBP[1];
    float* __restrict lpL = bufferLP[0];
    float* __restrict lpR = bufferLP[1];
    for (int i = 0; i < m; ++i) {
        const float xl = inL[i], xr = inR[i];
        const float yl = SVFilter4Pole1::step(xl, hcf, hcq, hlb, hll).high * hgain;
        const float yr = SVFilter4Pole1::step(xr, hcf, hcq, hrb, hrl).high * hgain;
        hpL[i] = yl;
        hpR[i] = yr;
        const float restL = xl - yl, restR = xr - yr;
        const float zl = SVFilter4Pole1::step(restL, lcf, lcq, llb, lll).low * lgain;
        const float zr = SVFilter4Pole1::step(restR, lcf, lcq, lrb, lrl).low * lgain;
        lpL[i] = zl;
        lpR[i] = zr;
        bpL[i] = restL - zl;
        bpR[i] = restR - zr;
    }
    hl.band = hlb, hl.low = hll, hr.band = hrb, hr.low = hrl;
    ll.band = llb, ll.low = lll, lr.band = lrb, lr.low = lrl;
    for (SVFilter4Pole1* f : {&hl, &hr, &ll, &lr})
        f->recoverState();
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
