#pragma once
#include "dsp/NoiseOscillator.h"

#include <atomic>
#include <cstdint>

// Wavetable LFO configuration with the process-wide lookup tables. The first
// Modulator constructed builds the tables (once per process, thread-safe);
// they are read-only afterwards. Its live use is getValueFrequencyScaled,
// which maps a split position to a filter coefficient.
class Modulator {
public:
    static constexpr int kTableSize = 4096;
    static constexpr int kStoredTables = 66;

    Modulator();
    ~Modulator();
    Modulator(const Modulator&) = delete;
    Modulator& operator=(const Modulator&) = delete;

    // Counts this modulator and makes sure the tables exist, then puts the
    // oscillator in its start state (mode 1, phase 0, 1 Hz, gain 0.5, waveSine).
    void init();

    void setSamplerate(float sr); // 0 (or not finite and positive) is ignored
    float getSamplerate() const { return fSamplerate; }
    void setMode(int m) { lMode = m; }
    int getMode() const { return lMode; }
    // Cycle position; negative (or NaN) gives 0.
    void setPhase(float p);
    float getPhase() const;
    // Limited to 0..samplerate - 1.
    void setFrequency(float f);
    float getFrequency() const { return fFrequency; }
    void setGain(float g); // limited to -1..1
    float getGain() const { return fGain; }
    void setShape(float s); // limited to 0..1
    float getShape() const { return fShape; }
    void setNumCycles(int n) { numCycles = n; }
    int getNumCycles() const { return numCycles; }
    // Back to the start of the cycle.
    void retrigger() { setPhase(0); }
    // 0..64: table_sine and the i-th of table_tri, table_saw, table_sqr,
    // table_03 .. table_64; anything else: waveSine for both.
    void setTable(int i);
    // n must be a power of two from 1 to 2^24; anything else is ignored.
    void setTables(const float* a, const float* b, int n);
    const float* getTable1() const { return waveTable1; }
    const float* getTable2() const { return waveTable2; }
    float getPhaseIncrement() const { return sicvt; }
    int64_t getIndexShift() const { return lobits; }
    const NoiseOscillator& getNoise() const { return noise; }

    // Maps a normalised position (sign kept) onto waveRampLogUp: 0 maps to 0,
    // |x| >= 1 to 1. Needs the tables, i.e. one Modulator constructed first.
    static float getValueFrequencyScaled(float x);

    // Modulators constructed and not yet destroyed.
    static int64_t getCount() { return count.load(std::memory_order_relaxed); }

    // The shared tables; written once by the first Modulator, then read-only.
    static inline float maxFrequency = 22050;
    static inline float freqTable[128];
    static inline float freqFactors[128];
    static inline float waveSine[kTableSize];
    static inline float waveSaw[kTableSize];
    static inline float waveSineSquar[kTableSize];
    static inline float waveSineQuad[kTableSize];
    static inline float waveRampLinUp[kTableSize];
    static inline float waveRampLinDown[kTableSize];
    static inline float waveRampExponUp[kTableSize];
    static inline float waveRampExponDown[kTableSize];
    static inline float wave100[kTableSize];
    static inline float waveRampLogUp[kTableSize];
    static inline float waveRampLogDown[kTableSize];
    // table_sine, table_tri, table_saw, table_sqr, table_03 .. table_64.
    static inline float storedTables[kStoredTables][kTableSize];

private:
    static void buildTables();
    static void buildStoredTables();

    static inline std::atomic<int64_t> count{0};

    NoiseOscillator noise;
    int lMode = 9;
    float fSamplerate = 48000;
    float fFrequency = 1.0f;
    float fGain = 1.0f;
    float fShape = 1.0f;
    float sicvt = 16777216.0f / 48000.0f;
    int64_t lobits = 12;
    int64_t phase = 0;
    int numCycles = 0;
    const float* waveTable1 = nullptr;
    const float* waveTable2 = nullptr;
};
