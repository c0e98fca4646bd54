#pragma once
// The effect's audio unit: what a host instantiates, configures, renders through and
// saves. Everything audio goes through the kernel adapter; the 47 parameters live in the
// tree of VYK_Wimbrax_Extension_Parameters. Nearly every operation prints one
// "AUExtension" line on the calling thread.
//
// Thread rules:
// - Construction, render resources, host blocks, buses, state and presets: configuring
//   threads (state and preset operations are serialised by the unit).
// - The render block: the render thread; a failing call's line is printed later, off it.
// - setParameter/getParameter, bypass, the peaks: any thread except the render thread.
// - The analysis buffer getters: one display thread.
#include "audiotoolbox/AUAudioUnit.h"
#include "audiounit/PresetModel.h"
#include "audiounit/RenderErrorReport.h"
#include "audiounit/VYK_Wimbrax_Extension_Parameters.h"
#include "dsp/VYK_Wimbrax_ExtensionDSPKernelAdapter.h"
#include "foundation/URL.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class VYKPreset;

class VYK_Wimbrax_Extension_AudioUnit : public AUAudioUnit, public VYKPresetDelegate {
public:
    // Latency of the processed stereo signal, in frames (mono is not delayed).
    static constexpr double latencyFrames = 1024;

    // Throws AUAudioUnitError when the base initialisation fails. The options are not used.
    VYK_Wimbrax_Extension_AudioUnit(const AudioComponentDescription& description,
                                    AudioComponentInstantiationOptions options = 0);
    ~VYK_Wimbrax_Extension_AudioUnit() override;

    // Buses: one input, one output; stereo unless both are set to mono before allocation.
    std::shared_ptr<AUAudioUnitBusArray> inputBusses() override;
    std::shared_ptr<AUAudioUnitBusArray> outputBusses() override;

    std::shared_ptr<AUParameterTree> parameterTree() override;
    void setParameterTree(std::shared_ptr<AUParameterTree> tree) override; // ignored
    std::vector<AUParameterAddress> parametersForOverview(NSInteger count) override;
    std::set<std::size_t>
    supportedViewConfigurations(const std::vector<AUAudioUnitViewConfiguration>& configurations) override;

    double latency() override;
    double tailTime() override;
    bool canPerformInput() override;
    bool canPerformOutput() override;
    bool canProcessInPlace() override;
    bool isMusicDeviceOrEffect() override;
    NSInteger virtualMIDICableCount() override;
    std::vector<std::string> MIDIOutputNames() override;
    std::vector<int> channelCapabilities() override;

    std::shared_ptr<const AUMIDIOutputEventBlock> MIDIOutputEventBlock() override;
    void setMIDIOutputEventBlock(std::shared_ptr<const AUMIDIOutputEventBlock> block) override;

    // State and presets. Presets are the .aupreset files in <documents>/Presets.
    std::optional<plist::Dictionary> fullState() override;
    void setFullState(std::optional<plist::Dictionary> state) override;
    bool supportsUserPresets() override;
    std::vector<AUAudioUnitPreset> factoryPresets() override;
    std::optional<AUAudioUnitPreset> currentPreset() override;
    void setCurrentPreset(std::optional<AUAudioUnitPreset> preset) override;
    // Throws AUAudioUnitError when the preset's file is missing or unreadable.
    plist::Dictionary presetState(const AUAudioUnitPreset& preset) override;

    // The control panel's operations. Addresses the tree lacks are ignored (and read 0);
    // a value is clamped to its parameter's range, one that is not finite is ignored.
    void setParameter(std::int32_t address, AUValue value);
    AUValue getParameter(std::int32_t address);
    void updateParameters();
    // Diagnostics: prints the display name of every child of `tree` (the unit's tree or
    // a group of it), indented by `level` blanks, descending into groups one blank
    // deeper. `name` is not printed; a null tree prints nothing.
    void dumpParameters(const std::string& name, const AUParameterGroup* tree, std::int64_t level);
    float getPeakInput() const;
    float getPeakOutput() const;
    // The band's analysis buffers (getBufferSize() frames), or null for a band outside
    // 0 to 3.
    const float* getBufferLeft(NSInteger mode);
    const float* getBufferRight(NSInteger mode);
    std::int32_t getBufferSize() const;

    void onFoundParameter(std::int64_t group, const std::string& identifier, AUParameterAddress address,
                          AUValue value) override;

    // Prints the lines of failed render calls now instead of at the next main-loop tick.
    void flushRenderErrors() { renderErrors_->flush(); }

protected:
    void internalAllocateRenderResources() override;
    void internalDeallocateRenderResources() override;
    void internalReset() override;
    void maximumFramesToRenderDidSet() override;
    void shouldBypassEffectDidSet() override;
    AUInternalRenderBlock internalRenderBlock() override;

private:
    void debugprint(const std::string& text) const;
    void passHostBlocks();
    // State and presets; the callers hold stateMutex_.
    bool applyFullState(const std::optional<plist::Dictionary>& state);
    void applyParameters(const VYKPreset& preset);
    std::optional<URL> presetFolder() const;
    std::optional<URL> presetFile(const std::string& name) const;
    plist::Dictionary readPresetState(const AUAudioUnitPreset& preset) const;

    std::shared_ptr<VYK_Wimbrax_ExtensionDSPKernelAdapter> kernelAdapter;
    std::unique_ptr<VYK_Wimbrax_Extension_Parameters> parameters;
    std::shared_ptr<AUAudioUnitBusArray> inputBusArray;
    std::shared_ptr<AUAudioUnitBusArray> outputBusArray;
    std::shared_ptr<RenderErrorReport> renderErrors_;

    std::recursive_mutex stateMutex_; // observers may call back into the unit
    std::optional<plist::Dictionary> _fullState;
    std::vector<AUAudioUnitPreset> presets;
    std::optional<AUAudioUnitPreset> _currentPreset;
};
