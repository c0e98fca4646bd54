#include "dsp/BandSplitFilter3.h"

#include <algorithm>
#include <cstring>

BandSplitFilter3::BandSplitFilter3() {
    setSamplerate(48000);
    reset();
    setCutoff1(0.333f);
    setCutoff2(0.666f);
}

void BandSplitFilter3::setSamplerate(float sr) {
    fSamplerate = sr;
    for (SVFilter4Pole1& f : hpf) f.setSamplerate(sr);
    for (SVFilter4Pole1& f : lpf) f.setSamplerate(sr);
}

void BandSplitFilter3::setCutoff1(float c) {
    if (!(c >= 0 && c <= 1)) return;
    fCutoff1 = std::min(c, fCutoff2);
    lpf[0].setCutoff(fCutoff1);
    lpf[1].setCutoff(fCutoff1);
}

void BandSplitFilter3::setCutoff2(float c) {
    if (!(c >= 0 && c <= 1)) return;
    fCutoff2 = std::max(c, fCutoff1);
    hpf[0].setCutoff(fCutoff2);
    hpf[1].setCutoff(fCutoff2);
}

void BandSplitFilter3::init() {
    clear();
    for (int ch = 0; ch < 2; ++ch) {
        hpf[ch].reset();
        lpf[ch].reset();
        // A reset filter runs at 0.5; put it back at the split point.
        hpf[ch].setCutoff(fCutoff2);
        lpf[ch].setCutoff(fCutoff1);
    }
}

void BandSplitFilter3::clear() {
    std::memset(bufferLP, 0, sizeof bufferLP);
    std::memset(bufferHP, 0, sizeof bufferHP);
    std::memset(bufferBP, 0, sizeof bufferBP);
}

void BandSplitFilter3::split(const float* left, const float* right, int frames) {
    splitWith(left, right, frames, [](int) {});
}

LanePackedSplit BandSplitFilter3::loadLanes(const float* left, const float* right) {
    const SVFilter4Pole1* const f[4] = {&hpf[0], &hpf[1], &lpf[0], &lpf[1]};
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
    return s;
}

void BandSplitFilter3::storeLanes(const LanePackedSplit& s) {
    SVFilter4Pole1* const f[4] = {&hpf[0], &hpf[1], &lpf[0], &lpf[1]};
    for (int k = 0; k < 4; ++k) {
        f[k]->band = s.band[k];
        f[k]->low = s.low[k];
        f[k]->recoverState();
    }
}

void BandSplitFilter3::mix(float* left, float* right, int frames) {
    const int m = std::min(frames, kMaxFrames);
    const float gLP = fGainLP, gBP = fGainBP, gHP = fGainHP;
    float* const out[2] = {left, right};
    for (int ch = 0; ch < 2; ++ch) {
        float* __restrict o = out[ch];
        const float* __restrict lp = bufferLP[ch];
        const float* __restrict bp = bufferBP[ch];
        const float* __restrict hp = bufferHP[ch];
        for (int i = 0; i < m; ++i) o[i] = lp[i] * gLP + bp[i] * gBP + hp[i] * gHP;
    }
}
