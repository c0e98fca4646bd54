#include "dsp/VYK_Wimbrax_Extension_DSPKernel.h"

#include "dsp/BandTools.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr auto relaxed = std::memory_order_relaxed;
// Frames the band splitter's buffers hold: longer pieces run in several turns.
constexpr int kBandRunFrames = BandSplitFilter3::kMaxFrames;
// Steps of every gain, width and pan ramp, one per piece.
constexpr int64_t kRampSteps = 16;

// What the display shows for a band while a reset hides its snapshot.
constexpr float kSilence[DSPKernelSnapshot::kFrames]{};

// One band's share of mix's sum, (low + middle) + high: out = x * w for the first band,
// out + x * w for the others. A null x is a silent band.
void weightInto(float* __restrict out, const float* __restrict x, int n, float w, bool first) {
    if (x == nullptr) {
        const float zero = 0.0f * w;
        for (int i = 0; i < n; ++i) out[i] = first ? zero : out[i] + zero;
    } else if (first) {
        for (int i = 0; i < n; ++i) out[i] = x[i] * w;
    } else {
        for (int i = 0; i < n; ++i) out[i] = out[i] + x[i] * w;
    }
}

float* channel(const AudioBufferList* list, std::uint32_t c, AUAudioFrameCount offset) {
    return static_cast<float*>(list->mBuffers[c].mData) + offset;
}

} // namespace

VYK_Wimbrax_Extension_DSPKernel::VYK_Wimbrax_Extension_DSPKernel() {
    for (AUParameterAddress a = 0; a < vyk::param::kCount; ++a)
        if (slot[a] != nullptr) slot[a]->store(vyk::param::kParameters[a].kernelStart, relaxed);
    applySplits();
}

void VYK_Wimbrax_Extension_DSPKernel::init(int channelCount, double sampleRate) {
    setSamplerate(static_cast<float>(sampleRate));
    numChannels = channelCount;
    void (*const ready[kBands])(void*) = {onBufferReady0, onBufferReady1, onBufferReady2, onBufferReady3};
    for (int b = 0; b < kBands; ++b) {
        latency[b].setSize(1);
        circular[b].ensure(collectorSize);
        circular[b].callee = this;
        circular[b].onBuffer = ready[b];
        stereowidthInterpolator[b].setInitialValue(0.5f);
        panpotInterpolator[b].setInitialValue(0.5f);
        volumeInterpolator[b].setInitialValue(0.5f);
    }
    bypassDelay.ensure(collectorSize);
    // No render is in flight: a pending reset is taken care of here too.
    resetsApplied = resetsRequested.load(std::memory_order_acquire);
    for (std::uint32_t& t : turnStart) t = resetsApplied;
    applyReset();
}

void VYK_Wimbrax_Extension_DSPKernel::setSamplerate(float sampleRate) {
    fSamplerate.store(sampleRate, relaxed);
    bands.setSamplerate(sampleRate);
    analyzer.setSamplerate(sampleRate);
    compander.setSamplerate(sampleRate);
}

void VYK_Wimbrax_Extension_DSPKernel::reset() {
    // Clearing here would race with a render in flight; the render thread does it.
    resetsRequested.fetch_add(1, std::memory_order_acq_rel);
}

void VYK_Wimbrax_Extension_DSPKernel::applyReset() {
    bands.reset();
    analyzer.reset();
    compander.reset();
    for (int b = 0; b < kBands; ++b) {
        Interpolator* smoothers[] = {&stereowidthInterpolator[b], &panpotInterpolator[b], &volumeInterpolator[b]};
        for (Interpolator* s : smoothers) {
            s->reset();
            s->setInitialValue(0.5f);
        }
        latency[b].reset();
        snapshot[b].clear();
        stereo[b].reset();
        panpot[b].reset();
    }
    bypassDelay.reset();
    // The splitter runs at the stored split points, not at its own defaults.
    splitsDirty.store(false, relaxed);
    applySplits();
}

void VYK_Wimbrax_Extension_DSPKernel::applySplits() {
    const float s1 = fSplit1.load(relaxed);
    const float s2 = fSplit2.load(relaxed);
    // In this order neither setter is clamped by the other's old value.
    if (s1 > bands.getCutoff2()) {
        bands.setCutoff2(s2);
        bands.setCutoff1(s1);
    } else {
        bands.setCutoff1(s1);
        bands.setCutoff2(s2);
    }
}

