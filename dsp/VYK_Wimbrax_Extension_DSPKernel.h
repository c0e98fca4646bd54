#pragma once
// The effect's real-time kernel: full-band or three-band stereo-field processing with a
// compander on the sum, its 47-address parameter block, and per-band analysis snapshots
// for the display.
//
// Thread rules:
// - process, setParameterAutomated, handleMIDIEvent: the render thread.
// - init, setSamplerate, setBuffers's owner: the configuring thread, never while a render
//   is in flight.
// - reset, setParameter/getParameter, bypass, maximum frames, peaks, MIDI thru: any
//   thread. Plain values are relaxed atomics read once per piece; a reset or a split-point
//   change is marked and applied by the render thread at the start of its next piece.
// - The snapshot getters: one display thread.
//
// Latency: processed audio lags the input by 1024 frames (the left channel by 1025);
// bypass delays both channels by 1024 frames so toggling it keeps the timing.
// Big (the band splitter and the snapshots hold hundreds of kilobytes): keep on the heap.
#include "audiotoolbox/AudioBufferList.h"
#include "dsp/BandSplitFilter3.h"
#include "dsp/CircularBuffer2.h"
#include "dsp/Compander.h"
#include "dsp/DSPKernel.h"
#include "dsp/DSPKernelSnapshot.h"
#include "dsp/Interpolator.h"
#include "dsp/Latency.h"
#include "dsp/Panpot.h"
#include "dsp/ParamMetadata.h"
#include "dsp/PlainBandPass.h"
#include "dsp/StereoProcessor.h"
#include "dsp/StereoTool.h"
#include "dsp/spectro/Analyzer.h"

#include <atomic>
#include <cstdint>

class VYK_Wimbrax_Extension_DSPKernel final : public DSPKernel {
public:
    // Parameter addresses (the table in ParamMetadata.h).
    using enum vyk::param::Address;
    static constexpr int kBands = 4; // 0 full band, 1 low, 2 middle, 3 high
    static constexpr int collectorSize = DSPKernelSnapshot::kFrames;

    VYK_Wimbrax_Extension_DSPKernel();

    void init(int channelCount, double sampleRate);
    void setSamplerate(float sampleRate);
    // Clears smoothers (back to 0.5), latency lines, snapshots, filters and dynamics at
    // the start of the next piece; keeps the analysis rings, the parameters, bypass and
    // the maximum frame count. From now until a ring turn that starts after the reset
    // is published, the display getters return silence.
    void reset();

    // A value is clamped to its address's range in the table. Non-finite values are
    // ignored; addresses above 46 too.
    void setParameter(AUParameterAddress address, AUValue value);
    AUValue getParameter(AUParameterAddress address) const;
    void setParameterAutomated(AUParameterAddress address, AUValue value, AUEventSampleTime sampleTime) override;

    bool getBypassed() const { return bBypass.load(std::memory_order_relaxed); }
    void setBypassed(bool bypassed) { bBypass.store(bypassed, std::memory_order_relaxed); }
    int getMaximumFramesToRender() const { return maxFrames.load(std::memory_order_relaxed); }
    void setMaximumFramesToRender(int frames) { maxFrames.store(frames, std::memory_order_relaxed); }
    // Forwards incoming MIDI to the host's MIDI output when on (off by default).
    void setMidiThru(bool on) { midiThru.store(on, std::memory_order_relaxed); }

    float getPeakInput() const;
    float getPeakOutput() const;
    // The band's latency line length (1 after init); 0 outside bands 0 to 3.
    int getPhaseShift(int band);
    float getSamplerate() const { return fSamplerate.load(std::memory_order_relaxed); }

    // The lists the next render call reads and writes (set by the adapter each call).
    void setBuffers(const AudioBufferList* inBufferList, AudioBufferList* outBufferList);

    // Display side, one thread. `band` must be 0 to 3.
    bool isNewBuffer(int band) const { return snapshot[band].isFresh(); }
    // Takes the band's newest complete snapshot and returns its left channel.
    const float* getBufferLeft(int band);
    // The right channel of the snapshot the last getBufferLeft took.
    const float* getBufferRight(int band) const;

    void process(AUAudioFrameCount frameCount, AUAudioFrameCount bufferOffset) override;
    void handleMIDIEvent(const AUMIDIEvent& event) override;

private:
    // The settings of one band for one piece, read once from the parameter block.
    struct BandPiece {
        bool active;
        bool invert, swap, recoverMono, testMono;
        float width;                  // raw parameter, for mono recovery
        float gain, widthAdjust, pan; // smoothed values for this piece
    };

