#include "dsp/VYK_Wimbrax_ExtensionDSPKernelAdapter.h"

#include "audiotoolbox/AUAudioStatus.h"

#if defined(__x86_64__) || defined(__i386__)
#include <xmmintrin.h>
#elif !defined(__aarch64__)
#error "the render entry needs flush-to-zero on this architecture"
#endif

namespace {

constexpr double kDefaultSampleRate = 48000.0;
constexpr AVAudioChannelCount kChannels = 2;

// Flush-to-zero and denormals-are-zero for the render call, the caller's mode restored
// after it: decaying filter states otherwise turn subnormal and several times slower.
class DenormalGuard {
public:
#if defined(__x86_64__) || defined(__i386__)
    DenormalGuard() : saved_(_mm_getcsr()) { _mm_setcsr(saved_ | 0x8040u); } // FTZ | DAZ
    ~DenormalGuard() { _mm_setcsr(saved_); }

private:
    unsigned saved_;
#else
    DenormalGuard() {
        asm volatile("mrs %0, fpcr" : "=r"(saved_));
        asm volatile("msr fpcr, %0" : : "r"(saved_ | (1ull << 24))); // FZ
    }
    ~DenormalGuard() { asm volatile("msr fpcr, %0" : : "r"(saved_)); }

private:
    unsigned long long saved_;
#endif
    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;
};

} // namespace

std::shared_ptr<VYK_Wimbrax_ExtensionDSPKernelAdapter> VYK_Wimbrax_ExtensionDSPKernelAdapter::make() {
    return std::make_shared<VYK_Wimbrax_ExtensionDSPKernelAdapter>();
}

VYK_Wimbrax_ExtensionDSPKernelAdapter::VYK_Wimbrax_ExtensionDSPKernelAdapter() {
    const AVAudioFormat format(kDefaultSampleRate, kChannels);
    _kernel.init(static_cast<int>(format.channelCount()), format.sampleRate());
    _inputBus.init(format, kChannels);
    _outputBus = AUAudioUnitBus::make(format);
    _outputBus->setMaximumChannelCount(kChannels);
}

void VYK_Wimbrax_ExtensionDSPKernelAdapter::setParameter(const AUParameter& parameter, AUValue value) {
    _kernel.setParameter(parameter.address(), value);
}

AUValue VYK_Wimbrax_ExtensionDSPKernelAdapter::valueForParameter(const AUParameter& parameter) const {
    return _kernel.getParameter(parameter.address());
}

void VYK_Wimbrax_ExtensionDSPKernelAdapter::setParameterEx(std::int32_t address, float value) {
    if (address >= 0) _kernel.setParameter(AUParameterAddress(address), value);
}

float VYK_Wimbrax_ExtensionDSPKernelAdapter::getParameterEx(std::int32_t address) const {
    return address >= 0 ? _kernel.getParameter(AUParameterAddress(address)) : 0.0f;
}

AUAudioFrameCount VYK_Wimbrax_ExtensionDSPKernelAdapter::maximumFramesToRender() const {
    return static_cast<AUAudioFrameCount>(_kernel.getMaximumFramesToRender());
}

void VYK_Wimbrax_ExtensionDSPKernelAdapter::setMaximumFramesToRender(AUAudioFrameCount frames) {
    _kernel.setMaximumFramesToRender(static_cast<int>(frames));
}

void VYK_Wimbrax_ExtensionDSPKernelAdapter::allocateRenderResources() {
    _inputBus.allocateRenderResources(maximumFramesToRender());
    const AVAudioFormat& format = _outputBus->format();
    // init also resets, at once: no render is in flight.
    _kernel.init(static_cast<int>(format.channelCount()), format.sampleRate());
}

void VYK_Wimbrax_ExtensionDSPKernelAdapter::deallocateRenderResources() {
    _inputBus.deallocateRenderResources();
    _outputEventBlock.release();
}

void VYK_Wimbrax_ExtensionDSPKernelAdapter::setAUMIDIOutputEventBlock(
    const std::shared_ptr<const AUMIDIOutputEventBlock>& block) {
    _outputEventBlock.select(block);
}

void VYK_Wimbrax_ExtensionDSPKernelAdapter::keepAUMIDIOutputEventBlock(
    const std::shared_ptr<const AUMIDIOutputEventBlock>& block) {
    _outputEventBlock.keep(block);
}

void VYK_Wimbrax_ExtensionDSPKernelAdapter::setAUHostMusicalContextBlock(
    std::shared_ptr<const AUHostMusicalContextBlock> block) {
    _musicalContext = std::move(block);
}

void VYK_Wimbrax_ExtensionDSPKernelAdapter::setAUScheduleMIDIEventBlock(
    std::shared_ptr<const AUScheduleMIDIEventBlock> block) {
    _scheduleMIDIEventBlock = std::move(block);
}