void VYK_Wimbrax_Extension_DSPKernel::setParameter(AUParameterAddress address, AUValue value) {
    if (address >= vyk::param::kCount || slot[address] == nullptr || !std::isfinite(value)) return;
    const vyk::param::Metadata& row = vyk::param::kParameters[address];
    value = std::clamp(value, row.min, row.max);
    // A split point stops at the other one; it never pushes it.
    if (address == kSplit1) value = std::min(value, fSplit2.load(relaxed));
    if (address == kSplit2) value = std::max(value, fSplit1.load(relaxed));
    slot[address]->store(value, relaxed);
    if (address == kSplit1 || address == kSplit2) splitsDirty.store(true, std::memory_order_release);
}

AUValue VYK_Wimbrax_Extension_DSPKernel::getParameter(AUParameterAddress address) const {
    // The dynamics settings read back what was stored, so saved states keep them.
    return address < vyk::param::kCount && slot[address] != nullptr ? slot[address]->load(relaxed) : 0.0f;
}

void VYK_Wimbrax_Extension_DSPKernel::setParameterAutomated(AUParameterAddress address, AUValue value,
                                                            AUEventSampleTime) {
    setParameter(address, value);
}

float VYK_Wimbrax_Extension_DSPKernel::getPeakInput() const { return compander.getInputFollower().getPeak(); }

float VYK_Wimbrax_Extension_DSPKernel::getPeakOutput() const { return compander.getOutputFollower().getPeak(); }

int VYK_Wimbrax_Extension_DSPKernel::getPhaseShift(int band) {
    return band >= 0 && band < kBands ? latency[band].getSize() : 0;
}

void VYK_Wimbrax_Extension_DSPKernel::setBuffers(const AudioBufferList* inBufferList, AudioBufferList* outBufferList) {
    inBufferListPtr = inBufferList;
    outBufferListPtr = outBufferList;
}

const float* VYK_Wimbrax_Extension_DSPKernel::getBufferLeft(int band) {
    snapshot[band].take();
    showsSilence[band] = snapshot[band].tag() != resetsRequested.load(std::memory_order_acquire);
    return showsSilence[band] ? kSilence : snapshot[band].left();
}

const float* VYK_Wimbrax_Extension_DSPKernel::getBufferRight(int band) const {
    return showsSilence[band] ? kSilence : snapshot[band].right();
}

void VYK_Wimbrax_Extension_DSPKernel::process(AUAudioFrameCount frameCount, AUAudioFrameCount bufferOffset) {
    const std::uint32_t resets = resetsRequested.load(std::memory_order_acquire);
    if (resets != resetsApplied) {
        resetsApplied = resets;
        applyReset();
    }
    if (splitsDirty.exchange(false, std::memory_order_acquire)) applySplits();
    const AudioBufferList* in = inBufferListPtr;
    AudioBufferList* out = outBufferListPtr;
    if (in == nullptr || out == nullptr) return;

    const std::uint32_t channels = std::min(
        {std::uint32_t(std::max(numChannels, 0)), in->mNumberBuffers, out->mNumberBuffers, kAudioBufferListCapacity});
    bool stereo = channels >= 2 && numChannels == 2;
    for (std::uint32_t c = 0; c < channels; ++c) {
        if (in->mBuffers[c].mData == nullptr || out->mBuffers[c].mData == nullptr) {
            stereo = false;
            continue;
        }
        const float* src = channel(in, c, bufferOffset);
        float* dst = channel(out, c, bufferOffset);
        if (src != dst) std::memmove(dst, src, sizeof(float) * frameCount);
    }
    if (!stereo) return;

    float* left = channel(out, 0, bufferOffset);
    float* right = channel(out, 1, bufferOffset);
    const int frames = static_cast<int>(frameCount);
    if (bBypass.load(relaxed)) {
        bypassDelay.processBufferEx(left, right, frames);
        return;
    }
    bypassDelay.processBufferInput(left, right, frames);

    if (fCurrentMode.load(relaxed) == 0.0f) {
        runBandInto(0, prepareBand(0), left, right, left, right, frames, BandMix::Store, 1.0f);
    } else {
        const BandPiece piece[] = {prepareBand(1), prepareBand(2), prepareBand(3)};
        if (splitWithCompander(piece, left, right, frames)) return;
        float* const bandL[] = {bands.getLPLeft(), bands.getBPLeft(), bands.getHPLeft()};
        float* const bandR[] = {bands.getLPRight(), bands.getBPRight(), bands.getHPRight()};
        const float weight[] = {bands.getGainLP(), bands.getGainBP(), bands.getGainHP()};
        for (int done = 0; done < frames; done += kBandRunFrames) {
            const int n = std::min(frames - done, kBandRunFrames);
            bands.split(left + done, right + done, n);
            // Summed band by band in mix's order, each band's chain writing into the sum.
            for (int k = 0; k < 3; ++k)
                runBandInto(k + 1, piece[k], bandL[k], bandR[k], left + done, right + done, n,
                            k == 0 ? BandMix::First : BandMix::Add, weight[k]);
        }
    }
    compander.processBuffers(left, right, frames);
}