    void applyReset();
    BandPiece prepareBand(int band);
    // The band's chain in place on left/right.
    void runBand(int band, const BandPiece& piece, float* left, float* right, int frames);
    // The band's chain on in, its result stored into out or weighted into it (mix);
    // through plainBandPass when the piece allows it.
    void runBandInto(int band, const BandPiece& piece, float* inL, float* inR, float* outL, float* outR, int frames,
                     BandMix mix, float mixGain);
    // Three-band mode, for a piece no longer than the analysis rings: the output is what
    // the rings hold, so the compander runs on it inside the splitter's loop and the band
    // chains then only feed the rings. False (nothing done) when the piece does not fit.
    bool splitWithCompander(const BandPiece piece[3], float* left, float* right, int frames);
    // Sets the piece's width and panorama; true when only gain, delay and ring are left.
    bool setUpPlain(int band, const BandPiece& piece);
    void applySplits();
    void copyBuffers(int band);
    static void onBufferReady0(void* kernel);
    static void onBufferReady1(void* kernel);
    static void onBufferReady2(void* kernel);
    static void onBufferReady3(void* kernel);

    using Value = std::atomic<float>;

    int numChannels = 2;
    const AudioBufferList* inBufferListPtr = nullptr;
    AudioBufferList* outBufferListPtr = nullptr;
    std::atomic<float> fSamplerate{48000.0f};

    // Every field with an address starts at the table's kernel value (constructor).
    Value fVolumeIn;
    Value fVolumeOut;
    Value fCurrentMode;
    Value fSplit1;
    Value fSplit2;
    Value fActive[kBands]{1.0f}; // entry 0 has no address and stays 1
    Value fVolume[kBands]{0.5f}; // entry 0 has no address and stays 0.5
    Value fStereoWidth[kBands];
    Value fPanorama[kBands];
    Value fPhaseShift[kBands];
    Value fSwapChannels[kBands];
    Value fInvertChannel[kBands];
    Value fRecoverMono[kBands];
    Value fTestMono[kBands];
    Value fDynamicsOn;
    Value fDynamicsMultiplier;
    Value fDynamicsAttack;
    Value fDynamicsHold;
    Value fDynamicsRelease;
    // The field of each address, in address order; null where the kernel stores nothing
    // (the per-band bypass switches).
    Value* const slot[vyk::param::kCount] = {
        &fVolumeIn,
        &fVolumeOut,
        &fCurrentMode,
        &fSplit1,
        &fSplit2,
        &fActive[1],
        &fActive[2],
        &fActive[3],
        nullptr,
        nullptr,
        nullptr,
        &fVolume[1],
        &fVolume[2],
        &fVolume[3],
        &fStereoWidth[0],
        &fStereoWidth[1],
        &fStereoWidth[2],
        &fStereoWidth[3],
        &fPanorama[0],
        &fPanorama[1],
        &fPanorama[2],
        &fPanorama[3],
        &fPhaseShift[0],
        &fPhaseShift[1],
        &fPhaseShift[2],
        &fPhaseShift[3],
        &fSwapChannels[0],
        &fSwapChannels[1],
        &fSwapChannels[2],
        &fSwapChannels[3],
        &fInvertChannel[0],
        &fInvertChannel[1],
        &fInvertChannel[2],
        &fInvertChannel[3],
        &fRecoverMono[0],
        &fRecoverMono[1],
        &fRecoverMono[2],
        &fRecoverMono[3],
        &fTestMono[0],
        &fTestMono[1],
        &fTestMono[2],
        &fTestMono[3],
        &fDynamicsOn,
        &fDynamicsMultiplier,
        &fDynamicsAttack,
        &fDynamicsHold,
        &fDynamicsRelease,
    };
    // Set by a split-point change; the render thread applies it at its next piece.
    std::atomic<bool> splitsDirty{false};
    // Resets asked for, and (render thread) the count applied. A published turn carries
    // the count applied when the turn began; the display hides turns older than the last
    // reset asked for.
    std::atomic<std::uint32_t> resetsRequested{0};
    std::uint32_t resetsApplied = 0;
    std::uint32_t turnStart[kBands]{};
    bool showsSilence[kBands]{}; // display thread: the held snapshot is hidden

    BandSplitFilter3 bands;
    Compander compander;
    // Idle: never fed nor read, so it has no effect on the output.
    SPECTRO::Analyzer analyzer{4096, 2, 48000.0f};
    Latency latency[kBands];
    DSPKernelSnapshot snapshot[kBands];
    CircularBuffer2 circular[kBands];
    StereoTool stereotool[kBands];
    Panpot panpot[kBands];
    StereoProcessor stereo[kBands];
    Interpolator stereowidthInterpolator[kBands];
    Interpolator panpotInterpolator[kBands];
    Interpolator volumeInterpolator[kBands];
    // The rings' output for splitWithCompander, before the compander.
    alignas(64) float ringMix[2][collectorSize];
    // The 1024-frame line bypassed audio runs through, fed while processing too.
    CircularBuffer2 bypassDelay;

    std::atomic<bool> bBypass{false};
    std::atomic<bool> midiThru{false};
    std::atomic<int> maxFrames{4096};
};