void VYK_Wimbrax_ExtensionDSPKernelAdapter::setAUHostTransportStateBlock(
    std::shared_ptr<const AUHostTransportStateBlock> block) {
    _transportStateBlock = std::move(block);
}

AUAudioUnitStatus VYK_Wimbrax_ExtensionDSPKernelAdapter::render(
    AudioUnitRenderActionFlags*, const AudioTimeStamp* timestamp, AUAudioFrameCount frameCount, NSInteger,
    AudioBufferList* outputData, const AURenderEvent* events, const AURenderPullInputBlock* pullInputBlock) noexcept {
    return renderWith(_outputEventBlock.current(), false, timestamp, frameCount, outputData, events, pullInputBlock);
}

AUInternalRenderBlock VYK_Wimbrax_ExtensionDSPKernelAdapter::internalRenderBlock() {
    return [self = shared_from_this(), midiOut = _outputEventBlock.currentOwned()](
               AudioUnitRenderActionFlags*, const AudioTimeStamp* timestamp, AUAudioFrameCount frameCount, NSInteger,
               AudioBufferList* outputData, const AURenderEvent* events,
               const AURenderPullInputBlock* pullInputBlock) noexcept {
        return self->renderWith(midiOut.get(), true, timestamp, frameCount, outputData, events, pullInputBlock);
    };
}

AUAudioUnitStatus VYK_Wimbrax_ExtensionDSPKernelAdapter::renderWith(
    const AUMIDIOutputEventBlock* midiOut, bool mustPull, const AudioTimeStamp* timestamp, AUAudioFrameCount frameCount,
    AudioBufferList* outputData, const AURenderEvent* events, const AURenderPullInputBlock* pullInputBlock) noexcept {
    DenormalGuard denormals;
    if (timestamp == nullptr || outputData == nullptr || outputData->mNumberBuffers > kAudioBufferListCapacity)
        return kAudio_ParamError;
    if (frameCount > maximumFramesToRender()) return kAudioUnitErr_TooManyFramesToProcess;
    if (!_inputBus.isAllocated()) return kAudioUnitErr_Uninitialized;
    // The maximum may have grown since the input buffer was sized.
    if (frameCount > _inputBus.maxFrames()) return kAudioUnitErr_TooManyFramesToProcess;

    if (pullInputBlock != nullptr || mustPull) {
        AudioUnitRenderActionFlags pullFlags = 0;
        const AUAudioUnitStatus status = _inputBus.pullInput(&pullFlags, *timestamp, frameCount, 0, pullInputBlock);
        if (status != noErr) return status;
    } else {
        // Without a pull the bus's own buffer is rendered, never memory an earlier pull
        // pointed at.
        _inputBus.prepareInputBufferList();
    }
    const AudioBufferList* input = _inputBus.mutableAudioBufferList();
    const std::uint32_t bytes = frameCount * static_cast<std::uint32_t>(sizeof(float));
    if (input->mNumberBuffers > kAudioBufferListCapacity) return kAudio_ParamError;
    for (std::uint32_t c = 0; c < input->mNumberBuffers; ++c)
        if (input->mBuffers[c].mData != nullptr && input->mBuffers[c].mDataByteSize < bytes) return kAudio_ParamError;

    // Output buffers without memory render in place, in the input buffers.
    for (std::uint32_t c = 0; c < outputData->mNumberBuffers; ++c) {
        AudioBuffer& out = outputData->mBuffers[c];
        if (out.mData == nullptr && c < input->mNumberBuffers) {
            out.mData = input->mBuffers[c].mData;
            out.mDataByteSize = bytes;
        } else if (out.mData != nullptr && out.mDataByteSize < bytes) {
            return kAudio_ParamError;
        }
    }

    _kernel.setBuffers(input, outputData);
    _kernel.processWithEvents(*timestamp, frameCount, events, midiOut);
    return noErr;
}

const float* VYK_Wimbrax_ExtensionDSPKernelAdapter::getBufferLeft(std::int32_t band) {
    return validBand(band) ? _kernel.getBufferLeft(band) : nullptr;
}

const float* VYK_Wimbrax_ExtensionDSPKernelAdapter::getBufferRight(std::int32_t band) const {
    return validBand(band) ? _kernel.getBufferRight(band) : nullptr;
}

bool VYK_Wimbrax_ExtensionDSPKernelAdapter::isNewBuffer(std::int32_t band) const {
    return validBand(band) && _kernel.isNewBuffer(band);
}

std::int32_t VYK_Wimbrax_ExtensionDSPKernelAdapter::getPhaseShift(std::int32_t band) {
    return validBand(band) ? _kernel.getPhaseShift(band) : 0;
}
