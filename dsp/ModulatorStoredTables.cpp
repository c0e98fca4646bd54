// The 66 stored single-cycle waveforms of Modulator, generated once at start-up
// from closed formulas: a near-sine, a triangle, a saw, a soft square and 62
// additive waveforms of up to 26 harmonics (hence at most 52 zero crossings).
// Each is scaled to a peak of 1 and has no DC component.
#include "dsp/Modulator.h"

#include <cmath>
#include <functional>
#include <vector>

namespace {

constexpr int N = Modulator::kTableSize;
constexpr double kTwoPi = 6.283185307179586;

using Shape = std::function<double(double theta)>;

// Samples one cycle of `shape` starting at phase `offset` and scales it to peak 1.
void sampleCycle(const Shape& shape, double offset, float* table) {
    double samples[N];
    double peak = 0;
    for (int i = 0; i < N; ++i) {
        samples[i] = shape(kTwoPi * i / N + offset);
        peak = std::max(peak, std::fabs(samples[i]));
    }
    for (int i = 0; i < N; ++i) table[i] = static_cast<float>(samples[i] / peak);
}

// The first phase at which `shape` rises through `level` (bisection after a scan).
double phaseAtLevel(const Shape& shape, double level) {
    const double step = kTwoPi / (16 * N);
    double lo = 0;
    while (!(shape(lo) < level && shape(lo + step) >= level)) lo += step;
    double hi = lo + step;
    for (int k = 0; k < 60; ++k) {
        const double mid = 0.5 * (lo + hi);
        (shape(mid) < level ? lo : hi) = mid;
    }
    return hi;
}

// Peak of `shape` over one cycle on a fine grid.
double peakOf(const Shape& shape) {
    double peak = 0;
    for (int i = 0; i < 16 * N; ++i) peak = std::max(peak, std::fabs(shape(kTwoPi * i / (16 * N))));
    return peak;
}

// Sum of a_n sin(n theta) for n = 1..a.size(), with the sines from the
// Chebyshev recurrence sin(n t) = 2 cos t sin((n-1) t) - sin((n-2) t).
Shape sineSeries(std::vector<double> a) {
    return [a = std::move(a)](double theta) {
        const double twoCos = 2 * std::cos(theta);
        double previous = 0, current = std::sin(theta), v = 0;
        for (double amplitude : a) {
            v += amplitude * current;
            const double next = twoCos * current - previous;
            previous = current;
            current = next;
        }
        return v;
    };
}

// Additive waveform j (0..61): harmonic count, slope and emphasis vary with j.
Shape additive(int j) {
    if (j == 60) {
        // Led by its 26th harmonic: the others sum to at most 0.38, so the
        // sign alternates at each of its 52 extremes: 52 zero crossings.
        std::vector<double> a(26);
        for (int n = 1; n < 26; ++n) a[static_cast<size_t>(n - 1)] = 0.1 / n;
        a[25] = 1;
        return sineSeries(std::move(a));
    }
    const int harmonics = 3 + (j * 7) % 24;
    const double slope = (j % 5) * 0.5 - 0.5; // below 0 the top harmonics dominate
    const int kind = j % 3;                   // 0 all harmonics, 1 odd only, 2 even ones stressed
    std::vector<double> a(static_cast<size_t>(harmonics));
    for (int n = 1; n <= harmonics; ++n) {
        double& amplitude = a[static_cast<size_t>(n - 1)];
        if (kind == 1 && n % 2 == 0) continue;
        amplitude = std::pow(n, -slope);
        if (kind == 2 && n % 2 == 0) amplitude *= 2;
        if ((n + j) % 4 == 0) amplitude = -amplitude;
    }
    return sineSeries(std::move(a));
}

} // namespace

void Modulator::buildStoredTables() {
    // Near-sine with a small offset: 0.0105 at the start, 0.9988 at a quarter,
    // -1.0 at three quarters.
    const double dc = -0.0006, cosPart = 0.9994, sinPart = 0.0111;
    const double amplitude = std::hypot(cosPart, sinPart);
    const double phi = std::atan2(sinPart, cosPart);
    for (int i = 0; i < N; ++i)
        storedTables[0][i] = static_cast<float>(amplitude * std::sin(kTwoPi * i / N + phi) + dc);

    sampleCycle([](double t) { return std::asin(std::sin(t)) / (kTwoPi / 4); }, 0, storedTables[1]);
    sampleCycle(
        [](double t) {
            const double x = std::fmod(t / kTwoPi, 1.0);
            return x < 0.5 ? 2 * x : 2 * x - 2;
        },
        0, storedTables[2]);

    // Soft square, entered on its rising edge at 0.514.
    const double k = 8;
    const Shape square = [k](double t) { return std::tanh(k * std::sin(t)) / std::tanh(k); };
    sampleCycle(square, std::asin(std::atanh(0.514 * std::tanh(k)) / k), storedTables[3]);

    for (int j = 0; j < 62; ++j) {
        const Shape shape = additive(j);
        const bool isTable57 = j + 3 == 57; // entered at 0.356 instead of 0
        const double offset = isTable57 ? phaseAtLevel(shape, 0.356 * peakOf(shape)) : 0;
        sampleCycle(shape, offset, storedTables[4 + j]);
    }
}
