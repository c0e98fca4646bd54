#pragma once
// Base of the spectral classes: cuts a mono stream into overlapping windowed
// frames, transforms them with its own radix-2 FFT, turns spectra into per-bin
// magnitudes and true frequencies (phase-vocoder analysis) and back into
// samples by inverse FFT and windowed overlap-add. Subclasses act between
// analysis and resynthesis through the virtual hooks.
//
// The frame size is a power of two from 4 to 65536 and the overlap a power of
// two from 1 to the frame size: the constructor rounds other values into that
// range, setSize and setOverlap ignore them.
//
// Output of the streaming classes lags their input by the frame size (one
// frame of FIFO latency plus one hop of collection for every hop).
//
// Thread rules: one thread drives an instance. Buffers are allocated by init
// only; the per-sample and per-frame steps allocate nothing.
#include <cstdint>

#include "dsp/DynaBuffer.h"

namespace SPECTRO {

constexpr float PI = 3.1415927f;
constexpr float TWO_PI = 6.2831855f;

// floor(x + 0.5) as an int (halves go up); values beyond the int range are
// limited to it and NaN gives 0.
int round1(float x);

class FFTBase {
public:
    FFTBase(int size, int overlap, float samplerate);
    virtual ~FFTBase() = default;
    FFTBase(const FFTBase&) = delete;
    FFTBase& operator=(const FFTBase&) = delete;

    virtual void setSamplerate(float samplerate);
    virtual void setSize(int size);
    virtual void setOverlap(int overlap);
    virtual float getSamplerate() { return fSamplerate; }
    virtual int getSize() { return lFrameSize; }
    virtual int getOverlap() { return lOverlap; }
    virtual float* getFrequencies() { return frequencies.getBuffer(); }
    virtual float* getMagnitudes() { return magnitudes.getBuffer(); }
    virtual float* getMagnitudesNormalized() { return magnitudes_norm.getBuffer(); }
    virtual float* getMagnitudesPeaks() { return magnitudes_peaks.getBuffer(); }
    virtual float* getPhases() { return phases.getBuffer(); }
    virtual float* getWave() { return input.getBuffer(); }
    // Element i, unchecked: 0..fftFrameSize2 (0..fftFrameSize-1 for getWave).
    virtual float getFrequencies(int i) { return frequencies[i]; }
    virtual float getMagnitudes(int i) { return magnitudes[i]; }
    virtual float getMagnitudesNormalized(int i) { return magnitudes_norm[i]; }
    virtual float getMagnitudesPeaks(int i) { return magnitudes_peaks[i]; }
    virtual float getPhases(int i) { return phases[i]; }
    virtual float getWave(int i) { return input[i]; }
    virtual void process(float* io, int n) = 0;
    virtual void reset() { clear(); }

    // The steps of analysis and resynthesis; a null pointer selects the
    // class's own buffer.
    virtual void buffer2complex(float* in, float* out);
    virtual void complex2frequencies(float* c);
    // Note: the default phase buffer is `phases`, the one analysis writes.
    virtual void frequencies2complex(float* mag, float* freq, float* phase, float* c);
    virtual void complex2buffer(float* c, float* out);
    virtual void doOutput(float* out);
    virtual void shiftInput(float* in);
    virtual void shiftResyn();
    virtual void init();
    virtual void clear();
    virtual void onBufferReady() = 0;
    virtual void onAnalysis(float* freq, float* mag);
    virtual void onComplex(float* c) {}
    // In place on fftFrameSize interleaved complex values, unscaled; sign -1
    // is the forward transform (e^-iwn), +1 the inverse.
    virtual void fft(int sign, float* data);

    int getStepSize() const { return stepSize; }
    int getLatency() const { return fftFrameSize; }
    float getMax() const { return max; }
    float getFreqPerBin() const { return freqPerBin; }
    float getExpectedPhase() const { return expct; }
    int getIterator() const { return iterator; }

protected:
    // False while a buffer lacks storage (allocation failed).
    bool hasStorage();
    // Builds `complex` from re-mapped bins with running synthesis phases and
    // zeroes its negative-frequency half. The phase sums are kept within
    // -pi..pi, which changes nothing but rounding and keeps long runs exact.
    void synthesizeShifted(const float* mag, const float* freq, float* phaseSums);
    // One sample of the streaming pattern: stores x, returns the output sample
    // due at this position, and completes a frame every stepSize samples.
    float stream(float x) {
        input[iterator] = x;
        const float y = output[iterator - inFifoLatency];
        if (++iterator >= fftFrameSize) {
            iterator = inFifoLatency;
            onBufferReady();
            shiftInput(nullptr);
        }
        return y;
    }

    DynaBuffer window;
    DynaBuffer complex;
    DynaBuffer input;
    DynaBuffer output;
    DynaBuffer frequencies;
    DynaBuffer magnitudes;
    DynaBuffer magnitudes_norm;
    DynaBuffer magnitudes_peaks;
    DynaBuffer phases;
    DynaBuffer resynth;
    int32_t lFrameSize;
    float fSamplerate;
    int32_t lOverlap;
    float max = 1.0f;
    float freqPerBin = 0;
    float expct = 0;
    int32_t fftFrameSize = 0;
    int32_t fftFrameSize2 = 0;
    int32_t _2fftFrameSize = 0;
    int32_t inFifoLatency = 0;
    int32_t osamp = 0;
    int32_t stepSize = 0;
    int32_t iterator = 0;

private:
    void initBase();
};

} // namespace SPECTRO
