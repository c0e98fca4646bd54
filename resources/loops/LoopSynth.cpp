#include "LoopSynth.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace loops {
namespace {

constexpr double kPi = 3.14159265358979323846;

// SplitMix64: a small, fully specified generator, so the loops never depend on a
// library's random engine.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
    double signedUniform() { return uniform() * 2.0 - 1.0; }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }

private:
    std::uint64_t state_;
};

double noteHz(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// Constant-power gains for a position from -1 (left) to 1 (right).
std::array<double, 2> panGains(double position) {
    const double angle = (position + 1.0) * kPi / 4.0;
    return {std::cos(angle), std::sin(angle)};
}

// A soft saw: the first harmonics only, so nothing aliases at any pitch used here.
double softSaw(double phase) {
    // sin(h x) by the recurrence s(h+1) = 2 cos(x) s(h) - s(h-1): one sine and one cosine
    // instead of six sines.
    const double x = 2.0 * kPi * phase;
    const double twoCos = 2.0 * std::cos(x);
    double previous = 0.0, current = std::sin(x), sum = 0.0;
    for (int h = 1; h <= 6; ++h) {
        sum += current / h;
        const double next = twoCos * current - previous;
        previous = current;
        current = next;
    }
    return sum * 0.55;
}

// Rises over `attack` seconds, falls to silence at `length`.
double envelope(double t, double attack, double length) {
    if (t < 0.0 || t >= length) return 0.0;
    const double rise = std::min(1.0, t / attack);
    const double fall = std::min(1.0, (length - t) / 0.05);
    return rise * fall;
}

struct Voice {
    std::vector<double> left, right;
    explicit Voice(std::size_t frames) : left(frames, 0.0), right(frames, 0.0) {}
};

} // namespace

StereoLoop synthesize(int number) {
    Random random(0x56594B0000000000ull + static_cast<std::uint64_t>(number));
    static constexpr std::array<double, 5> kTempos{100.0, 110.0, 120.0, 128.0, 140.0};
    const int beats = (number / 5) % 2 == 0 ? 4 : 6;
    const double beat = 60.0 / kTempos[static_cast<std::size_t>(number % 5)];
    const auto frames = static_cast<std::size_t>(std::lround(beats * beat * kSampleRate));
    const int key = 45 + random.below(12); // A2 .. G#3
    const int lead = (number - 1) % 5;     // the layer that leads this loop
    auto level = [&](int layer) { return layer == lead ? 1.0 : 0.35 + 0.3 * random.uniform(); };

    Voice mix(frames);
    auto add = [&](std::size_t i, double l, double r) {
        mix.left[i] += l;
        mix.right[i] += r;
    };

    // Chord pad: a triad a beat pair long, its three notes at left, centre and right.
    static constexpr std::array<std::array<int, 3>, 4> kChords{{{0, 4, 7}, {5, 9, 12}, {7, 11, 14}, {-3, 0, 4}}};
    const double padLevel = level(0) * 0.18;
    const double spread = 0.6 + 0.4 * random.uniform();
    for (int step = 0; step < beats / 2; ++step) {
        const auto& chord = kChords[static_cast<std::size_t>((step + number) % 4)];
        for (int n = 0; n < 3; ++n) {
            const double hz = noteHz(key + 12 + chord[static_cast<std::size_t>(n)]);
            const auto gains = panGains((n - 1) * spread);
            const double start = step * 2 * beat;
            for (std::size_t i = static_cast<std::size_t>(start * kSampleRate); i < frames; ++i) {
                const double t = static_cast<double>(i) / kSampleRate - start;
                const double e = envelope(t, 0.08, 2 * beat);
                if (e == 0.0) break;
                const double s = padLevel * e * softSaw(hz * t);
                add(i, s * gains[0], s * gains[1]);
            }
        }
    }

    // One-sided pulse: a decaying blip on every beat, left for odd loops, right for even.
    const double pulseLevel = level(1) * 0.5;
    const double pulseHz = 700.0 + 500.0 * random.uniform();
    const bool leftSide = number % 2 == 1;
    for (int b = 0; b < beats; ++b)
        for (std::size_t i = static_cast<std::size_t>(b * beat * kSampleRate), k = 0; i < frames && k < 4800;
             ++i, ++k) {
            const double t = static_cast<double>(k) / kSampleRate;
            const double s = pulseLevel * std::exp(-t / 0.025) * std::sin(2.0 * kPi * pulseHz * t);
            add(i, leftSide ? s : 0.0, leftSide ? 0.0 : s);
        }

    // Wide detuned pair: the same note a few cents apart, hard left and hard right.
    const double pairLevel = level(2) * 0.2;
    const double pairHz = noteHz(key + 24 + 7);
    const double detune = 1.0 + (0.004 + 0.006 * random.uniform());
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double e = envelope(t, 0.2, static_cast<double>(frames) / kSampleRate);
        add(i, pairLevel * e * softSaw(pairHz * t), pairLevel * e * softSaw(pairHz * detune * t));
    }

    // Mono bass: the key's root an octave down, the same in both channels, on the beat.
    const double bassLevel = level(3) * 0.45;
    const double bassHz = noteHz(key - 12);
    for (int b = 0; b < beats; ++b)
        for (std::size_t i = static_cast<std::size_t>(b * beat * kSampleRate), k = 0; i < frames; ++i, ++k) {
            const double t = static_cast<double>(k) / kSampleRate;
            const double e = envelope(t, 0.005, beat * 0.8);
            if (e == 0.0) break;
            const double s = bassLevel * e * std::exp(-t / (beat * 0.5)) * std::sin(2.0 * kPi * bassHz * t);
            add(i, s, s);
        }

    // Anti-phase noise: bright hits on the off-beats, the right channel the left inverted.
    const double noiseLevel = level(4) * 0.3;
    for (int b = 0; b < beats; ++b) {
        double previous = 0.0;
        const auto start = static_cast<std::size_t>((b + 0.5) * beat * kSampleRate);
        for (std::size_t i = start, k = 0; i < frames && k < 6000; ++i, ++k) {
            const double white = random.signedUniform();
            const double bright = white - previous; // a first difference tilts it upward
            previous = white;
            const double s = noiseLevel * std::exp(-static_cast<double>(k) / kSampleRate / 0.03) * bright;
            add(i, s, -s);
        }
    }

    double peak = 0.0;
    for (std::size_t i = 0; i < frames; ++i) peak = std::max({peak, std::fabs(mix.left[i]), std::fabs(mix.right[i])});
    const double gain = peak > 0.0 ? 0.7079 / peak : 0.0; // -3 dBFS
    StereoLoop loop;
    loop.left.resize(frames);
    loop.right.resize(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        loop.left[i] = static_cast<float>(mix.left[i] * gain);
        loop.right[i] = static_cast<float>(mix.right[i] * gain);
    }
    return loop;
}

} // namespace loops
