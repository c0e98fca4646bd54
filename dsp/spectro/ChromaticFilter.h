#pragma once
// Spectral filter with one gain per chromatic tone: the analyser sorts the
// bins into the 140 tones (on analysed frames), every frame's bins are scaled
// by their tone's gain, and the frame is resynthesised in place of the input.
// A steady pass-through level needs an overlap of at least 4 (then 1.5 times
// the input, one frame late).
// A library class: nothing in the system constructs one.
// Thread rules: one thread per instance; analysis allocates bin records.
#include "dsp/spectro/Analyzer.h"

namespace SPECTRO {

class ChromaticFilter : public Analyzer {
public:
    ChromaticFilter(int size, int overlap, float samplerate);
    ~ChromaticFilter() override;

    using Analyzer::process;
    void process(float* io, int n) override;
    void onBufferReady() override;
    void onComplex(float* c) override;

    // Zeroes the gains of the notes outside from..to (inside when inverted)
    // among notes 0..127, then sets the outside-range gain.
    virtual void setChromaticFilterRange(int from, int to, float outside);
    // g holds at least 131 values indexed by tone; each is stored as 2v,
    // squared when above 1.
    virtual void setChromaticFilterBands(float* g, float outside);
    virtual void setChromaticFilterBand(int note, float v);
    // Stores v unchanged; a value that is not finite is ignored.
    virtual void setChromaticFilterBand2(int note, float v);
    virtual void setInverted(bool on) { inverted = on; }
    // The gain of the tones outside notes 0..127.
    virtual void setOutsideRange(float v);
    // Scales bin j and complex slot fftFrameSize-1-j by the gain of bin j's
    // tone; passes the spectrum through while chromatic mode is off.
    virtual void filter(float* c);
    virtual void createChromaticSpectrum();

    float getGain(int tone) const { return gains[tone]; }

protected:
    static bool isNote(int note) { return note >= -3 && note <= 136; }
    // Zeroes entries 3..130 of table outside (or, inverted, inside) from..to.
    void zeroRange(float* table, int from, int to) const;

    float gains[Scala::toneCount];
    bool inverted = false;
};

} // namespace SPECTRO
