#pragma once
// The host's demonstration loops, synthesised from their number alone (1 to 80), so
// every build makes the same audio. Each loop holds the stereo situations the effect
// works on: a chord pad panned across the field, a pulse on one side only, a wide
// detuned pair, a bass in mono and noise hits in anti-phase; the loop's number chooses
// tempo, key, length and which of these leads.
#include <vector>

namespace loops {

constexpr int kSampleRate = 48000;
constexpr int kLoopCount = 80;
// -1 dBFS: the most a loop may reach once decoded, so neither a sound card nor the
// host's WAV output clips it.
constexpr double kDecodedPeakCeiling = 0.89125093813374556;

struct StereoLoop {
    std::vector<float> left;
    std::vector<float> right;
};

// Between about 1.7 and 3.6 seconds, peaks at -3 dBFS.
StereoLoop synthesize(int number);

} // namespace loops
