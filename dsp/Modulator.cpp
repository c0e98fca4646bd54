#include "dsp/Modulator.h"

#include <algorithm>
#include <cmath>
#include <mutex>

Modulator::Modulator() {
    setSamplerate(48000);
    init();
}

Modulator::~Modulator() { count.fetch_sub(1, std::memory_order_relaxed); }

void Modulator::init() {
    // Built once per process: later modulators (and a count returning to 0)
    // find the same values, and no thread ever sees a table being written.
    static std::once_flag built;
    std::call_once(built, [] {
        buildTables();
        buildStoredTables();
    });
    count.fetch_add(1, std::memory_order_relaxed);
    lobits = 12;
    setMode(1);
    setPhase(0);
    setFrequency(1.0f);
    setGain(0.5f);
    retrigger();
    setTable(65);
}

void Modulator::buildTables() {
    const double r = 1.059463094359;
    double f = 6.875 * r * r;
    for (float& entry : freqTable) {
        f *= r;
        entry = static_cast<float>(f);
    }
    for (int k = 0; k < 128; ++k) freqFactors[k] = freqTable[k] / freqTable[60];

    const float step = 0.00024414063f;
    const float twoPi = 6.2831855f;
    for (int i = 0; i < kTableSize; ++i) {
        const float x = static_cast<float>(i) * step;
        const float s = std::sin(twoPi * x);
        const float root8 = std::sqrt(std::sqrt(std::sqrt(std::fabs(s))));
        waveSine[i] = (s + 1) * 0.5f;
        waveSaw[i] = 1 - x;
        waveSineSquar[i] = i < kTableSize / 2 ? (1 + root8) * 0.5f : (1 - root8) * 0.5f;
        waveSineQuad[i] = (s * s * s + 1) * 0.5f;
        waveRampLinUp[i] = x;
        waveRampLinDown[i] = 1 - x;
        waveRampExponUp[i] = x * x * x;
    }
    for (int i = 0; i < kTableSize; ++i) waveRampExponDown[i] = waveRampExponUp[kTableSize - 1 - i];

    maxFrequency = 440.0f * std::pow(2.0f, 5.0f);
    for (int i = 0; i < kTableSize; ++i) {
        const float x = static_cast<float>(i) * step;
        wave100[i] = 440.0f * std::pow(2.0f, 10.0f * x - 5.0f);
        waveRampLogUp[i] = wave100[i] / maxFrequency * x;
    }
    for (int i = 0; i < kTableSize; ++i) waveRampLogDown[i] = waveRampLogUp[kTableSize - 1 - i];
}

void Modulator::setSamplerate(float sr) {
    if (!(sr > 0) || !std::isfinite(sr)) return;
    fSamplerate = sr;
    sicvt = 16777216.0f / sr;
}

void Modulator::setPhase(float p) {
    // Beyond 2^38 cycles the fixed-point phase would overflow.
    const float limit = 274877906944.0f;
    phase = p >= 0 ? static_cast<int64_t>(16777216.0f * std::min(p, limit)) : 0;
}

float Modulator::getPhase() const { return static_cast<float>(phase) / 16777216.0f; }

void Modulator::setFrequency(float f) {
    if (f != f) return;
    fFrequency = f;
    if (fFrequency < 0) fFrequency = 0;
    if (fFrequency >= fSamplerate) fFrequency = fSamplerate - 1;
}

void Modulator::setGain(float g) {
    if (g != g) return;
    fGain = std::clamp(g, -1.0f, 1.0f);
}

void Modulator::setShape(float s) {
    if (s != s) return;
    fShape = std::clamp(s, 0.0f, 1.0f);
}

void Modulator::setTable(int i) {
    if (i >= 0 && i <= 64) {
        waveTable1 = storedTables[0];
        waveTable2 = storedTables[i + 1];
    } else {
        waveTable1 = waveSine;
        waveTable2 = waveSine;
    }
}

void Modulator::setTables(const float* a, const float* b, int n) {
    if (n <= 0 || n > 16777216 || (n & (n - 1)) != 0) return;
    waveTable1 = a;
    waveTable2 = b;
    int64_t shift = 24;
    while (n > 1) {
        n >>= 1;
        --shift;
    }
    lobits = shift;
}

float Modulator::getValueFrequencyScaled(float x) {
    // |x| is limited first, so a NaN or huge position cannot overflow the index.
    float magnitude = std::fabs(x);
    if (!(magnitude <= 1)) magnitude = magnitude > 1 ? 1 : 0;
    const int i = static_cast<int>(magnitude * 4096.0f);
    const float v = i >= kTableSize ? 1.0f : waveRampLogUp[i];
    return x < 0 ? -v : v;
}