VYK_Wimbrax_Extension_DSPKernel::BandPiece VYK_Wimbrax_Extension_DSPKernel::prepareBand(int b) {
    BandPiece p{};
    p.active = fActive[b].load(relaxed) != 0.0f;
    if (!p.active) return p; // an inactive band's smoothers do not step
    p.invert = fInvertChannel[b].load(relaxed) > 0.0f;
    p.swap = fSwapChannels[b].load(relaxed) > 0.0f;
    p.recoverMono = fRecoverMono[b].load(relaxed) > 0.0f;
    p.testMono = fTestMono[b].load(relaxed) > 0.0f;
    p.width = fStereoWidth[b].load(relaxed);
    volumeInterpolator[b].setDestinationValue(fVolume[b].load(relaxed), kRampSteps);
    p.gain = volumeInterpolator[b].getValue(0);
    stereowidthInterpolator[b].setDestinationValue(p.width * 2.0f - 1.0f, kRampSteps);
    p.widthAdjust = stereowidthInterpolator[b].getValue(0);
    panpotInterpolator[b].setDestinationValue(fPanorama[b].load(relaxed) * 2.0f - 1.0f, kRampSteps);
    p.pan = panpotInterpolator[b].getValue(0);
    return p;
}

bool VYK_Wimbrax_Extension_DSPKernel::splitWithCompander(const BandPiece piece[3], float* left, float* right,
                                                         int frames) {
    for (int b = 1; b <= 3; ++b)
        if (!circular[b].usable() || circular[b].getSize() < frames) return false;
    if (frames <= 0 || frames > collectorSize) return false;
    // mix's sum of the bands as they leave the rings; an inactive band adds its zeros.
    float* const mixL = ringMix[0];
    float* const mixR = ringMix[1];
    const float weight[] = {bands.getGainLP(), bands.getGainBP(), bands.getGainHP()};
    for (int k = 0; k < 3; ++k) {
        auto add = [&](const float* rl, const float* rr, int at, int n) {
            weightInto(mixL + at, rl, n, weight[k], k == 0);
            weightInto(mixR + at, rr, n, weight[k], k == 0);
        };
        if (piece[k].active)
            circular[k + 1].peek(frames, add);
        else
            add(nullptr, nullptr, 0, frames);
    }
    // The compander's frame t only needs the sum above, and frame t of the input has
    // been read when it runs, so it may take the input's place.
    Compander::Stream dynamics(compander, mixL, mixR, left, right);
    bands.splitWith(left, right, frames, [&](int t) { dynamics.frame(t); });
    dynamics.finish(frames);
    float* const bandL[] = {bands.getLPLeft(), bands.getBPLeft(), bands.getHPLeft()};
    float* const bandR[] = {bands.getLPRight(), bands.getBPRight(), bands.getHPRight()};
    for (int k = 0; k < 3; ++k)
        runBandInto(k + 1, piece[k], bandL[k], bandR[k], bandL[k], bandR[k], frames, BandMix::Discard, weight[k]);
    return true;
}

