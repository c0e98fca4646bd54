#pragma once
// The chromatic filter with per-tone spectral processing modes: 0 shifts each
// tone's pitch, 1 scales its magnitudes over re-mapped bins, 2 filters keeping
// the analysed phases, 3 is the plain chromatic filter, 4 (and any other
// value) leaves the spectrum unchanged.
// Modes 0 to 2 take each bin's factor from the filter's gains; the pitch
// setters fill `pitches`, which no mode reads.
// A library class: nothing in the system constructs one.
// Thread rules: one thread per instance; analysis allocates bin records.
#include "dsp/Interpolator2.h"
#include "dsp/spectro/ChromaticFilter.h"

namespace SPECTRO {

class ChromaticPitch : public ChromaticFilter {
public:
    ChromaticPitch(int size, int overlap, float samplerate);

    void init() override;
    void onBufferReady() override;
    void onComplex(float* c) override;
    void setChromaticFilterRange(int from, int to, float outside) override;
    void setOutsideRange(float v) override;

    virtual void setMode(int m) { mode = m; }
    virtual int getMode() { return mode; }
    // p holds at least 131 values indexed by tone.
    virtual void setChromaticPitches(float* p, float range);
    // p > 0: p * range; p < 0: 1 + p + 1 / range; p = 0: 1. A range of 0 or
    // less counts as 1.
    virtual void setChromaticPitch(int note, float p, float range);
    virtual void shiftPitches();
    virtual void shiftMagnitudes();
    virtual void filter2();

    void setUseUpdateRate(bool on) { useUpdateRate = on; }
    float getPitch(int tone) const { return pitches[tone]; }

protected:
    static float pitchRatio(float p, float range);
    // Zeroes DC and the shifted arrays; false when a buffer or the map is missing.
    bool beginShift();
    // Files source bin s (if valid) at bin j, with frequency scaled by fScale
    // and magnitude by mScale; blank above half the sample rate.
    void pull(int j, float f, float fScale, float mScale);

    DynaBuffer shiftedFrequencies;
    DynaBuffer shiftedMagnitudes;
    DynaBuffer phaseSums;
    float pitches[Scala::toneCount];
    bool useUpdateRate = false;
    int32_t mode = 4;
};

} // namespace SPECTRO
