#pragma once
// The analysis-only spectral class: frames a mono (or summed stereo) stream,
// analyses every `updaterate`-th frame (normalised magnitudes, decaying peaks)
// and, in chromatic mode, sorts the bins into the tones of its scale and
// accumulates per-note sums. It produces no audio.
// Thread rules: one thread per instance. Chromatic analysis allocates one
// record per bin per analysed frame: keep it off the render path.
#include <cstdint>
#include <memory>

#include "dsp/spectro/FFTBase.h"
#include "dsp/spectro/Scala.h"

namespace SPECTRO {

class Analyzer : public FFTBase {
public:
    // Prints "DIAGNOSTICS: FFT Analyzer loaded. [ <address> ]\n".
    Analyzer(int size, int overlap, float samplerate);
    ~Analyzer() override = default;

    void setSamplerate(float samplerate) override;
    void process(float* in, int n) override;
    void init() override;
    void clear() override;
    void onBufferReady() override;
    void onAnalysis(float* freq, float* mag) override;

    // Analyses per second; 0 or less analyses every frame.
    virtual void setUpdateRate(int rate);
    virtual void setChromatic(bool on);
    // Analyses the plain sum left + right.
    virtual void process(float* left, float* right, int n);
    virtual void createSpectrum();

    int getUpdateInterval() const { return updaterate; }
    bool isChromatic() const { return chromatic; }
    // Tone index per bin (0..fftFrameSize2), or none while chromatic mode is off.
    const int32_t* getChromaticIndex() const { return chromaticIndex.get(); }
    Scala& getScala() { return scala; }

protected:
    // Runs the chromatic assignment into the scale and the map.
    void assignBins();
    void updateInterval();

    Scala scala;
    std::unique_ptr<int32_t[]> chromaticIndex;
    bool chromatic = false;
    int32_t lUpdaterate = 0;
    int32_t skip = 0;
    int32_t updaterate = 1;
};

} // namespace SPECTRO
