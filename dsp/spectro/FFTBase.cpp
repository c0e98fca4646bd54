#include "dsp/spectro/FFTBase.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <utility>

namespace SPECTRO {

namespace {

constexpr int minSize = 4;
constexpr int maxSize = 65536;

bool isPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

int roundUpToPowerOfTwo(int n, int lo, int hi) {
    int p = lo;
    while (p < n && p < hi) p *= 2;
    return p;
}

int roundDownToPowerOfTwo(int n, int hi) {
    int p = 1;
    while (p * 2 <= n && p * 2 <= hi) p *= 2;
    return p;
}

bool isZeroOrSubnormal(float v) { return std::fpclassify(v) == FP_ZERO || std::fpclassify(v) == FP_SUBNORMAL; }

} // namespace

int round1(float x) {
    const float r = std::floor(x + 0.5f);
    if (!(r == r)) return 0;
    if (r >= 2147483520.0f) // the largest float below 2^31
        return INT_MAX;
    if (r <= -2147483648.0f) return INT_MIN;
    return static_cast<int>(r);
}

FFTBase::FFTBase(int size, int overlap, float samplerate)
    : lFrameSize(roundUpToPowerOfTwo(size, minSize, maxSize)), fSamplerate(samplerate) {
    lOverlap = roundDownToPowerOfTwo(overlap, lFrameSize);
    initBase(); // construction is not finished: the base's own init
}

void FFTBase::setSamplerate(float samplerate) {
    fSamplerate = samplerate;
    freqPerBin = fSamplerate / fftFrameSize;
}

void FFTBase::setSize(int size) {
    if (!isPowerOfTwo(size) || size < minSize || size > maxSize) return;
    lFrameSize = size;
    if (lOverlap > size) lOverlap = size;
    init();
}

void FFTBase::setOverlap(int overlap) {
    if (!isPowerOfTwo(overlap) || overlap > lFrameSize) return;
    lOverlap = overlap;
    init();
}

void FFTBase::init() { initBase(); }

void FFTBase::initBase() {
    fftFrameSize = lFrameSize;
    fftFrameSize2 = lFrameSize / 2;
    _2fftFrameSize = 2 * lFrameSize;
    osamp = lOverlap;

    window.ensure(fftFrameSize);
    complex.ensure(2 * (fftFrameSize + 1));
    input.ensure(fftFrameSize);
    output.ensure(fftFrameSize);
    for (DynaBuffer* b : {&frequencies, &magnitudes, &magnitudes_norm, &magnitudes_peaks, &phases})
        b->ensure(fftFrameSize2 + 1);
    resynth.ensure(_2fftFrameSize);

    if (float* w = window.getBuffer(); w && window.getSize() >= fftFrameSize) {
        for (int k = 0; k < fftFrameSize; k++)
            w[k] = -0.5f * std::cos(TWO_PI * static_cast<float>(k) / static_cast<float>(fftFrameSize)) + 0.5f;
    }

    freqPerBin = fSamplerate / fftFrameSize;
    stepSize = fftFrameSize / lOverlap;
    expct = TWO_PI * static_cast<float>(stepSize) / static_cast<float>(fftFrameSize);
    inFifoLatency = fftFrameSize - stepSize;
    iterator = inFifoLatency;
    max = 1.0f;
}

bool FFTBase::hasStorage() {
    const auto holds = [](DynaBuffer& b, int n) { return b.getBuffer() && b.getSize() >= n; };
    return holds(window, fftFrameSize) && holds(complex, 2 * (fftFrameSize + 1)) && holds(input, fftFrameSize) &&
           holds(output, fftFrameSize) && holds(frequencies, fftFrameSize2 + 1) &&
           holds(magnitudes, fftFrameSize2 + 1) && holds(magnitudes_norm, fftFrameSize2 + 1) &&
           holds(magnitudes_peaks, fftFrameSize2 + 1) && holds(phases, fftFrameSize2 + 1) &&
           holds(resynth, _2fftFrameSize);
}

void FFTBase::clear() {
    for (DynaBuffer* b :
         {&complex, &input, &output, &frequencies, &magnitudes_norm, &magnitudes_peaks, &phases, &resynth})
        b->clear();
    iterator = inFifoLatency;
}

void FFTBase::fft(int sign, float* data) {
    if (!data) return;
    const int n2 = _2fftFrameSize;
    for (int i = 2; i < n2 - 2; i += 2) {
        int j = 0;
        for (int mask = 2; mask < n2; mask <<= 1) {
            if (i & mask) j++;
            j <<= 1;
        }
        if (i < j) {
            std::swap(data[i], data[j]);
            std::swap(data[i + 1], data[j + 1]);
        }
    }
    const int stages = static_cast<int>(std::log(static_cast<double>(fftFrameSize)) / std::log(2.0) + 0.5);
    for (int k = 0, le = 2; k < stages; k++) {
        le <<= 1;
        const int half = le >> 1;
        float ur = 1.0f;
        float ui = 0.0f;
        const float arg = PI / static_cast<float>(half >> 1);
        const float wr = std::cos(arg);
        const float wi = static_cast<float>(sign) * std::sin(arg);
        for (int j = 0; j < half; j += 2) {
            for (int i = j; i < n2; i += le) {
                float* p1 = data + i;
                float* p2 = p1 + half;
                const float tr = p2[0] * ur - p2[1] * ui;
                const float ti = p2[0] * ui + p2[1] * ur;
                p2[0] = p1[0] - tr;
                p2[1] = p1[1] - ti;
                p1[0] += tr;
                p1[1] += ti;
            }
            const float t = ur * wr - ui * wi;
            ui = ur * wi + ui * wr;
            ur = t;
        }
    }
}

void FFTBase::buffer2complex(float* in, float* out) {
    float* source = in ? in : input.getBuffer();
    float* target = out ? out : complex.getBuffer();
    const float* w = window.getBuffer();
    if (!w || !input.getBuffer() || !source || !target) return;
    for (int k = 0; k < fftFrameSize; k++) {
        target[2 * k] = source[k] * w[k];
        target[2 * k + 1] = 0.0f;
    }
    fft(-1, target);
}

void FFTBase::complex2frequencies(float* c) {
    if (!c) c = complex.getBuffer();
    float* mag = magnitudes.getBuffer();
    float* freq = frequencies.getBuffer();
    float* ph = phases.getBuffer();
    if (!c || !mag || !freq || !ph) return;
    for (int k = 0; k <= fftFrameSize2; k++) {
        const float re = c[2 * k];
        const float im = c[2 * k + 1];
        const float magnitude = 2.0f * std::sqrt(re * re + im * im);
        const float phase = std::atan2(im, re);
        float d = phase - ph[k];
        ph[k] = phase;
        d -= static_cast<float>(k) * expct;
        // Unwrap into -pi..pi; a non-finite difference (NaN input) counts as 0.
        if (!std::isfinite(d)) d = 0.0f;
        int q = static_cast<int>(d / PI);
        if (q >= 0)
            q += q & 1;
        else
            q -= q & 1;
        d -= PI * static_cast<float>(q);
        d = static_cast<float>(osamp) * d / TWO_PI;
        mag[k] = magnitude;
        freq[k] = static_cast<float>(k) * freqPerBin + d * freqPerBin;
    }
    onAnalysis(freq, mag);
}

void FFTBase::onAnalysis(float* freq, float* mag) {
    float* norm = magnitudes_norm.getBuffer();
    float* peaks = magnitudes_peaks.getBuffer();
    if (!freq || !mag || !norm || !peaks) return;
    float p = 1.0f;
    for (int k = 0; k <= fftFrameSize2; k++)
        if (mag[k] >= 0 && mag[k] > 1.0f && mag[k] > p) p = mag[k];
    if (p > max) max = p;
    for (int k = 0; k <= fftFrameSize2; k++) norm[k] = mag[k] / max;
    for (int k = 0; k <= fftFrameSize2; k++) {
        if (norm[k] >= peaks[k]) {
            peaks[k] = norm[k];
        } else {
            const float decayed = peaks[k] * 0.93f;
            peaks[k] = isZeroOrSubnormal(decayed) ? 0.0f : decayed;
        }
    }
    max -= 0.01f;
}

void FFTBase::frequencies2complex(float* mag, float* freq, float* phase, float* c) {
    mag = mag ? mag : magnitudes.getBuffer();
    freq = freq ? freq : frequencies.getBuffer();
    phase = phase ? phase : phases.getBuffer();
    c = c ? c : complex.getBuffer();
    if (!mag || !freq || !phase || !c) return;
    for (int k = 0; k <= fftFrameSize2; k++) {
        float d = (freq[k] - static_cast<float>(k) * freqPerBin) / freqPerBin;
        d = TWO_PI * d / static_cast<float>(osamp);
        d += static_cast<float>(k) * expct;
        phase[k] += d;
        c[2 * k] = mag[k] * std::cos(phase[k]);
        c[2 * k + 1] = mag[k] * std::sin(phase[k]);
    }
}

void FFTBase::complex2buffer(float* c, float* out) {
    if (!c) c = complex.getBuffer();
    float* sum = resynth.getBuffer();
    const float* w = window.getBuffer();
    if (!c || !sum || !w) return;
    onComplex(c);
    fft(+1, c);
    const float scale = static_cast<float>(fftFrameSize2 * osamp);
    for (int k = 0; k < fftFrameSize; k++) sum[k] += 2.0f * w[k] * c[2 * k] / scale;
    doOutput(out);
    shiftResyn();
}

void FFTBase::synthesizeShifted(const float* mag, const float* freq, float* phaseSums) {
    float* c = complex.getBuffer();
    if (!c || !mag || !freq || !phaseSums) return;
    for (int k = 0; k <= fftFrameSize2; k++) {
        const float kf = static_cast<float>(k);
        phaseSums[k] += ((freq[k] - kf * freqPerBin) / freqPerBin) * TWO_PI / static_cast<float>(osamp) + expct * kf;
        phaseSums[k] = std::remainder(phaseSums[k], TWO_PI);
        c[2 * k] = mag[k] * std::cos(phaseSums[k]);
        c[2 * k + 1] = mag[k] * std::sin(phaseSums[k]);
    }
    for (int i = fftFrameSize + 2; i < _2fftFrameSize; i++) c[i] = 0.0f;
}

void FFTBase::doOutput(float* out) {
    float* target = out ? out : output.getBuffer();
    if (target && resynth.getBuffer())
        std::memcpy(target, resynth.getBuffer(), sizeof(float) * static_cast<size_t>(stepSize));
}

void FFTBase::shiftResyn() {
    if (float* sum = resynth.getBuffer())
        std::memmove(sum, sum + stepSize, sizeof(float) * static_cast<size_t>(fftFrameSize));
}

void FFTBase::shiftInput(float* in) {
    if (float* target = in ? in : input.getBuffer())
        std::memmove(target, target + stepSize, sizeof(float) * static_cast<size_t>(inFifoLatency));
}

} // namespace SPECTRO
