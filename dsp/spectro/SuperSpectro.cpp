#include "dsp/spectro/SuperSpectro.h"

#include <algorithm>
#include <cmath>

namespace SPECTRO {

SuperSpectro::SuperSpectro(int size, int overlap, float samplerate) : FFTBase(size, overlap, samplerate) { init(); }

void SuperSpectro::init() {
    FFTBase::init();
    bandBuffer.ensure(2 * (fftFrameSize + 1));
}

void SuperSpectro::clear() {
    FFTBase::clear();
    bandBuffer.clear();
}

void SuperSpectro::process(float* io, int n) {
    if (!io || n <= 0 || !hasStorage() || !bandBuffer.getBuffer()) return;
    for (int i = 0; i < n; i++) io[i] = stream(io[i]);
}

void SuperSpectro::doOutput(float* out) {
    float* target = out ? out : output.getBuffer();
    const float* sum = resynth.getBuffer();
    if (!target || !sum) return;
    for (int k = 0; k < stepSize; k++) target[k] += sum[k];
}

void SuperSpectro::complex2buffer2(float* c, float) { complex2buffer(c, nullptr); }

float SuperSpectro::wavelet(float x, float s, float f0) {
    static const double two_pi_f0 = static_cast<double>(TWO_PI) * f0;
    const float a = s * f0;
    const double d = static_cast<double>(TWO_PI * x * a) - two_pi_f0;
    const float g = static_cast<float>(std::exp(-0.5 * d * d));
    return static_cast<float>(std::sqrt(a) * (1.8827925275534296 * g));
}

void SuperSpectro::onBufferReady() {
    const float pMax = fSamplerate / 110.0f;
    const float pMin = std::max(fSamplerate / 880.0f, 2.0f);
    buffer2complex(nullptr, nullptr);
    output.clear();
    // Below 220 Hz (or for a sample rate that is not a number) there are no bands.
    if (!(pMax - pMin >= 0.0f) || !std::isfinite(pMax)) return;
    const unsigned limit = static_cast<unsigned>(pMax - pMin) + 1;
    const double ratio = std::pow(static_cast<double>(pMax) / pMin, 1.0 / (pMax - pMin));
    const int n = lFrameSize;
    float* band = bandBuffer.getBuffer();
    const float* c = complex.getBuffer();
    const int bandLength = bandBuffer.getSize();
    unsigned count = 0;
    for (double P = pMin; P <= pMax; P *= ratio, count++) {
        bandBuffer.clear();
        const int lo = static_cast<int>(n * 0.9 / P);
        const int hi = static_cast<int>(n * 1.1 / P);
        if (count > limit) break;
        for (int k = lo; k < hi; k++) {
            if (2 * k >= bandLength) return;
            band[2 * k] = wavelet(static_cast<float>(k), static_cast<float>(P / n), 10.0f) * c[2 * k];
        }
        complex2buffer2(band, static_cast<float>(P));
    }
}

} // namespace SPECTRO