bool VYK_Wimbrax_Extension_DSPKernel::setUpPlain(int b, const BandPiece& p) {
    // The stages keep their old setting when given a value they refuse, so what counts is
    // the setting they hold, not the parameter.
    stereo[b].setValue(p.widthAdjust);
    panpot[b].setValue(p.pan, 0);
    return !p.invert && !p.swap && !p.recoverMono && !p.testMono && stereo[b].getValue() == 0.0f &&
           panpot[b].getValue() == 0.0f && latency[b].isOneFrame() && circular[b].usable();
}

void VYK_Wimbrax_Extension_DSPKernel::runBandInto(int b, const BandPiece& p, float* inL, float* inR, float* outL,
                                                  float* outR, int frames, BandMix mix, float mixGain) {
    if (frames > 0 && p.active && setUpPlain(b, p)) {
        plainBandPass(circular[b], latency[b], inL, inR, outL, outR, frames, p.gain, mix, mixGain);
        return;
    }
    runBand(b, p, inL, inR, frames);
    if (mix == BandMix::Store || mix == BandMix::Discard) return; // full band: in is out
    weightInto(outL, inL, frames, mixGain, mix == BandMix::First);
    weightInto(outR, inR, frames, mixGain, mix == BandMix::First);
}

void VYK_Wimbrax_Extension_DSPKernel::runBand(int b, const BandPiece& p, float* left, float* right, int frames) {
    if (!p.active) {
        std::memset(left, 0, sizeof(float) * std::size_t(frames));
        std::memset(right, 0, sizeof(float) * std::size_t(frames));
        return;
    }
    stereo[b].setValue(p.widthAdjust);
    panpot[b].setValue(p.pan, 0);
    if (p.gain != 1.0f) {
        const float g = p.gain;
        for (int i = 0; i < frames; ++i) left[i] *= g;
        for (int i = 0; i < frames; ++i) right[i] *= g;
    }
    latency[b].processBufferEx(left, frames);
    if (p.recoverMono) stereotool[b].fAmount = -p.width;
    // The stages' own settings: the panorama is never smoothed here.
    channelTools(left, right, frames, p.invert, p.swap, p.recoverMono, stereotool[b].fAmount);
    imageTools(left, right, frames, stereo[b].getValue(), panpot[b].getValue(), p.testMono);
    circular[b].processBufferEx(left, right, frames);
}

void VYK_Wimbrax_Extension_DSPKernel::copyBuffers(int b) {
    CircularBuffer2& ring = circular[b];
    // A turn begun before a reset still holds audio from before it.
    snapshot[b].publish(ring.getBuffer(0), ring.getBuffer(1), std::min(ring.getSize(), int(collectorSize)),
                        turnStart[b]);
    turnStart[b] = resetsApplied;
}

void VYK_Wimbrax_Extension_DSPKernel::onBufferReady0(void* k) {
    if (k) static_cast<VYK_Wimbrax_Extension_DSPKernel*>(k)->copyBuffers(0);
}
void VYK_Wimbrax_Extension_DSPKernel::onBufferReady1(void* k) {
    if (k) static_cast<VYK_Wimbrax_Extension_DSPKernel*>(k)->copyBuffers(1);
}
void VYK_Wimbrax_Extension_DSPKernel::onBufferReady2(void* k) {
    if (k) static_cast<VYK_Wimbrax_Extension_DSPKernel*>(k)->copyBuffers(2);
}
void VYK_Wimbrax_Extension_DSPKernel::onBufferReady3(void* k) {
    if (k) static_cast<VYK_Wimbrax_Extension_DSPKernel*>(k)->copyBuffers(3);
}

void VYK_Wimbrax_Extension_DSPKernel::handleMIDIEvent(const AUMIDIEvent& event) {
    const AUMIDIOutputEventBlock* out = midiOut;
    if (!midiThru.load(relaxed) || out == nullptr || !*out) return;
    if (event.length > 0) {
        switch (event.data[0]) {
        case 0xF8:
        case 0xFA:
        case 0xFB:
        case 0xFC:
        case 0xFF:
            return; // clock and transport stay with this unit
        default:
            break;
        }
    }
    // The event carries at most its three data bytes.
    const NSInteger length = std::min<NSInteger>(event.length, NSInteger(sizeof event.data));
    (*out)(event.eventSampleTime, 0, length, event.data);
}
