#pragma once
// The one object through which the audio unit drives the kernel: set-up and render
// resources, parameters, the render entry, and the display's data path.
//
// Thread rules:
// - Construction, allocate/deallocateRenderResources, setMaximumFramesToRender and the
//   block setters: the configuring thread, never while a render is in flight.
// - render and the blocks from internalRenderBlock: the render thread. They allocate,
//   lock, log and throw nothing, and run with flush-to-zero and denormals-are-zero set.
// - setAUMIDIOutputEventBlock: also the render thread, with a block the adapter holds
//   already (see there).
// - reset, parameters, bypass and the peaks: any thread (the render thread applies a
//   reset at the start of its next piece).
// - The snapshot getters: one display thread.
// Create with make(): the adapter is large and render blocks share its ownership.
#include "audiotoolbox/AUAudioUnitBus.h"
#include "audiotoolbox/AUHostBlocks.h"
#include "audiotoolbox/AUInternalRenderBlock.h"
#include "audiotoolbox/AUMIDIOutputEventBlock.h"
#include "audiotoolbox/AUParameter.h"
#include "dsp/BufferedInputBus.h"
#include "dsp/MIDIOutputBlockHolder.h"
#include "dsp/VYK_Wimbrax_Extension_DSPKernel.h"

#include <cstdint>
#include <memory>

class VYK_Wimbrax_ExtensionDSPKernelAdapter
    : public std::enable_shared_from_this<VYK_Wimbrax_ExtensionDSPKernelAdapter> {
public:
    // Sets up the kernel and both buses for 48000 Hz stereo.
    static std::shared_ptr<VYK_Wimbrax_ExtensionDSPKernelAdapter> make();
    VYK_Wimbrax_ExtensionDSPKernelAdapter();
    VYK_Wimbrax_ExtensionDSPKernelAdapter(const VYK_Wimbrax_ExtensionDSPKernelAdapter&) = delete;
    VYK_Wimbrax_ExtensionDSPKernelAdapter& operator=(const VYK_Wimbrax_ExtensionDSPKernelAdapter&) = delete;

    const std::shared_ptr<AUAudioUnitBus>& inputBus() const { return _inputBus.bus(); }
    const std::shared_ptr<AUAudioUnitBus>& outputBus() const { return _outputBus; }

    void setParameter(const AUParameter& parameter, AUValue value);
    AUValue valueForParameter(const AUParameter& parameter) const;
    // A negative address is ignored (reads 0).
    void setParameterEx(std::int32_t address, float value);
    float getParameterEx(std::int32_t address) const;

    AUAudioFrameCount maximumFramesToRender() const;
    // Takes effect for render calls at once; the input buffer is sized at allocation.
    void setMaximumFramesToRender(AUAudioFrameCount frames);
    bool shouldBypassEffect() const { return _kernel.getBypassed(); }
    void setShouldBypassEffect(bool bypass) { _kernel.setBypassed(bypass); }
    // True bypasses the effect.
    void setBypass(bool bypass) { _kernel.setBypassed(bypass); }
    // Forwards incoming MIDI to the MIDI output block (off by default).
    void setMidiThru(bool on) { _kernel.setMidiThru(on); }

    // Sizes the input buffer for maximumFramesToRender and re-initialises the kernel for
    // the output bus's format. Throws std::bad_alloc.
    void allocateRenderResources();
    // Also frees the replaced MIDI output blocks that no render block holds.
    void deallocateRenderResources();
    // Clears the processing state at the start of the next render piece.
    void reset() { _kernel.reset(); }

    // The MIDI output block (may be null) that the render entry uses from its next call.
    // Every block handed in stays alive until render resources are released after it was
    // replaced, so a render in flight never loses it. Passing the current block again, or
    // one kept for a render block, takes no lock and allocates nothing: a render block
    // does so from the render thread on every call.
    void setAUMIDIOutputEventBlock(const std::shared_ptr<const AUMIDIOutputEventBlock>& block);
    // Holds `block` for a render block that will pass it from the render thread.
    void keepAUMIDIOutputEventBlock(const std::shared_ptr<const AUMIDIOutputEventBlock>& block);
    void setAUHostMusicalContextBlock(std::shared_ptr<const AUHostMusicalContextBlock> block);
    void setAUScheduleMIDIEventBlock(std::shared_ptr<const AUScheduleMIDIEventBlock> block);
    void setAUHostTransportStateBlock(std::shared_ptr<const AUHostTransportStateBlock> block);

    // The render entry. Statuses: kAudioUnitErr_TooManyFramesToProcess above the maximum
    // or the input buffer's size; kAudioUnitErr_Uninitialized before allocation;
    // kAudio_ParamError for a missing stamp or output list or buffers too small; a failed
    // pull's own status. On any error nothing is processed. Output buffers without
    // memory are pointed at the input buffers and rendered in place. Without a pull-input
    // block the input bus's own buffer is rendered. MIDI thru goes to the current MIDI
    // output block.
    AUAudioUnitStatus render(AudioUnitRenderActionFlags* actionFlags, const AudioTimeStamp* timestamp,
                             AUAudioFrameCount frameCount, NSInteger outputBusNumber, AudioBufferList* outputData,
                             const AURenderEvent* realtimeEventListHead,
                             const AURenderPullInputBlock* pullInputBlock) noexcept;
    // A render block holding this adapter and the MIDI output block current now. Unlike
    // render it always pulls: without a pull-input block it returns
    // kAudioUnitErr_NoConnection and processes nothing.
    AUInternalRenderBlock internalRenderBlock();

    float getPeakInput() const { return _kernel.getPeakInput(); }
    float getPeakOutput() const { return _kernel.getPeakOutput(); }
    float getSamplerate() const { return _kernel.getSamplerate(); }
    std::int32_t getBufferSize() const { return VYK_Wimbrax_Extension_DSPKernel::collectorSize; }
    // Display side. Null, false or 0 for a band outside 0 to 3. getBufferLeft takes the
    // band's newest complete snapshot; getBufferRight is the right channel of that same
    // snapshot. Each points at getBufferSize() floats, oldest first, unchanged until the
    // band's next getBufferLeft.
    const float* getBufferLeft(std::int32_t band);
    const float* getBufferRight(std::int32_t band) const;
    bool isNewBuffer(std::int32_t band) const;
    std::int32_t getPhaseShift(std::int32_t band);

private:
    AUAudioUnitStatus renderWith(const AUMIDIOutputEventBlock* midiOut, bool mustPull, const AudioTimeStamp* timestamp,
                                 AUAudioFrameCount frameCount, AudioBufferList* outputData, const AURenderEvent* events,
                                 const AURenderPullInputBlock* pullInputBlock) noexcept;
    static bool validBand(std::int32_t band) { return band >= 0 && band < 4; }

    VYK_Wimbrax_Extension_DSPKernel _kernel;
    BufferedInputBus _inputBus;
    std::shared_ptr<const AUHostMusicalContextBlock> _musicalContext;
    MIDIOutputBlockHolder _outputEventBlock;
    std::shared_ptr<const AUHostTransportStateBlock> _transportStateBlock;
    std::shared_ptr<const AUScheduleMIDIEventBlock> _scheduleMIDIEventBlock;
    std::shared_ptr<AUAudioUnitBus> _outputBus;
};
