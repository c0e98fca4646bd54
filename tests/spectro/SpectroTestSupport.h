#pragma once
// Independent models and signals for the spectral tests.
#include <cmath>
#include <complex>
#include <random>
#include <vector>

#include "dsp/spectro/FFTBase.h"

namespace spectro_test {

// Plain O(n^2) double-precision DFT with the FFT's conventions: sign -1 is
// e^-iwn, no scaling, interleaved (re, im).
inline std::vector<double> dft(const std::vector<float>& data, int sign) {
    const size_t n = data.size() / 2;
    std::vector<std::complex<double>> twiddle(n);
    for (size_t m = 0; m < n; m++)
        twiddle[m] = std::polar(1.0, sign * 2.0 * M_PI * static_cast<double>(m) / static_cast<double>(n));
    std::vector<double> out(2 * n);
    for (size_t k = 0; k < n; k++) {
        std::complex<double> sum = 0;
        size_t m = 0; // (k * t) mod n
        for (size_t t = 0; t < n; t++) {
            sum += std::complex<double>(data[2 * t], data[2 * t + 1]) * twiddle[m];
            m += k;
            if (m >= n) m -= n;
        }
        out[2 * k] = sum.real();
        out[2 * k + 1] = sum.imag();
    }
    return out;
}

inline std::vector<float> noise(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> d(-1.0f, 1.0f);
    std::vector<float> v(n);
    for (float& x : v) x = d(rng);
    return v;
}

inline std::vector<float> sine(size_t n, double frequency, double samplerate, double amplitude = 1.0) {
    std::vector<float> v(n);
    for (size_t i = 0; i < n; i++)
        v[i] = static_cast<float>(amplitude * std::sin(2.0 * M_PI * frequency * static_cast<double>(i) / samplerate));
    return v;
}

// The base's plain resynthesis: window, transform, analyse, transform back and
// overlap-add, in place.
class Resynthesis : public SPECTRO::FFTBase {
public:
    using FFTBase::fft;
    using FFTBase::FFTBase;
    void process(float* io, int n) override {
        for (int i = 0; i < n; i++) io[i] = stream(io[i]);
    }
    void onBufferReady() override {
        frames++;
        buffer2complex(nullptr, nullptr);
        complex2frequencies(nullptr);
        complex2buffer(nullptr, nullptr);
    }
    int frames = 0;
};

// Largest |a - b| over the samples from `from` on, with b delayed by `delay`
// and scaled by `gain`.
inline double delayedError(const std::vector<float>& out, const std::vector<float>& in, int delay, double gain,
                           size_t from) {
    double e = 0;
    for (size_t i = from; i < out.size(); i++) e = std::max(e, std::abs(out[i] - gain * in[i - delay]));
    return e;
}

// Amplitude of the component at `frequency` in x[from, from + n), from a
// Hann-windowed single-bin DFT in double precision.
inline double amplitudeAt(const std::vector<float>& x, size_t from, size_t n, double frequency, double samplerate) {
    std::complex<double> sum = 0;
    double weight = 0;
    for (size_t i = 0; i < n; i++) {
        const double w = 0.5 - 0.5 * std::cos(2.0 * M_PI * static_cast<double>(i) / static_cast<double>(n));
        sum += w * static_cast<double>(x[from + i]) *
               std::polar(1.0, -2.0 * M_PI * frequency * static_cast<double>(i) / samplerate);
        weight += w;
    }
    return 2.0 * std::abs(sum) / weight;
}

inline double rms(const std::vector<float>& x, size_t from) {
    double s = 0;
    for (size_t i = from; i < x.size(); i++) s += static_cast<double>(x[i]) * x[i];
    return std::sqrt(s / static_cast<double>(x.size() - from));
}

} // namespace spectro_test
