#include "dsp/SVFilter4Pole1.h"

#include <cmath>

void SVFilter4Pole1::reset() {
    cutoff = resonance = booster = cf = cq = band = low = 0;
    fCutoff = 0.5f;
    fResonance = 0;
    processParameters();
}

void SVFilter4Pole1::setCutoff(float c) {
    fCutoff = c;
    processParameters();
}

void SVFilter4Pole1::processParameters() {
    float c = Modulator::getValueFrequencyScaled(fCutoff);
    if (static_cast<double>(c) < 0.0012)
        c = 0.0012f;
    else if (c > 1)
        c = 1;
    float r = fResonance;
    if (r < 0)
        r = 0;
    else if (r > 1)
        r = 1;
    if (c == cutoff && r == resonance) return;
    cutoff = c;
    resonance = r;
    const float R = r * r + 0.05f;
    booster = 0.7f + (1 - R);
    cf = c;
    cq = 1 / (R * (1 + (1 - c)) * 25);
}

void SVFilter4Pole1::recoverState() {
    if (!std::isfinite(band) || !std::isfinite(low)) band = low = 0;
}

void SVFilter4Pole1::processSampleLP(float* x) { *x = step(*x, cf, cq, band, low).low * booster; }

void SVFilter4Pole1::processSampleHP(float* x) { *x = step(*x, cf, cq, band, low).high * booster; }

void SVFilter4Pole1::processSampleLP(const float* in, float* out, float* rest) {
    const float x = *in;
    const float y = step(x, cf, cq, band, low).low * booster;
    *out = y;
    *rest = x - y;
}

void SVFilter4Pole1::processSampleHP(const float* in, float* out, float* rest) {
    const float x = *in;
    const float y = step(x, cf, cq, band, low).high * booster;
    *out = y;
    *rest = x - y;
}

template <bool High>
void SVFilter4Pole1::processBuffer(const float* in, float* out, float* rest, int frames) {
    // Locals, because the sample stores could otherwise alias the members.
    const float f = cf, q = cq, gain = booster;
    float b = band, l = low;
    for (int i = 0; i < frames; ++i) {
        const float x = in[i];
        const Output o = step(x, f, q, b, l);
        const float y = (High ? o.high : o.low) * gain;
        out[i] = y;
        rest[i] = x - y;
    }
    band = b;
    low = l;
    recoverState();
}

void SVFilter4Pole1::processBufferLP(const float* in, float* out, float* rest, int frames) {
    processBuffer<false>(in, out, rest, frames);
}

void SVFilter4Pole1::processBufferHP(const float* in, float* out, float* rest, int frames) {
    processBuffer<true>(in, out, rest, frames);
}
